// Tracking a pop-up menu: WM_ENTERMENULOOP, WM_INITMENU and
// WM_INITMENUPOPUP to the owner, the menu shown as a "#32768" window owned
// by the owner (so the driver and the front-end see it), then a loop of
// its own, like a modal dialog's, until a person chooses an item (the
// driver's ChooseMenuItem) or dismisses the menu (Esc, or a click
// elsewhere, which closes the menu window); then WM_UNINITMENUPOPUP and
// WM_EXITMENULOOP, and the command is answered or posted as WM_COMMAND.
#include <algorithm>

#include "platform/base/last_error.h"
#include "platform/ui/controls/control_procs.h"
#include "platform/ui/controls/menu_object.h"
#include "platform/ui/core/control_input.h"
#include "platform/ui/core/window.h"
#include "platform/ui/driver.h"
#include "platform/ui/message_api.h"
#include "platform/ui/window_api.h"

namespace ui::controls {

namespace {

struct TrackRequest {
  HMENU menu;
  HWND owner;
  UINT flags;
};

class MenuWindowState : public core::ControlState, public core::MenuInput {
 public:
  MenuWindowState(HWND window, const TrackRequest& request)
      : m_window(window), m_menu(request.menu), m_owner(request.owner), m_flags(request.flags) {}

  void* QueryModel(const std::type_info& type) override {
    return core::QueryModels<MenuWindowState, core::MenuInput>(this, type);
  }

  bool Choose(UINT id) override {
    if (m_ended) return false;
    // The pop-ups on the way to the item open first; the owner may gray
    // it as they do.
    HWND window = m_window;
    std::vector<HMENU> opened;
    bool notify = !(m_flags & TPM_NONOTIFY);
    bool usable = OpenPathTo(m_owner, m_menu, id, notify, &opened);
    ClosePopups(m_owner, opened, notify);
    auto* state = core::ControlOf<MenuWindowState>(window);
    if (state == nullptr || !usable) return false;
    state->End(id);
    return true;
  }

  void End(UINT chosen) {
    m_chosen = chosen;
    m_ended = true;
    // Wakes the loop if it waits.
    PostMessageA(m_window, WM_NULL, 0, 0);
  }

  HWND m_window;
  HMENU m_menu;
  HWND m_owner;
  UINT m_flags;
  UINT m_chosen = 0;
  bool m_ended = false;
};

thread_local bool t_tracking = false;

// Where the menu window goes: its size from the items, its corner from
// the point and the alignment flags, kept on the screen.
RECT MenuRect(HMENU menu, UINT flags, int x, int y) {
  constexpr int kItemHeight = 18;
  constexpr int kSeparatorHeight = 8;
  constexpr int kCharWidth = 6;
  int width = 80;
  int height = 4;
  {
    std::lock_guard lock(MenuLock());
    if (auto object = FindMenu(menu)) {
      for (const MenuItem& item : object->items) {
        height += item.Separator() ? kSeparatorHeight : kItemHeight;
        width = std::max(width, static_cast<int>(item.text.size()) * kCharWidth + 48);
      }
    }
  }
  if (flags & TPM_RIGHTALIGN) {
    x -= width;
  } else if (flags & TPM_CENTERALIGN) {
    x -= width / 2;
  }
  if (flags & TPM_BOTTOMALIGN) {
    y -= height;
  } else if (flags & TPM_VCENTERALIGN) {
    y -= height / 2;
  }
  x = std::clamp(x, 0, std::max(0, GetSystemMetrics(SM_CXSCREEN) - width));
  y = std::clamp(y, 0, std::max(0, GetSystemMetrics(SM_CYSCREEN) - height));
  return RECT{x, y, x + width, y + height};
}

// The loop of the tracked menu: the keyboard belongs to the menu (Esc
// dismisses it), everything else is dispatched as usual.
UINT RunMenuLoop(HWND window) {
  MSG msg;
  for (;;) {
    auto* state = core::ControlOf<MenuWindowState>(window);
    if (state == nullptr) return 0;
    if (state->m_ended) return state->m_chosen;
    if (!GetMessageA(&msg, nullptr, 0, 0)) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      return 0;
    }
    if (msg.message >= WM_KEYFIRST && msg.message <= WM_KEYLAST) {
      if (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE) {
        if (auto* current = core::ControlOf<MenuWindowState>(window)) current->End(0);
      }
      continue;
    }
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

}  // namespace

LRESULT MenuWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
    auto* request = static_cast<const TrackRequest*>(create->lpCreateParams);
    if (request == nullptr) return FALSE;
    core::SetControlState(window, std::make_unique<MenuWindowState>(window, *request));
    return DefWindowProcA(window, message, wParam, lParam);
  }
  auto* state = core::ControlOf<MenuWindowState>(window);
  switch (message) {
    case WM_CLOSE:
      // Dismissed: the loop ends the window.
      if (state != nullptr && !state->m_ended) state->End(0);
      return 0;
    case WM_MOUSEACTIVATE:
      return 3;  // MA_NOACTIVATE: a menu never takes the activation
    default:
      return DefWindowProcA(window, message, wParam, lParam);
  }
}

}  // namespace ui::controls

using namespace ui::controls;

BOOL TrackPopupMenuEx(HMENU menu, UINT flags, int x, int y, HWND owner, LPTPMPARAMS) {
  if (!IsMenu(menu)) {
    SetLastError(ERROR_INVALID_MENU_HANDLE);
    return FALSE;
  }
  if (!IsWindow(owner)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  if (t_tracking && !(flags & TPM_RECURSE)) {
    SetLastError(ERROR_POPUP_ALREADY_ACTIVE);
    return FALSE;
  }
  // Nobody could ever choose from it: the menu is dismissed at once.
  if (!ui::driver::HasClient()) {
    SetLastError(ERROR_NOT_SUPPORTED);
    return FALSE;
  }
  bool notify = !(flags & TPM_NONOTIFY);
  bool wasTracking = t_tracking;
  t_tracking = true;
  if (notify) {
    SendMessageA(owner, WM_ENTERMENULOOP, TRUE, 0);
    SendMessageA(owner, WM_INITMENU, reinterpret_cast<WPARAM>(menu), 0);
    SendMessageA(owner, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu), MAKELPARAM(0, FALSE));
  }
  UINT chosen = 0;
  // The owner may have let the menu or itself go while it prepared.
  if (IsMenu(menu) && IsWindow(owner)) {
    RECT place = MenuRect(menu, flags, x, y);
    TrackRequest request{menu, owner, flags};
    HWND window = CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, kMenuWindowClass, "",
                                  WS_POPUP | WS_BORDER, place.left, place.top,
                                  place.right - place.left, place.bottom - place.top, owner, nullptr,
                                  nullptr, &request);
    if (window != nullptr) {
      ShowWindow(window, SW_SHOWNA);
      chosen = RunMenuLoop(window);
      if (IsWindow(window)) DestroyWindow(window);
    }
  }
  if (notify && IsWindow(owner)) {
    SendMessageA(owner, WM_UNINITMENUPOPUP, reinterpret_cast<WPARAM>(menu), 0);
    SendMessageA(owner, WM_EXITMENULOOP, TRUE, 0);
  }
  t_tracking = wasTracking;
  if (flags & TPM_RETURNCMD) return static_cast<BOOL>(chosen);
  if (chosen != 0) PostMessageA(owner, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(chosen), 0), 0);
  return TRUE;
}

BOOL TrackPopupMenu(HMENU menu, UINT flags, int x, int y, int, HWND owner, const RECT*) {
  return TrackPopupMenuEx(menu, flags, x, y, owner, nullptr);
}

namespace ui::driver {

HMENU TrackedMenu(HWND menuWindow) {
  auto* state = core::ControlOf<MenuWindowState>(menuWindow);
  return state != nullptr && !state->m_ended ? state->m_menu : nullptr;
}

}  // namespace ui::driver
