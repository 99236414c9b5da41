// What a person can do to a control that is more than a click on it:
// implemented by the control states (and found through QueryModel), used
// by the driver's actions, which run on the control's thread.
#pragma once

#include <string>
#include <vector>

#include "platform/ui/ui_types.h"

namespace ui::core {

// Rows of list views and list boxes. A click selects as a mouse click on
// the row would (keys: MK_CONTROL, MK_SHIFT), with the same notifications.
class ListInput {
 public:
  virtual ~ListInput() = default;
  virtual void ClickRow(int row, DWORD keys) = 0;
  virtual void DoubleClickRow(int row) = 0;
  virtual void RightClickRow(int row) = 0;  // -1: the background
  virtual void ClickColumn(int column) = 0;
  // Where a row is, in client coordinates, for drops and context menus.
  virtual POINT RowPoint(int row) const = 0;
  // Starts dragging rows (list view: LVN_BEGINDRAG to the parent).
  virtual void BeginDrag(const std::vector<int>& rows) = 0;
};

class ComboInput {
 public:
  virtual ~ComboInput() = default;
  virtual void SelectEntry(int index) = 0;
};

class TreeInput {
 public:
  virtual ~TreeInput() = default;
  virtual void ClickItem(HTREEITEM item) = 0;
  virtual void RightClickItem(HTREEITEM item) = 0;
  virtual void ExpandItem(HTREEITEM item, bool expand) = 0;
  virtual POINT ItemPoint(HTREEITEM item) const = 0;
  virtual void BeginDrag(HTREEITEM item) = 0;
};

// A pop-up menu being tracked: choosing an item ends it with that command.
class MenuInput {
 public:
  virtual ~MenuInput() = default;
  virtual bool Choose(UINT id) = 0;
};

}  // namespace ui::core

