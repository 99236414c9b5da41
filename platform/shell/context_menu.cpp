// The context menu shown and carried out as Explorer does on a right click.
#include "platform/shell/context_menu.h"

#include "platform/ui/menu.h"
#include "platform/ui/user32.h"

namespace {

// Commands are merged from 1 up: 0 is TrackPopupMenu's "none chosen".
constexpr UINT kFirstMenuId = 1;
constexpr UINT kLastMenuId = 0x7FFF;

}  // namespace

void TrackContextMenu(IContextMenu* menu, HWND owner, POINT at, UINT flags) {
  if (menu == nullptr) return;
  HMENU popup = CreatePopupMenu();
  if (popup == nullptr) return;
  UINT chosen = 0;
  if (SUCCEEDED(menu->QueryContextMenu(popup, 0, kFirstMenuId, kLastMenuId, flags)) &&
      GetMenuItemCount(popup) > 0) {
    if (at.x == -1 && at.y == -1) GetCursorPos(&at);
    chosen = static_cast<UINT>(
        TrackPopupMenu(popup, TPM_RETURNCMD | TPM_RIGHTBUTTON, at.x, at.y, 0, owner, nullptr));
  }
  DestroyMenu(popup);
  if (chosen < kFirstMenuId) return;
  CMINVOKECOMMANDINFO invoke{};
  invoke.cbSize = sizeof invoke;
  invoke.hwnd = owner;
  invoke.lpVerb = MAKEINTRESOURCEA(static_cast<int>(chosen - kFirstMenuId));
  invoke.nShow = SW_SHOWNORMAL;
  menu->InvokeCommand(&invoke);
}
