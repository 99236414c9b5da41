// The views' window classes and settings.
#include "shellfolder/view_window.h"

#include "shellfolder/view_resources.h"

namespace cobrell {

ATOM RegisterViewClass(const char* name, WNDPROC proc) {
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = proc;
  windowClass.hInstance = Resources();
  windowClass.lpszClassName = name;
  return RegisterClassA(&windowClass);
}

HRESULT AnswerWindow(HWND window, HWND* answer) {
  if (answer == nullptr) return E_POINTER;
  *answer = window;
  return window != nullptr ? S_OK : E_FAIL;
}

HRESULT ViewSettings::Get(UINT* viewModeOut, UINT* flagsOut) const {
  if (viewModeOut == nullptr || flagsOut == nullptr) return E_POINTER;
  *viewModeOut = viewMode;
  *flagsOut = flags;
  return S_OK;
}

HRESULT ViewSettings::Set(UINT newViewMode, UINT newFlags) {
  if (newViewMode < FVM_ICON || newViewMode > FVM_DETAILS) return E_INVALIDARG;
  viewMode = newViewMode;
  flags = newFlags;
  return S_OK;
}

}  // namespace cobrell
