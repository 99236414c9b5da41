// The window registry: the lock, lookups, top-level order, control states,
// calls into window procedures, and the end of an ended thread's windows.
#include "platform/ui/core/window.h"

#include <algorithm>

#include "platform/base/last_error.h"
#include "platform/ui/core/message_queue.h"
#include "platform/ui/core/thread_hooks.h"

namespace ui::core {

namespace {

std::vector<HWND>& TopLevels() {
  static auto* windows = new std::vector<HWND>;
  return *windows;
}

}  // namespace

std::recursive_mutex& WindowLock() {
  static auto* lock = new std::recursive_mutex;
  return *lock;
}

std::shared_ptr<Window> FindWindowObject(HWND window) {
  return HandleTable::Get().Find<Window>(window, ObjectKind::kWindow);
}

std::vector<HWND> TopLevelWindows() {
  std::lock_guard lock(WindowLock());
  return TopLevels();
}

void AddTopLevel(HWND window) {
  std::lock_guard lock(WindowLock());
  TopLevels().insert(TopLevels().begin(), window);
}

void RemoveTopLevel(HWND window) {
  std::lock_guard lock(WindowLock());
  std::erase(TopLevels(), window);
}

void BringTopLevelToFront(HWND window) {
  std::lock_guard lock(WindowLock());
  auto& windows = TopLevels();
  auto it = std::find(windows.begin(), windows.end(), window);
  if (it == windows.end()) return;
  windows.erase(it);
  windows.insert(windows.begin(), window);
}

void SetControlState(HWND window, std::unique_ptr<ControlState> state) {
  if (auto object = FindWindowObject(window)) object->control = std::move(state);
}

LRESULT CallProcOf(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto object = FindWindowObject(window);
  if (!object) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return 0;
  }
  return CallProcOf(object, message, wParam, lParam);
}

LRESULT CallProcOf(const std::shared_ptr<Window>& object, UINT message, WPARAM wParam, LPARAM lParam) {
  WNDPROC proc;
  {
    std::lock_guard lock(WindowLock());
    proc = object->proc;
  }
  return proc != nullptr ? proc(object->Hwnd(), message, wParam, lParam) : 0;
}

void DropWindowsOfEndedThread(const std::set<HWND>& windows) {
  for (HWND window : windows) {
    auto object = FindWindowObject(window);
    if (!object) continue;
    {
      std::lock_guard lock(WindowLock());
      if (auto parent = FindWindowObject(object->parent)) std::erase(parent->children, window);
    }
    RemoveTopLevel(window);
    HandleTable::Get().Remove(HandleValue(window));
  }
}

}  // namespace ui::core
