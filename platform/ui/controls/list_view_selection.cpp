// The list view's selection and focus: item states, one item or all at
// once, the walks of LVM_GETNEXTITEM, and the selections a click or a key
// makes (single, toggled with Ctrl, a range from the mark with Shift).
#include <algorithm>

#include "platform/ui/controls/list_view.h"
#include "platform/ui/core/announce.h"
#include "platform/ui/user32.h"

namespace ui::controls {

using driver::Change;

bool ListViewState::SetItemState(int index, UINT state, UINT mask) {
  if (!Valid(index)) return false;
  LVITEMA item{};
  item.mask = LVIF_STATE;
  item.iItem = index;
  item.state = state;
  item.stateMask = mask;
  return SetMainItem(item, false);
}

bool ListViewState::SetAllItemsState(UINT state, UINT mask) {
  // Deselecting nothing is cheap; selecting all in a single-selection list
  // and focusing all are refused.
  if (state == 0 && mask == LVIS_SELECTED && m_selectedCount == 0) return true;
  if ((state & mask & LVIS_SELECTED) && (m_style & LVS_SINGLESEL)) return false;
  if (state & mask & LVIS_FOCUSED) return false;
  HWND self = m_window;
  bool ok = true;
  // Every item is told of as Windows tells of it; the driver hears of the
  // whole range once.
  ++m_batch;
  for (int index = 0; index < Count(); ++index) {
    if (!SetItemState(index, state, mask)) ok = false;
    if (!IsWindow(self)) return false;
  }
  --m_batch;
  core::AnnounceRows(m_window, Change::kRowsChanged, 0, Count());
  core::Announce(m_window, Change::kSelection);
  return ok;
}

int ListViewState::GetNextItem(int start, UINT flags) const {
  UINT mask = flags & (LVNI_FOCUSED | LVNI_SELECTED | LVNI_CUT | LVNI_DROPHILITED);
  auto matches = [&](int index) { return (RowAt(index).state & mask) == mask; };
  if (flags & LVNI_ABOVE) {
    for (int index = std::min(start, Count()) - 1; index >= 0; --index) {
      if (matches(index)) return index;
    }
    return -1;
  }
  // Report view has nothing beside an item.
  if (flags & (LVNI_TOLEFT | LVNI_TORIGHT)) return -1;
  int first = std::max(start + 1, 0);
  if (mask == LVNI_FOCUSED) return m_focused >= first ? m_focused : -1;
  if ((mask & LVNI_SELECTED) && m_selectedCount == 0) return -1;
  for (int index = first; index < Count(); ++index) {
    if (matches(index)) return index;
  }
  return -1;
}

void ListViewState::DeselectAllExcept(int keep) {
  if (m_selectedCount == 0) return;
  // A snapshot: the parent may change the selection while it is told.
  std::vector<int> selected;
  selected.reserve(static_cast<size_t>(m_selectedCount));
  for (int index = 0; index < Count(); ++index) {
    if (index != keep && (RowAt(index).state & LVIS_SELECTED)) selected.push_back(index);
  }
  HWND self = m_window;
  for (int index : selected) {
    SetItemState(index, 0, LVIS_SELECTED);
    if (!IsWindow(self)) return;
  }
}

void ListViewState::SetSelection(int index) {
  HWND self = m_window;
  DeselectAllExcept(index);
  if (!IsWindow(self)) return;
  SetItemState(index, LVIS_FOCUSED | LVIS_SELECTED, LVIS_FOCUSED | LVIS_SELECTED);
  if (IsWindow(self)) m_selectionMark = index;
}

void ListViewState::SetGroupSelection(int index) {
  int first = index, last = index;
  if (m_selectionMark == -1) {
    m_selectionMark = index;
  } else {
    first = std::min(m_selectionMark, index);
    last = std::max(m_selectionMark, index);
  }
  HWND self = m_window;
  std::vector<int> outside;
  for (int other = 0; other < Count(); ++other) {
    if ((other < first || other > last) && (RowAt(other).state & LVIS_SELECTED)) outside.push_back(other);
  }
  for (int other : outside) {
    SetItemState(other, 0, LVIS_SELECTED);
    if (!IsWindow(self)) return;
  }
  for (int inside = first; inside <= last && inside < Count(); ++inside) {
    SetItemState(inside, LVIS_SELECTED, LVIS_SELECTED);
    if (!IsWindow(self)) return;
  }
  SetItemFocus(index);
}

void ListViewState::AddGroupSelection(int index) {
  int first = m_selectionMark == -1 ? index : std::min(m_selectionMark, index);
  int last = std::max(m_selectionMark, index);
  HWND self = m_window;
  for (int inside = first; inside <= last && inside < Count(); ++inside) {
    SetItemState(inside, LVIS_SELECTED, LVIS_SELECTED);
    if (!IsWindow(self)) return;
  }
}

bool ListViewState::SetItemFocus(int index) {
  if (index == m_focused) return false;
  int old = m_focused;
  SetItemState(index == -1 ? m_focused : index, index == -1 ? 0 : LVIS_FOCUSED, LVIS_FOCUSED);
  return old != m_focused;
}

void ListViewState::KeySelection(int index, bool space) {
  if (!Valid(index)) return;
  bool shift = (GetKeyState(VK_SHIFT) & 0x8000) != 0;
  bool control = (GetKeyState(VK_CONTROL) & 0x8000) != 0;
  HWND self = m_window;
  if ((m_style & LVS_SINGLESEL) || (!shift && !control)) {
    SetSelection(index);
  } else if (shift) {
    SetGroupSelection(index);
  } else {
    if (space) {
      bool selected = (RowAt(index).state & LVIS_SELECTED) != 0;
      SetItemState(index, selected ? 0 : LVIS_SELECTED, LVIS_SELECTED);
      if (!IsWindow(self)) return;
      if (!selected) m_selectionMark = index;
    }
    SetItemFocus(index);
  }
  if (IsWindow(self)) EnsureVisible(index, false);
}

}  // namespace ui::controls
