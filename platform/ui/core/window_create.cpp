// CreateWindowEx and DestroyWindow, with the messages Windows sends on the
// way in and out: WM_NCCREATE and WM_CREATE, then WM_DESTROY to the window
// and its children from the top down, and WM_NCDESTROY from the bottom up.
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <string>

#include "platform/base/last_error.h"
#include "platform/ui/core/announce.h"
#include "platform/ui/core/atoms.h"
#include "platform/ui/core/focus.h"
#include "platform/ui/core/message_queue.h"
#include "platform/ui/core/remote_windows.h"
#include "platform/ui/core/window_class.h"
#include "platform/ui/front_end.h"
#include "platform/ui/menu.h"
#include "platform/ui/message_api.h"

namespace ui::core {

namespace {

constexpr int kDefaultX = 100;
constexpr int kDefaultY = 100;
constexpr int kDefaultWidth = 640;
constexpr int kDefaultHeight = 480;

void StartFrontEndOnce() {
  static std::atomic<bool> tried{false};
  if (tried.load() || !ui::WantsDisplay() || tried.exchange(true)) return;
  std::string error;
  if (!ui::StartFrontEnd(false, &error)) {
    std::fprintf(stderr, "Windows are not shown (%s); they go on headless.\n", error.c_str());
  }
}

void Unlink(Window& object) {
  std::lock_guard lock(WindowLock());
  if (auto parent = FindWindowObject(object.parent)) std::erase(parent->children, object.Hwnd());
}

// Marks the tree as going and sends WM_DESTROY, parent first.
void SendDestroy(HWND window) {
  auto object = FindWindowObject(window);
  if (!object) return;
  {
    std::lock_guard lock(WindowLock());
    object->destroying = true;
  }
  SendMessageA(window, WM_DESTROY, 0, 0);
  std::vector<HWND> children;
  {
    std::lock_guard lock(WindowLock());
    children = object->children;
  }
  for (HWND child : children) SendDestroy(child);
}

// Children first, then the window: WM_NCDESTROY, then gone for good.
void FreeWindow(HWND window) {
  auto object = FindWindowObject(window);
  if (!object) return;
  std::vector<HWND> children;
  {
    std::lock_guard lock(WindowLock());
    children = object->children;
  }
  for (HWND child : children) FreeWindow(child);
  SendMessageA(window, WM_NCDESTROY, 0, 0);
  // A top-level window's menu bar ends with it, as on Windows.
  HMENU menu = nullptr;
  {
    std::lock_guard lock(WindowLock());
    if (!(object->style & WS_CHILD)) menu = object->menu;
  }
  if (menu != nullptr) DestroyMenu(menu);
  if (auto queue = object->queue.lock()) queue->ForgetWindow(window);
  Unlink(*object);
  RemoveTopLevel(window);
  RemoveWindowObject(window);
  AnnounceDestroyed(window);
  object->control.reset();
}

}  // namespace

}  // namespace ui::core

using namespace ui::core;

HWND CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x,
                     int y, int width, int height, HWND parent, HMENU menu, HINSTANCE instance,
                     void* param) {
  std::string name;
  if (className != nullptr && IS_INTRESOURCE(className)) {
    name = AtomName(static_cast<ATOM>(reinterpret_cast<std::uintptr_t>(className)));
  } else if (className != nullptr) {
    name = className;
  }
  auto windowClass = FindClass(name, instance);
  if (!windowClass) {
    SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
    return nullptr;
  }
  bool child = (style & WS_CHILD) != 0;
  std::shared_ptr<Window> parentObject;
  if (parent != nullptr && parent != HWND_MESSAGE) {
    parentObject = FindWindowObject(parent);
    if (!parentObject) {
      SetLastError(ERROR_INVALID_WINDOW_HANDLE);
      return nullptr;
    }
  } else if (child) {
    // A child needs a parent (ERROR_TLW_WITH_WSCHILD).
    SetLastError(1406);
    return nullptr;
  }

  auto queue = MessageQueue::Current();
  auto object = std::make_shared<Window>();
  object->windowClass = windowClass;
  object->threadId = queue->ThreadId();
  object->queue = queue;
  object->ownerQueue = queue.get();
  object->text = windowName != nullptr ? windowName : "";
  object->style = style;
  object->exStyle = exStyle;
  object->proc.store(windowClass->proc);
  object->instance = instance != nullptr ? instance : windowClass->instance;
  object->extra.assign(static_cast<size_t>(std::max(0, windowClass->windowExtra)), 0);
  if (x == CW_USEDEFAULT) {
    x = kDefaultX;
    y = kDefaultY;
  }
  if (width == CW_USEDEFAULT) {
    width = kDefaultWidth;
    height = kDefaultHeight;
  }
  object->rect = RECT{x, y, x + std::max(0, width), y + std::max(0, height)};
  if (child) {
    object->parent = parent;
    object->id = reinterpret_cast<UINT_PTR>(menu);
    object->font = parentObject->font;
  } else {
    object->menu = menu;
    // A top-level window's parent argument names its owner: the root of it.
    if (parentObject) object->owner = GetAncestor(parent, GA_ROOT);
  }
  HWND window = AsHandle<HWND>(HandleTable::Get().Insert(object));
  queue->AdoptWindow(window);
  {
    std::lock_guard lock(WindowLock());
    // New children go to the bottom of the z-order, so that the order of
    // creation is the tab order, as dialog templates expect.
    if (child) parentObject->children.push_back(window);
  }
  // A message-only window is nobody's to see: not listed, not shown.
  bool messageOnly = parent == HWND_MESSAGE;
  if (!child && !messageOnly) AddTopLevel(window);

  std::string classNameText = windowClass->name;
  CREATESTRUCTA create{param,  object->instance, menu, parent, height, width,
                       y,      x,                static_cast<LONG>(style),
                       windowName, classNameText.c_str(), exStyle};
  auto fail = [&]() -> HWND {
    FreeWindow(window);
    return nullptr;
  };
  if (!SendMessageA(window, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&create))) return fail();
  if (SendMessageA(window, WM_CREATE, 0, reinterpret_cast<LPARAM>(&create)) == -1) {
    SendDestroy(window);
    return fail();
  }
  if (!IsWindow(window)) return nullptr;
  // The first window a person should see brings up the front-end on this
  // thread, which then mirrors it and everything after it.
  if (!child && !messageOnly) {
    ui::StartScriptFromEnvironment();
    StartFrontEndOnce();
    PublishWindowsOnce();
  }
  if (!messageOnly) AnnounceCreated(window);
  if (style & WS_VISIBLE) {
    {
      std::lock_guard lock(WindowLock());
      object->style &= ~WS_VISIBLE;
    }
    ShowWindow(window, SW_SHOW);
  }
  return window;
}

BOOL DestroyWindow(HWND window) {
  auto object = FindWindowObject(window);
  if (!object) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  if (object->threadId != GetCurrentThreadId()) {
    // Only the window's own thread may destroy it.
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
  }
  {
    std::lock_guard lock(WindowLock());
    if (object->destroying) return TRUE;
    object->destroying = true;
  }
  // Owned windows go first, as their owner's end takes them along.
  for (HWND other : TopLevelWindows()) {
    auto owned = FindWindowObject(other);
    if (owned && owned->owner == window) DestroyWindow(other);
  }
  if (IsWindowVisible(window)) {
    std::lock_guard lock(WindowLock());
    object->style &= ~WS_VISIBLE;
  }
  MoveFocusAwayFrom(window);
  SendDestroy(window);
  FreeWindow(window);
  return TRUE;
}
