// The list view's columns and the geometry of report view: the header, the
// rows from the top index down, the cells of the columns left to right,
// rectangles, hit-testing and scrolling an item into view. Sizes follow
// the window's font and the small image list.
#include <algorithm>
#include <cstring>

#include "platform/ui/controls/list_view.h"
#include "platform/ui/controls/common_control.h"
#include "platform/ui/core/announce.h"
#include "platform/ui/user32.h"

namespace ui::controls {

using driver::Change;

namespace {

constexpr int kMargin = 2;            // before the first image or label of a row
constexpr int kImagePadding = 2;      // between an image and its label
constexpr int kLabelPadding = 12;     // after a label, when a column fits its text
constexpr int kHeaderPadding = 11;    // after a header's text, likewise
constexpr int kHeaderExtra = 7;       // header height beyond the font's


bool Contains(const RECT& rect, POINT point) {
  return point.x >= rect.left && point.x < rect.right && point.y >= rect.top && point.y < rect.bottom;
}

RECT Union(const RECT& a, const RECT& b) {
  return RECT{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
              std::max(a.bottom, b.bottom)};
}

}  // namespace

int ListViewState::InsertColumn(int index, const LVCOLUMNA& column) {
  if (index < 0) return -1;
  index = std::min(index, static_cast<int>(m_columns.size()));
  ColumnInfo info;
  if (column.mask & LVCF_FMT) info.format = column.fmt;
  if (column.mask & LVCF_TEXT) info.text = column.pszText != nullptr ? column.pszText : "";
  if (column.mask & LVCF_WIDTH) {
    info.width = column.cx == LVSCW_AUTOSIZE_USEHEADER ? TextWidth(info.text) + kHeaderPadding
                                                       : std::max(0, column.cx);
  }
  info.subItem = (column.mask & LVCF_SUBITEM) ? column.iSubItem : index;
  info.image = (column.mask & LVCF_IMAGE) ? column.iImage : -1;
  info.order = (column.mask & LVCF_ORDER) ? column.iOrder : index;
  m_columns.insert(m_columns.begin() + index, std::move(info));
  // Sub-items from the new column on move one to the right; the item's own
  // text stays in the first column, as on Windows.
  size_t shiftFrom = static_cast<size_t>(std::max(index, 1));
  if (m_cells.size() > shiftFrom) m_cells.insert(m_cells.begin() + static_cast<long>(shiftFrom), std::vector<Cell>());
  core::Announce(m_window, Change::kColumns);
  return index;
}

bool ListViewState::SetColumn(int index, const LVCOLUMNA& column) {
  if (index < 0 || index >= static_cast<int>(m_columns.size())) return false;
  ColumnInfo& info = m_columns[static_cast<size_t>(index)];
  if (column.mask & LVCF_FMT) info.format = column.fmt;
  if (column.mask & LVCF_TEXT) info.text = column.pszText != nullptr ? column.pszText : "";
  if (column.mask & LVCF_WIDTH) info.width = std::max(0, column.cx);
  if (column.mask & LVCF_SUBITEM) info.subItem = column.iSubItem;
  if (column.mask & LVCF_IMAGE) info.image = column.iImage;
  if (column.mask & LVCF_ORDER) info.order = column.iOrder;
  core::Announce(m_window, Change::kColumns);
  return true;
}

bool ListViewState::GetColumn(int index, LVCOLUMNA* column) const {
  if (column == nullptr || index < 0 || index >= static_cast<int>(m_columns.size())) return false;
  const ColumnInfo& info = m_columns[static_cast<size_t>(index)];
  if (column->mask & LVCF_FMT) column->fmt = info.format;
  if (column->mask & LVCF_WIDTH) column->cx = info.width;
  if ((column->mask & LVCF_TEXT) && column->pszText != nullptr && column->cchTextMax > 0) {
    size_t length = std::min(info.text.size(), static_cast<size_t>(column->cchTextMax) - 1);
    std::memcpy(column->pszText, info.text.data(), length);
    column->pszText[length] = '\0';
  }
  if (column->mask & LVCF_SUBITEM) column->iSubItem = info.subItem;
  if (column->mask & LVCF_IMAGE) column->iImage = info.image;
  if (column->mask & LVCF_ORDER) column->iOrder = info.order;
  return true;
}

bool ListViewState::DeleteColumn(int index) {
  if (index < 0 || index >= static_cast<int>(m_columns.size())) return false;
  m_columns.erase(m_columns.begin() + index);
  // Deleting the first column leaves every item and sub-item in place, a
  // quirk of Windows that callers rebuilding their columns rely on.
  if (index > 0 && m_cells.size() > static_cast<size_t>(index)) {
    for (Cell& cell : m_cells[static_cast<size_t>(index)]) ForgetCell(&cell);
    m_cells.erase(m_cells.begin() + index);
  }
  core::Announce(m_window, Change::kColumns);
  return true;
}

int ListViewState::TextWidth(const std::string& text) const {
  return WindowFontMetrics(m_window).averageWidth * static_cast<int>(text.size());
}

bool ListViewState::SetColumnWidth(int index, int width) {
  if (index < 0 || index >= static_cast<int>(m_columns.size())) return false;
  if (width < LVSCW_AUTOSIZE_USEHEADER) width = LVSCW_AUTOSIZE;
  bool last = index == static_cast<int>(m_columns.size()) - 1;
  if (width == LVSCW_AUTOSIZE || (width == LVSCW_AUTOSIZE_USEHEADER && !last)) {
    int widest = 0;
    for (int row = 0; row < Count(); ++row) widest = std::max(widest, TextWidth(CellText(row, index)));
    int imageWidth = 0, imageHeight = 0;
    if (m_images[LVSIL_SMALL] != nullptr &&
        (index == 0 || (m_columns[static_cast<size_t>(index)].format & LVCFMT_IMAGE))) {
      ImageList_GetIconSize(m_images[LVSIL_SMALL], &imageWidth, &imageHeight);
    }
    widest += imageWidth + kLabelPadding;
    if (width == LVSCW_AUTOSIZE_USEHEADER) {
      widest = std::max(widest, TextWidth(m_columns[static_cast<size_t>(index)].text) + kHeaderPadding);
    }
    width = widest;
  } else if (width == LVSCW_AUTOSIZE_USEHEADER) {
    // The last column fills the rest of the list.
    RECT client{};
    GetClientRect(m_window, &client);
    width = client.right - ColumnLeft(index);
  }
  if (width < 0) return false;
  m_columns[static_cast<size_t>(index)].width = width;
  core::Announce(m_window, Change::kColumns);
  return true;
}

int ListViewState::HeaderHeight() const {
  if (m_style & LVS_NOCOLUMNHEADER) return 0;
  return WindowFontMetrics(m_window).height + kHeaderExtra;
}

int ListViewState::RowHeight() const {
  int imageWidth = 0, imageHeight = GetSystemMetrics(SM_CYSMICON);
  if (m_images[LVSIL_SMALL] != nullptr) ImageList_GetIconSize(m_images[LVSIL_SMALL], &imageWidth, &imageHeight);
  return std::max(WindowFontMetrics(m_window).height, imageHeight) + 1;
}

int ListViewState::ColumnLeft(int index) const {
  int left = 0;
  for (int column = 0; column < index && column < static_cast<int>(m_columns.size()); ++column) {
    left += m_columns[static_cast<size_t>(column)].width;
  }
  return left;
}

int ListViewState::TotalWidth() const { return ColumnLeft(static_cast<int>(m_columns.size())); }

int ListViewState::CountPerPage() const {
  RECT client{};
  GetClientRect(m_window, &client);
  return std::max(0, static_cast<int>(client.bottom) - HeaderHeight()) / RowHeight();
}

RECT ListViewState::RowBox(int index) const {
  int height = RowHeight();
  int top = HeaderHeight() + (index - m_topIndex) * height;
  return RECT{0, top, TotalWidth(), top + height};
}

RECT ListViewState::IconRect(int index) const {
  RECT box = RowBox(index);
  int imageWidth = 0, imageHeight = 0;
  if (m_images[LVSIL_SMALL] != nullptr) ImageList_GetIconSize(m_images[LVSIL_SMALL], &imageWidth, &imageHeight);
  int left = kMargin + RowAt(index).indent * imageWidth;
  return RECT{left, box.top, left + imageWidth, box.bottom};
}

RECT ListViewState::LabelRect(int index) const {
  RECT icon = IconRect(index);
  int left = icon.right + (icon.right > icon.left ? kImagePadding : 0);
  int right = m_columns.empty() ? left : std::max(left, static_cast<int>(m_columns.front().width));
  return RECT{left, icon.top, right, icon.bottom};
}

bool ListViewState::ItemRect(int index, int code, RECT* rect) const {
  if (rect == nullptr || !Valid(index)) return false;
  switch (code) {
    case LVIR_BOUNDS:
      *rect = RowBox(index);
      return true;
    case LVIR_ICON:
      *rect = IconRect(index);
      return true;
    case LVIR_LABEL:
      *rect = LabelRect(index);
      return true;
    case LVIR_SELECTBOUNDS:
      *rect = (m_exStyle & LVS_EX_FULLROWSELECT) ? RowBox(index) : Union(IconRect(index), LabelRect(index));
      return true;
    default:
      return false;
  }
}

bool ListViewState::SubItemRect(int index, int subItem, int code, RECT* rect) const {
  if (rect == nullptr || !Valid(index)) return false;
  // Sub-item 0 stands for the whole item.
  if (subItem == 0) return ItemRect(index, code, rect);
  if (subItem < 0 || subItem >= static_cast<int>(m_columns.size())) return false;
  RECT box = RowBox(index);
  int left = ColumnLeft(subItem);
  RECT cell{left, box.top, left + m_columns[static_cast<size_t>(subItem)].width, box.bottom};
  int imageWidth = 0, imageHeight = 0;
  if (m_images[LVSIL_SMALL] != nullptr) ImageList_GetIconSize(m_images[LVSIL_SMALL], &imageWidth, &imageHeight);
  switch (code) {
    case LVIR_BOUNDS:
    case LVIR_LABEL:
    case LVIR_SELECTBOUNDS:
      *rect = cell;
      return true;
    case LVIR_ICON:
      *rect = RECT{cell.left, cell.top, std::min(cell.right, cell.left + imageWidth), cell.bottom};
      return true;
    default:
      return false;
  }
}

int ListViewState::HitTest(LVHITTESTINFO* info, bool subItem, bool select) const {
  info->flags = 0;
  info->iItem = -1;
  if (subItem) info->iSubItem = 0;
  RECT client{};
  GetClientRect(m_window, &client);
  POINT at = info->pt;
  if (subItem) {
    if (at.x < client.left) info->flags |= LVHT_TOLEFT;
    if (at.y > client.bottom) info->flags |= LVHT_BELOW;
    // Even off the items the column is found.
    info->iSubItem = -1;
    for (int column = 0; column < static_cast<int>(m_columns.size()); ++column) {
      int left = ColumnLeft(column);
      if (at.x >= left && at.x < left + m_columns[static_cast<size_t>(column)].width) {
        info->iSubItem = column;
        break;
      }
    }
    if (info->iSubItem == -1) {
      info->flags = LVHT_NOWHERE;
      return -1;
    }
  } else {
    if (at.x < client.left) info->flags |= LVHT_TOLEFT;
    else if (at.x > client.right) info->flags |= LVHT_TORIGHT;
    if (at.y < client.top) info->flags |= LVHT_ABOVE;
    else if (at.y > client.bottom) info->flags |= LVHT_BELOW;
  }
  if (info->flags != 0) return -1;
  info->flags = LVHT_NOWHERE;
  int header = HeaderHeight();
  if (at.y < header) return -1;
  int index = m_topIndex + (at.y - header) / RowHeight();
  if (!Valid(index) || !Contains(RowBox(index), at)) return -1;

  bool fullRow = (m_exStyle & LVS_EX_FULLROWSELECT) || (m_style & LVS_OWNERDRAWFIXED);
  int part = subItem ? info->iSubItem : 0;
  RECT icon{}, label{};
  if (part == 0) {
    icon = IconRect(index);
    label = LabelRect(index);
  } else {
    SubItemRect(index, part, LVIR_ICON, &icon);
    SubItemRect(index, part, LVIR_LABEL, &label);
    const Cell* cell = CellAt(index, part);
    bool hasImage = (m_exStyle & LVS_EX_SUBITEMIMAGES) && cell != nullptr && cell->image >= 0;
    if (!hasImage) icon.right = icon.left;
    label.left = icon.right;
  }
  if (Contains(icon, at)) {
    info->flags = LVHT_ONITEMICON;
  } else if (Contains(label, at)) {
    info->flags = LVHT_ONITEMLABEL;
  } else if (fullRow) {
    info->flags = LVHT_ONITEM;
  }
  if (select && !fullRow && !Contains(Union(IconRect(index), LabelRect(index)), at)) index = -1;
  info->iItem = index;
  return index;
}

bool ListViewState::EnsureVisible(int index, bool partial) {
  if (!Valid(index)) return false;
  int perPage = std::max(1, CountPerPage());
  if (index < m_topIndex) {
    m_topIndex = index;
  } else if (index >= m_topIndex + perPage) {
    RECT client{};
    GetClientRect(m_window, &client);
    bool showing = RowBox(index).top < client.bottom;
    if (!(partial && showing)) m_topIndex = index - perPage + 1;
  }
  return true;
}

}  // namespace ui::controls
