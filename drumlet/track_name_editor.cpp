// The name editor, its keyboard hook and its loss of focus.
#include "drumlet/track_name_editor.h"

#include "platform/ui/commctrl.h"
#include "platform/ui/user32.h"

namespace drumlet {

namespace {

constexpr int kTextLimit = 1024;
constexpr const char* kEditorProperty = "TrackNameEditor";

// The hook has no context of its own: one editor is open at a time, on
// the dialog's thread.
TrackNameEditor* g_open = nullptr;

}  // namespace

UINT TrackNameEditor::EndEditMessage() {
  static const UINT message = RegisterWindowMessageA("ConversionTrackListEditWindow_EndEdit");
  return message;
}

bool TrackNameEditor::Open(HWND list, HWND dialog, int item, const std::string& name, int limit) {
  Close();
  RECT label{};
  if (!ListView_GetItemRect(list, item, &label, LVIR_LABEL)) return false;
  m_edit = CreateWindowExA(0, WC_EDIT, name.c_str(), WS_CHILD | WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL,
                           label.left, label.top, label.right - label.left, label.bottom - label.top,
                           list, nullptr, nullptr, nullptr);
  if (m_edit == nullptr) return false;
  m_dialog = dialog;
  m_item = item;
  SendMessageA(m_edit, WM_SETFONT, SendMessageA(list, WM_GETFONT, 0, 0), FALSE);
  SendMessageA(m_edit, EM_LIMITTEXT, static_cast<WPARAM>(limit), 0);
  SetPropA(m_edit, kEditorProperty, this);
  m_editProc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(m_edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TrackNameEditor::EditProc)));
  g_open = this;
  m_hook = SetWindowsHookExA(WH_KEYBOARD, &TrackNameEditor::KeyHook, nullptr, GetCurrentThreadId());
  SetFocus(m_edit);
  SendMessageA(m_edit, EM_SETSEL, 0, -1);
  return true;
}

std::string TrackNameEditor::Text() const {
  if (m_edit == nullptr) return {};
  std::string text(kTextLimit + 1, '\0');
  text.resize(static_cast<size_t>(GetWindowTextA(m_edit, text.data(), kTextLimit + 1)));
  return text;
}

void TrackNameEditor::Close() {
  if (m_hook != nullptr) UnhookWindowsHookEx(m_hook);
  m_hook = nullptr;
  if (g_open == this) g_open = nullptr;
  if (m_edit == nullptr) return;
  HWND edit = m_edit;
  m_edit = nullptr;
  // Its own procedure again first: going, it loses the focus, which must not
  // ask for another end.
  SetWindowLongPtrA(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_editProc));
  RemovePropA(edit, kEditorProperty);
  DestroyWindow(edit);
  // Not while the dialog itself goes.
  if (IsWindow(m_dialog) && IsWindowVisible(m_dialog)) SetFocus(m_dialog);
  m_item = -1;
}

void TrackNameEditor::AskToEnd(bool cancel) const {
  PostMessageA(m_dialog, EndEditMessage(), static_cast<WPARAM>(m_item), cancel ? 1 : 0);
}

LRESULT TrackNameEditor::KeyHook(int code, WPARAM key, LPARAM flags) {
  TrackNameEditor* editor = g_open;
  if (code == HC_ACTION && editor != nullptr && (key == VK_RETURN || key == VK_ESCAPE)) {
    const bool released = (flags & KF_UP_BIT) != 0;
    if (!released) editor->AskToEnd(key == VK_ESCAPE);
    return 1;
  }
  return editor != nullptr ? CallNextHookEx(editor->m_hook, code, key, flags) : 0;
}

LRESULT TrackNameEditor::EditProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* editor = static_cast<TrackNameEditor*>(GetPropA(window, kEditorProperty));
  if (editor == nullptr) return DefWindowProcA(window, message, wParam, lParam);
  if (message == WM_KILLFOCUS) editor->AskToEnd(true);
  return CallWindowProcA(editor->m_editProc, window, message, wParam, lParam);
}

}  // namespace drumlet
