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

namespace {

// The cache's entry for window while that window is still there; else null.
const MessageQueue::LookupCache::Entry* Cached(const MessageQueue::LookupCache& cache, HWND window) {
  if (window == nullptr) return nullptr;
  for (const auto& entry : cache.entries) {
    if (entry.handle == window && entry.object && !entry.object->gone.load()) return &entry;
  }
  return nullptr;
}

}  // namespace

std::shared_ptr<Window> FindWindowObject(HWND window) {
  // A control's procedure finds the window its message was just sent to:
  // the thread's last look-ups spare it the handle table's lock.
  if (const MessageQueue* queue = MessageQueue::CurrentIfAnyRaw()) {
    if (const auto* entry = Cached(queue->lookupCache, window)) return entry->object;
  }
  return HandleTable::Get().Find<Window>(window, ObjectKind::kWindow);
}

Window* LookupWindow(HWND window) {
  MessageQueue::LookupCache& cache = MessageQueue::Here().lookupCache;
  if (const auto* entry = Cached(cache, window)) {
    if (entry != &cache.entries[0]) std::swap(cache.entries[0], cache.entries[1]);
    return cache.entries[0].object.get();
  }
  std::shared_ptr<Window> found = HandleTable::Get().Find<Window>(window, ObjectKind::kWindow);
  if (!found) return nullptr;
  cache.entries[1] = std::move(cache.entries[0]);
  cache.entries[0] = {window, std::move(found)};
  return cache.entries[0].object.get();
}

void RemoveWindowObject(HWND window) {
  if (auto object = FindWindowObject(window)) object->gone = true;
  HandleTable::Get().Remove(HandleValue(window));
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
  Window* object = LookupWindow(window);
  if (!object) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return 0;
  }
  WNDPROC proc = object->proc.load();
  return proc != nullptr ? proc(window, message, wParam, lParam) : 0;
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
    RemoveWindowObject(window);
  }
}

}  // namespace ui::core
