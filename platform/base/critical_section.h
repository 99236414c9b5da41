// The class framework's critical section. Recursive, as Win32 critical
// sections are: the owning thread may enter again.
#pragma once

#include <mutex>

class CCriticalSection {
 public:
  bool Lock() {
    m_mutex.lock();
    return true;
  }
  bool Unlock() {
    m_mutex.unlock();
    return true;
  }
  // For std::lock_guard and std::unique_lock.
  void lock() { m_mutex.lock(); }
  void unlock() { m_mutex.unlock(); }

 private:
  std::recursive_mutex m_mutex;
};
