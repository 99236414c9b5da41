// Windows' own looks, kept with the window and announced to the driver.
#include "platform/ui/window_look.h"

#include <memory>

#include "platform/base/last_error.h"
#include "platform/ui/core/announce.h"
#include "platform/ui/core/window.h"
#include "platform/ui/window_api.h"

namespace ui {

BOOL SetWindowLook(HWND window, const WindowLook* look) {
  auto object = core::FindWindowObject(window);
  if (!object) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  auto copy = look != nullptr ? std::make_shared<const WindowLook>(*look) : nullptr;
  {
    std::lock_guard lock(core::WindowLock());
    object->look = std::move(copy);
  }
  core::Announce(window, driver::Change::kLook);
  return TRUE;
}

bool GetWindowLook(HWND window, WindowLook* look) {
  auto object = core::FindWindowObject(window);
  if (!object || look == nullptr) return false;
  std::shared_ptr<const WindowLook> kept;
  {
    std::lock_guard lock(core::WindowLock());
    kept = object->look;
  }
  if (!kept) return false;
  *look = *kept;
  return true;
}

}  // namespace ui
