// The "Static" class: text labels, icons and bitmaps. A label keeps its
// text in the window text; an icon or bitmap static loads the image its
// template text names and takes new ones through STM_SETICON/STM_SETIMAGE.
#include "platform/ui/controls/control_procs.h"
#include "platform/ui/controls/control_support.h"
#include "platform/ui/core/announce.h"
#include "platform/ui/core/window.h"
#include "platform/ui/driver.h"
#include "platform/ui/message_api.h"
#include "platform/ui/resources.h"
#include "platform/ui/std_controls.h"

namespace ui::controls {

namespace {

using driver::Change;

class StaticState : public core::ControlState, public driver::StaticModel {
 public:
  void* QueryModel(const std::type_info& type) override {
    return core::QueryModels<StaticState, driver::StaticModel>(this, type);
  }
  HICON Icon() const override { return m_icon; }
  HBITMAP Bitmap() const override { return m_bitmap; }

  HICON m_icon = nullptr;
  HBITMAP m_bitmap = nullptr;
};

DWORD TypeOf(HWND window) { return static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE)) & SS_TYPEMASK; }

// A template names the image by resource name ("#101" or "101").
void LoadNamedImage(HWND window, StaticState* state, const CREATESTRUCTA* create) {
  if (create->lpszName == nullptr || *create->lpszName == '\0') return;
  if (TypeOf(window) == SS_ICON) state->m_icon = LoadIconA(create->hInstance, create->lpszName);
  if (TypeOf(window) == SS_BITMAP) {
    state->m_bitmap = LoadBitmapA(create->hInstance, create->lpszName);
  }
}

LRESULT SetImage(HWND window, StaticState* state, WPARAM type, LPARAM image) {
  LRESULT old = 0;
  if (type == IMAGE_ICON && TypeOf(window) == SS_ICON) {
    old = reinterpret_cast<LRESULT>(state->m_icon);
    state->m_icon = reinterpret_cast<HICON>(image);
  } else if (type == IMAGE_BITMAP && TypeOf(window) == SS_BITMAP) {
    old = reinterpret_cast<LRESULT>(state->m_bitmap);
    state->m_bitmap = reinterpret_cast<HBITMAP>(image);
  } else {
    return 0;
  }
  core::Announce(window, Change::kState);
  return old;
}

LRESULT GetImage(HWND window, const StaticState* state, WPARAM type) {
  if (type == IMAGE_ICON && TypeOf(window) == SS_ICON) return reinterpret_cast<LRESULT>(state->m_icon);
  if (type == IMAGE_BITMAP && TypeOf(window) == SS_BITMAP) {
    return reinterpret_cast<LRESULT>(state->m_bitmap);
  }
  return 0;
}

bool Notifies(HWND window) { return (GetWindowLongA(window, GWL_STYLE) & SS_NOTIFY) != 0; }

}  // namespace

LRESULT StaticProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    core::SetControlState(window, std::make_unique<StaticState>());
    return DefWindowProcA(window, message, wParam, lParam);
  }
  auto* state = core::ControlOf<StaticState>(window);
  if (state == nullptr) return DefWindowProcA(window, message, wParam, lParam);
  switch (message) {
    case WM_CREATE:
      LoadNamedImage(window, state, reinterpret_cast<const CREATESTRUCTA*>(lParam));
      return 0;
    case WM_GETDLGCODE:
      return DLGC_STATIC;
    case STM_SETICON:
      return SetImage(window, state, IMAGE_ICON, static_cast<LPARAM>(wParam));
    case STM_GETICON:
      return GetImage(window, state, IMAGE_ICON);
    case STM_SETIMAGE:
      return SetImage(window, state, wParam, lParam);
    case STM_GETIMAGE:
      return GetImage(window, state, wParam);
    case WM_LBUTTONDOWN:
      if (Notifies(window)) NotifyParent(window, STN_CLICKED);
      return 0;
    case WM_LBUTTONDBLCLK:
      if (Notifies(window)) NotifyParent(window, STN_DBLCLK);
      return 0;
    case WM_ENABLE:
      if (Notifies(window)) NotifyParent(window, wParam ? STN_ENABLE : STN_DISABLE);
      return 0;
    default:
      return DefWindowProcA(window, message, wParam, lParam);
  }
}

}  // namespace ui::controls
