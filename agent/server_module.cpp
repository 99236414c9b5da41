// The lock count and the shutdown monitor.
#include "agent/server_module.h"

#include "platform/ui/message_api.h"

CServerModule::CServerModule(DWORD shutdownDelayMs)
    : m_delay(shutdownDelayMs),
      m_shutdownEvent(CreateEventA(nullptr, FALSE, FALSE, nullptr)),
      m_quitEvent(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}

CServerModule::~CServerModule() {
  if (!m_monitor) return;
  m_stopping.store(true);
  SetEvent(m_shutdownEvent.Get());
  WaitForSingleObject(m_monitor.Get(), INFINITE);
}

void CServerModule::Lock() { m_locks.fetch_add(1); }

void CServerModule::Unlock() {
  if (m_locks.fetch_sub(1) == 1) {
    m_activity.store(true);
    SetEvent(m_shutdownEvent.Get());
  }
}

bool CServerModule::StartMonitor() {
  m_monitor.Reset(CreateThread([this] { return MonitorShutdown(); }));
  return static_cast<bool>(m_monitor);
}

void CServerModule::RunMessageLoop() {
  // The main thread shows the agent's windows (a client's chooser) while it
  // waits for the end.
  HANDLE quit = m_quitEvent.Get();
  while (MsgWaitForMultipleObjects(1, &quit, FALSE, INFINITE, QS_ALLINPUT) == WAIT_OBJECT_0 + 1) {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  }
}

DWORD CServerModule::MonitorShutdown() {
  while (true) {
    WaitForSingleObject(m_shutdownEvent.Get(), INFINITE);
    // Every further fall to zero within the delay starts it over.
    DWORD waited;
    do {
      m_activity.store(false);
      waited =
          m_stopping.load() ? WAIT_TIMEOUT : WaitForSingleObject(m_shutdownEvent.Get(), m_delay);
    } while (waited == WAIT_OBJECT_0);
    if (m_stopping.load() || (!m_activity.load() && m_locks.load() == 0)) break;
  }
  SetEvent(m_quitEvent.Get());
  return 0;
}
