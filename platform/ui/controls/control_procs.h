// The window procedures of the built-in classes, registered by their
// Windows names in core/builtin_classes.cpp.
#pragma once

#include "platform/ui/ui_types.h"

// "AtlAxWin": the host of an embedded control (ole/control_host.cpp).
LRESULT ControlHostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

namespace ui::controls {

LRESULT StaticProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT ButtonProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT EditProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT ComboBoxProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT ListBoxProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT ProgressProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT StatusBarProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT MenuWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT ListViewProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT TreeViewProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace ui::controls
