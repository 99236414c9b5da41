// The library's own message box, made of the skin controls: a text and
// either "OK" or "Yes" and "No".
#pragma once

#include <string>

#include "platform/ui/framework/cdialog.h"

// The registered message that closes an open box from outside.
inline constexpr const char* kCloseZVMessageBoxMessage = "CZVMessageBox_CloseIt";

class CZVMessageBox : public CDialog {
 public:
  static constexpr int kDialogId = 4032;
  static constexpr UINT kYesNo = 4;

  CZVMessageBox(HWND parent, const char* skinPath);

  // Shows text modally. Style kYesNo asks "Yes" or "No"; any other style
  // shows "OK". 1 for OK, 6 for Yes, 7 for No; IDCANCEL (2) when the box was
  // closed without an answer (from outside, Esc, the close button).
  INT_PTR Show(const char* text, UINT style);

 protected:
  BOOL OnInitDialog() override;
  void OnOK() override;
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

 private:
  std::string m_skinPath;
  std::string m_text;
  UINT m_style = 0;
};

// Closes every box open in this process (each answers IDCANCEL), from any
// thread.
void CloseZVMessageBoxes();
