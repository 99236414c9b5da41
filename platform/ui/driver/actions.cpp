// A person's actions. Each is queued as input on the window's thread and
// carried out there when that thread takes it from its queue, in order with
// keys and everything else the thread has to do; a window that a person
// could not reach by then (gone, hidden, disabled, or under a modal dialog
// that disabled its owner) ignores it, as it would ignore the mouse.
#include "platform/ui/driver/act.h"

#include "platform/ui/core/control_input.h"
#include "platform/ui/core/message_queue.h"
#include "platform/ui/core/window.h"
#include "platform/ui/driver.h"
#include "platform/ui/message_api.h"
#include "platform/ui/std_controls.h"

namespace ui::driver {

std::shared_ptr<core::MessageQueue> QueueOf(HWND window) {
  auto object = core::FindWindowObject(window);
  return object ? object->queue.lock() : nullptr;
}

bool Reachable(HWND window) {
  for (HWND at = window; at != nullptr; at = GetAncestor(at, GA_PARENT)) {
    if (!IsWindow(at) || !IsWindowEnabled(at) || !IsWindowVisible(at)) return false;
  }
  return true;
}

void Act(HWND window, std::function<void()> action) {
  if (auto queue = QueueOf(window)) {
    queue->PostAction(window, [window, action = std::move(action)] {
      if (Reachable(window)) action();
    });
  }
}

POINT ScreenPointOf(HWND window, POINT client) {
  ClientToScreen(window, &client);
  return client;
}

namespace {

LPARAM Center(HWND window) {
  RECT rect{};
  GetClientRect(window, &rect);
  return MAKELPARAM(static_cast<WORD>(rect.right / 2), static_cast<WORD>(rect.bottom / 2));
}

}  // namespace

void Click(HWND window) {
  Act(window, [window] {
    LPARAM at = Center(window);
    SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(window, WM_LBUTTONUP, 0, at);
  });
}

void DoubleClick(HWND window) {
  Act(window, [window] {
    LPARAM at = Center(window);
    SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(window, WM_LBUTTONUP, 0, at);
    SendMessageA(window, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
    SendMessageA(window, WM_LBUTTONUP, 0, at);
  });
}

void SetCheck(HWND button, bool checked) {
  Act(button, [button, checked] {
    auto* model = Model<ButtonModel>(button);
    if (model == nullptr || (model->CheckState() != 0) == checked) return;
    LPARAM at = Center(button);
    SendMessageA(button, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(button, WM_LBUTTONUP, 0, at);
  });
}

void ClickRow(HWND list, int row, DWORD keys) {
  Act(list, [=] {
    if (auto* input = InputOf<core::ListInput>(list)) input->ClickRow(row, keys);
  });
}

void DoubleClickRow(HWND list, int row) {
  Act(list, [=] {
    if (auto* input = InputOf<core::ListInput>(list)) input->DoubleClickRow(row);
  });
}

void RightClickRow(HWND list, int row) {
  Act(list, [=] {
    if (auto* input = InputOf<core::ListInput>(list)) input->RightClickRow(row);
  });
}

void ClickColumn(HWND list, int column) {
  Act(list, [=] {
    if (auto* input = InputOf<core::ListInput>(list)) input->ClickColumn(column);
  });
}

void SelectEntry(HWND combo, int index) {
  Act(combo, [=] {
    if (auto* input = InputOf<core::ComboInput>(combo)) input->SelectEntry(index);
  });
}

void ClickTreeItem(HWND tree, HTREEITEM item) {
  Act(tree, [=] {
    if (auto* input = InputOf<core::TreeInput>(tree)) input->ClickItem(item);
  });
}

void RightClickTreeItem(HWND tree, HTREEITEM item) {
  Act(tree, [=] {
    if (auto* input = InputOf<core::TreeInput>(tree)) input->RightClickItem(item);
  });
}

void ExpandTreeItem(HWND tree, HTREEITEM item, bool expand) {
  Act(tree, [=] {
    if (auto* input = InputOf<core::TreeInput>(tree)) input->ExpandItem(item, expand);
  });
}

void TypeText(HWND window, const std::string& text) {
  auto queue = QueueOf(window);
  if (!queue) return;
  Act(window, [window] {
    if (GetFocus() != window) SetFocus(window);
  });
  // Characters as the keyboard would make them; multibyte characters of
  // the code page arrive a byte at a time, as an input method gives them.
  for (unsigned char c : text) {
    queue->PostInput(MSG{window, WM_CHAR, static_cast<WPARAM>(c), 1, 0, {}});
  }
}

void SelectAllText(HWND edit) {
  Act(edit, [edit] {
    if (GetFocus() != edit) SetFocus(edit);
    SendMessageA(edit, EM_SETSEL, 0, -1);
  });
}

void PressKey(HWND window, int virtualKey, bool control, bool shift, bool alt) {
  auto queue = QueueOf(window);
  if (!queue) return;
  UINT down = alt ? WM_SYSKEYDOWN : WM_KEYDOWN;
  UINT up = alt ? WM_SYSKEYUP : WM_KEYUP;
  auto post = [&](UINT message, int key, bool release) {
    LPARAM flags = 1 | (release ? (KF_UP_BIT | KF_PREVIOUS_BIT) : 0);
    queue->PostInput(MSG{nullptr, message, static_cast<WPARAM>(key), flags, 0, {}});
  };
  if (control) post(WM_KEYDOWN, VK_CONTROL, false);
  if (shift) post(WM_KEYDOWN, VK_SHIFT, false);
  if (alt) post(WM_SYSKEYDOWN, VK_MENU, false);
  post(down, virtualKey, false);
  post(up, virtualKey, true);
  if (alt) post(WM_KEYUP, VK_MENU, true);
  if (shift) post(WM_KEYUP, VK_SHIFT, true);
  if (control) post(WM_KEYUP, VK_CONTROL, true);
}

void CloseWindow(HWND window) {
  Act(window, [window] { SendMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0); });
}

}  // namespace ui::driver
