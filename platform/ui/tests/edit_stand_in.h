// The label editors of list and tree views open an "Edit" box; where the
// standard controls are not part of the build, a plain window keeping its
// text stands in (registering fails harmlessly where the real one exists).
#pragma once

#include "platform/ui/user32.h"

namespace ui::testing {

inline void EnsureEditClass() {
  WNDCLASSA edit{};
  edit.lpfnWndProc = DefWindowProcA;
  edit.lpszClassName = WC_EDIT;
  RegisterClassA(&edit);
}

}  // namespace ui::testing
