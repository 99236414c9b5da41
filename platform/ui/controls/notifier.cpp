// Notifications to a control's parent.
#include "platform/ui/controls/notifier.h"

#include "platform/ui/message_api.h"

namespace ui::controls {

Notifier::Notifier(HWND window, HWND parent)
    : m_window(window), m_parent(parent), m_object(core::FindWindowObject(window).get()) {}

LRESULT Notifier::Send(UINT code, NMHDR* header) const {
  UINT_PTR id = 0;
  if (m_object != nullptr) {
    std::lock_guard lock(core::WindowLock());
    id = m_object->id;
  }
  header->hwndFrom = m_window;
  header->idFrom = id;
  header->code = code;
  return SendMessageA(m_parent, WM_NOTIFY, id, reinterpret_cast<LPARAM>(header));
}

}  // namespace ui::controls
