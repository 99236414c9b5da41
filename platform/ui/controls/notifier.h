// How a common control tells its parent: WM_NOTIFY to the window that was
// its parent when it was made (comctl32 keeps that one, whatever SetParent
// does later), with its own handle and control id in the header.
#pragma once

#include "platform/ui/core/window.h"
#include "platform/ui/messages.h"

namespace ui::controls {

class Notifier {
 public:
  Notifier(HWND window, HWND parent);
  LRESULT Send(UINT code, NMHDR* header) const;
  HWND Parent() const { return m_parent; }

 private:
  HWND m_window;
  HWND m_parent;
  // The control's window outlives its state, which owns this: its id is
  // read without looking the handle up for every notification.
  core::Window* m_object;
};

}  // namespace ui::controls
