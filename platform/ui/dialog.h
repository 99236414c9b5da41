// Dialogs: templates as data, modal and modeless dialogs, the dialog
// manager's keyboard handling, and the item helpers. Shaped like user32.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "platform/base/export.h"
#include "platform/ui/messages.h"
#include "platform/ui/window_styles.h"

constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDABORT = 3;
constexpr int IDRETRY = 4;
constexpr int IDIGNORE = 5;
constexpr int IDYES = 6;
constexpr int IDNO = 7;
constexpr int IDCLOSE = 8;
constexpr int IDHELP = 9;

// One control of a template. Positions and sizes are in dialog units.
// className is a class name ("Button", "SysListView32", ...), or a class
// identifier in braces for an embedded control created from the registry,
// which then gets the stored properties by name.
struct DialogItemTemplate {
  std::string className;
  int id = 0;
  std::string text;
  DWORD style = 0;
  DWORD exStyle = 0;
  short x = 0;
  short y = 0;
  short cx = 0;
  short cy = 0;
  std::vector<std::pair<std::string, std::string>> properties;
};

struct DialogTemplate {
  int id = 0;
  std::string caption;
  DWORD style = 0;
  DWORD exStyle = 0;
  short x = 0;
  short y = 0;
  short cx = 0;
  short cy = 0;
  std::string fontFace;  // with DS_SETFONT
  int pointSize = 0;
  std::vector<DialogItemTemplate> items;
};

QAP_EXPORT INT_PTR DialogBoxParamA(HINSTANCE instance, LPCSTR templateName, HWND owner,
                                   DLGPROC proc, LPARAM param);
QAP_EXPORT INT_PTR DialogBoxIndirectParamA(HINSTANCE instance, const DialogTemplate* dialog,
                                           HWND owner, DLGPROC proc, LPARAM param);
QAP_EXPORT HWND CreateDialogParamA(HINSTANCE instance, LPCSTR templateName, HWND owner,
                                   DLGPROC proc, LPARAM param);
QAP_EXPORT HWND CreateDialogIndirectParamA(HINSTANCE instance, const DialogTemplate* dialog,
                                           HWND owner, DLGPROC proc, LPARAM param);
QAP_EXPORT BOOL EndDialog(HWND dialog, INT_PTR result);
QAP_EXPORT BOOL IsDialogMessageA(HWND dialog, MSG* msg);
QAP_EXPORT LRESULT DefDlgProcA(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

QAP_EXPORT HWND GetDlgItem(HWND dialog, int id);
QAP_EXPORT int GetDlgCtrlID(HWND control);
QAP_EXPORT UINT GetDlgItemTextA(HWND dialog, int id, LPSTR buffer, int size);
QAP_EXPORT BOOL SetDlgItemTextA(HWND dialog, int id, LPCSTR text);
QAP_EXPORT UINT GetDlgItemInt(HWND dialog, int id, BOOL* translated, BOOL isSigned);
QAP_EXPORT BOOL SetDlgItemInt(HWND dialog, int id, UINT value, BOOL isSigned);
QAP_EXPORT LRESULT SendDlgItemMessageA(HWND dialog, int id, UINT message, WPARAM wParam,
                                       LPARAM lParam);
QAP_EXPORT BOOL CheckDlgButton(HWND dialog, int id, UINT check);
QAP_EXPORT UINT IsDlgButtonChecked(HWND dialog, int id);
QAP_EXPORT BOOL CheckRadioButton(HWND dialog, int first, int last, int check);
QAP_EXPORT HWND GetNextDlgTabItem(HWND dialog, HWND control, BOOL previous);
QAP_EXPORT HWND GetNextDlgGroupItem(HWND dialog, HWND control, BOOL previous);
// Dialog units of dialog's font to pixels.
QAP_EXPORT BOOL MapDialogRect(HWND dialog, RECT* rect);
// The base units of the system font: width in the low word, height in the
// high word.
QAP_EXPORT LONG GetDialogBaseUnits();

// The class of dialogs.
inline constexpr const char* WC_DIALOG = "#32770";
