// The shell browser's menus: Explorer's File, Edit, View, Tools and Help
// pop-ups, which the browser puts into a menu bar it shares with its view
// (InsertMenusSB) and takes out again (RemoveMenusSB). A view finds each
// pop-up by its FCIDM_MENU_* id and merges its own items into it; commands
// in the view's range (FCIDM_SHVIEWFIRST to FCIDM_SHVIEWLAST) go to the
// view, the browser's own lie in FCIDM_BROWSERFIRST's range.
#pragma once

#include "platform/shell/shell_view.h"

// "as &Web Page" in the View pop-up: the view's command, which it answers
// by showing its web page (or its list again).
constexpr UINT kWebViewCommand = 106;
constexpr UINT kBrowserCloseCommand = FCIDM_BROWSERFIRST + 0x20;
constexpr UINT kBrowserUpCommand = FCIDM_BROWSERFIRST + 0x21;
constexpr UINT kBrowserRefreshCommand = FCIDM_BROWSERFIRST + 0x22;
constexpr UINT kBrowserAboutCommand = FCIDM_BROWSERFIRST + 0x23;

// Appends the five pop-ups to menu and tells in widths how many went into
// the File, Container and Window groups (File; Edit, View and Tools; Help).
HRESULT InsertBrowserMenus(HMENU menu, OLEMENUGROUPWIDTHS* widths);
// Takes out of menu, and destroys, the pop-ups InsertBrowserMenus put in.
HRESULT RemoveBrowserMenus(HMENU menu);
// The browser's accelerators: F5 refresh, Backspace up one level.
HACCEL CreateBrowserAccelerators();
