// Focus, activation, the foreground window and mouse capture. Focus and
// activation belong to a thread, as on Windows; the foreground window is
// the process's.
#include "platform/ui/core/focus.h"

#include <atomic>

#include "platform/base/last_error.h"
#include "platform/ui/core/announce.h"
#include "platform/ui/core/message_queue.h"
#include "platform/ui/core/window.h"
#include "platform/ui/message_api.h"

namespace ui::core {

namespace {

std::atomic<HWND> g_foreground{nullptr};

bool OwnedByCaller(HWND window, const MessageQueue& queue) {
  auto object = FindWindowObject(window);
  if (!object) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return false;
  }
  if (object->threadId != queue.ThreadId()) {
    SetLastError(ERROR_ACCESS_DENIED);
    return false;
  }
  return true;
}

bool Destroying(HWND window) {
  auto object = FindWindowObject(window);
  std::lock_guard lock(WindowLock());
  return !object || object->destroying;
}

}  // namespace

void MoveFocusAwayFrom(HWND window) {
  auto queue = MessageQueue::Current();
  HWND focus = queue->focus;
  if (focus != nullptr && (focus == window || IsChild(window, focus))) {
    HWND parent = (GetWindowLongA(window, GWL_STYLE) & WS_CHILD) ? GetParent(window) : nullptr;
    SetFocus(parent != nullptr && !Destroying(parent) ? parent : nullptr);
  }
  if (queue->active == window) {
    HWND next = GetWindow(window, GW_OWNER);
    if (next == nullptr || !IsWindowVisible(next) || !IsWindowEnabled(next) || Destroying(next)) {
      next = nullptr;
      for (HWND other : TopLevelWindows()) {
        auto object = FindWindowObject(other);
        if (other != window && object && object->threadId == queue->ThreadId() &&
            IsWindowVisible(other) && IsWindowEnabled(other) && !Destroying(other)) {
          next = other;
          break;
        }
      }
    }
    SetActiveWindow(next);
  }
  if (g_foreground.load() == window) g_foreground = queue->active;
}

void SetForeground(HWND window) { g_foreground = window; }

}  // namespace ui::core

using namespace ui::core;

HWND SetFocus(HWND window) {
  auto queue = MessageQueue::Current();
  if (window != nullptr) {
    if (!OwnedByCaller(window, *queue)) return nullptr;
    HWND top = GetAncestor(window, GA_ROOT);
    if (top != queue->active) SetActiveWindow(top);
  }
  HWND old = queue->focus;
  if (old == window) return old;
  // The new focus is set before WM_KILLFOCUS goes out, so that the window
  // losing it can ask who gets it.
  queue->focus = window;
  if (old != nullptr && IsWindow(old)) {
    SendMessageA(old, WM_KILLFOCUS, reinterpret_cast<WPARAM>(window), 0);
    Announce(old, ui::driver::Change::kState);
  }
  if (window != nullptr && queue->focus == window) {
    SendMessageA(window, WM_SETFOCUS, reinterpret_cast<WPARAM>(old), 0);
    Announce(window, ui::driver::Change::kState);
  }
  return old;
}

HWND GetFocus() {
  auto queue = MessageQueue::CurrentIfAny();
  return queue ? queue->focus : nullptr;
}

HWND SetActiveWindow(HWND window) {
  auto queue = MessageQueue::Current();
  if (window != nullptr) {
    if (!OwnedByCaller(window, *queue)) return nullptr;
    window = GetAncestor(window, GA_ROOT);
  }
  HWND old = queue->active;
  if (old == window) return old;
  queue->active = window;
  if (old != nullptr && IsWindow(old)) {
    SendMessageA(old, WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, 0), reinterpret_cast<LPARAM>(window));
  }
  if (window != nullptr) {
    BringTopLevelToFront(window);
    SetForeground(window);
    SendMessageA(window, WM_ACTIVATE, MAKEWPARAM(WA_ACTIVE, 0), reinterpret_cast<LPARAM>(old));
    Announce(window, ui::driver::Change::kState);
  }
  return old;
}

HWND GetActiveWindow() {
  auto queue = MessageQueue::CurrentIfAny();
  return queue ? queue->active : nullptr;
}

BOOL SetForegroundWindow(HWND window) {
  auto object = FindWindowObject(window);
  if (!object) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  if (object->threadId == GetCurrentThreadId()) {
    SetActiveWindow(window);
  } else {
    SetForeground(GetAncestor(window, GA_ROOT));
  }
  return TRUE;
}

HWND GetForegroundWindow() {
  HWND window = g_foreground.load();
  return IsWindow(window) ? window : nullptr;
}

HWND SetCapture(HWND window) {
  auto queue = MessageQueue::Current();
  HWND old = queue->capture;
  if (window != nullptr && !OwnedByCaller(window, *queue)) return nullptr;
  queue->capture = window;
  return old;
}

BOOL ReleaseCapture() {
  MessageQueue::Current()->capture = nullptr;
  return TRUE;
}

HWND GetCapture() {
  auto queue = MessageQueue::CurrentIfAny();
  return queue ? queue->capture : nullptr;
}
