// Menus as user32 offers them: menu bars and pop-up menus in the handle
// table, built from templates or item by item, merged, queried, attached
// to a window, and tracked as pop-ups (the "#32768" window) until a person
// chooses an item or dismisses the menu. Values are those of winuser.h.
#pragma once

#include "platform/base/export.h"
#include "platform/ui/messages.h"

namespace ui::res {
struct MenuTemplate;
}

constexpr UINT MF_INSERT = 0x0000;
constexpr UINT MF_CHANGE = 0x0080;
constexpr UINT MF_APPEND = 0x0100;
constexpr UINT MF_DELETE = 0x0200;
constexpr UINT MF_REMOVE = 0x1000;
constexpr UINT MF_BYCOMMAND = 0x0000;
constexpr UINT MF_BYPOSITION = 0x0400;
constexpr UINT MF_SEPARATOR = 0x0800;
constexpr UINT MF_ENABLED = 0x0000;
constexpr UINT MF_GRAYED = 0x0001;
constexpr UINT MF_DISABLED = 0x0002;
constexpr UINT MF_UNCHECKED = 0x0000;
constexpr UINT MF_CHECKED = 0x0008;
constexpr UINT MF_USECHECKBITMAPS = 0x0200;
constexpr UINT MF_STRING = 0x0000;
constexpr UINT MF_BITMAP = 0x0004;
constexpr UINT MF_OWNERDRAW = 0x0100;
constexpr UINT MF_POPUP = 0x0010;
constexpr UINT MF_MENUBARBREAK = 0x0020;
constexpr UINT MF_MENUBREAK = 0x0040;
constexpr UINT MF_UNHILITE = 0x0000;
constexpr UINT MF_HILITE = 0x0080;
constexpr UINT MF_DEFAULT = 0x1000;
constexpr UINT MF_SYSMENU = 0x2000;
constexpr UINT MF_HELP = 0x4000;
constexpr UINT MF_RIGHTJUSTIFY = 0x4000;
constexpr UINT MF_MOUSESELECT = 0x8000;

constexpr UINT MFT_STRING = MF_STRING;
constexpr UINT MFT_BITMAP = MF_BITMAP;
constexpr UINT MFT_MENUBARBREAK = MF_MENUBARBREAK;
constexpr UINT MFT_MENUBREAK = MF_MENUBREAK;
constexpr UINT MFT_OWNERDRAW = MF_OWNERDRAW;
constexpr UINT MFT_RADIOCHECK = 0x0200;
constexpr UINT MFT_SEPARATOR = MF_SEPARATOR;
constexpr UINT MFT_RIGHTORDER = 0x2000;
constexpr UINT MFT_RIGHTJUSTIFY = MF_RIGHTJUSTIFY;

constexpr UINT MFS_GRAYED = 0x0003;
constexpr UINT MFS_DISABLED = MFS_GRAYED;
constexpr UINT MFS_CHECKED = MF_CHECKED;
constexpr UINT MFS_HILITE = MF_HILITE;
constexpr UINT MFS_ENABLED = MF_ENABLED;
constexpr UINT MFS_UNCHECKED = MF_UNCHECKED;
constexpr UINT MFS_UNHILITE = MF_UNHILITE;
constexpr UINT MFS_DEFAULT = MF_DEFAULT;

constexpr UINT MIIM_STATE = 0x0001;
constexpr UINT MIIM_ID = 0x0002;
constexpr UINT MIIM_SUBMENU = 0x0004;
constexpr UINT MIIM_CHECKMARKS = 0x0008;
constexpr UINT MIIM_TYPE = 0x0010;
constexpr UINT MIIM_DATA = 0x0020;
constexpr UINT MIIM_STRING = 0x0040;
constexpr UINT MIIM_BITMAP = 0x0080;
constexpr UINT MIIM_FTYPE = 0x0100;

struct MENUITEMINFOA {
  UINT cbSize;
  UINT fMask;
  UINT fType;
  UINT fState;
  UINT wID;
  HMENU hSubMenu;
  HBITMAP hbmpChecked;
  HBITMAP hbmpUnchecked;
  ULONG_PTR dwItemData;
  LPSTR dwTypeData;
  UINT cch;
  HBITMAP hbmpItem;
};
using LPMENUITEMINFOA = MENUITEMINFOA*;
using LPCMENUITEMINFOA = const MENUITEMINFOA*;

constexpr UINT GMDI_USEDISABLED = 0x0001;
constexpr UINT GMDI_GOINTOPOPUPS = 0x0002;

constexpr UINT TPM_LEFTBUTTON = 0x0000;
constexpr UINT TPM_RIGHTBUTTON = 0x0002;
constexpr UINT TPM_LEFTALIGN = 0x0000;
constexpr UINT TPM_CENTERALIGN = 0x0004;
constexpr UINT TPM_RIGHTALIGN = 0x0008;
constexpr UINT TPM_TOPALIGN = 0x0000;
constexpr UINT TPM_VCENTERALIGN = 0x0010;
constexpr UINT TPM_BOTTOMALIGN = 0x0020;
constexpr UINT TPM_HORIZONTAL = 0x0000;
constexpr UINT TPM_VERTICAL = 0x0040;
constexpr UINT TPM_NONOTIFY = 0x0080;
constexpr UINT TPM_RETURNCMD = 0x0100;
constexpr UINT TPM_RECURSE = 0x0001;

struct TPMPARAMS {
  UINT cbSize;
  RECT rcExclude;
};
using LPTPMPARAMS = TPMPARAMS*;

constexpr UINT WM_UNINITMENUPOPUP = 0x0125;

constexpr DWORD ERROR_POPUP_ALREADY_ACTIVE = 1446;
constexpr DWORD ERROR_MENU_ITEM_NOT_FOUND = 1456;

// The class of the window that shows a tracked pop-up menu.
inline constexpr const char* kMenuWindowClass = "#32768";

QAP_EXPORT HMENU CreateMenu();
QAP_EXPORT HMENU CreatePopupMenu();
// Destroys the menu and every sub-menu it holds.
QAP_EXPORT BOOL DestroyMenu(HMENU menu);
QAP_EXPORT BOOL IsMenu(HMENU menu);
QAP_EXPORT HMENU LoadMenuA(HINSTANCE instance, LPCSTR name);
QAP_EXPORT HMENU LoadMenuIndirectA(const ui::res::MenuTemplate* menuTemplate);
QAP_EXPORT HMENU GetSubMenu(HMENU menu, int position);

// newItem is the text (MF_STRING), the bitmap (MF_BITMAP) or the owner's
// data (MF_OWNERDRAW); id is the sub-menu for MF_POPUP.
QAP_EXPORT BOOL AppendMenuA(HMENU menu, UINT flags, UINT_PTR id, LPCSTR newItem);
QAP_EXPORT BOOL InsertMenuA(HMENU menu, UINT position, UINT flags, UINT_PTR id, LPCSTR newItem);
QAP_EXPORT BOOL InsertMenuItemA(HMENU menu, UINT item, BOOL byPosition, LPCMENUITEMINFOA info);
QAP_EXPORT BOOL GetMenuItemInfoA(HMENU menu, UINT item, BOOL byPosition, LPMENUITEMINFOA info);
QAP_EXPORT BOOL SetMenuItemInfoA(HMENU menu, UINT item, BOOL byPosition, LPCMENUITEMINFOA info);
// RemoveMenu keeps an item's sub-menu alive; DeleteMenu destroys it.
QAP_EXPORT BOOL RemoveMenu(HMENU menu, UINT position, UINT flags);
QAP_EXPORT BOOL DeleteMenu(HMENU menu, UINT position, UINT flags);

// The previous state (MF_GRAYED | MF_DISABLED bits, MF_CHECKED), or -1
// when there is no such item.
QAP_EXPORT BOOL EnableMenuItem(HMENU menu, UINT item, UINT flags);
QAP_EXPORT DWORD CheckMenuItem(HMENU menu, UINT item, UINT flags);
QAP_EXPORT BOOL CheckMenuRadioItem(HMENU menu, UINT first, UINT last, UINT check, UINT flags);
QAP_EXPORT BOOL SetMenuDefaultItem(HMENU menu, UINT item, UINT byPosition);
QAP_EXPORT UINT GetMenuDefaultItem(HMENU menu, UINT byPosition, UINT flags);
QAP_EXPORT int GetMenuItemCount(HMENU menu);
QAP_EXPORT UINT GetMenuItemID(HMENU menu, int position);
QAP_EXPORT int GetMenuStringA(HMENU menu, UINT item, LPSTR buffer, int size, UINT flags);
QAP_EXPORT UINT GetMenuState(HMENU menu, UINT item, UINT flags);

// A top-level window's menu bar; a change is announced to the driver.
QAP_EXPORT BOOL SetMenu(HWND window, HMENU menu);
QAP_EXPORT HMENU GetMenu(HWND window);
QAP_EXPORT BOOL DrawMenuBar(HWND window);

// Shows menu at a screen point for owner and waits in a loop of its own
// until a person chooses an item or dismisses the menu. With
// TPM_RETURNCMD the answer is the chosen command (0 for none); otherwise
// the command is posted to owner as WM_COMMAND and the answer is TRUE.
// With nobody in the process to answer it, the menu is dismissed at once.
QAP_EXPORT BOOL TrackPopupMenu(HMENU menu, UINT flags, int x, int y, int reserved, HWND owner,
                               const RECT* ignored);
QAP_EXPORT BOOL TrackPopupMenuEx(HMENU menu, UINT flags, int x, int y, HWND owner,
                                 LPTPMPARAMS params);
