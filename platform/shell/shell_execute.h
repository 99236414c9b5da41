// The shell's open (ShellExecuteExA, ShellExecuteA): a document opens with
// the desktop's opener ($QAP_OPEN where set, else xdg-open), and a folder's
// item list with the verb "open" or "explore" and the class "folder" opens
// in a new shell browser window on the calling thread. Values as
// shellapi.h gives them.
#pragma once

#include "platform/base/export.h"
#include "platform/base/win_types.h"
#include "platform/registry/registry.h"
#include "platform/shell/item_id_list.h"
#include "platform/ui/ui_types.h"

constexpr ULONG SEE_MASK_DEFAULT = 0x00000000;
constexpr ULONG SEE_MASK_CLASSNAME = 0x00000001;
constexpr ULONG SEE_MASK_CLASSKEY = 0x00000003;
constexpr ULONG SEE_MASK_IDLIST = 0x00000004;
constexpr ULONG SEE_MASK_INVOKEIDLIST = 0x0000000C;
constexpr ULONG SEE_MASK_NOCLOSEPROCESS = 0x00000040;
constexpr ULONG SEE_MASK_FLAG_DDEWAIT = 0x00000100;
constexpr ULONG SEE_MASK_FLAG_NO_UI = 0x00000400;

// What ShellExecute answers (and hInstApp holds) on failure; anything
// above 32 is success.
constexpr UINT_PTR SE_ERR_FNF = 2;
constexpr UINT_PTR SE_ERR_PNF = 3;
constexpr UINT_PTR SE_ERR_ACCESSDENIED = 5;
constexpr UINT_PTR SE_ERR_OOM = 8;
constexpr UINT_PTR SE_ERR_NOASSOC = 31;
constexpr UINT_PTR kShellExecuteSucceeded = 42;

constexpr DWORD ERROR_NO_ASSOCIATION = 1155;

struct SHELLEXECUTEINFOA {
  DWORD cbSize;
  ULONG fMask;
  HWND hwnd;
  LPCSTR lpVerb;
  LPCSTR lpFile;
  LPCSTR lpParameters;
  LPCSTR lpDirectory;
  int nShow;
  HINSTANCE hInstApp;  // out: kShellExecuteSucceeded or an SE_ERR_* value
  void* lpIDList;      // SEE_MASK_IDLIST: an absolute item list
  LPCSTR lpClass;      // SEE_MASK_CLASSNAME: "folder" for item lists
  HKEY hkeyClass;
  DWORD dwHotKey;
  HANDLE hIcon;
  HANDLE hProcess;  // out, SEE_MASK_NOCLOSEPROCESS: the opener, to wait on
};
using LPSHELLEXECUTEINFOA = SHELLEXECUTEINFOA*;

// FALSE with the system's error in GetLastError: ERROR_FILE_NOT_FOUND or
// ERROR_PATH_NOT_FOUND for a document that is not there,
// ERROR_NO_ASSOCIATION for a verb nothing carries out, and what starting
// the opener or binding the folder met.
QAP_EXPORT BOOL ShellExecuteExA(LPSHELLEXECUTEINFOA info);
// ShellExecuteExA with a document and no item list; above 32 on success,
// else the SE_ERR_* value (with GetLastError set as above).
QAP_EXPORT HINSTANCE ShellExecuteA(HWND window, LPCSTR verb, LPCSTR file, LPCSTR parameters,
                                   LPCSTR directory, int show);
