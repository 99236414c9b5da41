// Font metrics and mouse messages for the common controls.
#include "platform/ui/controls/common_control.h"

#include "platform/ui/user32.h"

namespace ui::controls {

gdi::FontMetrics WindowFontMetrics(HWND window) {
  core::FontStyle style;
  if (auto object = core::FindWindowObject(window)) {
    std::lock_guard lock(core::WindowLock());
    style = object->font;
  }
  if (style.face.empty()) style = core::FontStyle{"MS Sans Serif", 8, false};
  return gdi::MetricsOf(style.face, style.pointSize, style.bold);
}

LPARAM PointParam(POINT at) {
  return MAKELPARAM(static_cast<WORD>(static_cast<SHORT>(at.x)), static_cast<WORD>(static_cast<SHORT>(at.y)));
}

void PressAndDragAway(HWND window, POINT at) {
  SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, PointParam(at));
  if (!IsWindow(window)) return;
  POINT away{at.x + GetSystemMetrics(SM_CXDRAG) + 1, at.y + GetSystemMetrics(SM_CYDRAG) + 1};
  SendMessageA(window, WM_MOUSEMOVE, MK_LBUTTON, PointParam(away));
}

}  // namespace ui::controls
