// The label edit box and its subclass procedure.
#include "platform/ui/controls/label_editor.h"

#include "platform/ui/user32.h"

namespace ui::controls {

namespace {

constexpr const char* kEditorProp = "QapLabelEditor";

}  // namespace

HWND LabelEditor::Open(HWND owner, const std::string& text, int limit, EndHandler onEnd) {
  if (m_window != nullptr) return nullptr;
  HWND edit = CreateWindowExA(0, WC_EDIT, text.c_str(),
                              WS_CHILD | WS_CLIPSIBLINGS | WS_BORDER | ES_LEFT | ES_AUTOHSCROLL, 0, 0,
                              0, 0, owner, nullptr, nullptr, nullptr);
  if (edit == nullptr) return nullptr;
  SetPropA(edit, kEditorProp, this);
  m_editProc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&LabelEditor::Proc)));
  SendMessageA(edit, EM_SETLIMITTEXT, static_cast<WPARAM>(limit), 0);
  m_window = edit;
  m_onEnd = std::move(onEnd);
  return edit;
}

void LabelEditor::End(bool save) {
  HWND edit = m_window;
  if (edit == nullptr) return;
  // The handler may move the focus (a message box), which must not end the
  // edit a second time.
  EndHandler onEnd = std::move(m_onEnd);
  m_onEnd = nullptr;
  if (onEnd) onEnd(save);
  Close(edit);
}

void LabelEditor::Discard() {
  if (HWND edit = m_window) {
    m_onEnd = nullptr;
    Close(edit);
  }
}

LRESULT LabelEditor::ForwardCommand(HWND parent, WPARAM wParam, LPARAM lParam) const {
  if (m_window == nullptr || reinterpret_cast<HWND>(lParam) != m_window) return 0;
  if (HIWORD(wParam) == EN_KILLFOCUS || HIWORD(wParam) == EN_UPDATE) return 0;
  return SendMessageA(parent, WM_COMMAND, wParam, lParam);
}

void LabelEditor::Close(HWND edit) {
  m_window = nullptr;
  if (IsWindow(edit)) SendMessageA(edit, WM_CLOSE, 0, 0);
}

LRESULT LabelEditor::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = static_cast<LabelEditor*>(GetPropA(window, kEditorProp));
  if (self == nullptr) return DefWindowProcA(window, message, wParam, lParam);
  WNDPROC editProc = self->m_editProc;
  switch (message) {
    case WM_GETDLGCODE:
      return DLGC_WANTARROWS | DLGC_WANTALLKEYS;
    case WM_KEYDOWN:
      if (wParam == VK_ESCAPE || wParam == VK_RETURN) {
        if (self->m_window == window && self->m_onEnd) self->End(wParam == VK_RETURN);
        return 0;
      }
      break;
    case WM_KILLFOCUS: {
      LRESULT result = CallWindowProcA(editProc, window, message, wParam, lParam);
      if (self->m_window == window && self->m_onEnd) self->End(true);
      return result;
    }
    case WM_DESTROY:
      // Gone with its owner: nothing more to end.
      SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(editProc));
      RemovePropA(window, kEditorProp);
      if (self->m_window == window) {
        self->m_window = nullptr;
        self->m_onEnd = nullptr;
      }
      return CallWindowProcA(editProc, window, message, wParam, lParam);
    default:
      break;
  }
  return CallWindowProcA(editProc, window, message, wParam, lParam);
}

}  // namespace ui::controls
