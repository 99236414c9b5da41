// The setter notification protocol shared by every option group.
#include "options/change_notifier.h"

namespace qap::options {

bool ChangeNotifier::SetCallback(OptionChangeCallback callback, DWORD userData) {
  GroupLock lock(m_lock);
  if (m_callback != nullptr && callback != nullptr) return false;
  m_callback = callback;
  m_userData = userData;
  return true;
}

void ChangeNotifier::Changed(void* object, DWORD valueId, GroupLock& lock) {
  if (m_callback == nullptr || m_inCallback.load()) return;
  m_inCallback = true;
  const OptionChangeCallback callback = m_callback;
  const DWORD userData = m_userData;
  lock.unlock();
  // A client's exception must not unwind through the setter into the
  // client that called it.
  try {
    callback(object, 0, valueId, userData);
  } catch (...) {
  }
  m_inCallback = false;
}

}  // namespace qap::options
