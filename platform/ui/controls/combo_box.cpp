// The "ComboBox" class: a drop-down list (CBS_DROPDOWNLIST), or a
// drop-down with an edit field (CBS_DROPDOWN, the field being an "Edit"
// child with id 1001). CB_SETCURSEL and its kin change the selection
// silently; a person's choice notifies in Windows' order: from the dropped
// list CBN_DROPDOWN, CBN_SELENDOK, CBN_CLOSEUP, then CBN_SELCHANGE if the
// selection changed; with the arrow keys on a closed list CBN_SELENDOK
// then CBN_SELCHANGE. The window text is the selection's text (or the
// field's), so GetWindowText answers it from any thread.
#include <algorithm>

#include "platform/ui/controls/control_procs.h"
#include "platform/ui/controls/control_support.h"
#include "platform/ui/controls/list_items.h"
#include "platform/ui/core/announce.h"
#include "platform/ui/core/control_input.h"
#include "platform/ui/core/window.h"
#include "platform/ui/dialog.h"
#include "platform/ui/driver.h"
#include "platform/ui/message_api.h"
#include "platform/ui/std_controls.h"

namespace ui::controls {

namespace {

using driver::Change;

class ComboState : public core::ControlState,
                   public driver::ListModel,
                   public driver::ComboModel,
                   public core::ComboInput {
 public:
  explicit ComboState(HWND window) : m_window(window) {}

  void* QueryModel(const std::type_info& type) override {
    return core::QueryModels<ComboState, driver::ListModel, driver::ComboModel, core::ComboInput>(
        this, type);
  }

  int Count() const override { return m_items.Count(); }
  std::string Text(int index) const override {
    return m_items.Valid(index) ? m_items.At(index).text : std::string();
  }
  bool Selected(int index) const override { return index >= 0 && index == m_selection; }
  int Current() const override { return m_selection; }
  int ItemHeight() const override { return m_itemHeight; }
  bool DropDownList() const override { return Type() == CBS_DROPDOWNLIST; }
  void SelectEntry(int index) override;

  DWORD Type() const { return static_cast<DWORD>(GetWindowLongA(m_window, GWL_STYLE)) & 3; }

  HWND m_window;
  HWND m_edit = nullptr;
  ListItems m_items;
  int m_selection = -1;
  int m_droppedSelection = -1;  // what Esc goes back to
  int m_itemHeight = 13;
  bool m_dropped = false;
  bool m_settingEdit = false;  // our own change of the field's text
};

ComboState* Live(HWND window) { return core::ControlOf<ComboState>(window); }

// The window text follows the selection, or the edit field.
void SyncText(ComboState* state) {
  std::string text;
  if (state->m_edit != nullptr) {
    int length = GetWindowTextLengthA(state->m_edit);
    text.resize(static_cast<size_t>(length) + 1);
    text.resize(static_cast<size_t>(GetWindowTextA(state->m_edit, text.data(), length + 1)));
  } else if (state->m_items.Valid(state->m_selection)) {
    text = state->m_items.At(state->m_selection).text;
  }
  DefWindowProcA(state->m_window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void Select(ComboState* state, int index) {
  if (!state->m_items.Valid(index)) index = -1;
  bool changed = index != state->m_selection;
  state->m_selection = index;
  if (state->m_edit != nullptr) {
    state->m_settingEdit = true;
    SetWindowTextA(state->m_edit, index >= 0 ? state->m_items.At(index).text.c_str() : "");
    SendMessageA(state->m_edit, EM_SETSEL, 0, -1);
    state->m_settingEdit = false;
  }
  SyncText(state);
  if (changed) core::Announce(state->m_window, Change::kSelection);
}

void DropDown(HWND window) {
  ComboState* state = Live(window);
  if (state == nullptr || state->m_dropped || state->Type() == CBS_SIMPLE) return;
  NotifyParent(window, CBN_DROPDOWN);
  if ((state = Live(window)) == nullptr) return;
  state->m_dropped = true;
  state->m_droppedSelection = state->m_selection;
  core::Announce(window, Change::kState);
}

// Closing the list: accepted (CBN_SELENDOK) or cancelled, then CBN_CLOSEUP.
void RollUp(HWND window, bool accepted) {
  ComboState* state = Live(window);
  if (state == nullptr || state->Type() == CBS_SIMPLE) return;
  NotifyParent(window, accepted ? CBN_SELENDOK : CBN_SELENDCANCEL);
  if ((state = Live(window)) == nullptr || !state->m_dropped) return;
  state->m_dropped = false;
  core::Announce(window, Change::kState);
  NotifyParent(window, CBN_CLOSEUP);
}

// A person moves the selection with the keys (or a typed letter).
void KeySelect(HWND window, int index) {
  ComboState* state = Live(window);
  if (state == nullptr || !state->m_items.Valid(index) || index == state->m_selection) return;
  Select(state, index);
  if (!state->m_dropped) NotifyParent(window, CBN_SELENDOK);
  NotifyParent(window, CBN_SELCHANGE);
}

void KeyDown(HWND window, ComboState* state, WPARAM key) {
  int count = state->m_items.Count();
  int at = state->m_selection;
  bool alt = GetKeyState(VK_MENU) < 0;
  if (key == VK_F4 || (alt && (key == VK_UP || key == VK_DOWN))) {
    if (state->m_dropped) {
      RollUp(window, true);
    } else {
      DropDown(window);
    }
    return;
  }
  switch (key) {
    case VK_UP:
    case VK_LEFT:
      KeySelect(window, std::max(0, at - 1));
      break;
    case VK_DOWN:
    case VK_RIGHT:
      KeySelect(window, std::min(count - 1, at + 1));
      break;
    case VK_HOME:
      if (state->m_edit == nullptr) KeySelect(window, 0);
      break;
    case VK_END:
      if (state->m_edit == nullptr) KeySelect(window, count - 1);
      break;
    case VK_RETURN:
      if (state->m_dropped) RollUp(window, true);
      break;
    case VK_ESCAPE:
      if (state->m_dropped) {
        Select(state, state->m_droppedSelection);
        RollUp(window, false);
      }
      break;
    default:
      break;
  }
}

LRESULT Insert(ComboState* state, int index, LPARAM text, bool sorted) {
  ListItem item;
  item.text = text != 0 ? reinterpret_cast<const char*>(text) : "";
  if (sorted && (GetWindowLongA(state->m_window, GWL_STYLE) & CBS_SORT)) {
    index = state->m_items.SortedPosition(item.text);
  }
  int at = state->m_items.Insert(index, std::move(item));
  if (at < 0) return CB_ERR;
  if (at <= state->m_selection) ++state->m_selection;
  core::AnnounceRows(state->m_window, Change::kRowsInserted, at, 1);
  return at;
}

void TellOwnerOfDeletion(ComboState* state, int index) {
  ULONG_PTR data = state->m_items.At(index).data;
  if (data == 0) return;
  UINT id = static_cast<UINT>(GetDlgCtrlID(state->m_window));
  DELETEITEMSTRUCT item{ODT_COMBOBOX, id, static_cast<UINT>(index), state->m_window, data};
  SendMessageA(GetParent(state->m_window), WM_DELETEITEM, id, reinterpret_cast<LPARAM>(&item));
}

LRESULT Delete(ComboState* state, int index) {
  if (!state->m_items.Valid(index)) return CB_ERR;
  HWND window = state->m_window;
  TellOwnerOfDeletion(state, index);
  if ((state = Live(window)) == nullptr || !state->m_items.Valid(index)) return CB_ERR;
  state->m_items.Remove(index);
  if (index == state->m_selection) {
    Select(state, -1);
  } else if (index < state->m_selection) {
    --state->m_selection;
  }
  core::AnnounceRows(window, Change::kRowsRemoved, index, 1);
  return state->m_items.Count();
}

void Reset(ComboState* state) {
  HWND window = state->m_window;
  int count = state->m_items.Count();
  for (int index = count - 1; index >= 0; --index) {
    if ((state = Live(window)) == nullptr) return;
    if (state->m_items.Valid(index)) TellOwnerOfDeletion(state, index);
  }
  if ((state = Live(window)) == nullptr) return;
  state->m_items.Clear();
  state->m_selection = -1;
  Select(state, -1);
  if (count > 0) core::AnnounceRows(window, Change::kRowsRemoved, 0, count);
}

LRESULT Find(const ComboState* state, WPARAM start, LPARAM text, bool exact) {
  int found = state->m_items.Find(static_cast<int>(start),
                                  text != 0 ? reinterpret_cast<const char*>(text) : "", exact);
  return found < 0 ? CB_ERR : found;
}

void CreateEdit(HWND window, ComboState* state, const CREATESTRUCTA* create) {
  DWORD style = WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL;
  if (create->style & CBS_LOWERCASE) style |= ES_LOWERCASE;
  if (create->style & CBS_UPPERCASE) style |= ES_UPPERCASE;
  int buttonWidth = GetSystemMetrics(SM_CXVSCROLL);
  state->m_edit = CreateWindowExA(0, WC_EDIT, create->lpszName, style, 0, 0,
                                  std::max(0, create->cx - buttonWidth), create->cy, window,
                                  reinterpret_cast<HMENU>(static_cast<UINT_PTR>(kComboEditId)),
                                  create->hInstance, nullptr);
}


// Notifications of the edit field become the combo box's own.
void FieldCommand(HWND window, ComboState* state, WORD code) {
  switch (code) {
    case EN_CHANGE:
      if (state->m_settingEdit) return;
      SyncText(state);
      NotifyParent(window, CBN_EDITCHANGE);
      return;
    case EN_UPDATE:
      if (!state->m_settingEdit) NotifyParent(window, CBN_EDITUPDATE);
      return;
    case EN_SETFOCUS:
      NotifyParent(window, CBN_SETFOCUS);
      return;
    case EN_KILLFOCUS: {
      HWND focus = GetFocus();
      if (focus == window) return;
      if (state->m_dropped) RollUp(window, false);
      NotifyParent(window, CBN_KILLFOCUS);
      return;
    }
    default:
      return;
  }
}

LRESULT Handle(HWND window, ComboState* state, UINT message, WPARAM wParam, LPARAM lParam) {
  auto index = static_cast<int>(wParam);
  switch (message) {
    case WM_CREATE: {
      auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
      state->m_itemHeight = LineHeight(window);
      if (state->Type() != CBS_DROPDOWNLIST) CreateEdit(window, state, create);
      SyncText(state);
      return 0;
    }
    case WM_DESTROY:
      Reset(state);
      return 0;
    case WM_SETFONT:
      DefWindowProcA(window, message, wParam, lParam);
      if (state->m_edit != nullptr) SendMessageA(state->m_edit, WM_SETFONT, wParam, lParam);
      state->m_itemHeight = LineHeight(window);
      return 0;
    case WM_GETDLGCODE: {
      LRESULT code = DLGC_WANTARROWS | DLGC_WANTCHARS;
      auto* msg = reinterpret_cast<const MSG*>(lParam);
      if (msg != nullptr && msg->message == WM_KEYDOWN && state->m_dropped &&
          (msg->wParam == VK_RETURN || msg->wParam == VK_ESCAPE)) {
        code |= DLGC_WANTMESSAGE;
      }
      return code;
    }
    case WM_SETTEXT:
      if (state->m_edit == nullptr) return CB_ERR;
      state->m_settingEdit = true;
      SetWindowTextA(state->m_edit, reinterpret_cast<const char*>(lParam));
      state->m_settingEdit = false;
      SyncText(state);
      return TRUE;
    case WM_SETFOCUS:
      if (state->m_edit != nullptr) {
        SetFocus(state->m_edit);
      } else {
        NotifyParent(window, CBN_SETFOCUS);
      }
      return 0;
    case WM_KILLFOCUS:
      if (state->m_edit != nullptr && reinterpret_cast<HWND>(wParam) == state->m_edit) return 0;
      if (state->m_dropped) RollUp(window, false);
      if (Live(window) != nullptr && state->m_edit == nullptr) NotifyParent(window, CBN_KILLFOCUS);
      return 0;
    case WM_LBUTTONDOWN:
      if (GetFocus() != window && GetFocus() != state->m_edit) SetFocus(window);
      if ((state = Live(window)) == nullptr) return 0;
      if (state->m_dropped) {
        RollUp(window, true);
      } else {
        DropDown(window);
      }
      return 0;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      KeyDown(window, state, wParam);
      return 0;
    case WM_CHAR:
      if (state->m_edit != nullptr) return SendMessageA(state->m_edit, WM_CHAR, wParam, lParam);
      if (wParam >= 0x20) {
        int found = state->m_items.Find(state->m_selection, std::string(1, static_cast<char>(wParam)), false);
        if (found >= 0) KeySelect(window, found);
      }
      return 0;
    case WM_COMMAND:
      if (state->m_edit != nullptr && reinterpret_cast<HWND>(lParam) == state->m_edit) {
        FieldCommand(window, state, HIWORD(wParam));
      }
      return 0;
    case CB_ADDSTRING:
      return Insert(state, -1, lParam, true);
    case CB_INSERTSTRING:
      return Insert(state, index, lParam, false);
    case CB_DELETESTRING:
      return Delete(state, index);
    case CB_RESETCONTENT:
      Reset(state);
      return CB_OKAY;
    case CB_GETCOUNT:
      return state->m_items.Count();
    case CB_GETCURSEL:
      return state->m_selection;
    case CB_SETCURSEL:
      Select(state, index);
      return state->m_selection == -1 ? CB_ERR : state->m_selection;
    case CB_GETLBTEXT:
      if (!state->m_items.Valid(index)) return CB_ERR;
      // Like LB_GETTEXT, the caller vouches for the buffer's size.
      return CopyText(state->m_items.At(index).text, reinterpret_cast<char*>(lParam),
                      state->m_items.At(index).text.size() + 1);
    case CB_GETLBTEXTLEN:
      return state->m_items.Valid(index) ? static_cast<LRESULT>(state->m_items.At(index).text.size())
                                         : CB_ERR;
    case CB_FINDSTRING:
      return Find(state, wParam, lParam, false);
    case CB_FINDSTRINGEXACT:
      return Find(state, wParam, lParam, true);
    case CB_SELECTSTRING: {
      LRESULT found = Find(state, wParam, lParam, false);
      if (found != CB_ERR) Select(state, static_cast<int>(found));
      return found;
    }
    case CB_GETITEMDATA:
      return state->m_items.Valid(index) ? static_cast<LRESULT>(state->m_items.At(index).data) : CB_ERR;
    case CB_SETITEMDATA:
      if (!state->m_items.Valid(index)) return CB_ERR;
      state->m_items.At(index).data = static_cast<ULONG_PTR>(lParam);
      return CB_OKAY;
    case CB_SHOWDROPDOWN:
      if (wParam != 0) {
        DropDown(window);
      } else if (state->m_dropped) {
        RollUp(window, false);
      }
      return TRUE;
    case CB_GETDROPPEDSTATE:
      return state->m_dropped ? TRUE : FALSE;
    case CB_SETITEMHEIGHT:
      if (LOWORD(static_cast<WPARAM>(lParam)) > 255) return CB_ERR;
      state->m_itemHeight = std::max<int>(1, LOWORD(static_cast<WPARAM>(lParam)));
      return CB_OKAY;
    case CB_GETITEMHEIGHT:
      return state->m_itemHeight;
    case CB_LIMITTEXT:
      if (state->m_edit == nullptr) return FALSE;
      SendMessageA(state->m_edit, EM_LIMITTEXT, wParam, 0);
      return TRUE;
    case CB_GETEDITSEL:
      if (state->m_edit == nullptr) return CB_ERR;
      return SendMessageA(state->m_edit, EM_GETSEL, wParam, lParam);
    case CB_SETEDITSEL:
      if (state->m_edit == nullptr) return CB_ERR;
      SendMessageA(state->m_edit, EM_SETSEL, static_cast<WPARAM>(static_cast<SHORT>(LOWORD(static_cast<WPARAM>(lParam)))),
                   static_cast<SHORT>(HIWORD(static_cast<WPARAM>(lParam))));
      return TRUE;
    default:
      return DefWindowProcA(window, message, wParam, lParam);
  }
}

}  // namespace

void ComboState::SelectEntry(int index) {
  // A person clicks the box, which takes the focus and drops the list,
  // then clicks the entry, which closes it.
  HWND window = m_window;
  HWND focus = GetFocus();
  if (focus != window && (m_edit == nullptr || focus != m_edit)) SetFocus(window);
  DropDown(window);
  ComboState* state = Live(window);
  if (state == nullptr) return;
  bool changed = false;
  if (state->m_items.Valid(index) && index != state->m_selection) {
    Select(state, index);
    changed = true;
  }
  RollUp(window, true);
  if (changed && Live(window) != nullptr) NotifyParent(window, CBN_SELCHANGE);
}

LRESULT ComboBoxProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    core::SetControlState(window, std::make_unique<ComboState>(window));
    return DefWindowProcA(window, message, wParam, lParam);
  }
  ComboState* state = Live(window);
  if (state == nullptr) return DefWindowProcA(window, message, wParam, lParam);
  return Handle(window, state, message, wParam, lParam);
}

}  // namespace ui::controls
