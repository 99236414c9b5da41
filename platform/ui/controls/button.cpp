// The "Button" class: push buttons, default push buttons, check boxes
// (two and three states, plain and automatic), radio buttons (an automatic
// one unchecks the others of its group) and group boxes. A click is
// WM_LBUTTONDOWN (capture, focus, pushed) then WM_LBUTTONUP inside, which
// toggles an automatic box before BN_CLICKED goes to the parent, in
// Windows' order; Space does the same from the keyboard.
#include <strings.h>

#include <algorithm>

#include "platform/ui/controls/control_procs.h"
#include "platform/ui/controls/control_support.h"
#include "platform/ui/core/announce.h"
#include "platform/ui/core/window.h"
#include "platform/ui/dialog.h"
#include "platform/ui/driver.h"
#include "platform/ui/message_api.h"
#include "platform/ui/std_controls.h"

namespace ui::controls {

namespace {

using driver::ButtonModel;
using driver::Change;

DWORD TypeOf(HWND window) { return static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE)) & BS_TYPEMASK; }

UINT MaxCheck(DWORD type) {
  switch (type) {
    case BS_CHECKBOX:
    case BS_AUTOCHECKBOX:
    case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON:
      return BST_CHECKED;
    case BS_3STATE:
    case BS_AUTO3STATE:
      return BST_INDETERMINATE;
    default:
      return BST_UNCHECKED;
  }
}

class ButtonState : public core::ControlState, public ButtonModel {
 public:
  explicit ButtonState(HWND window) : m_window(window) {}

  void* QueryModel(const std::type_info& type) override {
    return core::QueryModels<ButtonState, ButtonModel>(this, type);
  }

  Kind ButtonKind() const override {
    switch (TypeOf(m_window)) {
      case BS_PUSHBUTTON:
        return Kind::kPush;
      case BS_DEFPUSHBUTTON:
        return Kind::kDefaultPush;
      case BS_RADIOBUTTON:
      case BS_AUTORADIOBUTTON:
        return Kind::kRadio;
      case BS_GROUPBOX:
        return Kind::kGroupBox;
      case BS_OWNERDRAW:
        return Kind::kOwnerDraw;
      case BS_CHECKBOX:
      case BS_AUTOCHECKBOX:
      case BS_3STATE:
      case BS_AUTO3STATE:
        return Kind::kCheckBox;
      default:
        return Kind::kPush;
    }
  }
  int CheckState() const override { return static_cast<int>(m_state & 3); }

  HWND m_window;
  UINT m_state = BST_UNCHECKED;  // BST_* bits
  bool m_pressed = false;        // the mouse or Space went down on it
  HANDLE m_image = nullptr;
};

bool IsAutoRadio(HWND window) {
  char name[16];
  return GetClassNameA(window, name, sizeof name) > 0 && strcasecmp(name, WC_BUTTON) == 0 &&
         TypeOf(window) == BS_AUTORADIOBUTTON;
}

// The other automatic radio buttons of the group lose their check.
void UncheckGroup(HWND window) {
  HWND parent = GetParent(window);
  if (parent == nullptr) return;
  for (HWND sibling = GetNextDlgGroupItem(parent, window, FALSE);
       sibling != nullptr && sibling != window;
       sibling = GetNextDlgGroupItem(parent, sibling, FALSE)) {
    if (IsAutoRadio(sibling)) SendMessageA(sibling, BM_SETCHECK, BST_UNCHECKED, 0);
  }
}

void SetCheck(HWND window, ButtonState* state, WPARAM check) {
  DWORD type = TypeOf(window);
  check = std::min<WPARAM>(check, MaxCheck(type));
  if (type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON) {
    // The checked radio button is the one Tab stops at.
    DWORD style = static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE));
    DWORD wanted = check != 0 ? (style | WS_TABSTOP) : (style & ~WS_TABSTOP);
    if (wanted != style) SetWindowLongA(window, GWL_STYLE, static_cast<LONG>(wanted));
  }
  if ((state->m_state & 3) != check) {
    state->m_state = (state->m_state & ~3u) | static_cast<UINT>(check);
    core::Announce(window, Change::kState);
  }
  if (type == BS_AUTORADIOBUTTON && check == BST_CHECKED &&
      (GetWindowLongA(window, GWL_STYLE) & WS_CHILD)) {
    UncheckGroup(window);
  }
}

void SetPushed(HWND window, ButtonState* state, bool pushed) {
  if (((state->m_state & BST_PUSHED) != 0) == pushed) return;
  state->m_state = pushed ? (state->m_state | BST_PUSHED) : (state->m_state & ~BST_PUSHED);
  core::Announce(window, Change::kState);
}

void Press(HWND window, ButtonState* state) {
  SetCapture(window);
  SetFocus(window);
  state->m_pressed = true;
  SendMessageA(window, BM_SETSTATE, TRUE, 0);
}

// The end of a click: inside, an automatic button changes its check, the
// capture goes, then the parent hears of the click.
void Release(HWND window, ButtonState* state, bool inside) {
  if (!state->m_pressed) return;
  state->m_pressed = false;
  if (!(state->m_state & BST_PUSHED)) {
    ReleaseCapture();
    return;
  }
  SendMessageA(window, BM_SETSTATE, FALSE, 0);
  if (!inside) {
    ReleaseCapture();
    return;
  }
  switch (TypeOf(window)) {
    case BS_AUTOCHECKBOX:
      SendMessageA(window, BM_SETCHECK, (state->m_state & BST_CHECKED) ? BST_UNCHECKED : BST_CHECKED, 0);
      break;
    case BS_AUTORADIOBUTTON:
      SendMessageA(window, BM_SETCHECK, BST_CHECKED, 0);
      break;
    case BS_AUTO3STATE:
      SendMessageA(window, BM_SETCHECK,
                   (state->m_state & BST_INDETERMINATE) ? BST_UNCHECKED : (state->m_state & 3) + 1, 0);
      break;
    default:
      break;
  }
  ReleaseCapture();
  NotifyParent(window, BN_CLICKED);
}

bool Inside(HWND window, LPARAM lParam) {
  RECT rect{};
  GetClientRect(window, &rect);
  POINT point = PointOf(lParam);
  return point.x >= rect.left && point.x < rect.right && point.y >= rect.top && point.y < rect.bottom;
}

LRESULT DialogCode(HWND window) {
  switch (TypeOf(window)) {
    case BS_PUSHBUTTON:
      return DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON;
    case BS_DEFPUSHBUTTON:
      return DLGC_BUTTON | DLGC_DEFPUSHBUTTON;
    case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON:
      return DLGC_BUTTON | DLGC_RADIOBUTTON;
    case BS_GROUPBOX:
      return DLGC_STATIC;
    default:
      return DLGC_BUTTON;
  }
}

bool Notifies(HWND window) { return (GetWindowLongA(window, GWL_STYLE) & BS_NOTIFY) != 0; }

}  // namespace

LRESULT ButtonProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    core::SetControlState(window, std::make_unique<ButtonState>(window));
    return DefWindowProcA(window, message, wParam, lParam);
  }
  auto* state = core::ControlOf<ButtonState>(window);
  if (state == nullptr) return DefWindowProcA(window, message, wParam, lParam);
  // A group box lets the mouse through to what lies under it.
  bool groupBox = TypeOf(window) == BS_GROUPBOX;
  switch (message) {
    case WM_GETDLGCODE:
      return DialogCode(window);
    case WM_LBUTTONDBLCLK:
      if (groupBox) return 0;
      if (Notifies(window) || TypeOf(window) == BS_RADIOBUTTON || TypeOf(window) == BS_OWNERDRAW) {
        NotifyParent(window, BN_DOUBLECLICKED);
        return 0;
      }
      Press(window, state);
      return 0;
    case WM_LBUTTONDOWN:
      if (!groupBox) Press(window, state);
      return 0;
    case WM_LBUTTONUP:
      Release(window, state, Inside(window, lParam));
      return 0;
    case WM_KEYDOWN:
      if (wParam == VK_SPACE && !groupBox) {
        SendMessageA(window, BM_SETSTATE, TRUE, 0);
        state->m_pressed = true;
        SetCapture(window);
      }
      return 0;
    case WM_KEYUP:
      if (wParam == VK_SPACE) Release(window, state, true);
      return 0;
    case WM_SETFOCUS:
      state->m_state |= BST_FOCUS;
      if (Notifies(window)) NotifyParent(window, BN_SETFOCUS);
      return 0;
    case WM_KILLFOCUS:
      state->m_state &= ~BST_FOCUS;
      if (state->m_pressed && GetCapture() == window) {
        state->m_pressed = false;
        ReleaseCapture();
        SendMessageA(window, BM_SETSTATE, FALSE, 0);
      }
      if (Notifies(window)) NotifyParent(window, BN_KILLFOCUS);
      return 0;
    case BM_GETCHECK:
      return static_cast<LRESULT>(state->m_state & 3);
    case BM_SETCHECK:
      SetCheck(window, state, wParam);
      return 0;
    case BM_GETSTATE:
      return static_cast<LRESULT>(state->m_state);
    case BM_SETSTATE:
      SetPushed(window, state, wParam != 0);
      return 0;
    case BM_SETSTYLE: {
      DWORD style = static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE));
      SetWindowLongA(window, GWL_STYLE, static_cast<LONG>((style & ~BS_TYPEMASK) | (wParam & BS_TYPEMASK)));
      return 0;
    }
    case BM_CLICK:
      // A disabled button takes no clicks, from the mouse or from BM_CLICK.
      if (IsWindowEnabled(window)) {
        SendMessageA(window, WM_LBUTTONDOWN, 0, 0);
        SendMessageA(window, WM_LBUTTONUP, 0, 0);
      }
      return 0;
    case BM_SETIMAGE: {
      HANDLE old = state->m_image;
      state->m_image = reinterpret_cast<HANDLE>(lParam);
      core::Announce(window, Change::kState);
      return reinterpret_cast<LRESULT>(old);
    }
    case BM_GETIMAGE:
      return reinterpret_cast<LRESULT>(state->m_image);
    default:
      return DefWindowProcA(window, message, wParam, lParam);
  }
}

}  // namespace ui::controls
