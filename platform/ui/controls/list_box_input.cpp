// What a person does to a list box, with the messages of Windows: a press
// takes the focus and selects (Ctrl toggles, Shift extends from the
// anchor), the release tells the owner LBN_SELCHANGE; the arrow keys move
// the caret and the selection. Also the driver's rows and the owner
// drawing of a row into a recording device context.
#include <algorithm>

#include "platform/ui/controls/control_support.h"
#include "platform/ui/controls/list_box_state.h"
#include "platform/ui/dialog.h"
#include "platform/ui/gdi.h"
#include "platform/ui/message_api.h"

namespace ui::controls {

void ListBoxState::ButtonDown(DWORD keys, POINT point) {
  int index = ItemFromPoint(point);
  if (!m_focused) SetFocus(m_window);
  if (index == -1) return;
  m_captured = true;
  SetCapture(m_window);
  if (MultiSelect()) {
    if (!(keys & MK_SHIFT)) m_anchor = index;
    if (keys & MK_CONTROL) {
      SetCaret(index);
      SetSelection(index, !m_items.At(index).selected);
    } else {
      MoveCaret(index);
      // A plain click in a multiple-selection list toggles the row; in an
      // extended one the anchor range has already been chosen.
      if (!(Style() & LBS_EXTENDEDSEL)) SetSelection(index, !m_items.At(index).selected);
    }
  } else {
    m_anchor = index;
    MoveCaret(index);
  }
}

void ListBoxState::ButtonUp() {
  if (!m_captured) return;
  m_captured = false;
  if (GetCapture() == m_window) ReleaseCapture();
  // Sent on every release after a press on a row, changed or not.
  if (m_items.Count() > 0) NotifySelection(LBN_SELCHANGE);
}

void ListBoxState::KeyDown(WPARAM key) {
  int count = m_items.Count();
  if (count == 0) return;
  int caret = -1;
  switch (key) {
    case VK_UP:
    case VK_LEFT:
      caret = std::max(0, m_caret - 1);
      break;
    case VK_DOWN:
    case VK_RIGHT:
      caret = std::min(count - 1, m_caret + 1);
      break;
    case VK_PRIOR:
      caret = std::max(0, m_caret - PageSize() + 1);
      break;
    case VK_NEXT:
      caret = std::min(count - 1, m_caret + PageSize() - 1);
      break;
    case VK_HOME:
      caret = 0;
      break;
    case VK_END:
      caret = count - 1;
      break;
    case VK_SPACE:
      if (Style() & LBS_EXTENDEDSEL) {
        caret = m_caret;
      } else if (Style() & LBS_MULTIPLESEL) {
        SetSelection(m_caret, !m_items.At(m_caret).selected);
        NotifySelection(LBN_SELCHANGE);
      }
      break;
    default:
      return;
  }
  if (caret < 0) return;
  if (!MultiSelect() || ((Style() & LBS_EXTENDEDSEL) && GetKeyState(VK_SHIFT) >= 0)) m_anchor = caret;
  MoveCaret(caret);
  NotifySelection(LBN_SELCHANGE);
}

void ListBoxState::Character(unsigned char c) {
  if (c < 0x20 || !HasStrings()) return;
  int found = m_items.Find(m_caret, std::string(1, static_cast<char>(c)), false);
  if (found < 0) return;
  if (!MultiSelect()) m_anchor = found;
  MoveCaret(found);
  NotifySelection(LBN_SELCHANGE);
}

POINT ListBoxState::RowPoint(int row) const {
  RECT client{};
  GetClientRect(m_window, &client);
  // The background: just below the last row, or the bottom of the list.
  if (!m_items.Valid(row)) row = m_items.Count();
  LONG y = static_cast<LONG>((row - m_top) * m_itemHeight + m_itemHeight / 2);
  return POINT{std::max<LONG>(1, client.right / 2), std::min<LONG>(y, std::max<LONG>(0, client.bottom - 1))};
}

void ListBoxState::ClickRow(int row, DWORD keys) {
  if (!m_items.Valid(row)) return;
  // A person scrolls the row into view before clicking it.
  MakeVisible(row);
  LPARAM at = LParamOf(RowPoint(row));
  HWND window = m_window;
  SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON | keys, at);
  SendMessageA(window, WM_LBUTTONUP, keys, at);
}

void ListBoxState::DoubleClickRow(int row) {
  if (!m_items.Valid(row)) return;
  MakeVisible(row);
  LPARAM at = LParamOf(RowPoint(row));
  HWND window = m_window;
  SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, at);
  SendMessageA(window, WM_LBUTTONUP, 0, at);
  SendMessageA(window, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
  SendMessageA(window, WM_LBUTTONUP, 0, at);
}

void ListBoxState::RightClickRow(int row) {
  if (m_items.Valid(row)) MakeVisible(row);
  POINT point = RowPoint(row);
  HWND window = m_window;
  SendMessageA(window, WM_RBUTTONDOWN, MK_RBUTTON, LParamOf(point));
  SendMessageA(window, WM_RBUTTONUP, 0, LParamOf(point));
  // The release of the right button asks for the context menu, at the
  // screen point of the click.
  ClientToScreen(window, &point);
  SendMessageA(window, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(window), LParamOf(point));
}

void ListBoxState::BeginDrag(const std::vector<int>& rows) {
  // A list box has no drag of its own: the press that starts one selects.
  std::vector<int> valid;
  std::copy_if(rows.begin(), rows.end(), std::back_inserter(valid),
               [this](int row) { return m_items.Valid(row); });
  if (valid.empty()) return;
  bool allSelected = std::all_of(valid.begin(), valid.end(), [this](int row) { return Selected(row); });
  if (allSelected) return;
  HWND window = m_window;
  ClickRow(valid.front(), 0);
  if (!MultiSelect()) return;
  for (size_t i = 1; i < valid.size(); ++i) {
    auto* state = core::ControlOf<ListBoxState>(window);
    if (state == nullptr) return;
    state->ClickRow(valid[i], MK_CONTROL);
  }
}

driver::DrawnItem ListBoxState::Draw(int index) {
  driver::DrawnItem drawn;
  if (!m_items.Valid(index)) return drawn;
  if (!OwnerDrawn()) {
    drawn.text = m_items.At(index).text;
    return drawn;
  }
  HWND window = m_window;
  UINT state = 0;
  if (m_items.At(index).selected) state |= ODS_SELECTED;
  if (m_focused && index == m_caret) state |= ODS_FOCUS;
  if (!IsWindowEnabled(window)) state |= ODS_DISABLED;
  HDC dc = GetDC(window);
  UINT id = static_cast<UINT>(GetDlgCtrlID(window));
  DRAWITEMSTRUCT item{ODT_LISTBOX, id,    static_cast<UINT>(index), ODA_DRAWENTIRE, state,
                      window,      dc,    ItemRect(index),          m_items.At(index).data};
  SendMessageA(m_owner, WM_DRAWITEM, id, reinterpret_cast<LPARAM>(&item));
  // What the owner drew, in order: the last fill is the row's background,
  // the last text its text; opaque text paints its own background.
  for (const ui::gdi::DrawOp& op : ui::gdi::RecordedOps(dc)) {
    if (op.kind == ui::gdi::DrawOp::Kind::kFill) {
      drawn.backColor = op.color;
      drawn.filled = true;
    } else if (op.kind == ui::gdi::DrawOp::Kind::kText) {
      drawn.text = op.text;
      drawn.textColor = op.color;
      if (op.opaque && !drawn.filled) {
        drawn.backColor = op.background;
        drawn.filled = true;
      }
    }
  }
  ReleaseDC(window, dc);
  return drawn;
}

}  // namespace ui::controls
