// The window accessors of user32: tree, text, window longs, enable, show,
// geometry and properties.
#include <algorithm>
#include <cstring>

#include "platform/base/last_error.h"
#include "platform/ui/core/announce.h"
#include "platform/ui/core/focus.h"
#include "platform/ui/core/message_queue.h"
#include "platform/ui/core/remote_windows.h"
#include "platform/ui/core/window.h"
#include "platform/ui/message_api.h"

using namespace ui::core;
using ui::driver::Change;

namespace {

std::shared_ptr<Window> Lookup(HWND window) {
  auto object = FindWindowObject(window);
  if (!object) SetLastError(ERROR_INVALID_WINDOW_HANDLE);
  return object;
}

bool OnOwnThread(const Window& object) { return object.threadId == GetCurrentThreadId(); }

RECT ScreenRect(const std::shared_ptr<Window>& object) {
  std::lock_guard lock(WindowLock());
  RECT rect = object->rect;
  for (auto parent = FindWindowObject(object->parent); parent;
       parent = FindWindowObject(parent->parent)) {
    rect.left += parent->rect.left;
    rect.right += parent->rect.left;
    rect.top += parent->rect.top;
    rect.bottom += parent->rect.top;
  }
  return rect;
}

}  // namespace

BOOL IsWindow(HWND window) { return FindWindowObject(window) != nullptr; }

BOOL IsChild(HWND parent, HWND window) {
  std::lock_guard lock(WindowLock());
  for (auto object = FindWindowObject(window); object && (object->style & WS_CHILD);) {
    if (object->parent == parent) return TRUE;
    object = FindWindowObject(object->parent);
  }
  return FALSE;
}

HWND GetParent(HWND window) {
  auto object = Lookup(window);
  if (!object) return nullptr;
  std::lock_guard lock(WindowLock());
  // GetParent's quirk: the owner of a top-level window that has one.
  if (object->style & WS_CHILD) return object->parent;
  return (object->style & WS_POPUP) ? object->owner : nullptr;
}

HWND SetParent(HWND window, HWND newParent) {
  auto object = Lookup(window);
  if (!object) return nullptr;
  auto parentObject = newParent != nullptr ? Lookup(newParent) : nullptr;
  if (newParent != nullptr && !parentObject) return nullptr;
  HWND old;
  {
    std::lock_guard lock(WindowLock());
    old = object->parent;
    if (auto oldParent = FindWindowObject(old)) std::erase(oldParent->children, window);
    object->parent = newParent;
    if (parentObject) parentObject->children.push_back(window);
  }
  if (newParent == nullptr) {
    AddTopLevel(window);
  } else {
    RemoveTopLevel(window);
  }
  Announce(window, Change::kGeometry);
  return old;
}

HWND GetWindow(HWND window, UINT relation) {
  auto object = Lookup(window);
  if (!object) return nullptr;
  std::lock_guard lock(WindowLock());
  auto siblingsOf = [&]() -> std::vector<HWND> {
    if (object->style & WS_CHILD) {
      auto parent = FindWindowObject(object->parent);
      return parent ? parent->children : std::vector<HWND>{};
    }
    return TopLevelWindows();
  };
  switch (relation) {
    case GW_CHILD:
      return object->children.empty() ? nullptr : object->children.front();
    case GW_OWNER:
      return (object->style & WS_CHILD) ? nullptr : object->owner;
    case GW_HWNDFIRST:
    case GW_HWNDLAST:
    case GW_HWNDNEXT:
    case GW_HWNDPREV: {
      std::vector<HWND> siblings = siblingsOf();
      if (siblings.empty()) return nullptr;
      if (relation == GW_HWNDFIRST) return siblings.front();
      if (relation == GW_HWNDLAST) return siblings.back();
      auto it = std::find(siblings.begin(), siblings.end(), window);
      if (it == siblings.end()) return nullptr;
      if (relation == GW_HWNDNEXT) return std::next(it) == siblings.end() ? nullptr : *std::next(it);
      return it == siblings.begin() ? nullptr : *std::prev(it);
    }
    default:
      SetLastError(ERROR_INVALID_PARAMETER);
      return nullptr;
  }
}

HWND GetAncestor(HWND window, UINT relation) {
  auto object = Lookup(window);
  if (!object) return nullptr;
  std::lock_guard lock(WindowLock());
  switch (relation) {
    case GA_PARENT:
      return (object->style & WS_CHILD) ? object->parent : nullptr;
    case GA_ROOT:
    case GA_ROOTOWNER: {
      while (object->style & WS_CHILD) {
        auto parent = FindWindowObject(object->parent);
        if (!parent) break;
        object = parent;
      }
      if (relation == GA_ROOTOWNER) {
        while (auto owner = FindWindowObject(object->owner)) object = owner;
      }
      return object->Hwnd();
    }
    default:
      return nullptr;
  }
}

HWND GetTopWindow(HWND window) {
  if (window == nullptr) {
    auto windows = TopLevelWindows();
    return windows.empty() ? nullptr : windows.front();
  }
  return GetWindow(window, GW_CHILD);
}

HWND GetDesktopWindow() { return nullptr; }

DWORD GetWindowThreadProcessId(HWND window, DWORD* processId) {
  auto object = Lookup(window);
  if (!object) return 0;
  if (processId != nullptr) *processId = static_cast<DWORD>(HandleValue(window) >> 32);
  return object->threadId;
}

int GetWindowTextA(HWND window, LPSTR buffer, int size) {
  if (buffer == nullptr || size <= 0) return 0;
  buffer[0] = '\0';
  if (HandleTable::IsForeign(HandleValue(window))) {
    RemoteWindow remote;
    if (!RemoteWindowOf(window, &remote)) {
      SetLastError(ERROR_INVALID_WINDOW_HANDLE);
      return 0;
    }
    int length = std::min<int>(static_cast<int>(remote.title.size()), size - 1);
    std::memcpy(buffer, remote.title.data(), static_cast<size_t>(length));
    buffer[length] = '\0';
    return length;
  }
  auto object = Lookup(window);
  if (!object) return 0;
  // A window of another thread answers from what it keeps, without a
  // message, as Windows does for windows it cannot safely send to.
  if (OnOwnThread(*object)) {
    return static_cast<int>(
        SendMessageA(window, WM_GETTEXT, static_cast<WPARAM>(size), reinterpret_cast<LPARAM>(buffer)));
  }
  std::lock_guard lock(WindowLock());
  int length = std::min<int>(static_cast<int>(object->text.size()), size - 1);
  std::memcpy(buffer, object->text.data(), static_cast<size_t>(length));
  buffer[length] = '\0';
  return length;
}

int GetWindowTextLengthA(HWND window) {
  auto object = Lookup(window);
  if (!object) return 0;
  if (OnOwnThread(*object)) return static_cast<int>(SendMessageA(window, WM_GETTEXTLENGTH, 0, 0));
  std::lock_guard lock(WindowLock());
  return static_cast<int>(object->text.size());
}

BOOL SetWindowTextA(HWND window, LPCSTR text) {
  if (!Lookup(window)) return FALSE;
  return SendMessageA(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text != nullptr ? text : "")) != 0;
}

LONG_PTR GetWindowLongPtrA(HWND window, int index) {
  auto object = Lookup(window);
  if (!object) return 0;
  std::lock_guard lock(WindowLock());
  switch (index) {
    case GWLP_WNDPROC:
      return reinterpret_cast<LONG_PTR>(object->proc.load());
    case GWLP_HINSTANCE:
      return reinterpret_cast<LONG_PTR>(object->instance);
    case GWLP_HWNDPARENT:
      return reinterpret_cast<LONG_PTR>((object->style & WS_CHILD) ? object->parent : object->owner);
    case GWLP_ID:
      return static_cast<LONG_PTR>(object->id);
    case GWL_STYLE:
      return static_cast<LONG_PTR>(static_cast<LONG>(object->style));
    case GWL_EXSTYLE:
      return static_cast<LONG_PTR>(static_cast<LONG>(object->exStyle));
    case GWLP_USERDATA:
      return object->userData;
    default:
      if (index >= 0 && static_cast<size_t>(index) + sizeof(LONG_PTR) <= object->extra.size()) {
        LONG_PTR value;
        std::memcpy(&value, object->extra.data() + index, sizeof value);
        return value;
      }
      SetLastError(ERROR_INVALID_INDEX_VALUE);
      return 0;
  }
}

LONG_PTR SetWindowLongPtrA(HWND window, int index, LONG_PTR value) {
  auto object = Lookup(window);
  if (!object) return 0;
  LONG_PTR old = GetWindowLongPtrA(window, index);
  bool styleChanged = false;
  {
    std::lock_guard lock(WindowLock());
    switch (index) {
      case GWLP_WNDPROC:
        object->proc = reinterpret_cast<WNDPROC>(value);
        break;
      case GWLP_HINSTANCE:
        object->instance = reinterpret_cast<HINSTANCE>(value);
        break;
      case GWLP_HWNDPARENT:
        if (!(object->style & WS_CHILD)) object->owner = reinterpret_cast<HWND>(value);
        break;
      case GWLP_ID:
        object->id = static_cast<UINT_PTR>(value);
        break;
      case GWL_STYLE:
        object->style = static_cast<DWORD>(value);
        styleChanged = true;
        break;
      case GWL_EXSTYLE:
        object->exStyle = static_cast<DWORD>(value);
        styleChanged = true;
        break;
      case GWLP_USERDATA:
        object->userData = value;
        break;
      default:
        if (index >= 0 && static_cast<size_t>(index) + sizeof(LONG_PTR) <= object->extra.size()) {
          std::memcpy(object->extra.data() + index, &value, sizeof value);
          break;
        }
        SetLastError(ERROR_INVALID_INDEX_VALUE);
        return 0;
    }
  }
  if (styleChanged) {
    SendMessageA(window, WM_STYLECHANGED, static_cast<WPARAM>(index), 0);
    Announce(window, Change::kState);
  }
  return old;
}

LONG GetWindowLongA(HWND window, int index) {
  return static_cast<LONG>(GetWindowLongPtrA(window, index));
}

LONG SetWindowLongA(HWND window, int index, LONG value) {
  return static_cast<LONG>(SetWindowLongPtrA(window, index, value));
}

LRESULT CallWindowProcA(WNDPROC proc, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return proc != nullptr ? proc(window, message, wParam, lParam) : 0;
}

BOOL EnableWindow(HWND window, BOOL enable) {
  auto object = Lookup(window);
  if (!object) return FALSE;
  bool wasDisabled;
  {
    std::lock_guard lock(WindowLock());
    wasDisabled = (object->style & WS_DISABLED) != 0;
    if (wasDisabled == !enable) return wasDisabled;
  }
  if (!enable && OnOwnThread(*object)) MoveFocusAwayFrom(window);
  {
    std::lock_guard lock(WindowLock());
    if (enable) {
      object->style &= ~WS_DISABLED;
    } else {
      object->style |= WS_DISABLED;
    }
  }
  SendMessageA(window, WM_ENABLE, enable ? TRUE : FALSE, 0);
  Announce(window, Change::kState);
  return wasDisabled;
}

BOOL IsWindowEnabled(HWND window) {
  auto object = FindWindowObject(window);
  if (!object) return FALSE;
  std::lock_guard lock(WindowLock());
  return (object->style & WS_DISABLED) == 0;
}

BOOL ShowWindow(HWND window, int command) {
  auto object = Lookup(window);
  if (!object) return FALSE;
  bool show = command != SW_HIDE && command != SW_MINIMIZE;
  bool wasVisible;
  {
    std::lock_guard lock(WindowLock());
    wasVisible = (object->style & WS_VISIBLE) != 0;
  }
  if (wasVisible == show) return wasVisible;
  if (!show && OnOwnThread(*object)) MoveFocusAwayFrom(window);
  SendMessageA(window, WM_SHOWWINDOW, show ? TRUE : FALSE, 0);
  {
    std::lock_guard lock(WindowLock());
    if (show) {
      object->style |= WS_VISIBLE;
    } else {
      object->style &= ~WS_VISIBLE;
    }
  }
  Announce(window, Change::kState);
  bool topLevel = (GetWindowLongA(window, GWL_STYLE) & WS_CHILD) == 0;
  if (show && topLevel && OnOwnThread(*object) && command != SW_SHOWNA &&
      command != SW_SHOWNOACTIVATE) {
    SetActiveWindow(window);
  }
  return wasVisible;
}

BOOL IsWindowVisible(HWND window) {
  std::lock_guard lock(WindowLock());
  auto object = FindWindowObject(window);
  if (!object) return FALSE;
  // Visible only when every ancestor is.
  for (; object; object = FindWindowObject(object->parent)) {
    if (!(object->style & WS_VISIBLE)) return FALSE;
    if (!(object->style & WS_CHILD)) break;
  }
  return TRUE;
}

BOOL SetWindowPos(HWND window, HWND insertAfter, int x, int y, int width, int height, UINT flags) {
  auto object = Lookup(window);
  if (!object) return FALSE;
  RECT old;
  RECT now;
  {
    std::lock_guard lock(WindowLock());
    old = object->rect;
    now = old;
    if (!(flags & SWP_NOMOVE)) {
      now.left = x;
      now.top = y;
    }
    if (flags & SWP_NOSIZE) {
      now.right = now.left + (old.right - old.left);
      now.bottom = now.top + (old.bottom - old.top);
    } else {
      now.right = now.left + std::max(0, width);
      now.bottom = now.top + std::max(0, height);
    }
    object->rect = now;
    if (!(flags & SWP_NOZORDER) && (object->style & WS_CHILD)) {
      if (auto parent = FindWindowObject(object->parent)) {
        auto& siblings = parent->children;
        std::erase(siblings, window);
        if (insertAfter == HWND_TOP) {
          siblings.insert(siblings.begin(), window);
        } else if (insertAfter == HWND_BOTTOM) {
          siblings.push_back(window);
        } else {
          auto it = std::find(siblings.begin(), siblings.end(), insertAfter);
          siblings.insert(it == siblings.end() ? siblings.end() : std::next(it), window);
        }
      }
    }
  }
  bool moved = old.left != now.left || old.top != now.top;
  bool sized = old.right - old.left != now.right - now.left || old.bottom - old.top != now.bottom - now.top;
  if (moved) SendMessageA(window, WM_MOVE, 0, MAKELPARAM(static_cast<WORD>(now.left), static_cast<WORD>(now.top)));
  if (sized) {
    SendMessageA(window, WM_SIZE, SIZE_RESTORED,
                 MAKELPARAM(static_cast<WORD>(now.right - now.left), static_cast<WORD>(now.bottom - now.top)));
  }
  if (moved || sized) Announce(window, Change::kGeometry);
  if (flags & SWP_SHOWWINDOW) ShowWindow(window, (flags & SWP_NOACTIVATE) ? SW_SHOWNA : SW_SHOW);
  if (flags & SWP_HIDEWINDOW) ShowWindow(window, SW_HIDE);
  return TRUE;
}

BOOL MoveWindow(HWND window, int x, int y, int width, int height, BOOL) {
  return SetWindowPos(window, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

BOOL GetWindowRect(HWND window, RECT* rect) {
  auto object = Lookup(window);
  if (!object || rect == nullptr) return FALSE;
  *rect = ScreenRect(object);
  return TRUE;
}

BOOL GetClientRect(HWND window, RECT* rect) {
  auto object = Lookup(window);
  if (!object || rect == nullptr) return FALSE;
  std::lock_guard lock(WindowLock());
  *rect = RECT{0, 0, object->rect.right - object->rect.left, object->rect.bottom - object->rect.top};
  return TRUE;
}

BOOL ScreenToClient(HWND window, POINT* point) {
  auto object = Lookup(window);
  if (!object || point == nullptr) return FALSE;
  RECT rect = ScreenRect(object);
  point->x -= rect.left;
  point->y -= rect.top;
  return TRUE;
}

BOOL ClientToScreen(HWND window, POINT* point) {
  auto object = Lookup(window);
  if (!object || point == nullptr) return FALSE;
  RECT rect = ScreenRect(object);
  point->x += rect.left;
  point->y += rect.top;
  return TRUE;
}

int MapWindowPoints(HWND from, HWND to, POINT* points, UINT count) {
  POINT origin{0, 0};
  if (from != nullptr) ClientToScreen(from, &origin);
  POINT target{0, 0};
  if (to != nullptr) ClientToScreen(to, &target);
  LONG dx = origin.x - target.x;
  LONG dy = origin.y - target.y;
  for (UINT i = 0; i < count; ++i) {
    points[i].x += dx;
    points[i].y += dy;
  }
  return MAKELONG(static_cast<WORD>(dx), static_cast<WORD>(dy));
}

static HWND DeepestAt(HWND window, POINT screen) {
  for (HWND child : ui::driver::Children(window)) {
    RECT rect;
    if (!IsWindowVisible(child) || !GetWindowRect(child, &rect)) continue;
    if (screen.x >= rect.left && screen.x < rect.right && screen.y >= rect.top && screen.y < rect.bottom) {
      return DeepestAt(child, screen);
    }
  }
  return window;
}

HWND WindowFromPoint(POINT point) {
  for (HWND top : TopLevelWindows()) {
    RECT rect;
    if (!IsWindowVisible(top) || !GetWindowRect(top, &rect)) continue;
    if (point.x >= rect.left && point.x < rect.right && point.y >= rect.top && point.y < rect.bottom) {
      return DeepestAt(top, point);
    }
  }
  return nullptr;
}

HWND ChildWindowFromPoint(HWND parent, POINT point) {
  POINT screen = point;
  ClientToScreen(parent, &screen);
  for (HWND child : ui::driver::Children(parent)) {
    RECT rect;
    if (!GetWindowRect(child, &rect)) continue;
    if (screen.x >= rect.left && screen.x < rect.right && screen.y >= rect.top && screen.y < rect.bottom) {
      return child;
    }
  }
  return parent;
}

BOOL InvalidateRect(HWND window, const RECT*, BOOL) {
  if (window != nullptr && !Lookup(window)) return FALSE;
  if (window != nullptr) Announce(window, Change::kRedraw);
  return TRUE;
}

BOOL UpdateWindow(HWND window) { return IsWindow(window); }

BOOL SetPropA(HWND window, LPCSTR name, HANDLE data) {
  auto object = Lookup(window);
  if (!object || name == nullptr) return FALSE;
  std::lock_guard lock(WindowLock());
  object->props[name] = data;
  return TRUE;
}

HANDLE GetPropA(HWND window, LPCSTR name) {
  auto object = FindWindowObject(window);
  if (!object || name == nullptr) return nullptr;
  std::lock_guard lock(WindowLock());
  auto it = object->props.find(name);
  return it == object->props.end() ? nullptr : it->second;
}

HANDLE RemovePropA(HWND window, LPCSTR name) {
  auto object = FindWindowObject(window);
  if (!object || name == nullptr) return nullptr;
  std::lock_guard lock(WindowLock());
  auto it = object->props.find(name);
  if (it == object->props.end()) return nullptr;
  HANDLE data = it->second;
  object->props.erase(it);
  return data;
}

int GetSystemMetrics(int index) {
  switch (index) {
    case SM_CXSCREEN:
      return 1280;
    case SM_CYSCREEN:
      return 1024;
    case SM_CXVSCROLL:
    case SM_CYHSCROLL:
      return 17;
    case SM_CYCAPTION:
      return 22;
    case SM_CXBORDER:
    case SM_CYBORDER:
      return 1;
    case SM_CXDLGFRAME:
    case SM_CYDLGFRAME:
      return 3;
    case SM_CXICON:
    case SM_CYICON:
      return 32;
    case SM_CYMENU:
      return 20;
    case SM_CXSMICON:
    case SM_CYSMICON:
      return 16;
    case SM_CXDRAG:
    case SM_CYDRAG:
      return 4;
    default:
      return 0;
  }
}

namespace {
POINT g_cursor{0, 0};
}

BOOL GetCursorPos(POINT* point) {
  if (point == nullptr) return FALSE;
  *point = g_cursor;
  return TRUE;
}

BOOL SetCursorPos(int x, int y) {
  g_cursor = POINT{x, y};
  return TRUE;
}

DWORD GetMessagePos() { return MAKELONG(static_cast<WORD>(g_cursor.x), static_cast<WORD>(g_cursor.y)); }
