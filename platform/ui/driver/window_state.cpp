// What the driver reports of windows: their state, tree and control models.
#include "platform/base/last_error.h"
#include "platform/ui/core/message_queue.h"
#include "platform/ui/core/window.h"
#include "platform/ui/driver.h"

namespace ui::driver {

bool GetWindowInfo(HWND window, WindowInfo* info) {
  auto object = core::FindWindowObject(window);
  if (!object || info == nullptr) return false;
  HWND focus = nullptr;
  if (auto queue = object->queue.lock()) focus = queue->focus;
  std::lock_guard lock(core::WindowLock());
  info->window = window;
  info->parent = (object->style & WS_CHILD) ? object->parent : nullptr;
  info->owner = (object->style & WS_CHILD) ? nullptr : object->owner;
  info->className = object->windowClass->name;
  info->text = object->text;
  info->id = static_cast<int>(object->id);
  info->style = object->style;
  info->exStyle = object->exStyle;
  info->rect = object->rect;
  info->enabled = (object->style & WS_DISABLED) == 0;
  info->visible = (object->style & WS_VISIBLE) != 0;
  info->focused = focus == window;
  info->fontFace = object->font.face;
  info->fontPointSize = object->font.pointSize;
  return true;
}

std::vector<HWND> TopLevelWindows() { return core::TopLevelWindows(); }

std::vector<HWND> Children(HWND window) {
  auto object = core::FindWindowObject(window);
  if (!object) return {};
  std::lock_guard lock(core::WindowLock());
  return object->children;
}

void* ControlModel(HWND window, const std::type_info& type) {
  auto object = core::FindWindowObject(window);
  if (!object || !object->control) return nullptr;
  return object->control->QueryModel(type);
}

}  // namespace ui::driver
