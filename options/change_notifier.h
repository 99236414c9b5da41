// The block every option group begins with: its lock and its one change
// callback, and the notification rule all setters share.
#pragma once

#include <atomic>
#include <mutex>

#include "options/option_interfaces.h"
#include "platform/base/critical_section.h"

namespace qap::options {

using GroupLock = std::unique_lock<CCriticalSection>;

class ChangeNotifier {
 public:
  CCriticalSection& Lock() { return m_lock; }

  // Refuses (false) a second callback while one is installed; a null
  // callback removes the installed one.
  bool SetCallback(OptionChangeCallback callback, DWORD userData);

  // For a setter that has just changed a value under `lock`: unless this
  // group's callback is already running (on any thread), releases the lock
  // and calls the callback. The lock may be released on return, so the
  // caller must not touch the values afterwards.
  void Changed(void* object, DWORD valueId, GroupLock& lock);

 private:
  // Atomic because it is cleared after the callback, without the lock.
  std::atomic<bool> m_inCallback{false};
  CCriticalSection m_lock;
  DWORD m_userData = 0;
  OptionChangeCallback m_callback = nullptr;
};

}  // namespace qap::options
