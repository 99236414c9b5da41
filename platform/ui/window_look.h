// A window's own look, beyond the desktop's style: colours, a font and a
// face picture that a control asks the front-end to show it in (the suite's
// skinned controls take theirs from a skin). A window without one is shown
// in the desktop's style. Not user32: the window system's own extension,
// read by the front-end through the driver.
#pragma once

#include <string>

#include "platform/base/export.h"
#include "platform/ui/pixels.h"
#include "platform/ui/ui_types.h"

namespace ui {

// CLR_DEFAULT: the desktop's own.
inline constexpr COLORREF kDefaultColor = 0xFF000000;

struct WindowLook {
  COLORREF textColor = kDefaultColor;
  COLORREF backColor = kDefaultColor;
  std::string fontFace;  // a face of the desktop; empty: the window's own font
  int fontPointSize = 0;
  bool boldFont = false;
  // A button's face, stretched over it with its edges kept (a third of the
  // picture's shorter side on each side), and its face while pressed.
  Pixels face;
  Pixels pressedFace;
};

// Gives window its look (copied), or with null takes it away; announces
// the change. FALSE when window is no window.
QAP_EXPORT BOOL SetWindowLook(HWND window, const WindowLook* look);
// false when window has no look of its own.
QAP_EXPORT bool GetWindowLook(HWND window, WindowLook* look);

}  // namespace ui
