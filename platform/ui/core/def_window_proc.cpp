// DefWindowProc: what a window does with a message its procedure passes on.
#include <algorithm>
#include <cstring>

#include "platform/ui/core/announce.h"
#include "platform/ui/core/fonts.h"
#include "platform/ui/core/window.h"
#include "platform/ui/message_api.h"

using namespace ui::core;
using ui::driver::Change;

LRESULT DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto object = FindWindowObject(window);
  if (!object) return 0;
  switch (message) {
    case WM_NCCREATE:
      return TRUE;
    case WM_SETTEXT: {
      {
        std::lock_guard lock(WindowLock());
        object->text = lParam != 0 ? reinterpret_cast<const char*>(lParam) : "";
      }
      Announce(window, Change::kText);
      return TRUE;
    }
    case WM_GETTEXT: {
      auto* buffer = reinterpret_cast<char*>(lParam);
      if (buffer == nullptr || wParam == 0) return 0;
      std::lock_guard lock(WindowLock());
      size_t length = std::min(object->text.size(), static_cast<size_t>(wParam) - 1);
      std::memcpy(buffer, object->text.data(), length);
      buffer[length] = '\0';
      return static_cast<LRESULT>(length);
    }
    case WM_GETTEXTLENGTH: {
      std::lock_guard lock(WindowLock());
      return static_cast<LRESULT>(object->text.size());
    }
    case WM_CLOSE:
      DestroyWindow(window);
      return 0;
    case WM_SYSCOMMAND:
      if ((wParam & 0xFFF0) == SC_CLOSE) SendMessageA(window, WM_CLOSE, 0, 0);
      return 0;
    case WM_CONTEXTMENU:
      // A child passes the request up until someone shows a menu.
      if (GetWindowLongA(window, GWL_STYLE) & WS_CHILD) {
        return SendMessageA(GetParent(window), WM_CONTEXTMENU, wParam, lParam);
      }
      return 0;
    case WM_SETREDRAW: {
      {
        std::lock_guard lock(WindowLock());
        object->redraw = wParam != 0;
      }
      if (wParam != 0) Announce(window, Change::kRedraw);
      return 0;
    }
    case WM_SETFONT: {
      FontStyle style;
      if (FontOf(reinterpret_cast<HFONT>(wParam), &style)) {
        std::lock_guard lock(WindowLock());
        object->font = style;
      }
      return 0;
    }
    case WM_GETFONT:
      return 0;
    case WM_ACTIVATE:
      // An activated window without a focused child takes the focus itself.
      if (LOWORD(wParam) != WA_INACTIVE) {
        HWND focus = GetFocus();
        if (focus == nullptr || (focus != window && !IsChild(window, focus))) SetFocus(window);
      }
      return 0;
    case WM_MOUSEACTIVATE:
      return 1;  // MA_ACTIVATE
    default:
      return 0;
  }
}
