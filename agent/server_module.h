// The server process's module: the lock count that every client reference
// adds to, the shutdown monitor that ends the server a while after the count
// falls to zero, and the main thread's wait for that end.
#pragma once

#include <atomic>

#include "platform/base/sync.h"
#include "platform/base/win_types.h"

// What a client reference on the automation object holds.
class IServerLock {
 public:
  virtual void Lock() = 0;
  virtual void Unlock() = 0;

 protected:
  ~IServerLock() = default;
};

// How long the server stays after its last client let go.
constexpr DWORD kShutdownDelayMs = 5000;

class CServerModule final : public IServerLock {
 public:
  explicit CServerModule(DWORD shutdownDelayMs = kShutdownDelayMs);
  ~CServerModule();
  CServerModule(const CServerModule&) = delete;
  CServerModule& operator=(const CServerModule&) = delete;

  void Lock() override;
  // At zero: marks activity and wakes the shutdown monitor.
  void Unlock() override;
  LONG LockCount() const { return m_locks.load(); }

  // Starts the shutdown monitor thread; false when it cannot be started.
  bool StartMonitor();
  // Returns once the monitor has decided that the server ends: a wait of
  // the shutdown delay passed with neither activity nor a lock.
  void RunMessageLoop();

 private:
  DWORD MonitorShutdown();

  DWORD m_delay;
  std::atomic<LONG> m_locks{0};
  std::atomic<bool> m_activity{false};
  // The module goes away before the monitor decided (tests).
  std::atomic<bool> m_stopping{false};
  UniqueHandle m_shutdownEvent;
  UniqueHandle m_quitEvent;
  UniqueHandle m_monitor;
};
