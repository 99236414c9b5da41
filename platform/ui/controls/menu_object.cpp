// Menu objects and the item lookups.
#include "platform/ui/controls/menu_object.h"

#include "platform/base/last_error.h"
#include "platform/ui/message_api.h"
#include "platform/ui/window_api.h"

namespace ui::controls {

std::recursive_mutex& MenuLock() {
  static auto* lock = new std::recursive_mutex;
  return *lock;
}

std::shared_ptr<MenuObject> FindMenu(HMENU menu) {
  auto object = core::HandleTable::Get().Find<MenuObject>(menu, core::ObjectKind::kMenu);
  if (!object) SetLastError(ERROR_INVALID_MENU_HANDLE);
  return object;
}

namespace {

bool FindByCommand(HMENU handle, UINT id, ItemRef* out, int depth) {
  auto menu = core::HandleTable::Get().Find<MenuObject>(handle, core::ObjectKind::kMenu);
  // A menu that holds itself, however deep, is not walked for ever.
  if (!menu || depth > 32) return false;
  ItemRef fallback;
  bool haveFallback = false;
  for (size_t i = 0; i < menu->items.size(); ++i) {
    const MenuItem& item = menu->items[i];
    if (item.subMenu != nullptr) {
      if (FindByCommand(item.subMenu, id, out, depth + 1)) return true;
      if (item.id == id && !haveFallback) {
        fallback = ItemRef{menu, handle, i};
        haveFallback = true;
      }
    } else if (item.id == id && !item.Separator()) {
      *out = ItemRef{menu, handle, i};
      return true;
    }
  }
  if (haveFallback) *out = fallback;
  return haveFallback;
}

bool PathBelow(HMENU handle, UINT id, std::vector<PathStep>* path, int depth) {
  auto menu = core::HandleTable::Get().Find<MenuObject>(handle, core::ObjectKind::kMenu);
  if (!menu || depth > 32) return false;
  for (size_t i = 0; i < menu->items.size(); ++i) {
    const MenuItem& item = menu->items[i];
    if (item.subMenu == nullptr) {
      if (item.id == id && !item.Separator()) return true;
      continue;
    }
    path->push_back(PathStep{item.subMenu, static_cast<int>(i)});
    if (PathBelow(item.subMenu, id, path, depth + 1)) return true;
    path->pop_back();
  }
  return false;
}

}  // namespace

bool FindItem(HMENU menu, UINT item, UINT flags, ItemRef* out) {
  auto object = FindMenu(menu);
  if (!object) return false;
  if (flags & MF_BYPOSITION) {
    if (item >= object->items.size()) return false;
    *out = ItemRef{object, menu, item};
    return true;
  }
  return FindByCommand(menu, item, out, 0);
}

bool PathTo(HMENU root, UINT id, std::vector<PathStep>* path) {
  std::lock_guard lock(MenuLock());
  path->clear();
  return PathBelow(root, id, path, 0);
}

bool OpenPathTo(HWND owner, HMENU root, UINT id, bool notify, std::vector<HMENU>* opened) {
  std::vector<PathStep> path;
  if (!PathTo(root, id, &path)) return false;
  for (const PathStep& step : path) {
    if (notify) {
      SendMessageA(owner, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(step.popup),
                   MAKELPARAM(static_cast<WORD>(step.position), FALSE));
    }
    opened->push_back(step.popup);
  }
  // What the owner made of the items while they opened is what counts.
  std::lock_guard lock(MenuLock());
  ItemRef found;
  return FindItem(root, id, MF_BYCOMMAND, &found) && found.Item().subMenu == nullptr &&
         found.Item().Usable();
}

void ClosePopups(HWND owner, const std::vector<HMENU>& opened, bool notify) {
  if (!notify) return;
  for (auto it = opened.rbegin(); it != opened.rend(); ++it) {
    SendMessageA(owner, WM_UNINITMENUPOPUP, reinterpret_cast<WPARAM>(*it), 0);
  }
}

}  // namespace ui::controls
