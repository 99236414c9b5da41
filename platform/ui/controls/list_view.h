// The list view ("SysListView32") in report view: its state, shared by the
// files that carry it out by concern (items, columns and geometry,
// selection, input, label editing, what the driver sees).
//
// Rows live in slots; the display order is a permutation of slot numbers,
// so a row inserted in the middle moves only the 4-byte indexes after it,
// and a sort orders indexes before it moves each row once to its new slot,
// so that walking the rows walks memory again. Sub-item cells are kept per
// column, one contiguous vector each, at a cell slot of their own that the
// row names and that no sort moves.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ui/commctrl.h"
#include "platform/ui/controls/label_editor.h"
#include "platform/ui/controls/notifier.h"
#include "platform/ui/core/control_input.h"
#include "platform/ui/core/window.h"
#include "platform/ui/driver.h"

namespace ui::controls {

class ListViewState : public core::ControlState,
                      public driver::ListViewModel,
                      public core::ListInput {
 public:
  ListViewState(HWND window, HWND notify, DWORD style);

  void* QueryModel(const std::type_info& type) override {
    return core::QueryModels<ListViewState, driver::ListViewModel, core::ListInput>(this, type);
  }

  // The message switch (list_view.cpp).
  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);

  // driver::ListViewModel (list_view_model.cpp).
  int ColumnCount() const override;
  driver::ListColumn Column(int index) const override;
  int RowCount() const override;
  std::string CellText(int row, int column) const override;
  int CellImage(int row, int column) const override;
  UINT RowState(int row) const override;
  DWORD ExtendedStyle() const override;
  HIMAGELIST ImageList(int which) const override;
  driver::CellColors Colors(int row, int column) override;
  HWND LabelEditor() const override;
  int SortColumnHint() const override;

  // core::ListInput (list_view_input.cpp).
  void ClickRow(int row, DWORD keys) override;
  void DoubleClickRow(int row) override;
  void RightClickRow(int row) override;
  void ClickColumn(int column) override;
  POINT RowPoint(int row) const override;
  void BeginDrag(const std::vector<int>& rows) override;

 private:
  struct Row {
    // Its text is the cell of column 0 (RowText).
    int image = 0;  // as Windows: items show image 0 until told otherwise
    UINT state = 0;
    LPARAM lParam = 0;
    int indent = 0;
    std::uint32_t cells = 0;  // where its sub-items are, in every column
  };
  // A sub-item's text lies in m_cellText, one buffer for every cell, so
  // that filling many thousands of rows makes no allocation per cell and
  // clearing them frees none.
  struct Cell {
    std::uint32_t offset = 0;
    std::uint32_t length = 0;
    int image = I_IMAGECALLBACK;
  };
  struct ColumnInfo {
    std::string text;
    int width = 0;
    int format = LVCFMT_LEFT;
    int image = -1;
    int order = 0;
    int subItem = 0;
  };

  // ---- items (list_view_items.cpp) ----
  int Count() const { return static_cast<int>(m_order.size()); }
  bool Valid(int index) const { return index >= 0 && index < Count(); }
  Row& RowAt(int index) { return m_rows[m_order[static_cast<size_t>(index)]]; }
  const Row& RowAt(int index) const { return m_rows[m_order[static_cast<size_t>(index)]]; }
  const Cell* CellAt(int index, int subItem) const;
  std::string_view TextOfCell(const Cell& cell) const {
    return std::string_view(m_cellText).substr(cell.offset, cell.length);
  }
  // false when the buffer cannot hold it.
  bool SetCellText(Cell* cell, std::string_view text);
  std::string_view RowText(const Row& row) const;
  bool SetRowText(const Row& row, std::string_view text);
  void ForgetCell(Cell* cell);
  void CompactCellText();
  int InsertItem(const LVITEMA& item);
  bool DeleteItem(int index);
  void DeleteAllItems(bool destroying);
  // The main item's fields, with LVN_ITEMCHANGING/LVN_ITEMCHANGED as
  // Windows sends them (also when nothing changes but the state was named).
  bool SetMainItem(const LVITEMA& item, bool isNew);
  bool SetItem(const LVITEMA& item);
  bool GetItem(LVITEMA* item) const;
  int GetItemText(int index, LVITEMA* item) const;
  int FindItem(int start, const LVFINDINFOA& find) const;
  bool SortItems(PFNLVCOMPARE compare, LPARAM sortParam, bool byIndex);
  int SortedPosition(std::string_view text);
  void ReleaseSlot(std::uint32_t slot);

  // ---- columns and geometry (list_view_columns.cpp) ----
  int InsertColumn(int index, const LVCOLUMNA& column);
  bool SetColumn(int index, const LVCOLUMNA& column);
  bool GetColumn(int index, LVCOLUMNA* column) const;
  bool DeleteColumn(int index);
  bool SetColumnWidth(int index, int width);
  int TextWidth(const std::string& text) const;
  int HeaderHeight() const;
  int RowHeight() const;
  int ColumnLeft(int index) const;
  int TotalWidth() const;
  int CountPerPage() const;
  RECT RowBox(int index) const;
  RECT IconRect(int index) const;
  RECT LabelRect(int index) const;
  bool ItemRect(int index, int code, RECT* rect) const;
  bool SubItemRect(int index, int subItem, int code, RECT* rect) const;
  int HitTest(LVHITTESTINFO* info, bool subItem, bool select) const;
  bool EnsureVisible(int index, bool partial);

  // ---- selection and focus (list_view_selection.cpp) ----
  bool SetItemState(int index, UINT state, UINT mask);
  bool SetAllItemsState(UINT state, UINT mask);
  int GetNextItem(int start, UINT flags) const;
  void DeselectAllExcept(int keep);
  void SetSelection(int index);
  void SetGroupSelection(int index);
  void AddGroupSelection(int index);
  bool SetItemFocus(int index);
  void KeySelection(int index, bool space);

  // ---- mouse and keys (list_view_input.cpp) ----
  static constexpr UINT_PTR kEditTimer = 0x4C56;  // the delayed label edit of a second click
  void OnButtonDown(DWORD keys, POINT at);
  void OnButtonUp(POINT at);
  void OnDoubleClick(POINT at);
  void OnRightButtonDown(DWORD keys, POINT at);
  void OnRightButtonUp(POINT at);
  void OnMouseMove(DWORD keys, POINT at);
  void OnKeyDown(int key);
  void OnSetFocus();
  void OnKillFocus();
  void OnEditTimer();
  bool NotifyClick(UINT code, POINT at);
  void Press(UINT down, UINT up, int row, DWORD keys);

  // ---- label editing (list_view_label_edit.cpp) ----
  HWND EditLabel(int index);
  void EndEditLabel(bool save);
  NMLVDISPINFOA LabelInfo(int index, LPSTR text, int size) const;

  // ---- notifications and announcements (list_view.cpp) ----
  LRESULT Notify(UINT code, NMHDR* header) const;
  LRESULT NotifyListView(UINT code, int item, int subItem, POINT at = {}, LPARAM lParam = 0) const;
  void AnnounceRowChanged(int index, bool selection);

  HWND m_window;
  Notifier m_notifier;
  DWORD m_style;
  DWORD m_exStyle = 0;

  std::vector<Row> m_rows;                 // by slot
  std::vector<std::uint32_t> m_order;      // display index -> slot
  std::vector<std::uint32_t> m_freeSlots;  // slots of deleted rows, for reuse
  std::vector<std::vector<Cell>> m_cells;  // by sub-item (0: the rows' own texts), then by cell slot
  std::vector<std::uint32_t> m_freeCells;  // cell slots of deleted rows, for reuse
  std::uint32_t m_cellSlots = 0;           // cell slots handed out so far
  std::string m_cellText;                  // every cell's text, see Cell
  size_t m_cellTextLive = 0;               // the bytes of it that cells name
  bool m_orderedByText = true;  // rows known to stand in the style's text order

  std::vector<ColumnInfo> m_columns;
  HIMAGELIST m_images[3] = {nullptr, nullptr, nullptr};
  COLORREF m_backColor;
  COLORREF m_textColor = CLR_DEFAULT;
  COLORREF m_textBackColor = CLR_DEFAULT;

  int m_focused = -1;
  int m_selectionMark = -1;
  int m_selectedCount = 0;
  int m_topIndex = 0;
  // While one call changes many rows, they are announced once at its end.
  int m_batch = 0;

  bool m_hasFocus = false;
  bool m_buttonDown = false;
  bool m_dragging = false;
  POINT m_clickPoint{};
  int m_buttonDownItem = -1;
  int m_editCandidate = -1;  // a selected item clicked again: its label may be edited

  controls::LabelEditor m_editor;
  int m_editItem = -1;
};

}  // namespace ui::controls
