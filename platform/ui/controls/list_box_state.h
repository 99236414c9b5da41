// What a "ListBox" keeps: its items, selection, caret, anchor and scroll
// position, and the owner it notifies. The messages live in list_box.cpp;
// the mouse, the keys, the driver's input and owner drawing in
// list_box_input.cpp.
#pragma once

#include "platform/ui/controls/list_items.h"
#include "platform/ui/core/control_input.h"
#include "platform/ui/core/window.h"
#include "platform/ui/driver.h"
#include "platform/ui/std_controls.h"

namespace ui::controls {

class ListBoxState : public core::ControlState,
                     public driver::ListModel,
                     public driver::OwnerDrawModel,
                     public core::ListInput {
 public:
  ListBoxState(HWND window, HWND owner) : m_window(window), m_owner(owner) {}

  void* QueryModel(const std::type_info& type) override {
    return core::QueryModels<ListBoxState, driver::ListModel, driver::OwnerDrawModel,
                             core::ListInput>(this, type);
  }

  // driver::ListModel
  int Count() const override { return m_items.Count(); }
  std::string Text(int index) const override;
  bool Selected(int index) const override {
    return m_items.Valid(index) && m_items.At(index).selected;
  }
  int Current() const override { return m_caret; }
  int ItemHeight() const override { return m_itemHeight; }

  // driver::OwnerDrawModel
  bool OwnerDrawn() const override;
  driver::DrawnItem Draw(int index) override;

  // core::ListInput
  void ClickRow(int row, DWORD keys) override;
  void DoubleClickRow(int row) override;
  void RightClickRow(int row) override;
  void ClickColumn(int) override {}
  POINT RowPoint(int row) const override;
  void BeginDrag(const std::vector<int>& rows) override;

  DWORD Style() const;
  bool MultiSelect() const;
  bool HasStrings() const;

  // Items; insertion and removal announce the rows and tell the owner of
  // the items that go (WM_DELETEITEM).
  LRESULT InsertItem(int index, LPARAM textOrData, bool sorted);
  LRESULT DeleteItem(int index);
  void Reset();
  void TellOwnerOfDeletion(int index);

  // Selection as the LB_* messages and the mouse change it; none of these
  // notify the owner.
  LRESULT SetSelection(int index, bool on);
  LRESULT SelectRange(int first, int last, bool on);
  int SingleSelection() const;
  void MoveCaret(int index);
  LRESULT SetCaret(int index);
  void SetTop(int index);
  void MakeVisible(int index);
  int PageSize() const;
  int ItemFromPoint(POINT point) const;
  RECT ItemRect(int index) const;

  // Mouse and keys (list_box_input.cpp).
  void ButtonDown(DWORD keys, POINT point);
  void ButtonUp();
  void KeyDown(WPARAM key);
  void Character(unsigned char c);

  // LBN_SELCHANGE and LBN_DBLCLK only with LBS_NOTIFY, as on Windows.
  void NotifySelection(WORD code);
  // One announcement for all the selection changes a message made.
  void AnnounceSelection();

  HWND m_window;
  HWND m_owner;
  ListItems m_items;
  int m_caret = 0;
  int m_anchor = -1;
  int m_top = 0;
  int m_itemHeight = 13;
  int m_horizontalExtent = 0;
  bool m_captured = false;
  bool m_focused = false;
  bool m_selectionChanged = false;
};

}  // namespace ui::controls
