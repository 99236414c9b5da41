// The dialog manager: the default dialog procedure, keyboard navigation
// (Tab and Shift+Tab, Enter for the default button or IDOK, Esc for
// IDCANCEL) and the item helpers.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/base/last_error.h"
#include "platform/ui/core/dialog_state.h"
#include "platform/ui/dialog.h"
#include "platform/ui/driver.h"
#include "platform/ui/message_api.h"
#include "platform/ui/std_controls.h"

namespace ui::core {

namespace {

bool IsPushButton(HWND window) {
  char name[16];
  if (GetClassNameA(window, name, sizeof name) == 0 || strcasecmp(name, "Button") != 0) {
    return false;
  }
  DWORD type = static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE)) & BS_TYPEMASK;
  return type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON;
}

// Every control of the dialog in tab order; controls of a child dialog
// (WS_EX_CONTROLPARENT) take part in the parent's order.
void CollectControls(HWND parent, std::vector<HWND>* out) {
  for (HWND child : ui::driver::Children(parent)) {
    out->push_back(child);
    if (GetWindowLongA(child, GWL_EXSTYLE) & WS_EX_CONTROLPARENT) CollectControls(child, out);
  }
}

bool CanTakeFocus(HWND control) {
  return IsWindowVisible(control) && IsWindowEnabled(control) &&
         (GetWindowLongA(control, GWL_STYLE) & WS_TABSTOP) != 0 &&
         !(GetWindowLongA(control, GWL_EXSTYLE) & WS_EX_CONTROLPARENT);
}

void FocusControl(HWND dialog, HWND control) {
  if (control == nullptr) return;
  SetFocus(control);
  if (DialogState* state = DialogOf(dialog)) state->savedFocus = control;
  // An edit box's whole text is selected when it is reached by keyboard.
  if (SendMessageA(control, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL) {
    SendMessageA(control, EM_SETSEL, 0, -1);
  }
}

void ClickCommand(HWND dialog, int id) {
  HWND control = GetDlgItem(dialog, id);
  if (control != nullptr && !IsWindowEnabled(control)) return;
  SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(id), BN_CLICKED),
               reinterpret_cast<LPARAM>(control));
}

bool ReturnsValueDirectly(UINT message) {
  switch (message) {
    case WM_INITDIALOG:
    case WM_CTLCOLORSTATIC:
      return true;
    default:
      return message >= 0x0132 && message <= 0x0138;  // the WM_CTLCOLOR* family
  }
}

}  // namespace

int DefaultButtonId(HWND dialog) {
  HWND focus = GetFocus();
  if (focus != nullptr && IsChild(dialog, focus) && IsPushButton(focus)) return GetDlgCtrlID(focus);
  DialogState* state = DialogOf(dialog);
  return state != nullptr ? state->defaultId : 0;
}

}  // namespace ui::core

using namespace ui::core;

LRESULT DefDlgProcA(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  auto proc = reinterpret_cast<DLGPROC>(GetWindowLongPtrA(dialog, DWLP_DLGPROC));
  if (proc != nullptr) {
    SetWindowLongPtrA(dialog, DWLP_MSGRESULT, 0);
    INT_PTR handled = proc(dialog, message, wParam, lParam);
    if (!IsWindow(dialog)) return handled;
    if (ReturnsValueDirectly(message)) return handled;
    if (handled) return GetWindowLongPtrA(dialog, DWLP_MSGRESULT);
  }
  DialogState* state = DialogOf(dialog);
  switch (message) {
    case WM_INITDIALOG:
      return 0;
    case WM_CLOSE:
      // Closing is cancelling: the dialog's procedure decides what that means.
      PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                   reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDCANCEL)));
      return 0;
    case WM_NEXTDLGCTL: {
      HWND target = lParam != 0 ? reinterpret_cast<HWND>(wParam)
                                : GetNextDlgTabItem(dialog, GetFocus(), wParam != 0);
      FocusControl(dialog, target);
      return 0;
    }
    case DM_GETDEFID: {
      int id = DefaultButtonId(dialog);
      return id != 0 ? static_cast<LRESULT>(MAKELONG(static_cast<WORD>(id), DC_HASDEFID)) : 0;
    }
    case DM_SETDEFID:
      if (state != nullptr) {
        if (HWND old = GetDlgItem(dialog, state->defaultId); old != nullptr && IsPushButton(old)) {
          SendMessageA(old, BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
        }
        state->defaultId = static_cast<int>(wParam);
        if (HWND now = GetDlgItem(dialog, state->defaultId); now != nullptr && IsPushButton(now)) {
          SendMessageA(now, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
        }
      }
      return TRUE;
    case WM_ACTIVATE:
      if (state != nullptr) {
        if (LOWORD(wParam) == WA_INACTIVE) {
          HWND focus = GetFocus();
          if (focus != nullptr && IsChild(dialog, focus)) state->savedFocus = focus;
        } else if (state->savedFocus != nullptr && IsWindow(state->savedFocus)) {
          SetFocus(state->savedFocus);
        } else if (HWND first = GetNextDlgTabItem(dialog, nullptr, FALSE)) {
          FocusControl(dialog, first);
        } else {
          // A dialog with nothing to focus takes the keys itself.
          SetFocus(dialog);
        }
      }
      return 0;
    case WM_SETFOCUS:
      if (state != nullptr && state->savedFocus != nullptr && IsWindow(state->savedFocus)) {
        SetFocus(state->savedFocus);
      }
      return 0;
    case WM_GETFONT:
      return state != nullptr ? reinterpret_cast<LRESULT>(state->font) : 0;
    default:
      return DefWindowProcA(dialog, message, wParam, lParam);
  }
}

BOOL IsDialogMessageA(HWND dialog, MSG* msg) {
  if (msg == nullptr || dialog == nullptr || !IsWindow(dialog)) return FALSE;
  if (msg->hwnd != dialog && !IsChild(dialog, msg->hwnd)) return FALSE;
  if (msg->message == WM_KEYDOWN || msg->message == WM_CHAR) {
    LRESULT code = msg->hwnd != nullptr
                       ? SendMessageA(msg->hwnd, WM_GETDLGCODE, msg->wParam, reinterpret_cast<LPARAM>(msg))
                       : 0;
    if (!(code & (DLGC_WANTALLKEYS | DLGC_WANTMESSAGE))) {
      bool keyDown = msg->message == WM_KEYDOWN;
      switch (msg->wParam) {
        case VK_TAB:
          if (code & DLGC_WANTTAB) break;
          if (keyDown) SendMessageA(dialog, WM_NEXTDLGCTL, GetKeyState(VK_SHIFT) < 0 ? 1 : 0, 0);
          return TRUE;
        case VK_RETURN:
          if (keyDown) {
            int id = DefaultButtonId(dialog);
            ClickCommand(dialog, id != 0 ? id : IDOK);
          }
          return TRUE;
        case VK_ESCAPE:
          if (keyDown) ClickCommand(dialog, IDCANCEL);
          return TRUE;
        default:
          break;
      }
      if (keyDown && !(code & DLGC_WANTARROWS) &&
          (msg->wParam == VK_LEFT || msg->wParam == VK_RIGHT || msg->wParam == VK_UP ||
           msg->wParam == VK_DOWN)) {
        bool previous = msg->wParam == VK_LEFT || msg->wParam == VK_UP;
        HWND next = GetNextDlgGroupItem(dialog, msg->hwnd, previous ? TRUE : FALSE);
        if (next != nullptr && next != msg->hwnd) FocusControl(dialog, next);
        return TRUE;
      }
    }
  }
  TranslateMessage(msg);
  DispatchMessageA(msg);
  return TRUE;
}

HWND GetNextDlgTabItem(HWND dialog, HWND control, BOOL previous) {
  std::vector<HWND> controls;
  CollectControls(dialog, &controls);
  if (controls.empty()) return nullptr;
  size_t count = controls.size();
  size_t start = count - 1;
  if (control != nullptr) {
    for (size_t i = 0; i < count; ++i) {
      if (controls[i] == control) start = i;
    }
  } else if (previous) {
    start = 0;
  }
  for (size_t step = 1; step <= count; ++step) {
    size_t index = previous ? (start + count - step) % count : (start + step) % count;
    if (CanTakeFocus(controls[index])) return controls[index];
  }
  return control;
}

HWND GetNextDlgGroupItem(HWND dialog, HWND control, BOOL previous) {
  std::vector<HWND> controls;
  CollectControls(dialog, &controls);
  auto it = std::find(controls.begin(), controls.end(), control);
  if (it == controls.end()) return nullptr;
  // The group runs from the control with WS_GROUP before this one up to
  // the next WS_GROUP.
  size_t at = static_cast<size_t>(it - controls.begin());
  size_t first = at;
  while (first > 0 && !(GetWindowLongA(controls[first], GWL_STYLE) & WS_GROUP)) --first;
  size_t last = at;
  while (last + 1 < controls.size() && !(GetWindowLongA(controls[last + 1], GWL_STYLE) & WS_GROUP)) {
    ++last;
  }
  size_t size = last - first + 1;
  for (size_t step = 1; step <= size; ++step) {
    size_t offset = previous ? (at - first + size - step) % size : (at - first + step) % size;
    HWND candidate = controls[first + offset];
    if (IsWindowVisible(candidate) && IsWindowEnabled(candidate)) return candidate;
  }
  return control;
}

HWND GetDlgItem(HWND dialog, int id) {
  for (HWND child : ui::driver::Children(dialog)) {
    if (GetDlgCtrlID(child) == id) return child;
  }
  if (!IsWindow(dialog)) SetLastError(ERROR_INVALID_WINDOW_HANDLE);
  return nullptr;
}

int GetDlgCtrlID(HWND control) {
  if (!(GetWindowLongA(control, GWL_STYLE) & WS_CHILD)) return 0;
  return static_cast<int>(GetWindowLongPtrA(control, GWLP_ID));
}

UINT GetDlgItemTextA(HWND dialog, int id, LPSTR buffer, int size) {
  if (buffer != nullptr && size > 0) buffer[0] = '\0';
  HWND control = GetDlgItem(dialog, id);
  if (control == nullptr) return 0;
  return static_cast<UINT>(GetWindowTextA(control, buffer, size));
}

BOOL SetDlgItemTextA(HWND dialog, int id, LPCSTR text) {
  HWND control = GetDlgItem(dialog, id);
  return control != nullptr && SetWindowTextA(control, text);
}

UINT GetDlgItemInt(HWND dialog, int id, BOOL* translated, BOOL isSigned) {
  if (translated != nullptr) *translated = FALSE;
  char text[64];
  if (GetDlgItemTextA(dialog, id, text, sizeof text) == 0) return 0;
  char* end = nullptr;
  long long value = std::strtoll(text, &end, 10);
  while (end != nullptr && *end == ' ') ++end;
  if (end == text || (end != nullptr && *end != '\0')) return 0;
  if (!isSigned && value < 0) return 0;
  if (translated != nullptr) *translated = TRUE;
  return static_cast<UINT>(value);
}

BOOL SetDlgItemInt(HWND dialog, int id, UINT value, BOOL isSigned) {
  std::string text = isSigned ? std::to_string(static_cast<int>(value)) : std::to_string(value);
  return SetDlgItemTextA(dialog, id, text.c_str());
}

LRESULT SendDlgItemMessageA(HWND dialog, int id, UINT message, WPARAM wParam, LPARAM lParam) {
  HWND control = GetDlgItem(dialog, id);
  return control != nullptr ? SendMessageA(control, message, wParam, lParam) : 0;
}

BOOL CheckDlgButton(HWND dialog, int id, UINT check) {
  HWND control = GetDlgItem(dialog, id);
  if (control == nullptr) return FALSE;
  SendMessageA(control, BM_SETCHECK, check, 0);
  return TRUE;
}

UINT IsDlgButtonChecked(HWND dialog, int id) {
  HWND control = GetDlgItem(dialog, id);
  return control != nullptr ? static_cast<UINT>(SendMessageA(control, BM_GETCHECK, 0, 0)) : 0;
}

BOOL CheckRadioButton(HWND dialog, int first, int last, int check) {
  for (int id = first; id <= last; ++id) {
    if (HWND control = GetDlgItem(dialog, id)) {
      SendMessageA(control, BM_SETCHECK, id == check ? BST_CHECKED : BST_UNCHECKED, 0);
    }
  }
  return TRUE;
}
