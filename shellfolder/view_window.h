// What the views' windows share: their classes, registered once for the
// module, the view object a window stands for from its creation to its
// last message, and the folder settings (view mode and flags) each view
// reports and takes.
#pragma once

#include "platform/shell/shell_view.h"
#include "platform/ui/user32.h"

namespace cobrell {

// A class of the module's own; 0 with the system's error when it cannot be
// registered.
ATOM RegisterViewClass(const char* name, WNDPROC proc);

// The view whose window this is: set from the creation parameter on
// WM_NCCREATE, dropped on WM_NCDESTROY, after which the window's messages
// find none.
template <typename View>
View* ViewOfWindow(HWND window, UINT message, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    SetWindowLongPtrA(
        window, GWLP_USERDATA,
        reinterpret_cast<LONG_PTR>(reinterpret_cast<const CREATESTRUCTA*>(lParam)->lpCreateParams));
  }
  auto* view = reinterpret_cast<View*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (message == WM_NCDESTROY) SetWindowLongPtrA(window, GWLP_USERDATA, 0);
  return view;
}

// The window a view answers GetWindow with; E_FAIL while it has none.
HRESULT AnswerWindow(HWND window, HWND* answer);

struct ViewSettings {
  UINT viewMode = FVM_DETAILS;
  UINT flags = 0;

  HRESULT Get(UINT* viewModeOut, UINT* flagsOut) const;
  // E_INVALIDARG for a mode the list has no style for.
  HRESULT Set(UINT newViewMode, UINT newFlags);
};

}  // namespace cobrell
