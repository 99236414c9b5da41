// What the driver sees of a list view: columns, cells, states and images,
// and the colours of a cell as its owner would paint it, asked through
// NM_CUSTOMDRAW in the order painting asks.
#include <algorithm>

#include "platform/ui/controls/list_view.h"
#include "platform/ui/gdi.h"
#include "platform/ui/user32.h"

namespace ui::controls {

int ListViewState::ColumnCount() const { return static_cast<int>(m_columns.size()); }

driver::ListColumn ListViewState::Column(int index) const {
  if (index < 0 || index >= ColumnCount()) return {};
  const ColumnInfo& info = m_columns[static_cast<size_t>(index)];
  // The first column is always shown left-aligned.
  int format = index == 0 ? (info.format & ~LVCFMT_JUSTIFYMASK) : info.format;
  return driver::ListColumn{info.text, info.width, format};
}

int ListViewState::RowCount() const { return Count(); }

std::string ListViewState::CellText(int row, int column) const {
  if (!Valid(row) || column < 0) return {};
  if (column == 0) return std::string(RowText(RowAt(row)));
  const Cell* cell = CellAt(row, column);
  return cell != nullptr ? std::string(TextOfCell(*cell)) : std::string();
}

int ListViewState::CellImage(int row, int column) const {
  if (!Valid(row) || column < 0 || m_images[LVSIL_SMALL] == nullptr) return -1;
  int image = -1;
  if (column == 0) {
    image = RowAt(row).image;
  } else if (m_exStyle & LVS_EX_SUBITEMIMAGES) {
    const Cell* cell = CellAt(row, column);
    image = cell != nullptr ? cell->image : -1;
  }
  return image >= 0 ? image : -1;
}

UINT ListViewState::RowState(int row) const { return Valid(row) ? RowAt(row).state : 0; }

DWORD ListViewState::ExtendedStyle() const { return m_exStyle; }

HIMAGELIST ListViewState::ImageList(int which) const {
  return which >= LVSIL_NORMAL && which <= LVSIL_STATE ? m_images[which] : nullptr;
}

HWND ListViewState::LabelEditor() const { return m_editor.Window(); }

int ListViewState::SortColumnHint() const { return -1; }

driver::CellColors ListViewState::Colors(int row, int column) {
  driver::CellColors colors{m_textColor, m_textBackColor};
  if (!Valid(row) || column < 0 || column >= std::max(1, ColumnCount())) return colors;
  HWND self = m_window;
  HDC dc = gdi::CreateRecordingDC();
  NMLVCUSTOMDRAW draw{};
  draw.nmcd.hdc = dc;
  GetClientRect(m_window, &draw.nmcd.rc);
  draw.clrText = m_textColor;
  draw.clrTextBk = m_textBackColor;
  draw.nmcd.dwDrawStage = CDDS_PREPAINT;
  LRESULT paint = Notify(NM_CUSTOMDRAW, &draw.nmcd.hdr);
  if (IsWindow(self) && Valid(row) && (paint & CDRF_NOTIFYITEMDRAW)) {
    // One record for the row and its cells: colours an owner sets for one
    // cell stay for the cells after it, as on Windows.
    NMLVCUSTOMDRAW item{};
    item.nmcd.hdc = dc;
    ItemRect(row, LVIR_BOUNDS, &item.nmcd.rc);
    item.nmcd.dwItemSpec = static_cast<DWORD_PTR>(row);
    item.nmcd.lItemlParam = RowAt(row).lParam;
    if (RowAt(row).state & LVIS_SELECTED) item.nmcd.uItemState |= CDIS_SELECTED;
    if (RowAt(row).state & LVIS_FOCUSED) item.nmcd.uItemState |= CDIS_FOCUS;
    item.clrText = m_textColor;
    item.clrTextBk = m_textBackColor;
    item.nmcd.dwDrawStage = CDDS_ITEMPREPAINT;
    LRESULT cells = Notify(NM_CUSTOMDRAW, &item.nmcd.hdr);
    if (IsWindow(self) && (cells & CDRF_NOTIFYSUBITEMDRAW)) {
      for (int part = 0; part <= column && IsWindow(self) && Valid(row); ++part) {
        item.iSubItem = part;
        SubItemRect(row, part, LVIR_BOUNDS, &item.nmcd.rc);
        item.nmcd.dwDrawStage = CDDS_ITEMPREPAINT | CDDS_SUBITEM;
        Notify(NM_CUSTOMDRAW, &item.nmcd.hdr);
      }
    }
    colors = driver::CellColors{item.clrText, item.clrTextBk};
    if (IsWindow(self) && (cells & CDRF_NOTIFYPOSTPAINT)) {
      item.iSubItem = 0;
      item.nmcd.dwDrawStage = CDDS_ITEMPOSTPAINT;
      Notify(NM_CUSTOMDRAW, &item.nmcd.hdr);
    }
  }
  if (IsWindow(self) && (paint & CDRF_NOTIFYPOSTPAINT)) {
    draw.nmcd.dwDrawStage = CDDS_POSTPAINT;
    Notify(NM_CUSTOMDRAW, &draw.nmcd.hdr);
  }
  DeleteDC(dc);
  return colors;
}

}  // namespace ui::controls
