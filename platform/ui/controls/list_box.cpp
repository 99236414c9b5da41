// The "ListBox" class: items with text or owner data, sorted or in order,
// single, multiple or extended selection, owner-drawn rows of a fixed
// height (WM_MEASUREITEM at creation, WM_DRAWITEM, WM_DELETEITEM), and the
// LB_* messages. Selection set by a message never notifies the owner; only
// a person's change sends LBN_SELCHANGE.
#include <algorithm>
#include <cstring>

#include "platform/ui/controls/control_procs.h"
#include "platform/ui/controls/control_support.h"
#include "platform/ui/controls/list_box_state.h"
#include "platform/ui/core/announce.h"
#include "platform/ui/dialog.h"
#include "platform/ui/message_api.h"

namespace ui::controls {

namespace {

using driver::Change;

constexpr DWORD kOwnerDrawStyles = LBS_OWNERDRAWFIXED | LBS_OWNERDRAWVARIABLE;
constexpr int kMaxItemHeight = 255;

}  // namespace

DWORD ListBoxState::Style() const { return static_cast<DWORD>(GetWindowLongA(m_window, GWL_STYLE)); }

bool ListBoxState::MultiSelect() const {
  DWORD style = Style();
  return (style & (LBS_MULTIPLESEL | LBS_EXTENDEDSEL)) != 0 && !(style & LBS_NOSEL);
}

bool ListBoxState::HasStrings() const {
  DWORD style = Style();
  return !(style & kOwnerDrawStyles) || (style & LBS_HASSTRINGS);
}

bool ListBoxState::OwnerDrawn() const { return (Style() & kOwnerDrawStyles) != 0; }

std::string ListBoxState::Text(int index) const {
  return m_items.Valid(index) ? m_items.At(index).text : std::string();
}

void ListBoxState::AnnounceSelection() {
  if (!m_selectionChanged) return;
  m_selectionChanged = false;
  core::Announce(m_window, Change::kSelection);
}

void ListBoxState::NotifySelection(WORD code) {
  AnnounceSelection();
  if (Style() & LBS_NOTIFY) NotifyParent(m_window, code);
}

LRESULT ListBoxState::InsertItem(int index, LPARAM textOrData, bool sorted) {
  ListItem item;
  if (HasStrings()) {
    item.text = textOrData != 0 ? reinterpret_cast<const char*>(textOrData) : "";
  } else {
    item.data = static_cast<ULONG_PTR>(textOrData);
  }
  if (sorted && (Style() & LBS_SORT)) {
    if (HasStrings()) {
      index = m_items.SortedPosition(item.text);
    } else {
      // Without strings only the owner can say which item comes first.
      UINT id = static_cast<UINT>(GetDlgCtrlID(m_window));
      index = m_items.SortedPosition([&](int other) {
        COMPAREITEMSTRUCT compare{ODT_LISTBOX, id, m_window, static_cast<UINT>(-1), item.data,
                                  static_cast<UINT>(other), m_items.At(other).data, 0};
        return static_cast<int>(SendMessageA(m_owner, WM_COMPAREITEM, id, reinterpret_cast<LPARAM>(&compare)));
      });
    }
  }
  int at = m_items.Insert(index, std::move(item));
  if (at < 0) return LB_ERR;
  if (m_items.Count() == 1) {
    m_caret = 0;
  } else if (at <= m_caret) {
    ++m_caret;
  }
  if (m_anchor >= at) ++m_anchor;
  core::AnnounceRows(m_window, Change::kRowsInserted, at, 1);
  return at;
}

void ListBoxState::TellOwnerOfDeletion(int index) {
  ULONG_PTR data = m_items.At(index).data;
  if (!OwnerDrawn() && data == 0) return;
  UINT id = static_cast<UINT>(GetDlgCtrlID(m_window));
  DELETEITEMSTRUCT item{ODT_LISTBOX, id, static_cast<UINT>(index), m_window, data};
  SendMessageA(m_owner, WM_DELETEITEM, id, reinterpret_cast<LPARAM>(&item));
}

LRESULT ListBoxState::DeleteItem(int index) {
  if (!m_items.Valid(index)) return LB_ERR;
  TellOwnerOfDeletion(index);
  // The owner may have changed the list meanwhile.
  if (!m_items.Valid(index)) return m_items.Count();
  if (m_items.At(index).selected) m_selectionChanged = true;
  m_items.Remove(index);
  int count = m_items.Count();
  if (m_caret > index || m_caret >= count) m_caret = std::max(0, m_caret - 1);
  if (m_anchor == index) {
    m_anchor = -1;
  } else if (m_anchor > index) {
    --m_anchor;
  }
  if (m_top >= count) m_top = std::max(0, count - 1);
  core::AnnounceRows(m_window, Change::kRowsRemoved, index, 1);
  AnnounceSelection();
  return count;
}

void ListBoxState::Reset() {
  int count = m_items.Count();
  if (count == 0) return;
  // The owner hears of every item, the last first, as Windows does it.
  for (int index = count - 1; index >= 0; --index) {
    if (m_items.Valid(index)) TellOwnerOfDeletion(index);
  }
  m_items.Clear();
  m_caret = 0;
  m_anchor = -1;
  m_top = 0;
  core::AnnounceRows(m_window, Change::kRowsRemoved, 0, count);
  m_selectionChanged = true;
  AnnounceSelection();
}

LRESULT ListBoxState::SelectRange(int first, int last, bool on) {
  if (!MultiSelect()) return LB_ERR;
  int count = m_items.Count();
  if (count == 0) return LB_OKAY;
  if (last == -1 || last >= count) last = count - 1;
  first = std::max(first, 0);
  for (int index = first; index <= last; ++index) {
    ListItem& item = m_items.At(index);
    if (item.selected != on) {
      item.selected = on;
      m_selectionChanged = true;
    }
  }
  return LB_OKAY;
}

LRESULT ListBoxState::SetSelection(int index, bool on) {
  if (Style() & LBS_NOSEL) return LB_ERR;
  if (index < -1 || index >= m_items.Count()) return LB_ERR;
  if (MultiSelect()) return index == -1 ? SelectRange(0, -1, on) : SelectRange(index, index, on);
  int old = SingleSelection();
  if (index == old) return LB_OKAY;
  if (old != -1) m_items.At(old).selected = false;
  if (index != -1) m_items.At(index).selected = true;
  m_selectionChanged = true;
  return LB_OKAY;
}

int ListBoxState::SingleSelection() const {
  for (int index = 0; index < m_items.Count(); ++index) {
    if (m_items.At(index).selected) return index;
  }
  return -1;
}

int ListBoxState::PageSize() const {
  RECT rect{};
  GetClientRect(m_window, &rect);
  return std::max(1, static_cast<int>(rect.bottom - rect.top) / std::max(1, m_itemHeight));
}

void ListBoxState::SetTop(int index) {
  int highest = std::max(0, m_items.Count() - PageSize());
  index = std::clamp(index, 0, highest);
  if (index == m_top) return;
  m_top = index;
  core::Announce(m_window, Change::kRedraw);
}

void ListBoxState::MakeVisible(int index) {
  if (index < m_top) {
    SetTop(index);
  } else if (index >= m_top + PageSize()) {
    SetTop(index - PageSize() + 1);
  }
}

LRESULT ListBoxState::SetCaret(int index) {
  if ((Style() & LBS_NOSEL) || !m_items.Valid(index)) return LB_ERR;
  if (index != m_caret) m_selectionChanged = true;
  m_caret = index;
  MakeVisible(index);
  return LB_OKAY;
}

void ListBoxState::MoveCaret(int index) {
  if (!m_items.Valid(index)) return;
  DWORD style = Style();
  if (style & LBS_EXTENDEDSEL) {
    // The selection becomes exactly the rows from the anchor to the caret.
    if (m_anchor != -1) {
      int first = std::min(index, m_anchor);
      int last = std::max(index, m_anchor);
      if (first > 0) SelectRange(0, first - 1, false);
      SelectRange(last + 1, -1, false);
      SelectRange(first, last, true);
    }
  } else if (!(style & LBS_MULTIPLESEL)) {
    SetSelection(index, true);
  }
  SetCaret(index);
}

int ListBoxState::ItemFromPoint(POINT point) const {
  if (m_items.Count() == 0) return -1;
  int index = m_top + static_cast<int>(point.y) / std::max(1, m_itemHeight);
  if (index < 0) return 0;
  return index >= m_items.Count() ? -1 : index;
}

RECT ListBoxState::ItemRect(int index) const {
  RECT client{};
  GetClientRect(m_window, &client);
  LONG top = static_cast<LONG>((index - m_top) * m_itemHeight);
  return RECT{0, top, std::max<LONG>(client.right, m_horizontalExtent), top + m_itemHeight};
}

namespace {

LRESULT GetText(const ListBoxState* state, int index, char* buffer) {
  if (!state->m_items.Valid(index)) return LB_ERR;
  if (!state->HasStrings()) {
    ULONG_PTR data = state->m_items.At(index).data;
    if (buffer != nullptr) std::memcpy(buffer, &data, sizeof data);
    return sizeof data;
  }
  const std::string& text = state->m_items.At(index).text;
  // LB_GETTEXT trusts the buffer to be large enough (LB_GETTEXTLEN + 1).
  if (buffer != nullptr) std::memcpy(buffer, text.c_str(), text.size() + 1);
  return static_cast<LRESULT>(text.size());
}

LRESULT Find(const ListBoxState* state, WPARAM start, LPARAM text, bool exact) {
  int from = static_cast<int>(start);
  int found = state->HasStrings()
                  ? state->m_items.Find(from, text != 0 ? reinterpret_cast<const char*>(text) : "", exact)
                  : state->m_items.FindData(from, static_cast<ULONG_PTR>(text));
  return found < 0 ? LB_ERR : found;
}

// Counts the selected items, copying up to max indexes when out is given.
LRESULT GetSelItems(const ListBoxState* state, int max, int* out) {
  if (!state->MultiSelect()) return LB_ERR;
  int count = 0;
  for (int index = 0; index < state->m_items.Count() && count < max; ++index) {
    if (!state->m_items.At(index).selected) continue;
    if (out != nullptr) out[count] = index;
    ++count;
  }
  return count;
}

LRESULT ItemFromPointAnswer(const ListBoxState* state, LPARAM lParam) {
  if (state->m_items.Count() == 0) return 0x1FFFF;
  POINT point = PointOf(lParam);
  int index = state->ItemFromPoint(point);
  bool hit = index != -1;
  if (!hit) index = state->m_items.Count() - 1;
  RECT rect = state->ItemRect(index);
  hit = hit && point.x >= rect.left && point.x < rect.right && point.y >= rect.top &&
        point.y < rect.bottom;
  return static_cast<LRESULT>(MAKELONG(static_cast<WORD>(index), hit ? 0 : 1));
}

void MeasureFixedItems(ListBoxState* state) {
  UINT id = static_cast<UINT>(GetDlgCtrlID(state->m_window));
  MEASUREITEMSTRUCT measure{ODT_LISTBOX, id, static_cast<UINT>(-1), 0,
                            static_cast<UINT>(state->m_itemHeight), 0};
  SendMessageA(state->m_owner, WM_MEASUREITEM, id, reinterpret_cast<LPARAM>(&measure));
  state->m_itemHeight = measure.itemHeight != 0 ? static_cast<int>(measure.itemHeight) : 1;
}

LRESULT Handle(ListBoxState* state, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto index = static_cast<int>(wParam);
  switch (message) {
    case WM_CREATE:
      state->m_itemHeight = LineHeight(window);
      if (state->Style() & kOwnerDrawStyles) MeasureFixedItems(state);
      return 0;
    case WM_DESTROY:
      state->Reset();
      return 0;
    case WM_SETFONT:
      DefWindowProcA(window, message, wParam, lParam);
      if (!state->OwnerDrawn()) state->m_itemHeight = LineHeight(window);
      return 0;
    case WM_GETDLGCODE:
      return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_SETFOCUS:
      state->m_focused = true;
      NotifyParent(window, LBN_SETFOCUS);
      return 0;
    case WM_KILLFOCUS:
      state->m_focused = false;
      NotifyParent(window, LBN_KILLFOCUS);
      return 0;
    case WM_LBUTTONDOWN:
      state->ButtonDown(static_cast<DWORD>(wParam), PointOf(lParam));
      return 0;
    case WM_LBUTTONUP:
      state->ButtonUp();
      return 0;
    case WM_LBUTTONDBLCLK:
      state->NotifySelection(LBN_DBLCLK);
      return 0;
    case WM_KEYDOWN:
      state->KeyDown(wParam);
      return 0;
    case WM_CHAR:
      state->Character(static_cast<unsigned char>(wParam));
      return 0;
    case LB_ADDSTRING:
      return state->InsertItem(-1, lParam, true);
    case LB_INSERTSTRING:
      return state->InsertItem(index, lParam, false);
    case LB_DELETESTRING:
      return state->DeleteItem(index);
    case LB_RESETCONTENT:
      state->Reset();
      return 0;
    case LB_GETCOUNT:
      return state->m_items.Count();
    case LB_GETTEXT:
      return GetText(state, index, reinterpret_cast<char*>(lParam));
    case LB_GETTEXTLEN:
      if (!state->m_items.Valid(index)) return LB_ERR;
      return state->HasStrings() ? static_cast<LRESULT>(state->m_items.At(index).text.size())
                                 : static_cast<LRESULT>(sizeof(ULONG_PTR));
    case LB_GETITEMDATA:
      return state->m_items.Valid(index) ? static_cast<LRESULT>(state->m_items.At(index).data) : LB_ERR;
    case LB_SETITEMDATA:
      if (!state->m_items.Valid(index)) return LB_ERR;
      state->m_items.At(index).data = static_cast<ULONG_PTR>(lParam);
      return LB_OKAY;
    case LB_SETCURSEL: {
      if (state->MultiSelect()) return LB_ERR;
      state->SetCaret(index);
      LRESULT result = state->SetSelection(index, true);
      return result == LB_ERR ? LB_ERR : state->SingleSelection();
    }
    case LB_GETCURSEL:
      if (state->m_items.Count() == 0) return LB_ERR;
      return state->MultiSelect() ? state->m_caret : state->SingleSelection();
    case LB_SETSEL: {
      if (!state->MultiSelect()) return LB_ERR;
      auto target = static_cast<int>(lParam);
      LRESULT result = state->SetSelection(target, wParam != 0);
      if (result != LB_ERR && wParam != 0 && target != -1) {
        state->m_anchor = target;
        state->SetCaret(target);
      }
      return result;
    }
    case LB_GETSEL:
      return state->m_items.Valid(index) ? (state->m_items.At(index).selected ? 1 : 0) : LB_ERR;
    case LB_GETSELCOUNT:
      return GetSelItems(state, state->m_items.Count(), nullptr);
    case LB_GETSELITEMS:
      return GetSelItems(state, index, reinterpret_cast<int*>(lParam));
    case LB_SELITEMRANGE:
      return state->SelectRange(LOWORD(static_cast<WPARAM>(lParam)),
                                HIWORD(static_cast<WPARAM>(lParam)), wParam != 0);
    case LB_SELITEMRANGEEX: {
      auto last = static_cast<int>(lParam);
      return last >= index ? state->SelectRange(index, last, true)
                           : state->SelectRange(last, index, false);
    }
    case LB_SETCARETINDEX:
      return state->SetCaret(index);
    case LB_GETCARETINDEX:
      return state->m_caret;
    case LB_SETANCHORINDEX:
      if (index < -1 || index >= state->m_items.Count()) return LB_ERR;
      state->m_anchor = index;
      return LB_OKAY;
    case LB_GETANCHORINDEX:
      return state->m_anchor;
    case LB_GETTOPINDEX:
      return state->m_top;
    case LB_SETTOPINDEX:
      state->SetTop(index);
      return LB_OKAY;
    case LB_FINDSTRING:
      return Find(state, wParam, lParam, false);
    case LB_FINDSTRINGEXACT:
      return Find(state, wParam, lParam, true);
    case LB_SELECTSTRING: {
      LRESULT found = Find(state, wParam, lParam, false);
      if (found != LB_ERR) {
        state->MoveCaret(static_cast<int>(found));
        state->SetSelection(static_cast<int>(found), true);
      }
      return found;
    }
    case LB_SETITEMHEIGHT: {
      int height = LOWORD(static_cast<WPARAM>(lParam));
      if (height > kMaxItemHeight) return LB_ERR;
      state->m_itemHeight = height == 0 ? 1 : height;
      core::Announce(window, Change::kRedraw);
      return LB_OKAY;
    }
    case LB_GETITEMHEIGHT:
      return state->m_itemHeight;
    case LB_SETHORIZONTALEXTENT:
      state->m_horizontalExtent = static_cast<int>(wParam);
      return LB_OKAY;
    case LB_GETHORIZONTALEXTENT:
      return state->m_horizontalExtent;
    case LB_GETITEMRECT: {
      if (!state->m_items.Valid(index) && !(index == 0 && state->m_items.Count() == 0)) return LB_ERR;
      RECT rect = state->ItemRect(index);
      if (lParam != 0) *reinterpret_cast<RECT*>(lParam) = rect;
      // 1 when some of the row shows.
      return index >= state->m_top && index <= state->m_top + state->PageSize() ? 1 : 0;
    }
    case LB_ITEMFROMPOINT:
      return ItemFromPointAnswer(state, lParam);
    default:
      return DefWindowProcA(window, message, wParam, lParam);
  }
}

}  // namespace

LRESULT ListBoxProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
    core::SetControlState(window, std::make_unique<ListBoxState>(window, create->hwndParent));
    return DefWindowProcA(window, message, wParam, lParam);
  }
  auto* state = core::ControlOf<ListBoxState>(window);
  if (state == nullptr) return DefWindowProcA(window, message, wParam, lParam);
  LRESULT result = Handle(state, window, message, wParam, lParam);
  // The state may have gone with the window while the message was handled.
  if (auto* still = core::ControlOf<ListBoxState>(window)) still->AnnounceSelection();
  return result;
}

}  // namespace ui::controls
