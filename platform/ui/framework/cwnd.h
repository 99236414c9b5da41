// A thin window class in the style of the class framework the deliverables
// were written with: a window handle and the calls made on it.
#pragma once

#include "platform/base/cstring.h"
#include "platform/base/export.h"
#include "platform/ui/user32.h"

class QAP_EXPORT CWnd {
 public:
  CWnd() = default;
  explicit CWnd(HWND window) : m_hWnd(window) {}
  virtual ~CWnd() = default;

  HWND GetSafeHwnd() const { return m_hWnd; }
  operator HWND() const { return m_hWnd; }  // NOLINT: implicit as in the framework

  LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
    return SendMessageA(m_hWnd, message, wParam, lParam);
  }
  BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
    return PostMessageA(m_hWnd, message, wParam, lParam);
  }
  HWND GetDlgItem(int id) const { return ::GetDlgItem(m_hWnd, id); }
  int GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }
  void SetWindowText(LPCSTR text) const { SetWindowTextA(m_hWnd, text); }
  CString GetWindowText() const;
  void SetDlgItemText(int id, LPCSTR text) const { SetDlgItemTextA(m_hWnd, id, text); }
  CString GetDlgItemText(int id) const;
  BOOL EnableWindow(BOOL enable = TRUE) const { return ::EnableWindow(m_hWnd, enable); }
  BOOL IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd); }
  BOOL ShowWindow(int command) const { return ::ShowWindow(m_hWnd, command); }
  BOOL IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
  HWND SetFocus() const { return ::SetFocus(m_hWnd); }
  void Invalidate() const { InvalidateRect(m_hWnd, nullptr, TRUE); }
  void UpdateWindow() const { ::UpdateWindow(m_hWnd); }
  BOOL DestroyWindow() const { return ::DestroyWindow(m_hWnd); }
  BOOL IsWindow() const { return ::IsWindow(m_hWnd); }

  HWND m_hWnd = nullptr;
};
