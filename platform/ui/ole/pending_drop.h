// What the driver's drag actions and DoDragDrop share: the drop a drag
// action has in mind for the drag it starts, and the lookup of targets.
#pragma once

#include <optional>

#include "platform/ui/ole/drag_drop.h"

namespace ui::ole {

// The driver's mouse for one drag: the pointer goes to point over window
// with the button held, then the button is let go there.
struct PendingDrop {
  HWND window = nullptr;
  POINT screen{};
  DWORD keys = 0;  // MK_CONTROL, MK_SHIFT
};

// For the calling thread's next DoDragDrop; cleared by it, or by the
// action when no drag started.
void SetPendingDrop(const PendingDrop& drop);
void ClearPendingDrop();
std::optional<PendingDrop> TakePendingDrop();

// Runs the driver's two steps of a drop on session.
void RunPendingDrop(DragSession& session, const PendingDrop& drop);

// The target registered for window or its nearest registered ancestor
// (*registered names that window); null when there is none.
ComPtr<IDropTarget> FindDropTarget(HWND window, HWND* registered);

}  // namespace ui::ole
