// The mirrors of each kind of window, made by MakeMirror.
#pragma once

#include <memory>

#include "platform/ui/qt/mirror.h"

namespace ui::qt {

std::unique_ptr<Mirror> MakeTopLevelMirror(HWND window, FrontEnd& frontEnd);
std::unique_ptr<Mirror> MakeButtonMirror(HWND window, QWidget* parent, FrontEnd& frontEnd);
std::unique_ptr<Mirror> MakeStaticMirror(HWND window, QWidget* parent, FrontEnd& frontEnd);
std::unique_ptr<Mirror> MakeEditMirror(HWND window, QWidget* parent, FrontEnd& frontEnd);
std::unique_ptr<Mirror> MakeComboMirror(HWND window, QWidget* parent, FrontEnd& frontEnd);
std::unique_ptr<Mirror> MakeListBoxMirror(HWND window, QWidget* parent, FrontEnd& frontEnd);
std::unique_ptr<Mirror> MakeListViewMirror(HWND window, QWidget* parent, FrontEnd& frontEnd);
std::unique_ptr<Mirror> MakeTreeViewMirror(HWND window, QWidget* parent, FrontEnd& frontEnd);
std::unique_ptr<Mirror> MakeProgressMirror(HWND window, QWidget* parent, FrontEnd& frontEnd);
std::unique_ptr<Mirror> MakeStatusBarMirror(HWND window, QWidget* parent, FrontEnd& frontEnd);
std::unique_ptr<Mirror> MakeHostMirror(HWND window, QWidget* parent, FrontEnd& frontEnd);
// A window that lays out a page of text (driver::PageModel).
std::unique_ptr<Mirror> MakePageMirror(HWND window, QWidget* parent, FrontEnd& frontEnd);
// Any other window: a plain area that holds its children.
std::unique_ptr<Mirror> MakePanelMirror(HWND window, QWidget* parent, FrontEnd& frontEnd);

}  // namespace ui::qt
