// The shell browser, the stand-in for Explorer's windows: the folders of
// the namespace extensions registered under My Computer in a tree, the
// current folder's own view beside it (IShellView, from the folder's
// CreateViewObject, in a window of its own made by CreateViewWindow2), a
// menu bar shared with the view and a status bar the view writes to. It
// knows the folders only through the shell's interfaces.
#pragma once

#include "platform/base/export.h"
#include "platform/shell/item_id_list.h"
#include "platform/ui/ui_types.h"

// Windows' classes of Explorer's windows: with the folder tree (explore),
// and without it (open).
inline constexpr char kExploreWindowClass[] = "ExploreWClass";
inline constexpr char kCabinetWindowClass[] = "CabinetWClass";
constexpr int kBrowserTreeId = 100;
constexpr int kBrowserStatusId = 0xA001;  // FCIDM_STATUS

// Opens folder (an absolute list, My Computer's item first) in a new
// browser window on the calling thread, shown and titled with the folder's
// name ("Exploring - " and the name when explore). The window lives until
// it is closed; any message loop of the thread serves it, RunShellBrowser's
// also routes keys to its view. Null, with the last error set, when the
// folder cannot be reached.
QAP_EXPORT HWND OpenShellBrowser(LPCITEMIDLIST folder, bool explore);

// Opens one and handles the thread's messages until every browser window
// of the thread has closed; keys go to a window's view first
// (IShellView::TranslateAccelerator), then to the browser's accelerators.
// 0 then, 1 when the first window could not be opened.
QAP_EXPORT int RunShellBrowser(LPCITEMIDLIST folder, bool explore);
