// Announcements to the driver's observers, made by the core and the
// controls on the thread that changed the window. Cheap when nobody
// listens.
#pragma once

#include "platform/ui/driver.h"

namespace ui::core {

void AnnounceCreated(HWND window);
void AnnounceDestroyed(HWND window);
void Announce(HWND window, driver::Change change, int first = -1, int count = 0);
// Row announcements are held back while the control's redraw is off; the
// control announces kRedraw when it comes back on.
void AnnounceRows(HWND window, driver::Change change, int first, int count);
bool HasObservers();

}  // namespace ui::core
