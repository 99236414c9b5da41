// The common file-open dialog as comdlg32 offers it: OPENFILENAMEA with
// its filter, flags and result layout, GetOpenFileNameA (a real dialog of
// the window system, answered by a person through the front-end or by the
// driver) and CommDlgExtendedError. Values and layouts are Windows'.
#pragma once

#include <string>

#include "platform/base/export.h"
#include "platform/ui/messages.h"

using LPOFNHOOKPROC = UINT_PTR (*)(HWND, UINT, WPARAM, LPARAM);

struct OPENFILENAMEA {
  DWORD lStructSize;
  HWND hwndOwner;
  HINSTANCE hInstance;
  // Pairs of zero-terminated strings (description, patterns separated by
  // ';'), ended by one more zero.
  LPCSTR lpstrFilter;
  LPSTR lpstrCustomFilter;
  DWORD nMaxCustFilter;
  DWORD nFilterIndex;  // 1-based
  LPSTR lpstrFile;
  DWORD nMaxFile;
  LPSTR lpstrFileTitle;
  DWORD nMaxFileTitle;
  LPCSTR lpstrInitialDir;
  LPCSTR lpstrTitle;
  DWORD Flags;
  WORD nFileOffset;
  WORD nFileExtension;
  LPCSTR lpstrDefExt;
  LPARAM lCustData;
  LPOFNHOOKPROC lpfnHook;
  LPCSTR lpTemplateName;
  void* pvReserved;
  DWORD dwReserved;
  DWORD FlagsEx;
};
using LPOPENFILENAMEA = OPENFILENAMEA*;

// The size of the record before Windows 2000 added its last three fields.
constexpr DWORD OPENFILENAME_SIZE_VERSION_400A = 136;

constexpr DWORD OFN_READONLY = 0x00000001;
constexpr DWORD OFN_OVERWRITEPROMPT = 0x00000002;
constexpr DWORD OFN_HIDEREADONLY = 0x00000004;
constexpr DWORD OFN_NOCHANGEDIR = 0x00000008;
constexpr DWORD OFN_SHOWHELP = 0x00000010;
constexpr DWORD OFN_ENABLEHOOK = 0x00000020;
constexpr DWORD OFN_ENABLETEMPLATE = 0x00000040;
constexpr DWORD OFN_ENABLETEMPLATEHANDLE = 0x00000080;
constexpr DWORD OFN_NOVALIDATE = 0x00000100;
constexpr DWORD OFN_ALLOWMULTISELECT = 0x00000200;
constexpr DWORD OFN_EXTENSIONDIFFERENT = 0x00000400;
constexpr DWORD OFN_PATHMUSTEXIST = 0x00000800;
constexpr DWORD OFN_FILEMUSTEXIST = 0x00001000;
constexpr DWORD OFN_CREATEPROMPT = 0x00002000;
constexpr DWORD OFN_SHAREAWARE = 0x00004000;
constexpr DWORD OFN_NOREADONLYRETURN = 0x00008000;
constexpr DWORD OFN_NOTESTFILECREATE = 0x00010000;
constexpr DWORD OFN_NONETWORKBUTTON = 0x00020000;
constexpr DWORD OFN_NOLONGNAMES = 0x00040000;
constexpr DWORD OFN_EXPLORER = 0x00080000;
constexpr DWORD OFN_NODEREFERENCELINKS = 0x00100000;
constexpr DWORD OFN_LONGNAMES = 0x00200000;
constexpr DWORD OFN_ENABLESIZING = 0x00800000;
constexpr DWORD OFN_DONTADDTORECENT = 0x02000000;
constexpr DWORD OFN_FORCESHOWHIDDEN = 0x10000000;

constexpr DWORD CDERR_DIALOGFAILURE = 0xFFFF;
constexpr DWORD CDERR_STRUCTSIZE = 0x0001;
constexpr DWORD CDERR_INITIALIZATION = 0x0002;
constexpr DWORD FNERR_SUBCLASSFAILURE = 0x3001;
constexpr DWORD FNERR_INVALIDFILENAME = 0x3002;
constexpr DWORD FNERR_BUFFERTOOSMALL = 0x3003;

// The dialog's controls, by the ids of dlgs.h.
constexpr int chx1 = 0x0410;  // "Open as read-only"
constexpr int stc1 = 0x0440;  // the current folder
constexpr int stc2 = 0x0441;  // "Files of type:"
constexpr int stc3 = 0x0442;  // "File name:"
constexpr int stc4 = 0x0443;  // "Look in:"
constexpr int lst1 = 0x0460;  // the folder's entries
constexpr int cmb1 = 0x0470;  // the filters
constexpr int edt1 = 0x0480;  // the file name

// Shows the dialog modally over hwndOwner. TRUE with the choice in
// lpstrFile; FALSE when cancelled (CommDlgExtendedError 0) or failed (its
// code). With nobody in the process to answer it, the dialog is refused at
// once as a cancel, with a message on standard error.
QAP_EXPORT BOOL GetOpenFileNameA(LPOPENFILENAMEA ofn);
QAP_EXPORT DWORD CommDlgExtendedError();

namespace ui {

// An MFC-style filter ("All Files|*.wav;*.wma|wav|*.wav||") in Windows'
// form: each '|' a zero, and two zeros at the end whatever the input ends
// with. The result holds the zeros; pass its data() as lpstrFilter.
QAP_EXPORT std::string FilterFromBars(const std::string& bars);

}  // namespace ui
