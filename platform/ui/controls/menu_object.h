// A menu as the handle table keeps it, and the lookups the menu files
// share: an item by position or by command (searched through the
// sub-menus as Windows searches them), and the chain of pop-ups that leads
// to a command, which a person opens one after the other to reach it.
#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/ui/core/handle_table.h"
#include "platform/ui/menu.h"

namespace ui::controls {

struct MenuItem {
  UINT type = MFT_STRING;  // MFT_* bits
  UINT state = 0;          // MFS_* bits
  UINT id = 0;
  HMENU subMenu = nullptr;
  std::string text;
  ULONG_PTR data = 0;
  HBITMAP bitmap = nullptr;
  HBITMAP checkedBitmap = nullptr;
  HBITMAP uncheckedBitmap = nullptr;

  bool Separator() const { return (type & MFT_SEPARATOR) != 0; }
  bool Usable() const { return !(state & (MF_GRAYED | MF_DISABLED)); }
};

class MenuObject : public core::UserObject {
 public:
  MenuObject() : UserObject(core::ObjectKind::kMenu) {}
  bool popup = false;
  std::vector<MenuItem> items;
};

// Guards the items of every menu. Never held while a message is sent.
std::recursive_mutex& MenuLock();

// The menu behind a handle; null (with ERROR_INVALID_MENU_HANDLE) when it
// is not, or no longer, a menu.
std::shared_ptr<MenuObject> FindMenu(HMENU menu);

struct ItemRef {
  std::shared_ptr<MenuObject> menu;  // the menu that holds the item
  HMENU handle = nullptr;
  size_t index = 0;
  MenuItem& Item() const { return menu->items[index]; }
};

// item is a position (MF_BYPOSITION) or a command, found depth first
// through the sub-menus; an item that opens a sub-menu answers to its id
// only when no other item has it. Call under MenuLock.
bool FindItem(HMENU menu, UINT item, UINT flags, ItemRef* out);

// The pop-ups a person opens, outermost first, to reach command id from
// root (empty when the command is in root itself); false when root has no
// such command.
struct PathStep {
  HMENU popup;
  int position;  // in the menu that holds it
};
bool PathTo(HMENU root, UINT id, std::vector<PathStep>* path);

// Opens the pop-ups leading to id from root as a person would, each with
// WM_INITMENUPOPUP to owner (when notify), so that the owner may gray or
// check items first, and answers whether the item can then be chosen.
// The opened pop-ups are added to opened, outermost first.
bool OpenPathTo(HWND owner, HMENU root, UINT id, bool notify, std::vector<HMENU>* opened);
// Closes them again, innermost first, with WM_UNINITMENUPOPUP.
void ClosePopups(HWND owner, const std::vector<HMENU>& opened, bool notify);

}  // namespace ui::controls
