// The shell's context menu of items or of a folder's background
// (IContextMenu): the folder merges its commands into a menu the shell
// gives, then carries out the one chosen, named by its offset from the
// first id or by its verb. Members stand in slot order; values are those of
// shobjidl.h.
#pragma once

#include "platform/base/export.h"
#include "platform/com/unknown.h"
#include "platform/shell/shell_view.h"

// QueryContextMenu's flags (CMF_*).
constexpr UINT CMF_NORMAL = 0x00000000;
constexpr UINT CMF_DEFAULTONLY = 0x00000001;
constexpr UINT CMF_VERBSONLY = 0x00000002;
// The menu is for Explorer's folder tree.
constexpr UINT CMF_EXPLORE = 0x00000004;
constexpr UINT CMF_CANRENAME = 0x00000010;

// GetCommandString's kinds (GCS_*).
constexpr UINT GCS_VERBA = 0x00000000;
constexpr UINT GCS_HELPTEXTA = 0x00000001;
constexpr UINT GCS_VALIDATEA = 0x00000002;

struct CMINVOKECOMMANDINFO {
  DWORD cbSize;
  DWORD fMask;
  HWND hwnd;
  // The offset of the command (MAKEINTRESOURCEA) or its verb.
  LPCSTR lpVerb;
  LPCSTR lpParameters;
  LPCSTR lpDirectory;
  int nShow;
  DWORD dwHotKey;
  HANDLE hIcon;
};
using LPCMINVOKECOMMANDINFO = CMINVOKECOMMANDINFO*;

class IContextMenu : public IUnknown {
 public:
  // Merges the commands into menu at position index with ids from first up
  // to last; the result's code is the largest offset used plus one.
  virtual HRESULT QueryContextMenu(HMENU menu, UINT index, UINT first, UINT last, UINT flags) = 0;
  virtual HRESULT InvokeCommand(LPCMINVOKECOMMANDINFO info) = 0;
  virtual HRESULT GetCommandString(UINT_PTR command, UINT type, UINT* reserved, LPSTR name,
                                   UINT size) = 0;
};

// What Explorer does on a right click: merges menu's commands into a pop-up
// menu, shows it at the screen point (the cursor's for -1, -1, as a key
// asks) for owner, and carries out the command chosen, if any.
QAP_EXPORT void TrackContextMenu(IContextMenu* menu, HWND owner, POINT at, UINT flags);
