// The state of menu items and what can be asked of them: enabling,
// checks and radio checks, the default item, counts, ids, texts and the
// combined state word of GetMenuState.
#include <algorithm>
#include <cstring>

#include "platform/base/last_error.h"
#include "platform/ui/controls/menu_object.h"

using namespace ui::controls;

namespace {

constexpr UINT kNotFound = static_cast<UINT>(-1);

// Runs change on the item under the lock, or answers kNotFound.
template <typename Change>
UINT WithItem(HMENU menu, UINT item, UINT flags, Change change) {
  std::lock_guard lock(MenuLock());
  ItemRef found;
  if (!FindItem(menu, item, flags, &found)) return kNotFound;
  return change(found.Item());
}

}  // namespace

BOOL EnableMenuItem(HMENU menu, UINT item, UINT flags) {
  return static_cast<BOOL>(WithItem(menu, item, flags, [flags](MenuItem& target) {
    UINT old = target.state & (MF_GRAYED | MF_DISABLED);
    target.state = (target.state & ~(MF_GRAYED | MF_DISABLED)) | (flags & (MF_GRAYED | MF_DISABLED));
    return old;
  }));
}

DWORD CheckMenuItem(HMENU menu, UINT item, UINT flags) {
  return WithItem(menu, item, flags, [flags](MenuItem& target) {
    UINT old = target.state & MF_CHECKED;
    target.state = (target.state & ~MF_CHECKED) | (flags & MF_CHECKED);
    return old;
  });
}

BOOL CheckMenuRadioItem(HMENU menu, UINT first, UINT last, UINT check, UINT flags) {
  std::lock_guard lock(MenuLock());
  ItemRef from;
  ItemRef to;
  if (!FindItem(menu, first, flags, &from) || !FindItem(menu, last, flags, &to) ||
      from.menu != to.menu) {
    return FALSE;
  }
  bool byPosition = (flags & MF_BYPOSITION) != 0;
  bool checked = false;
  for (size_t i = std::min(from.index, to.index); i <= std::max(from.index, to.index); ++i) {
    MenuItem& target = from.menu->items[i];
    if (target.Separator()) continue;
    if ((byPosition ? i : target.id) == check) {
      target.type |= MFT_RADIOCHECK;
      target.state |= MFS_CHECKED;
      checked = true;
    } else {
      target.state &= ~MFS_CHECKED;
    }
  }
  return checked ? TRUE : FALSE;
}

BOOL SetMenuDefaultItem(HMENU menu, UINT item, UINT byPosition) {
  std::lock_guard lock(MenuLock());
  auto object = FindMenu(menu);
  if (!object) return FALSE;
  // One default per menu, looked for among its own items only.
  for (MenuItem& each : object->items) each.state &= ~MFS_DEFAULT;
  if (item == kNotFound) return TRUE;
  for (size_t i = 0; i < object->items.size(); ++i) {
    MenuItem& each = object->items[i];
    if (byPosition ? i == item : (each.id == item && !each.Separator())) {
      each.state |= MFS_DEFAULT;
      return TRUE;
    }
  }
  return FALSE;
}

UINT GetMenuDefaultItem(HMENU menu, UINT byPosition, UINT flags) {
  std::lock_guard lock(MenuLock());
  auto object = FindMenu(menu);
  if (!object) return kNotFound;
  auto it = std::find_if(object->items.begin(), object->items.end(),
                         [](const MenuItem& each) { return (each.state & MFS_DEFAULT) != 0; });
  if (it == object->items.end()) return kNotFound;
  if (!it->Usable() && !(flags & GMDI_USEDISABLED)) return kNotFound;
  if (it->subMenu != nullptr && (flags & GMDI_GOINTOPOPUPS)) {
    UINT inner = GetMenuDefaultItem(it->subMenu, byPosition, flags);
    if (inner != kNotFound) return inner;
  }
  return byPosition ? static_cast<UINT>(it - object->items.begin()) : it->id;
}

int GetMenuItemCount(HMENU menu) {
  std::lock_guard lock(MenuLock());
  auto object = FindMenu(menu);
  return object ? static_cast<int>(object->items.size()) : -1;
}

UINT GetMenuItemID(HMENU menu, int position) {
  if (position < 0) return kNotFound;
  return WithItem(menu, static_cast<UINT>(position), MF_BYPOSITION, [](MenuItem& target) {
    return target.subMenu != nullptr ? kNotFound : target.id;
  });
}

int GetMenuStringA(HMENU menu, UINT item, LPSTR buffer, int size, UINT flags) {
  if (buffer != nullptr && size > 0) buffer[0] = '\0';
  UINT length = WithItem(menu, item, flags, [&](MenuItem& target) -> UINT {
    if (target.type & (MFT_SEPARATOR | MFT_BITMAP | MFT_OWNERDRAW)) return 0;
    if (buffer == nullptr || size <= 0) return static_cast<UINT>(target.text.size());
    size_t copied = std::min<size_t>(target.text.size(), static_cast<size_t>(size) - 1);
    std::memcpy(buffer, target.text.data(), copied);
    buffer[copied] = '\0';
    return static_cast<UINT>(copied);
  });
  return length == kNotFound ? 0 : static_cast<int>(length);
}

UINT GetMenuState(HMENU menu, UINT item, UINT flags) {
  return WithItem(menu, item, flags, [](MenuItem& target) -> UINT {
    UINT bits = target.type | target.state;
    if (target.subMenu == nullptr) return bits;
    // A pop-up: its item count in the high byte, its flags in the low one.
    auto sub = FindMenu(target.subMenu);
    if (!sub) return kNotFound;
    return (static_cast<UINT>(sub->items.size()) << 8) | ((bits | MF_POPUP) & 0xFF);
  });
}
