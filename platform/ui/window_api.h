// Windows and window classes: creation and destruction, text, styles, the
// parent and child tree, geometry, enable, show, focus and capture, window
// properties, enumeration and search. Shaped like user32; a call on a
// handle that is not (or no longer) a window fails cleanly with
// ERROR_INVALID_WINDOW_HANDLE.
#pragma once

#include "platform/base/export.h"
#include "platform/base/last_error.h"
#include "platform/ui/messages.h"
#include "platform/ui/window_styles.h"

constexpr DWORD ERROR_INVALID_WINDOW_HANDLE = 1400;
constexpr DWORD ERROR_INVALID_MENU_HANDLE = 1401;
constexpr DWORD ERROR_CANNOT_FIND_WND_CLASS = 1407;
constexpr DWORD ERROR_INVALID_INDEX_VALUE = 1413;
constexpr DWORD ERROR_CLASS_ALREADY_EXISTS = 1410;
constexpr DWORD ERROR_CLASS_DOES_NOT_EXIST = 1411;
constexpr DWORD ERROR_RESOURCE_NAME_NOT_FOUND = 1814;
constexpr DWORD ERROR_RESOURCE_TYPE_NOT_FOUND = 1813;
constexpr DWORD ERROR_TIMEOUT = 1460;
constexpr DWORD ERROR_INVALID_HOOK_HANDLE = 1404;
constexpr DWORD ERROR_INVALID_THREAD_ID = 1444;

struct WNDCLASSA {
  UINT style;
  WNDPROC lpfnWndProc;
  int cbClsExtra;
  int cbWndExtra;
  HINSTANCE hInstance;
  HICON hIcon;
  HCURSOR hCursor;
  HBRUSH hbrBackground;
  LPCSTR lpszMenuName;
  LPCSTR lpszClassName;
};

QAP_EXPORT ATOM RegisterClassA(const WNDCLASSA* windowClass);
QAP_EXPORT BOOL UnregisterClassA(LPCSTR className, HINSTANCE instance);
QAP_EXPORT BOOL GetClassInfoA(HINSTANCE instance, LPCSTR className, WNDCLASSA* out);
QAP_EXPORT int GetClassNameA(HWND window, LPSTR buffer, int size);

QAP_EXPORT HWND CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style,
                                int x, int y, int width, int height, HWND parent, HMENU menu,
                                HINSTANCE instance, void* param);
inline HWND CreateWindowA(LPCSTR className, LPCSTR windowName, DWORD style, int x, int y,
                          int width, int height, HWND parent, HMENU menu, HINSTANCE instance,
                          void* param) {
  return CreateWindowExA(0, className, windowName, style, x, y, width, height, parent, menu,
                         instance, param);
}
QAP_EXPORT BOOL DestroyWindow(HWND window);
QAP_EXPORT BOOL IsWindow(HWND window);
QAP_EXPORT BOOL IsChild(HWND parent, HWND window);
QAP_EXPORT HWND GetParent(HWND window);
QAP_EXPORT HWND SetParent(HWND window, HWND newParent);
QAP_EXPORT HWND GetWindow(HWND window, UINT relation);
QAP_EXPORT HWND GetAncestor(HWND window, UINT relation);
QAP_EXPORT HWND GetTopWindow(HWND window);
QAP_EXPORT HWND GetDesktopWindow();
QAP_EXPORT DWORD GetWindowThreadProcessId(HWND window, DWORD* processId);

QAP_EXPORT int GetWindowTextA(HWND window, LPSTR buffer, int size);
QAP_EXPORT int GetWindowTextLengthA(HWND window);
QAP_EXPORT BOOL SetWindowTextA(HWND window, LPCSTR text);

QAP_EXPORT LONG_PTR GetWindowLongPtrA(HWND window, int index);
QAP_EXPORT LONG_PTR SetWindowLongPtrA(HWND window, int index, LONG_PTR value);
QAP_EXPORT LONG GetWindowLongA(HWND window, int index);
QAP_EXPORT LONG SetWindowLongA(HWND window, int index, LONG value);

QAP_EXPORT LRESULT CallWindowProcA(WNDPROC proc, HWND window, UINT message, WPARAM wParam,
                                   LPARAM lParam);
QAP_EXPORT LRESULT DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

QAP_EXPORT BOOL EnableWindow(HWND window, BOOL enable);
QAP_EXPORT BOOL IsWindowEnabled(HWND window);
QAP_EXPORT BOOL ShowWindow(HWND window, int command);
QAP_EXPORT BOOL IsWindowVisible(HWND window);
QAP_EXPORT BOOL MoveWindow(HWND window, int x, int y, int width, int height, BOOL repaint);
QAP_EXPORT BOOL SetWindowPos(HWND window, HWND insertAfter, int x, int y, int width, int height,
                             UINT flags);
// Window rectangles are in screen coordinates; a child's position is kept
// relative to its parent's client area, which here is the whole window.
QAP_EXPORT BOOL GetWindowRect(HWND window, RECT* rect);
QAP_EXPORT BOOL GetClientRect(HWND window, RECT* rect);
QAP_EXPORT BOOL ScreenToClient(HWND window, POINT* point);
QAP_EXPORT BOOL ClientToScreen(HWND window, POINT* point);
QAP_EXPORT int MapWindowPoints(HWND from, HWND to, POINT* points, UINT count);
QAP_EXPORT HWND WindowFromPoint(POINT point);
QAP_EXPORT HWND ChildWindowFromPoint(HWND parent, POINT point);
// Nothing is painted by the core; these tell the front-end to show the
// window afresh.
QAP_EXPORT BOOL InvalidateRect(HWND window, const RECT* rect, BOOL erase);
QAP_EXPORT BOOL UpdateWindow(HWND window);

QAP_EXPORT HWND SetFocus(HWND window);
QAP_EXPORT HWND GetFocus();
QAP_EXPORT HWND SetActiveWindow(HWND window);
QAP_EXPORT HWND GetActiveWindow();
QAP_EXPORT BOOL SetForegroundWindow(HWND window);
QAP_EXPORT HWND GetForegroundWindow();
QAP_EXPORT HWND SetCapture(HWND window);
QAP_EXPORT BOOL ReleaseCapture();
QAP_EXPORT HWND GetCapture();

QAP_EXPORT BOOL SetPropA(HWND window, LPCSTR name, HANDLE data);
QAP_EXPORT HANDLE GetPropA(HWND window, LPCSTR name);
QAP_EXPORT HANDLE RemovePropA(HWND window, LPCSTR name);

// Top-level windows of this process, and of the other processes of the
// session that list theirs on the session bus (for those, titles and
// classes are what was last listed, and WM_COPYDATA is the one message
// that travels to them).
QAP_EXPORT HWND FindWindowA(LPCSTR className, LPCSTR windowName);
QAP_EXPORT HWND FindWindowExA(HWND parent, HWND childAfter, LPCSTR className, LPCSTR windowName);
QAP_EXPORT BOOL EnumWindows(WNDENUMPROC proc, LPARAM lParam);
QAP_EXPORT BOOL EnumChildWindows(HWND parent, WNDENUMPROC proc, LPARAM lParam);
QAP_EXPORT BOOL EnumThreadWindows(DWORD threadId, WNDENUMPROC proc, LPARAM lParam);

constexpr int SM_CXSCREEN = 0;
constexpr int SM_CYSCREEN = 1;
constexpr int SM_CXVSCROLL = 2;
constexpr int SM_CYHSCROLL = 3;
constexpr int SM_CYCAPTION = 4;
constexpr int SM_CXBORDER = 5;
constexpr int SM_CYBORDER = 6;
constexpr int SM_CXDLGFRAME = 7;
constexpr int SM_CYDLGFRAME = 8;
constexpr int SM_CXICON = 11;
constexpr int SM_CYICON = 12;
constexpr int SM_CYMENU = 15;
constexpr int SM_CXSMICON = 49;
constexpr int SM_CYSMICON = 50;
constexpr int SM_CXDRAG = 68;
constexpr int SM_CYDRAG = 69;
QAP_EXPORT int GetSystemMetrics(int index);

QAP_EXPORT BOOL GetCursorPos(POINT* point);
QAP_EXPORT BOOL SetCursorPos(int x, int y);
QAP_EXPORT DWORD GetMessagePos();
