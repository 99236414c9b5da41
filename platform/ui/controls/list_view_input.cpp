// The list view's mouse and keyboard, as comctl32 answers them: the
// selection a press makes, NM_CLICK when the button comes up, a drag once
// the mouse leaves the drag rectangle with the button held, the context
// menu after NM_RCLICK, LVN_KEYDOWN before any key is acted on. The
// driver's row actions come in through the same messages a mouse makes.
#include <algorithm>
#include <cstdlib>
#include <utility>

#include "platform/ui/controls/common_control.h"
#include "platform/ui/controls/list_view.h"
#include "platform/ui/user32.h"

namespace ui::controls {

bool ListViewState::NotifyClick(UINT code, POINT at) {
  // A click beside the item's own image and label (on a sub-item, without
  // full-row selection) is reported on no item, with the column it hit;
  // owners find the row with LVM_SUBITEMHITTEST.
  LVHITTESTINFO hit{};
  hit.pt = at;
  HitTest(&hit, true, true);
  NMITEMACTIVATE info{};
  info.iItem = hit.iItem;
  info.iSubItem = hit.iSubItem;
  info.ptAction = at;
  if (Valid(hit.iItem)) info.lParam = RowAt(hit.iItem).lParam;
  HWND self = m_window;
  LRESULT answer = Notify(code, &info.hdr);
  return IsWindow(self) && (code == NM_RCLICK ? answer == 0 : true);
}

void ListViewState::OnButtonDown(DWORD keys, POINT at) {
  HWND self = m_window;
  NMHDR header{};
  Notify(NM_RELEASEDCAPTURE, &header);
  if (!IsWindow(self)) return;
  m_buttonDown = true;
  m_clickPoint = at;
  m_dragging = false;
  LVHITTESTINFO hit{};
  hit.pt = at;
  int index = HitTest(&hit, true, true);
  if (Valid(index)) {
    if (m_style & LVS_SINGLESEL) {
      if (RowAt(index).state & LVIS_SELECTED) {
        m_editCandidate = index;
      } else {
        SetSelection(index);
      }
    } else if ((keys & MK_CONTROL) && (keys & MK_SHIFT)) {
      AddGroupSelection(index);
      if (!IsWindow(self)) return;
      SetItemFocus(index);
      if (IsWindow(self)) m_selectionMark = index;
    } else if (keys & MK_CONTROL) {
      bool selected = (RowAt(index).state & LVIS_SELECTED) != 0;
      SetItemState(index, (selected ? 0 : LVIS_SELECTED) | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
      if (IsWindow(self)) m_selectionMark = index;
    } else if (keys & MK_SHIFT) {
      SetGroupSelection(index);
    } else if (RowAt(index).state & LVIS_SELECTED) {
      // A press on a selected item keeps the selection for a drag; the
      // release makes it the only one.
      m_editCandidate = index;
      m_buttonDownItem = index;
      SetItemFocus(index);
    } else {
      SetSelection(index);
    }
    if (IsWindow(self) && !m_hasFocus) SetFocus(m_window);
    return;
  }
  if (!m_hasFocus) SetFocus(m_window);
  // A press on the background clears the selection unless it extends it.
  if (IsWindow(self) && !(keys & (MK_CONTROL | MK_SHIFT))) DeselectAllExcept(-1);
}

void ListViewState::OnButtonUp(POINT at) {
  if (!m_buttonDown) return;
  HWND self = m_window;
  if (!NotifyClick(NM_CLICK, at)) return;
  m_buttonDown = false;
  LVHITTESTINFO hit{};
  hit.pt = at;
  HitTest(&hit, true, false);
  int pressed = std::exchange(m_buttonDownItem, -1);
  if (hit.iItem == pressed && pressed != -1) {
    SetSelection(pressed);
    if (!IsWindow(self)) return;
  }
  if (m_dragging) {
    m_dragging = false;
    return;
  }
  // A second click on the label of a selected item edits it, once the time
  // for a double click has passed.
  if (hit.iItem == m_editCandidate && (hit.flags & LVHT_ONITEMLABEL) && (m_style & LVS_EDITLABELS)) {
    SetTimer(m_window, kEditTimer, kLabelEditDelayMs, nullptr);
  } else {
    m_editCandidate = -1;
  }
}

void ListViewState::OnEditTimer() {
  int item = std::exchange(m_editCandidate, -1);
  if (m_hasFocus && Valid(item) && (RowAt(item).state & LVIS_SELECTED)) EditLabel(item);
}

void ListViewState::OnDoubleClick(POINT at) {
  KillTimer(m_window, kEditTimer);
  m_editCandidate = -1;
  HWND self = m_window;
  NMHDR header{};
  Notify(NM_RELEASEDCAPTURE, &header);
  if (!IsWindow(self) || !NotifyClick(NM_DBLCLK, at)) return;
  LVHITTESTINFO hit{};
  hit.pt = at;
  HitTest(&hit, true, true);
  if (hit.iItem == -1) return;
  NMITEMACTIVATE info{};
  info.iItem = hit.iItem;
  info.iSubItem = hit.iSubItem;
  info.ptAction = at;
  info.lParam = RowAt(hit.iItem).lParam;
  info.uOldState = RowAt(hit.iItem).state;
  info.uNewState = info.uOldState | LVIS_ACTIVATING;
  info.uChanged = LVIF_STATE;
  if (GetKeyState(VK_SHIFT) & 0x8000) info.uKeyFlags |= LVKF_SHIFT;
  if (GetKeyState(VK_CONTROL) & 0x8000) info.uKeyFlags |= LVKF_CONTROL;
  Notify(LVN_ITEMACTIVATE, &info.hdr);
}

void ListViewState::OnRightButtonDown(DWORD keys, POINT at) {
  HWND self = m_window;
  NMHDR header{};
  Notify(NM_RELEASEDCAPTURE, &header);
  if (!IsWindow(self)) return;
  LVHITTESTINFO hit{};
  hit.pt = at;
  int index = HitTest(&hit, true, true);
  if (!m_hasFocus) SetFocus(m_window);
  if (!IsWindow(self)) return;
  if (Valid(index)) {
    SetItemFocus(index);
    if (!IsWindow(self)) return;
    if (!(keys & (MK_SHIFT | MK_CONTROL)) && !(RowAt(index).state & LVIS_SELECTED)) SetSelection(index);
  } else {
    DeselectAllExcept(-1);
  }
}

void ListViewState::OnRightButtonUp(POINT at) {
  // Windows answers the release inside its press, once it knows the mouse
  // did not start a drag: NM_RCLICK, then the context menu unless the
  // parent handled the click.
  if (!NotifyClick(NM_RCLICK, at)) return;
  POINT screen = at;
  ClientToScreen(m_window, &screen);
  SendMessageA(m_window, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(m_window), PointParam(screen));
}

void ListViewState::OnMouseMove(DWORD keys, POINT at) {
  if (!m_buttonDown || !(keys & MK_LBUTTON) || m_dragging) return;
  if (std::abs(at.x - m_clickPoint.x) <= GetSystemMetrics(SM_CXDRAG) &&
      std::abs(at.y - m_clickPoint.y) <= GetSystemMetrics(SM_CYDRAG)) {
    return;
  }
  LVHITTESTINFO hit{};
  hit.pt = m_clickPoint;
  HitTest(&hit, true, true);
  // A drag from the background would draw a marquee; only items are dragged.
  if (hit.iItem == -1) return;
  m_dragging = true;
  m_editCandidate = -1;
  NotifyListView(LVN_BEGINDRAG, hit.iItem, 0, m_clickPoint);
}

void ListViewState::OnKeyDown(int key) {
  HWND self = m_window;
  NMLVKEYDOWN info{};
  info.wVKey = static_cast<WORD>(key);
  Notify(LVN_KEYDOWN, &info.hdr);
  if (!IsWindow(self)) return;
  int target = -1;
  switch (key) {
    case VK_SPACE:
      target = m_focused;
      break;
    case VK_RETURN:
      if (Count() > 0 && m_focused != -1) {
        NMHDR header{};
        Notify(NM_RETURN, &header);
        if (!IsWindow(self) || !Valid(m_focused)) return;
        NMITEMACTIVATE activate{};
        activate.iItem = m_focused;
        activate.lParam = RowAt(m_focused).lParam;
        Notify(LVN_ITEMACTIVATE, &activate.hdr);
      }
      return;
    case VK_HOME:
      if (Count() > 0) target = 0;
      break;
    case VK_END:
      if (Count() > 0) target = Count() - 1;
      break;
    case VK_UP:
      target = GetNextItem(m_focused, LVNI_ABOVE);
      break;
    case VK_DOWN:
      target = GetNextItem(m_focused, LVNI_BELOW);
      break;
    case VK_PRIOR:
      target = std::max(0, m_focused == m_topIndex ? m_topIndex - CountPerPage() + 1 : m_topIndex);
      break;
    case VK_NEXT: {
      int page = std::max(1, CountPerPage());
      int last = m_topIndex + page - 1;
      target = std::min(Count() - 1, m_focused == last ? m_focused + page - 1 : last);
      break;
    }
    default:
      return;
  }
  if (target != -1 && (target != m_focused || key == VK_SPACE)) KeySelection(target, key == VK_SPACE);
}

void ListViewState::OnSetFocus() {
  if (m_hasFocus) return;
  HWND self = m_window;
  NMHDR header{};
  Notify(NM_SETFOCUS, &header);
  if (IsWindow(self)) m_hasFocus = true;
}

void ListViewState::OnKillFocus() {
  if (!m_hasFocus) return;
  HWND self = m_window;
  NMHDR header{};
  Notify(NM_KILLFOCUS, &header);
  if (IsWindow(self)) m_hasFocus = false;
}

// ---- the driver's row actions ----

POINT ListViewState::RowPoint(int row) const {
  if (!Valid(row)) return POINT{0, 0};
  RECT label = LabelRect(row);
  int x = label.left + std::min(4, static_cast<int>(label.right - label.left) / 2);
  return POINT{x, (label.top + label.bottom) / 2};
}

void ListViewState::Press(UINT down, UINT up, int row, DWORD keys) {
  if (row != -1 && !Valid(row)) return;
  POINT at{};
  if (Valid(row)) {
    EnsureVisible(row, false);
    at = RowPoint(row);
  } else {
    // The background: below the last row, or beside the columns.
    RECT client{};
    GetClientRect(m_window, &client);
    int below = HeaderHeight() + (Count() - m_topIndex) * RowHeight();
    at = below < client.bottom ? POINT{2, below + 1}
                               : POINT{std::min(TotalWidth() + 1, static_cast<int>(client.right) - 1),
                                       (HeaderHeight() + client.bottom) / 2};
  }
  HWND self = m_window;
  DWORD button = down == WM_RBUTTONDOWN ? MK_RBUTTON : MK_LBUTTON;
  SendMessageA(self, down, button | keys, PointParam(at));
  if (IsWindow(self)) SendMessageA(self, up, keys, PointParam(at));
}

void ListViewState::ClickRow(int row, DWORD keys) { Press(WM_LBUTTONDOWN, WM_LBUTTONUP, row, keys); }

void ListViewState::DoubleClickRow(int row) {
  HWND self = m_window;
  Press(WM_LBUTTONDOWN, WM_LBUTTONUP, row, 0);
  if (!IsWindow(self)) return;
  POINT at = Valid(row) ? RowPoint(row) : POINT{0, 0};
  SendMessageA(self, WM_LBUTTONDBLCLK, MK_LBUTTON, PointParam(at));
  if (IsWindow(self)) SendMessageA(self, WM_LBUTTONUP, 0, PointParam(at));
}

void ListViewState::RightClickRow(int row) { Press(WM_RBUTTONDOWN, WM_RBUTTONUP, row, 0); }

void ListViewState::ClickColumn(int column) {
  // The header is a button row; without sorting headers it does not click.
  if (column < 0 || column >= static_cast<int>(m_columns.size())) return;
  if (m_style & (LVS_NOSORTHEADER | LVS_NOCOLUMNHEADER)) return;
  NotifyListView(LVN_COLUMNCLICK, -1, column);
}

void ListViewState::BeginDrag(const std::vector<int>& rows) {
  if (rows.empty() || !Valid(rows.front())) return;
  HWND self = m_window;
  // The person selects the rows (the first by a click, the others with
  // Ctrl), then presses on the first and moves away with the button held.
  bool selectedAsAsked = static_cast<int>(rows.size()) == m_selectedCount;
  for (int row : rows) selectedAsAsked = selectedAsAsked && Valid(row) && (RowAt(row).state & LVIS_SELECTED);
  if (!selectedAsAsked) {
    for (size_t i = 0; i < rows.size(); ++i) {
      ClickRow(rows[i], i == 0 ? 0 : MK_CONTROL);
      if (!IsWindow(self)) return;
    }
  }
  EnsureVisible(rows.front(), false);
  PressAndDragAway(self, RowPoint(rows.front()));
  // The drag loop (DoDragDrop) takes the button's release; the press ends
  // without a click.
  if (!IsWindow(self)) return;
  m_buttonDown = false;
  m_dragging = false;
  m_buttonDownItem = -1;
}

}  // namespace ui::controls
