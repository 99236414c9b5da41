// The web browser control: a child window showing a local HTML page, its
// document walked and changed through IHTMLDocument2 and IHTMLElement, the
// controls its OBJECT elements name embedded in it, and DocumentComplete
// raised to its DWebBrowserEvents2 sinks once the page is ready. It is also
// a hosted control (IHostedControl), so a host window can make its window.
#pragma once

#include "platform/base/export.h"
#include "platform/shell/web_browser_interfaces.h"

inline constexpr char kWebBrowserWindowClass[] = "Shell Embedding";

// Makes the control with its window, a child of parent over rect, and
// hands out its IWebBrowser2.
QAP_EXPORT HRESULT CreateWebBrowser(HWND parent, const RECT* rect, IWebBrowser2** browser);
