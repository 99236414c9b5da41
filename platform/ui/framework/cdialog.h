// A thin dialog class in the style of the class framework: a template by
// resource id, a modal run or a modeless window, and virtual handlers that a
// dialog overrides for what it handles.
#pragma once

#include "platform/ui/framework/cwnd.h"

class QAP_EXPORT CDialog : public CWnd {
 public:
  CDialog(UINT templateId, HINSTANCE instance, HWND parent = nullptr)
      : m_templateId(templateId), m_instance(instance), m_parent(parent) {}
  ~CDialog() override;
  CDialog(const CDialog&) = delete;
  CDialog& operator=(const CDialog&) = delete;

  // Runs the dialog modally; its result (IDOK, IDCANCEL, EndDialog's), or -1
  // when it could not be shown.
  INT_PTR DoModal();
  // Makes the dialog as a modeless window; false when it could not be made.
  bool Create(HWND parent = nullptr);
  void EndDialog(INT_PTR result) const { ::EndDialog(m_hWnd, result); }
  UINT TemplateId() const { return m_templateId; }

 protected:
  // TRUE: the dialog manager focuses the first control.
  virtual BOOL OnInitDialog() { return TRUE; }
  // TRUE when handled.
  virtual BOOL OnCommand(WORD id, WORD code, HWND control);
  virtual BOOL OnNotify(NMHDR* header, LRESULT* result);
  virtual void OnOK() { EndDialog(IDOK); }
  virtual void OnCancel() { EndDialog(IDCANCEL); }
  // Anything else (registered messages, timers, drops, drawing): true when
  // handled, with what to answer in *result.
  virtual bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
  // The window is going; it is still there.
  virtual void OnDestroy() {}

 private:
  static INT_PTR DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  UINT m_templateId;
  HINSTANCE m_instance;
  HWND m_parent;
};
