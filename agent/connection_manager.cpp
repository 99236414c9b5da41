// The manager's queue, worker thread, cancellation and dump.
#include "agent/connection_manager.h"

#include <algorithm>
#include <cstdlib>
#include <mutex>

#include "agent/download_request.h"
#include "agent/log_file.h"
#include "platform/base/paths.h"

namespace {

CString DefaultTempDirectory() {
  for (const char* name : {"TEMP", "TMPDIR"}) {
    const char* value = std::getenv(name);
    if (value != nullptr && *value != '\0') return CString(AppendSeparator(value));
  }
  return CString("C:\\");
}

}  // namespace

CConnectionManager::CConnectionManager(const char* tempDirectory, IAgentEventSink* events)
    : m_events(events),
      m_tempDirectory(tempDirectory != nullptr ? CString(tempDirectory) : DefaultTempDirectory()),
      m_workEvent(CreateEventA(nullptr, TRUE, FALSE, nullptr)),
      m_stopEvent(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {
  m_worker.Reset(CreateThread([this] { return WorkerLoop(); }));
}

CConnectionManager::~CConnectionManager() { StopWorker(); }

void CConnectionManager::StopWorker() {
  if (!m_worker) return;
  RequestCancel();
  SetEvent(m_stopEvent.Get());
  WaitForSingleObject(m_worker.Get(), INFINITE);
  m_worker.Reset();
}

DWORD CConnectionManager::WorkerLoop() {
  HANDLE events[] = {m_workEvent.Get(), m_stopEvent.Get()};
  while (true) {
    DWORD which = WaitForMultipleObjects(2, events, FALSE, INFINITE);
    ResetEvent(m_workEvent.Get());
    if (which != WAIT_OBJECT_0) {
      ResetEvent(m_stopEvent.Get());
      return 0;
    }
    for (DWORD index; (index = m_position.load()) < RequestCount();) {
      // A manager going away starts nothing more.
      if (WaitForSingleObject(m_stopEvent.Get(), 0) == WAIT_OBJECT_0) return 0;
      CConnectionRequest& request = *RequestAt(index);
      if (request.Reported() && m_events != nullptr) m_events->OnStarted(index);
      request.Start(*this);
      // A cancellation during the run moved the position on to the last
      // request: the ones in between end unstarted.
      DWORD last = std::max(index, m_position.load());
      for (DWORD ended = index; ended <= last; ++ended) ReportFinished(ended, *RequestAt(ended));
      m_position.store(last + 1);
    }
  }
}

void CConnectionManager::Install(std::unique_ptr<CConnection> connection) {
  m_connectionList.push_back(connection.get());
  m_connections.push_back(std::move(connection));
}

void CConnectionManager::AddRequest(std::unique_ptr<CConnectionRequest> request) {
  std::lock_guard<CCriticalSection> guard(m_lock);
  if (request->Reported() && m_events != nullptr) {
    m_events->OnQueued(static_cast<DWORD>(m_requests.size()), request->ReportedAs());
  }
  m_requests.push_back(std::move(request));
  SetEvent(m_workEvent.Get());
}

void CConnectionManager::AddDownload(const CString& source, const char* directory) {
  AddRequest(std::make_unique<CDownloadRequest>(source, CString(directory)));
}

size_t CConnectionManager::RequestCount() const {
  std::lock_guard<CCriticalSection> guard(m_lock);
  return m_requests.size();
}

CConnectionRequest* CConnectionManager::RequestAt(size_t index) const {
  std::lock_guard<CCriticalSection> guard(m_lock);
  return index < m_requests.size() ? m_requests[index].get() : nullptr;
}

void CConnectionManager::CancelRemaining() {
  m_cancel.store(0);
  std::lock_guard<CCriticalSection> guard(m_lock);
  for (size_t i = m_position.load(); i < m_requests.size(); ++i) m_requests[i]->Fail("canceled");
  m_position.store(static_cast<DWORD>(m_requests.size() - 1));
}

BOOL CConnectionManager::IsIdle() const { return m_position.load() == RequestCount(); }

BOOL CConnectionManager::IsDone(const CString& url) const {
  std::lock_guard<CCriticalSection> guard(m_lock);
  size_t started = std::min<size_t>(m_position.load(), m_requests.size());
  for (size_t i = 0; i < started; ++i) {
    const CConnectionRequest& request = *m_requests[i];
    if (request.GetURL() == url && !request.Failed() && request.Done()) return TRUE;
  }
  return FALSE;
}

void CConnectionManager::Notify(short value) {
  if (m_events != nullptr) m_events->OnNotify(value);
}

void CConnectionManager::ReportFinished(DWORD index, const CConnectionRequest& request) {
  if (!request.Reported()) return;
  bool sent = request.Done() && !request.Failed();
  CString reason = sent ? CString() : request.FailureReason();
  if (!sent) {
    AgentLog(kLogError, "Upload of '%s' failed: %s", request.ReportedAs().c_str(), reason.c_str());
  }
  if (m_events != nullptr) m_events->OnFinished(index, sent, reason);
}

void CConnectionManager::Dump() const {
  AgentLog(kLogMessage, "CConnectionManager dump started");
  AgentLog(kLogMessage, "List of requests follows:");
  {
    std::lock_guard<CCriticalSection> guard(m_lock);
    for (const auto& request : m_requests) request->Dump();
  }
  AgentLog(kLogMessage, "End list of requests");
  AgentLog(kLogMessage, "CConnectionManager dump ended");
}
