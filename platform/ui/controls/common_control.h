// What the common controls share besides their notifications: the window
// procedure that makes a control's state and hands it every message, the
// font metrics its sizes follow, and the mouse messages of a press.
#pragma once

#include <memory>
#include <typeinfo>

#include "platform/ui/core/window.h"
#include "platform/ui/gdi.h"
#include "platform/ui/messages.h"

namespace ui::controls {

// The window procedure of a control whose State is made from its window,
// its parent and its style, and answers Handle(message, wParam, lParam).
template <typename State>
LRESULT CommonControlProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
    core::SetControlState(window,
                          std::make_unique<State>(window, create->hwndParent, static_cast<DWORD>(create->style)));
    return DefWindowProcA(window, message, wParam, lParam);
  }
  // Every message comes through here: the state's exact type is checked
  // rather than cast for.
  auto object = core::FindWindowObject(window);
  core::ControlState* state = object ? object->control.get() : nullptr;
  if (state != nullptr && typeid(*state) == typeid(State)) {
    return static_cast<State*>(state)->Handle(message, wParam, lParam);
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

// The metrics of the window's font (MS Sans Serif 8 when it has none).
gdi::FontMetrics WindowFontMetrics(HWND window);

// A mouse message's point.
LPARAM PointParam(POINT at);
// The press and the move beyond the drag rectangle that start a drag.
void PressAndDragAway(HWND window, POINT at);

}  // namespace ui::controls
