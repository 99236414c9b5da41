// Making and changing menus: CreateMenu and CreatePopupMenu, templates
// (LoadMenu), DestroyMenu with its sub-menus, AppendMenu, InsertMenu and
// InsertMenuItem, RemoveMenu and DeleteMenu, and the item records of
// GetMenuItemInfo and SetMenuItemInfo.
#include <algorithm>
#include <cstddef>
#include <cstring>

#include "platform/base/last_error.h"
#include "platform/ui/controls/menu_object.h"
#include "platform/ui/resources.h"

namespace ui::controls {

namespace {

static_assert(sizeof(MENUITEMINFOA) == 80, "MENUITEMINFOA as on 64-bit Windows");
static_assert(offsetof(MENUITEMINFOA, dwTypeData) == 56);
// Callers written before hbmpItem existed pass the shorter size.
constexpr UINT kShortItemInfoSize = offsetof(MENUITEMINFOA, cch) + sizeof(UINT);

// The type bits that AppendMenu's flags carry (the rest are state or the
// way the item is named).
constexpr UINT kTypeFlags = MF_SEPARATOR | MF_BITMAP | MF_OWNERDRAW | MF_MENUBARBREAK |
                            MF_MENUBREAK | MF_RIGHTJUSTIFY | MFT_RADIOCHECK;
constexpr UINT kStateFlags = MF_GRAYED | MF_DISABLED | MF_CHECKED | MF_HILITE | MF_DEFAULT;

HMENU NewMenu(bool popup) {
  auto menu = std::make_shared<MenuObject>();
  menu->popup = popup;
  return core::AsHandle<HMENU>(core::HandleTable::Get().Insert(menu));
}

bool MakeItem(UINT flags, UINT_PTR id, LPCSTR newItem, MenuItem* item) {
  item->type = flags & kTypeFlags;
  item->state = flags & kStateFlags;
  if (flags & MF_POPUP) {
    // The item opens a sub-menu; its id stays 0, since the handle's value
    // could pass for some command's.
    auto sub = reinterpret_cast<HMENU>(id);
    if (!FindMenu(sub)) return false;
    item->subMenu = sub;
  } else {
    item->id = static_cast<UINT>(id);
  }
  if (item->type & MF_BITMAP) {
    item->bitmap = reinterpret_cast<HBITMAP>(const_cast<char*>(newItem));
  } else if (item->type & MF_OWNERDRAW) {
    item->data = reinterpret_cast<ULONG_PTR>(newItem);
  } else if (!(item->type & MF_SEPARATOR) && newItem != nullptr) {
    item->text = newItem;
  }
  return true;
}

// Inserts before item (a position, or the item with that command in
// whichever menu holds it); anything not found appends to menu.
BOOL InsertAt(HMENU menu, UINT item, UINT flags, MenuItem made) {
  std::lock_guard lock(MenuLock());
  auto object = FindMenu(menu);
  if (!object) return FALSE;
  ItemRef before;
  if ((flags & MF_BYPOSITION) && item < object->items.size()) {
    object->items.insert(object->items.begin() + item, std::move(made));
  } else if (!(flags & MF_BYPOSITION) && FindItem(menu, item, MF_BYCOMMAND, &before)) {
    auto& items = before.menu->items;
    items.insert(items.begin() + static_cast<std::ptrdiff_t>(before.index), std::move(made));
  } else {
    object->items.push_back(std::move(made));
  }
  return TRUE;
}

bool InfoSizeValid(const MENUITEMINFOA* info) {
  if (info == nullptr || (info->cbSize != sizeof(MENUITEMINFOA) && info->cbSize != kShortItemInfoSize)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return false;
  }
  return true;
}

// Applies the fields that info's mask names to item.
bool ApplyInfo(const MENUITEMINFOA& info, MenuItem* item) {
  if ((info.fMask & MIIM_SUBMENU) && info.hSubMenu != nullptr && !FindMenu(info.hSubMenu)) return false;
  if (info.fMask & (MIIM_TYPE | MIIM_FTYPE)) item->type = info.fType & ~MF_POPUP;
  if (info.fMask & MIIM_TYPE) {
    if (info.fType & MFT_BITMAP) {
      item->bitmap = reinterpret_cast<HBITMAP>(info.dwTypeData);
    } else if (!(info.fType & (MFT_SEPARATOR | MFT_OWNERDRAW))) {
      item->text = info.dwTypeData != nullptr ? info.dwTypeData : "";
    }
  }
  if (info.fMask & MIIM_STRING) item->text = info.dwTypeData != nullptr ? info.dwTypeData : "";
  if (info.fMask & MIIM_STATE) item->state = info.fState;
  if (info.fMask & MIIM_ID) item->id = info.wID;
  if (info.fMask & MIIM_SUBMENU) item->subMenu = info.hSubMenu;
  if (info.fMask & MIIM_DATA) item->data = info.dwItemData;
  if (info.fMask & MIIM_BITMAP) item->bitmap = info.hbmpItem;
  if (info.fMask & MIIM_CHECKMARKS) {
    item->checkedBitmap = info.hbmpChecked;
    item->uncheckedBitmap = info.hbmpUnchecked;
  }
  return true;
}

// The item's text into info's buffer: cch holds the buffer's size on the
// way in and the length on the way out; without a buffer, just the length.
void CopyInfoText(const MenuItem& item, MENUITEMINFOA* info) {
  if (info->dwTypeData == nullptr) {
    info->cch = static_cast<UINT>(item.text.size());
    return;
  }
  if (info->cch == 0) return;
  size_t length = std::min<size_t>(item.text.size(), info->cch - 1);
  std::memcpy(info->dwTypeData, item.text.data(), length);
  info->dwTypeData[length] = '\0';
  info->cch = static_cast<UINT>(length);
}

void FillInfo(const MenuItem& item, MENUITEMINFOA* info) {
  bool isString = !(item.type & (MFT_SEPARATOR | MFT_BITMAP | MFT_OWNERDRAW));
  if (info->fMask & (MIIM_TYPE | MIIM_FTYPE)) info->fType = item.type;
  if (info->fMask & MIIM_TYPE) {
    if (item.type & MFT_BITMAP) {
      info->dwTypeData = reinterpret_cast<LPSTR>(item.bitmap);
      info->cch = 0;
    } else if (isString) {
      CopyInfoText(item, info);
    } else {
      info->cch = 0;
    }
  }
  if ((info->fMask & MIIM_STRING) && !(info->fMask & MIIM_TYPE)) {
    if (isString) {
      CopyInfoText(item, info);
    } else {
      info->cch = 0;
    }
  }
  if (info->fMask & MIIM_STATE) info->fState = item.state;
  if (info->fMask & MIIM_ID) info->wID = item.id;
  if (info->fMask & MIIM_SUBMENU) info->hSubMenu = item.subMenu;
  if (info->fMask & MIIM_DATA) info->dwItemData = item.data;
  if ((info->fMask & MIIM_BITMAP) && info->cbSize == sizeof(MENUITEMINFOA)) info->hbmpItem = item.bitmap;
  if (info->fMask & MIIM_CHECKMARKS) {
    info->hbmpChecked = item.checkedBitmap;
    info->hbmpUnchecked = item.uncheckedBitmap;
  }
}

// The item a call names, under the lock the caller holds; a menu without
// it says so in the last error.
bool FindNamedItem(HMENU menu, UINT item, UINT flags, ItemRef* found) {
  if (FindItem(menu, item, flags, found)) return true;
  if (FindMenu(menu)) SetLastError(ERROR_MENU_ITEM_NOT_FOUND);
  return false;
}

UINT ByPosition(BOOL byPosition) { return byPosition ? MF_BYPOSITION : MF_BYCOMMAND; }

BOOL Take(HMENU menu, UINT position, UINT flags, bool destroySubMenu) {
  HMENU sub = nullptr;
  {
    std::lock_guard lock(MenuLock());
    ItemRef found;
    if (!FindNamedItem(menu, position, flags, &found)) return FALSE;
    sub = found.Item().subMenu;
    found.menu->items.erase(found.menu->items.begin() + static_cast<std::ptrdiff_t>(found.index));
  }
  if (destroySubMenu && sub != nullptr) DestroyMenu(sub);
  return TRUE;
}

void AddTemplateItems(HMENU menu, const std::vector<res::MenuItemTemplate>& items) {
  for (const res::MenuItemTemplate& item : items) {
    if (!item.items.empty() || (item.flags & MF_POPUP)) {
      HMENU sub = CreatePopupMenu();
      AddTemplateItems(sub, item.items);
      AppendMenuA(menu, item.flags | MF_POPUP, reinterpret_cast<UINT_PTR>(sub), item.text.c_str());
    } else {
      AppendMenuA(menu, item.flags, item.id, item.text.c_str());
    }
  }
}

}  // namespace

}  // namespace ui::controls

using namespace ui::controls;

HMENU CreateMenu() { return NewMenu(false); }

HMENU CreatePopupMenu() { return NewMenu(true); }

BOOL DestroyMenu(HMENU menu) {
  std::vector<HMENU> subMenus;
  {
    std::lock_guard lock(MenuLock());
    auto object = FindMenu(menu);
    if (!object) return FALSE;
    for (const MenuItem& item : object->items) {
      if (item.subMenu != nullptr && item.subMenu != menu) subMenus.push_back(item.subMenu);
    }
    ui::core::HandleTable::Get().Remove(ui::core::HandleValue(menu));
  }
  for (HMENU sub : subMenus) DestroyMenu(sub);
  return TRUE;
}

BOOL IsMenu(HMENU menu) {
  return ui::core::HandleTable::Get().Find(ui::core::HandleValue(menu), ui::core::ObjectKind::kMenu) !=
         nullptr;
}

HMENU LoadMenuIndirectA(const ui::res::MenuTemplate* menuTemplate) {
  if (menuTemplate == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  HMENU menu = CreateMenu();
  AddTemplateItems(menu, menuTemplate->items);
  return menu;
}

HMENU LoadMenuA(HINSTANCE instance, LPCSTR name) {
  const ui::res::MenuTemplate* menuTemplate = ui::res::FindMenuTemplate(instance, name);
  return menuTemplate != nullptr ? LoadMenuIndirectA(menuTemplate) : nullptr;
}

HMENU GetSubMenu(HMENU menu, int position) {
  std::lock_guard lock(MenuLock());
  auto object = FindMenu(menu);
  if (!object || position < 0 || static_cast<size_t>(position) >= object->items.size()) return nullptr;
  return object->items[static_cast<size_t>(position)].subMenu;
}

BOOL AppendMenuA(HMENU menu, UINT flags, UINT_PTR id, LPCSTR newItem) {
  return InsertMenuA(menu, static_cast<UINT>(-1), flags | MF_BYPOSITION, id, newItem);
}

BOOL InsertMenuA(HMENU menu, UINT position, UINT flags, UINT_PTR id, LPCSTR newItem) {
  MenuItem item;
  if (!FindMenu(menu) || !MakeItem(flags, id, newItem, &item)) return FALSE;
  return InsertAt(menu, position, flags & MF_BYPOSITION, std::move(item));
}

BOOL InsertMenuItemA(HMENU menu, UINT item, BOOL byPosition, LPCMENUITEMINFOA info) {
  if (!InfoSizeValid(info)) return FALSE;
  MenuItem made;
  if (!FindMenu(menu) || !ApplyInfo(*info, &made)) return FALSE;
  return InsertAt(menu, item, ByPosition(byPosition), std::move(made));
}

BOOL GetMenuItemInfoA(HMENU menu, UINT item, BOOL byPosition, LPMENUITEMINFOA info) {
  if (!InfoSizeValid(info)) return FALSE;
  std::lock_guard lock(MenuLock());
  ItemRef found;
  if (!FindNamedItem(menu, item, ByPosition(byPosition), &found)) return FALSE;
  FillInfo(found.Item(), info);
  return TRUE;
}

BOOL SetMenuItemInfoA(HMENU menu, UINT item, BOOL byPosition, LPCMENUITEMINFOA info) {
  if (!InfoSizeValid(info)) return FALSE;
  std::lock_guard lock(MenuLock());
  ItemRef found;
  if (!FindNamedItem(menu, item, ByPosition(byPosition), &found)) return FALSE;
  MenuItem changed = found.Item();
  if (!ApplyInfo(*info, &changed)) return FALSE;
  found.Item() = std::move(changed);
  return TRUE;
}

BOOL RemoveMenu(HMENU menu, UINT position, UINT flags) { return Take(menu, position, flags, false); }

BOOL DeleteMenu(HMENU menu, UINT position, UINT flags) { return Take(menu, position, flags, true); }
