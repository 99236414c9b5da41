// The list view's items and sub-items: insertion (in text order for the
// sorting styles), deletion with LVN_DELETEITEM for every item, reading and
// writing fields, searching, and sorting by an application comparison.
#include <algorithm>
#include <cstring>
#include <limits>
#include <numeric>
#include <string_view>

#include "platform/ui/controls/list_view.h"
#include "platform/ui/controls/control_support.h"
#include "platform/ui/controls/text_compare.h"
#include "platform/ui/core/announce.h"
#include "platform/ui/user32.h"

namespace ui::controls {

using driver::Change;

namespace {

bool HasText(LPCSTR text) { return text != nullptr && text != LPSTR_TEXTCALLBACKA; }

std::string_view TextOf(LPCSTR text) { return HasText(text) ? std::string_view(text) : std::string_view(); }

int CopyToItem(std::string_view text, LPSTR buffer, int size) {
  if (buffer == nullptr || size <= 0) return 0;
  size_t length = std::min(text.size(), static_cast<size_t>(size) - 1);
  std::memcpy(buffer, text.data(), length);
  buffer[length] = '\0';
  return static_cast<int>(length);
}

// Where an index moves when the item at `at` is inserted (+1) or removed (-1).
int Shifted(int index, int at, int direction, int count) {
  if (index < at || index < 0) return index;
  if (index > at || direction > 0) return index + direction;
  return std::min(index, count - 1);
}

}  // namespace

const ListViewState::Cell* ListViewState::CellAt(int index, int subItem) const {
  if (subItem <= 0 || subItem >= static_cast<int>(m_cells.size())) return nullptr;
  const auto& column = m_cells[static_cast<size_t>(subItem)];
  std::uint32_t slot = RowAt(index).cells;
  return slot < column.size() ? &column[slot] : nullptr;
}

bool ListViewState::SetCellText(Cell* cell, std::string_view text) {
  if (text.size() <= cell->length) {
    std::memmove(m_cellText.data() + cell->offset, text.data(), text.size());
    m_cellTextLive -= cell->length - text.size();
    cell->length = static_cast<std::uint32_t>(text.size());
    return true;
  }
  // Texts that grew leave their old bytes behind: once those are most of
  // the buffer, the cells' texts move together again.
  if (m_cellText.size() - m_cellTextLive > std::max<size_t>(m_cellText.size() / 2, 1 << 16)) {
    // A text of the buffer's own moves with it.
    const bool inside = !m_cellText.empty() && text.data() >= m_cellText.data() &&
                        text.data() < m_cellText.data() + m_cellText.size();
    const std::string own = inside ? std::string(text) : std::string();
    CompactCellText();
    if (inside) return SetCellText(cell, own);
  }
  if (m_cellText.size() + text.size() > std::numeric_limits<std::uint32_t>::max()) return false;
  m_cellTextLive += text.size() - cell->length;
  cell->offset = static_cast<std::uint32_t>(m_cellText.size());
  cell->length = static_cast<std::uint32_t>(text.size());
  m_cellText.append(text);
  return true;
}

std::string_view ListViewState::RowText(const Row& row) const {
  if (m_cells.empty() || row.cells >= m_cells[0].size()) return {};
  return TextOfCell(m_cells[0][row.cells]);
}

bool ListViewState::SetRowText(const Row& row, std::string_view text) {
  if (m_cells.empty()) m_cells.resize(1);
  auto& column = m_cells[0];
  if (column.size() <= row.cells) {
    if (column.capacity() < m_rows.capacity()) column.reserve(m_rows.capacity());
    column.resize(row.cells + 1);
  }
  return SetCellText(&column[row.cells], text);
}

void ListViewState::ForgetCell(Cell* cell) {
  m_cellTextLive -= cell->length;
  *cell = Cell{};
}

void ListViewState::CompactCellText() {
  std::string packed;
  packed.reserve(m_cellTextLive);
  for (auto& column : m_cells) {
    for (Cell& cell : column) {
      const std::string_view text = TextOfCell(cell);
      cell.offset = static_cast<std::uint32_t>(packed.size());
      packed.append(text);
    }
  }
  m_cellText = std::move(packed);
}

void ListViewState::ReleaseSlot(std::uint32_t slot) {
  std::uint32_t cells = m_rows[slot].cells;
  for (auto& column : m_cells) {
    if (cells < column.size()) ForgetCell(&column[cells]);
  }
  m_freeCells.push_back(cells);
  m_rows[slot] = Row{};
  m_freeSlots.push_back(slot);
}

int ListViewState::SortedPosition(std::string_view text) {
  int sign = (m_style & LVS_SORTDESCENDING) ? -1 : 1;
  // The first item that does not sort before the new one, as Windows'
  // scan finds it; a list known to be in order is searched by halves.
  auto before = [&](std::uint32_t slot) { return sign * CompareText(RowText(m_rows[slot]), text) < 0; };
  if (m_orderedByText) {
    return static_cast<int>(std::partition_point(m_order.begin(), m_order.end(), before) - m_order.begin());
  }
  int index = 0;
  while (index < Count() && before(m_order[static_cast<size_t>(index)])) ++index;
  return index;
}

int ListViewState::InsertItem(const LVITEMA& item) {
  if ((m_style & LVS_OWNERDATA) || item.iSubItem != 0) return -1;
  bool sortStyle = (m_style & (LVS_SORTASCENDING | LVS_SORTDESCENDING)) != 0;
  if ((item.mask & LVIF_TEXT) && item.pszText == LPSTR_TEXTCALLBACKA && sortStyle) return -1;
  bool sorted = sortStyle && !(m_style & LVS_OWNERDRAWFIXED);
  if (item.iItem < 0 && !sorted) return -1;
  int position = sorted ? SortedPosition((item.mask & LVIF_TEXT) ? TextOf(item.pszText) : std::string_view())
                        : std::min(item.iItem, Count());

  std::uint32_t slot;
  if (!m_freeSlots.empty()) {
    slot = m_freeSlots.back();
    m_freeSlots.pop_back();
  } else {
    slot = static_cast<std::uint32_t>(m_rows.size());
    m_rows.emplace_back();
  }
  if (!m_freeCells.empty()) {
    m_rows[slot].cells = m_freeCells.back();
    m_freeCells.pop_back();
  } else {
    m_rows[slot].cells = m_cellSlots++;
  }
  m_order.insert(m_order.begin() + position, slot);
  m_selectionMark = Shifted(m_selectionMark, position, 1, Count());
  m_editItem = Shifted(m_editItem, position, 1, Count());

  HWND self = m_window;
  LVITEMA fields = item;
  fields.iItem = position;
  if (!SetMainItem(fields, true)) {
    if (!IsWindow(self)) return -1;
    m_order.erase(m_order.begin() + position);
    ReleaseSlot(slot);
    m_selectionMark = Shifted(m_selectionMark, position, -1, Count());
    m_editItem = Shifted(m_editItem, position, -1, Count());
    return -1;
  }
  core::AnnounceRows(m_window, Change::kRowsInserted, position, 1);
  NotifyListView(LVN_INSERTITEM, position, 0, {}, RowAt(position).lParam);
  return IsWindow(self) ? position : -1;
}

bool ListViewState::SetMainItem(const LVITEMA& item, bool isNew) {
  int index = item.iItem;
  Row& row = RowAt(index);
  if (item.mask == 0) return true;
  // The state mask counts for nothing when an item is inserted.
  UINT stateMask = isNew ? ~0u : item.stateMask;
  UINT oldState = isNew ? 0 : row.state;
  std::string_view text = TextOf(item.pszText);

  UINT changed = 0;
  if ((item.mask & LVIF_STATE) && ((oldState ^ item.state) & stateMask)) changed |= LVIF_STATE;
  if ((item.mask & LVIF_IMAGE) && row.image != item.iImage) changed |= LVIF_IMAGE;
  if ((item.mask & LVIF_PARAM) && row.lParam != item.lParam) changed |= LVIF_PARAM;
  if ((item.mask & LVIF_INDENT) && row.indent != item.iIndent) changed |= LVIF_INDENT;
  if ((item.mask & LVIF_TEXT) && RowText(row) != text) changed |= LVIF_TEXT;

  NMLISTVIEW info{};
  info.iItem = index;
  if (item.mask & LVIF_STATE) {
    info.uNewState = (oldState & ~stateMask) | (item.state & stateMask);
    info.uOldState = oldState;
  }
  info.uChanged = isNew ? LVIF_STATE : (changed != 0 ? changed : item.mask);
  info.lParam = isNew ? 0 : row.lParam;

  // An update always tells the parent, even of nothing; an insertion only
  // when it comes selected or focused.
  bool tell = !isNew || ((changed & LVIF_STATE) && (item.state & (LVIS_FOCUSED | LVIS_SELECTED)));
  HWND self = m_window;
  if (tell) {
    if (Notify(LVN_ITEMCHANGING, &info.hdr) != 0 || !IsWindow(self)) return false;
    if (!Valid(index)) return false;
  }

  // An inserted item pushes the focused one along.
  if (isNew && m_focused >= index) ++m_focused;
  if (changed == 0) return true;

  Row& target = RowAt(index);
  if (changed & LVIF_TEXT) {
    if (!SetRowText(target, text)) return false;
    if (m_style & (LVS_SORTASCENDING | LVS_SORTDESCENDING)) {
      int sign = (m_style & LVS_SORTDESCENDING) ? -1 : 1;
      bool afterPrevious = index == 0 || sign * CompareText(RowText(RowAt(index - 1)), RowText(target)) <= 0;
      bool beforeNext = index + 1 >= Count() || sign * CompareText(RowText(target), RowText(RowAt(index + 1))) <= 0;
      if (!isNew && !(afterPrevious && beforeNext)) m_orderedByText = false;
    }
  }
  if (changed & LVIF_IMAGE) target.image = item.iImage;
  if (changed & LVIF_PARAM) target.lParam = item.lParam;
  if (changed & LVIF_INDENT) target.indent = item.iIndent;
  if (changed & LVIF_STATE) {
    bool wasSelected = (oldState & LVIS_SELECTED) != 0;
    target.state = (target.state & ~stateMask) | (item.state & stateMask);
    bool selected = (target.state & LVIS_SELECTED) != 0;
    m_selectedCount += (selected ? 1 : 0) - (wasSelected ? 1 : 0);
    if (selected && !wasSelected && (m_style & LVS_SINGLESEL)) DeselectAllExcept(index);
    if (stateMask & LVIS_FOCUSED) {
      if (item.state & LVIS_FOCUSED) {
        if (m_focused == -1 && m_selectionMark == -1) m_selectionMark = index;
        // The item losing the focus is told inside this item's change, as
        // Windows nests them.
        if (m_focused != -1 && m_focused != index) SetItemState(m_focused, 0, LVIS_FOCUSED);
        m_focused = index;
        EnsureVisible(index, false);
      } else if (m_focused == index) {
        m_focused = -1;
      }
    }
  }
  if (!isNew) AnnounceRowChanged(index, (changed & LVIF_STATE) != 0);
  if (tell) {
    if (item.mask & LVIF_PARAM) info.lParam = item.lParam;
    Notify(LVN_ITEMCHANGED, &info.hdr);
  }
  return true;
}

bool ListViewState::SetItem(const LVITEMA& item) {
  if (!Valid(item.iItem)) return false;
  if ((item.mask & LVIF_TEXT) && item.pszText == LPSTR_TEXTCALLBACKA &&
      (m_style & (LVS_SORTASCENDING | LVS_SORTDESCENDING))) {
    return false;
  }
  if (item.iSubItem == 0) return SetMainItem(item, false);
  if (item.iSubItem < 0 || item.iSubItem >= static_cast<int>(m_columns.size())) return false;
  if (item.mask & ~(LVIF_TEXT | LVIF_IMAGE | LVIF_STATE | LVIF_DI_SETITEM)) return false;
  if (!(item.mask & (LVIF_TEXT | LVIF_IMAGE | LVIF_STATE))) return true;
  if (m_cells.size() <= static_cast<size_t>(item.iSubItem)) m_cells.resize(static_cast<size_t>(item.iSubItem) + 1);
  auto& column = m_cells[static_cast<size_t>(item.iSubItem)];
  std::uint32_t slot = RowAt(item.iItem).cells;
  if (column.size() <= slot) {
    // A column grows with the rows at once rather than by its own steps.
    if (column.capacity() < m_rows.capacity()) column.reserve(m_rows.capacity());
    column.resize(slot + 1);
  }
  Cell& cell = column[slot];
  bool changed = false;
  if ((item.mask & LVIF_IMAGE) && cell.image != item.iImage) {
    cell.image = item.iImage;
    changed = true;
  }
  std::string_view text = TextOf(item.pszText);
  if ((item.mask & LVIF_TEXT) && TextOfCell(cell) != text) {
    if (!SetCellText(&cell, text)) return false;
    changed = true;
  }
  if (changed) AnnounceRowChanged(item.iItem, false);
  return true;
}

bool ListViewState::GetItem(LVITEMA* item) const {
  if (item == nullptr || !Valid(item->iItem) || item->iSubItem < 0) return false;
  const Row& row = RowAt(item->iItem);
  if (item->iSubItem == 0) {
    if (item->mask & LVIF_TEXT) CopyToItem(RowText(row), item->pszText, item->cchTextMax);
    if (item->mask & LVIF_IMAGE) item->iImage = row.image;
    if (item->mask & LVIF_INDENT) item->iIndent = row.indent;
  } else {
    const Cell* cell = CellAt(item->iItem, item->iSubItem);
    if (item->mask & LVIF_TEXT)
      CopyToItem(cell != nullptr ? TextOfCell(*cell) : std::string_view(), item->pszText, item->cchTextMax);
    if (item->mask & LVIF_IMAGE) item->iImage = cell != nullptr ? cell->image : I_IMAGECALLBACK;
  }
  if (item->mask & LVIF_PARAM) item->lParam = row.lParam;
  if (item->mask & LVIF_STATE) item->state = row.state & item->stateMask;
  return true;
}

int ListViewState::GetItemText(int index, LVITEMA* item) const {
  if (item == nullptr || !Valid(index)) return 0;
  LVITEMA query = *item;
  query.mask = LVIF_TEXT;
  query.iItem = index;
  if (!GetItem(&query) || query.pszText == nullptr || query.cchTextMax <= 0) return 0;
  return static_cast<int>(std::strlen(query.pszText));
}

int ListViewState::FindItem(int start, const LVFINDINFOA& find) const {
  int first = start + 1;
  if (first < 0) return -1;
  bool byText = (find.flags & (LVFI_STRING | LVFI_PARTIAL | LVFI_SUBSTRING)) != 0;
  if (!(find.flags & LVFI_PARAM) && byText && find.psz == nullptr) return -1;
  auto matches = [&](int index) {
    const Row& row = RowAt(index);
    if (find.flags & LVFI_PARAM) return row.lParam == find.lParam;  // the other flags then count for nothing
    if (!byText) return true;
    if (find.flags & (LVFI_PARTIAL | LVFI_SUBSTRING)) return StartsWithNoCase(RowText(row), find.psz);
    return SameTextNoCase(RowText(row), find.psz);
  };
  for (int index = first; index < Count(); ++index) {
    if (matches(index)) return index;
  }
  if (find.flags & LVFI_WRAP) {
    for (int index = 0; index < std::min(first, Count()); ++index) {
      if (matches(index)) return index;
    }
  }
  return -1;
}

bool ListViewState::SortItems(PFNLVCOMPARE compare, LPARAM sortParam, bool byIndex) {
  if ((m_style & LVS_OWNERDATA) || compare == nullptr) return false;
  int count = Count();
  if (count < 2) return true;
  // The items keep their places until the sort is done, so that the
  // comparison may ask the list about the indexes it is given.
  std::vector<std::uint32_t> permutation(static_cast<size_t>(count));
  std::iota(permutation.begin(), permutation.end(), 0u);
  if (byIndex) {
    std::stable_sort(permutation.begin(), permutation.end(), [&](std::uint32_t a, std::uint32_t b) {
      return compare(static_cast<LPARAM>(a), static_cast<LPARAM>(b), sortParam) < 0;
    });
  } else {
    std::vector<LPARAM> params(static_cast<size_t>(count));
    for (int index = 0; index < count; ++index) params[static_cast<size_t>(index)] = RowAt(index).lParam;
    std::stable_sort(permutation.begin(), permutation.end(), [&](std::uint32_t a, std::uint32_t b) {
      return compare(params[a], params[b], sortParam) < 0;
    });
  }
  // A comparison that changed the list leaves it as it now is.
  if (Count() != count) return false;

  // The rows move into their new order, so that walking the list walks
  // memory; focus, mark and edited item follow their items.
  std::vector<int> newIndex(static_cast<size_t>(count));
  for (int index = 0; index < count; ++index) newIndex[permutation[static_cast<size_t>(index)]] = index;
  auto follow = [&](int index) { return Valid(index) ? newIndex[static_cast<size_t>(index)] : -1; };
  m_focused = follow(m_focused);
  m_selectionMark = follow(m_selectionMark);
  m_editItem = follow(m_editItem);
  m_buttonDownItem = -1;
  m_editCandidate = -1;
  std::vector<Row> rows;
  rows.reserve(static_cast<size_t>(count));
  for (std::uint32_t from : permutation) rows.push_back(std::move(RowAt(static_cast<int>(from))));
  m_rows.swap(rows);
  m_freeSlots.clear();
  std::iota(m_order.begin(), m_order.end(), 0u);
  if (m_style & (LVS_SORTASCENDING | LVS_SORTDESCENDING)) {
    int sign = (m_style & LVS_SORTDESCENDING) ? -1 : 1;
    m_orderedByText = std::is_sorted(m_order.begin(), m_order.end(), [&](std::uint32_t a, std::uint32_t b) {
      return sign * CompareText(RowText(m_rows[a]), RowText(m_rows[b])) < 0;
    });
  }
  core::AnnounceRows(m_window, Change::kRowsChanged, 0, count);
  return true;
}

bool ListViewState::DeleteItem(int index) {
  if (!Valid(index)) return false;
  HWND self = m_window;
  int focus = m_focused;
  SetItemState(index, 0, LVIS_SELECTED | LVIS_FOCUSED);
  if (!IsWindow(self) || !Valid(index)) return false;
  NotifyListView(LVN_DELETEITEM, index, 0, {}, RowAt(index).lParam);
  if (!IsWindow(self) || !Valid(index)) return false;
  if (m_editItem == index && m_editor.Active()) m_editor.Discard();

  std::uint32_t slot = m_order[static_cast<size_t>(index)];
  m_order.erase(m_order.begin() + index);
  ReleaseSlot(slot);
  m_selectionMark = Shifted(m_selectionMark, index, -1, Count());
  m_editItem = m_editItem == index ? -1 : Shifted(m_editItem, index, -1, Count());
  m_buttonDownItem = -1;
  m_editCandidate = -1;
  // The focus stays where it was; losing its item, it passes quietly to
  // the item that takes the place.
  int newFocus = Shifted(focus, index, -1, Count());
  if (m_focused == -1 && newFocus >= 0 && Valid(newFocus)) RowAt(newFocus).state |= LVIS_FOCUSED;
  m_focused = Valid(newFocus) ? newFocus : -1;
  m_topIndex = std::max(0, std::min(m_topIndex, Count() - 1));
  core::AnnounceRows(m_window, Change::kRowsRemoved, index, 1);
  return true;
}

void ListViewState::DeleteAllItems(bool destroying) {
  HWND self = m_window;
  int count = Count();
  // Selection and focus go without notifications.
  for (Row& row : m_rows) row.state &= ~(LVIS_SELECTED | LVIS_FOCUSED);
  m_selectedCount = 0;
  m_focused = -1;
  m_selectionMark = -1;
  if (m_editor.Active() && !destroying) m_editor.Discard();
  m_editItem = -1;
  bool suppress = NotifyListView(LVN_DELETEALLITEMS, -1, 0) != 0;
  if (!IsWindow(self)) return;
  // Last item first, each gone as soon as its parent has heard of it.
  while (!m_order.empty()) {
    int last = Count() - 1;
    if (!suppress) {
      NotifyListView(LVN_DELETEITEM, last, 0, {}, RowAt(last).lParam);
      if (!IsWindow(self)) return;
      if (Count() - 1 != last) continue;
    }
    m_order.pop_back();
  }
  m_rows.clear();
  m_freeSlots.clear();
  for (auto& column : m_cells) column.clear();
  // Kept at its size: a list cleared is mostly filled again.
  m_cellText.clear();
  m_cellTextLive = 0;
  m_freeCells.clear();
  m_cellSlots = 0;
  m_orderedByText = true;
  m_topIndex = 0;
  m_buttonDownItem = -1;
  m_editCandidate = -1;
  if (!destroying && count > 0) core::AnnounceRows(m_window, Change::kRowsRemoved, 0, count);
}

}  // namespace ui::controls
