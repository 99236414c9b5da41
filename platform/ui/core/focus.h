// Focus and activation of the calling thread's windows.
#pragma once

#include "platform/ui/ui_types.h"

namespace ui::core {

// Window is about to be hidden, disabled or destroyed: a focus inside it
// moves to its parent (or nowhere), and an active top-level window hands
// activation to its owner or to the next visible top-level window.
void MoveFocusAwayFrom(HWND window);

}  // namespace ui::core
