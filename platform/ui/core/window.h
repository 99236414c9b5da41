// A window's state as user32 keeps it. The tree and the fields below are
// read from any thread under the window lock; the window procedure and the
// control state belong to the window's own thread and are used there
// without it.
#pragma once

#include <atomic>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <typeinfo>
#include <vector>

#include "platform/ui/core/handle_table.h"
#include "platform/ui/window_api.h"
#include "platform/ui/window_look.h"

namespace ui::core {

class MessageQueue;

// The state of a built-in control, owned by its window and ended with it.
// It answers for the driver's model interfaces it implements.
class ControlState {
 public:
  virtual ~ControlState() = default;
  virtual void* QueryModel(const std::type_info& type) = 0;
};

// QueryModel for a state that implements Models.
template <typename Self, typename... Models>
void* QueryModels(Self* self, const std::type_info& type) {
  void* found = nullptr;
  ((found == nullptr && type == typeid(Models) ? (found = static_cast<Models*>(self)) : nullptr),
   ...);
  return found;
}

struct WindowClass {
  std::string name;
  UINT style = 0;
  std::atomic<WNDPROC> proc{nullptr};  // read on every dispatch, without the lock
  int classExtra = 0;
  int windowExtra = 0;
  HINSTANCE instance = nullptr;
  HICON icon = nullptr;
  HCURSOR cursor = nullptr;
  HBRUSH background = nullptr;
  std::string menuName;
  ATOM atom = 0;
};

struct FontStyle {
  std::string face;
  int pointSize = 0;
  bool bold = false;
};

class Window : public UserObject {
 public:
  Window() : UserObject(ObjectKind::kWindow) {}

  HWND Hwnd() const { return AsHandle<HWND>(Handle()); }

  // Fixed at creation.
  std::shared_ptr<const WindowClass> windowClass;
  DWORD threadId = 0;
  std::weak_ptr<MessageQueue> queue;
  // The same, for comparing with the calling thread's queue only: never
  // followed unless it is the caller's own.
  const MessageQueue* ownerQueue = nullptr;

  // Guarded by WindowLock().
  std::string text;
  DWORD style = 0;
  DWORD exStyle = 0;
  UINT_PTR id = 0;
  HWND parent = nullptr;  // child windows
  HWND owner = nullptr;   // top-level windows
  std::vector<HWND> children;  // z-order, topmost first
  RECT rect{};  // relative to the parent; screen coordinates for top-levels
  std::atomic<WNDPROC> proc{nullptr};  // read on every dispatch, without the lock
  LONG_PTR userData = 0;
  HINSTANCE instance = nullptr;
  std::vector<BYTE> extra;
  HMENU menu = nullptr;  // a top-level window's menu bar
  std::map<std::string, HANDLE> props;
  FontStyle font;
  std::shared_ptr<const WindowLook> look;  // null: the desktop's style
  bool redraw = true;
  bool destroying = false;
  std::atomic<bool> gone{false};  // out of the handle table for good

  // Owned by the window's thread.
  std::unique_ptr<ControlState> control;
};

// Guards every Window's fields above and the list of top-level windows.
// Never held while a window procedure or an observer runs.
std::recursive_mutex& WindowLock();

std::shared_ptr<Window> FindWindowObject(HWND window);
// The same for the hot paths (posting, dispatching), through a cache of one
// window per thread: valid until the thread's next lookup.
Window* LookupWindow(HWND window);
// Takes window out of the handle table; its handle is never valid again.
void RemoveWindowObject(HWND window);

// Top-level windows of this process in z-order, topmost first.
std::vector<HWND> TopLevelWindows();
void AddTopLevel(HWND window);
void RemoveTopLevel(HWND window);
void BringTopLevelToFront(HWND window);

template <typename T>
T* ControlOf(HWND window) {
  // A control is looked up on every message it gets, on its own thread:
  // through the thread's one-window cache.
  Window* object = LookupWindow(window);
  return object != nullptr ? dynamic_cast<T*>(object->control.get()) : nullptr;
}

// Exported so that test programs can give windows of their own classes a
// state, as the built-in controls have.
QAP_EXPORT void SetControlState(HWND window, std::unique_ptr<ControlState> state);

}  // namespace ui::core
