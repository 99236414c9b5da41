// CDialog: the dialog procedure that routes messages to the object.
#include "platform/ui/framework/cdialog.h"

#include <string>

CString CWnd::GetWindowText() const {
  int length = GetWindowTextLengthA(m_hWnd);
  std::string text(static_cast<size_t>(length) + 1, '\0');
  GetWindowTextA(m_hWnd, text.data(), length + 1);
  return CString(text.c_str());
}

CString CWnd::GetDlgItemText(int id) const {
  HWND item = GetDlgItem(id);
  return item != nullptr ? CWnd(item).GetWindowText() : CString();
}

CDialog::~CDialog() {
  // A modeless dialog ends with its object.
  if (::IsWindow(m_hWnd)) ::DestroyWindow(m_hWnd);
}

INT_PTR CDialog::DoModal() {
  return DialogBoxParamA(m_instance, MAKEINTRESOURCEA(static_cast<int>(m_templateId)), m_parent,
                         DialogProc, reinterpret_cast<LPARAM>(this));
}

bool CDialog::Create(HWND parent) {
  if (parent != nullptr) m_parent = parent;
  return CreateDialogParamA(m_instance, MAKEINTRESOURCEA(static_cast<int>(m_templateId)), m_parent,
                            DialogProc, reinterpret_cast<LPARAM>(this)) != nullptr;
}

BOOL CDialog::OnCommand(WORD id, WORD, HWND) {
  if (id == IDOK) {
    OnOK();
    return TRUE;
  }
  if (id == IDCANCEL) {
    OnCancel();
    return TRUE;
  }
  return FALSE;
}

BOOL CDialog::OnNotify(NMHDR*, LRESULT*) { return FALSE; }

bool CDialog::OnMessage(UINT, WPARAM, LPARAM, LRESULT*) { return false; }

INT_PTR CDialog::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    auto* dialog = reinterpret_cast<CDialog*>(lParam);
    SetWindowLongPtrA(window, DWLP_USER, lParam);
    dialog->m_hWnd = window;
    return dialog->OnInitDialog();
  }
  auto* dialog = reinterpret_cast<CDialog*>(GetWindowLongPtrA(window, DWLP_USER));
  if (dialog == nullptr) return FALSE;
  switch (message) {
    case WM_COMMAND:
      return dialog->OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
    case WM_NOTIFY: {
      LRESULT result = 0;
      if (!dialog->OnNotify(reinterpret_cast<NMHDR*>(lParam), &result)) return FALSE;
      SetWindowLongPtrA(window, DWLP_MSGRESULT, result);
      return TRUE;
    }
    case WM_DESTROY:
      dialog->OnDestroy();
      return FALSE;
    case WM_NCDESTROY:
      dialog->m_hWnd = nullptr;
      return FALSE;
    default: {
      LRESULT result = 0;
      if (!dialog->OnMessage(message, wParam, lParam, &result)) return FALSE;
      SetWindowLongPtrA(window, DWLP_MSGRESULT, result);
      return TRUE;
    }
  }
}
