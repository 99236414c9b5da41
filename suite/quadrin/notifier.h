// The host's notification callback of one communication object, shared with
// the threads that report through it. Once Set(null) returns, the callback
// is not running and will not be called again.
#pragma once

#include <mutex>

#include "drumlet/transfer_layer.h"

namespace quadrin {

class Notifier {
 public:
  void Set(NotifyCallback callback, void* context) {
    std::lock_guard lock(m_lock);
    m_callback = callback;
    m_context = context;
  }

  void Send(DWORD value, DWORD code, void* data) {
    // Held across the call, so that Set waits for a callback in flight; a
    // callback may itself replace the callback.
    std::lock_guard lock(m_lock);
    if (m_callback != nullptr) m_callback(value, code, data, m_context);
  }

 private:
  std::recursive_mutex m_lock;
  NotifyCallback m_callback = nullptr;
  void* m_context = nullptr;
};

}  // namespace quadrin
