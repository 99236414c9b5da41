// The download request: choosing a connection, and its dump.
#include "agent/download_request.h"

#include "agent/connection.h"
#include "agent/connection_manager.h"
#include "agent/log_file.h"

CDownloadRequest::CDownloadRequest(const CString& source, const CString& directory)
    : m_source(source), m_directory(directory) {
  SetURL(source);
}

CString CDownloadRequest::LocalPath() const {
  std::lock_guard<std::mutex> guard(m_pathMutex);
  return m_localPath;
}

void CDownloadRequest::SetLocalPath(const CString& path) {
  std::lock_guard<std::mutex> guard(m_pathMutex);
  m_localPath = path;
}

void CDownloadRequest::Start(CConnectionManager& manager) {
  for (CConnection* connection : manager.Connections()) {
    if (connection->CanDownload(*this)) {
      connection->Download(*this);
      return;
    }
  }
  AgentLog(kLogError, "There is no installed connection to download file '%s'", GetURL().c_str());
  SetFailed(true);
}

void CDownloadRequest::Dump() const {
  AgentLog(kLogMessage, "CDownloadRequest dump started ");
  AgentLog(kLogMessage, "IsLocal='%s'; ShouldDelete='%s'", FlagText(IsLocal()),
           FlagText(ShouldDelete()));
  CConnectionRequest::Dump();
  AgentLog(kLogMessage, "CDownloadRequest dump ended:");
}
