// The request base: URL, counters, flags with the reason of a failure, and
// the base dump.
#include "agent/connection_request.h"

#include "agent/log_file.h"

CConnectionRequest::CConnectionRequest(DWORD connectionMask) : m_connectionMask(connectionMask) {}

void CConnectionRequest::AddProgress(DWORD count) { m_bytesDone += count; }

CString CConnectionRequest::GetURL() const {
  std::lock_guard<std::mutex> guard(m_urlMutex);
  return m_url;
}

void CConnectionRequest::SetURL(const CString& url) {
  std::lock_guard<std::mutex> guard(m_urlMutex);
  m_url = url;
}

void CConnectionRequest::Fail(const CString& reason) {
  {
    std::lock_guard<std::mutex> guard(m_urlMutex);
    if (m_failureReason.IsEmpty()) m_failureReason = reason;
  }
  SetFailed(true);
}

CString CConnectionRequest::FailureReason() const {
  std::lock_guard<std::mutex> guard(m_urlMutex);
  return m_failureReason;
}

void CConnectionRequest::Dump() const {
  AgentLog(kLogMessage, "CConnectionRequest dump started (URL='%s'):", GetURL().c_str());
  AgentLog(kLogMessage, "bIsDone='%s'; IsFailed='%s'; IsInProcess='%s'", FlagText(Done()),
           FlagText(Failed()), FlagText(InProcess()));
  AgentLog(kLogMessage, "CConnectionRequest dump ended:");
}

const char* FlagText(bool on) { return on ? "TRUE" : "FALSE"; }
