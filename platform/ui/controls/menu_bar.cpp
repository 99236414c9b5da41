// A top-level window's menu bar (SetMenu, GetMenu, DrawMenuBar, each
// change announced to the driver), and the driver's menu functions: what
// a menu holds, and a person choosing a command from a tracked pop-up or
// from a window's menu bar.
#include <strings.h>

#include "platform/base/last_error.h"
#include "platform/ui/controls/menu_object.h"
#include "platform/ui/core/announce.h"
#include "platform/ui/core/control_input.h"
#include "platform/ui/core/window.h"
#include "platform/ui/driver.h"
#include "platform/ui/driver/act.h"
#include "platform/ui/message_api.h"
#include "platform/ui/window_api.h"

using namespace ui::controls;

namespace {

constexpr DWORD ERROR_CHILD_WINDOW_MENU = 1436;

std::shared_ptr<ui::core::Window> TopLevel(HWND window) {
  auto object = ui::core::FindWindowObject(window);
  if (!object) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return nullptr;
  }
  std::lock_guard lock(ui::core::WindowLock());
  if (object->style & WS_CHILD) {
    SetLastError(ERROR_CHILD_WINDOW_MENU);
    return nullptr;
  }
  return object;
}

bool IsMenuWindow(HWND window) {
  char name[16];
  return GetClassNameA(window, name, sizeof name) > 0 && strcasecmp(name, kMenuWindowClass) == 0;
}

// A person opens the bar's pop-ups down to the command and clicks it,
// unless it turned out grayed once they were open.
void ChooseFromBar(HWND window, UINT id) {
  HMENU bar = GetMenu(window);
  std::vector<PathStep> path;
  if (bar == nullptr || !PathTo(bar, id, &path)) return;
  SendMessageA(window, WM_ENTERMENULOOP, FALSE, 0);
  SendMessageA(window, WM_INITMENU, reinterpret_cast<WPARAM>(bar), 0);
  std::vector<HMENU> opened;
  bool usable = OpenPathTo(window, bar, id, true, &opened);
  ClosePopups(window, opened, true);
  if (!IsWindow(window)) return;
  SendMessageA(window, WM_EXITMENULOOP, FALSE, 0);
  if (usable) PostMessageA(window, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(id), 0), 0);
}

}  // namespace

BOOL SetMenu(HWND window, HMENU menu) {
  auto object = TopLevel(window);
  if (!object) return FALSE;
  if (menu != nullptr && !IsMenu(menu)) {
    SetLastError(ERROR_INVALID_MENU_HANDLE);
    return FALSE;
  }
  {
    std::lock_guard lock(ui::core::WindowLock());
    object->menu = menu;
  }
  ui::core::Announce(window, ui::driver::Change::kMenu);
  return TRUE;
}

HMENU GetMenu(HWND window) {
  auto object = TopLevel(window);
  if (!object) return nullptr;
  std::lock_guard lock(ui::core::WindowLock());
  return IsMenu(object->menu) ? object->menu : nullptr;
}

BOOL DrawMenuBar(HWND window) {
  if (!TopLevel(window)) return FALSE;
  ui::core::Announce(window, ui::driver::Change::kMenu);
  return TRUE;
}

namespace ui::driver {

std::vector<MenuItemInfo> MenuItems(HMENU menu) {
  std::vector<MenuItemInfo> items;
  std::lock_guard lock(MenuLock());
  auto object = FindMenu(menu);
  if (!object) return items;
  for (const MenuItem& item : object->items) {
    MenuItemInfo info;
    info.separator = item.Separator();
    info.popup = item.subMenu != nullptr;
    info.id = info.separator || info.popup ? 0 : item.id;
    info.text = item.text;
    info.grayed = !item.Usable();
    info.checked = (item.state & MFS_CHECKED) != 0;
    info.isDefault = (item.state & MFS_DEFAULT) != 0;
    info.subMenu = item.subMenu;
    items.push_back(std::move(info));
  }
  return items;
}

HMENU WindowMenu(HWND window) { return GetMenu(window); }

void ChooseMenuItem(HWND window, UINT id) {
  Act(window, [window, id] {
    if (IsMenuWindow(window)) {
      if (auto* input = InputOf<core::MenuInput>(window)) input->Choose(id);
    } else {
      ChooseFromBar(window, id);
    }
  });
}

}  // namespace ui::driver
