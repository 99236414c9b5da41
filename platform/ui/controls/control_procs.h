// The window procedures of the built-in control classes, registered by
// their Windows names in core/builtin_classes.cpp.
#pragma once

#include "platform/ui/ui_types.h"

namespace ui::controls {

LRESULT ListViewProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT TreeViewProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace ui::controls
