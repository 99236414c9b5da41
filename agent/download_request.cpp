// The download request: choosing a connection, and its dump.
#include "agent/download_request.h"

#include <filesystem>

#include "agent/connection.h"
#include "agent/connection_manager.h"
#include "agent/log_file.h"
#include "platform/base/paths.h"

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
      if (!connection->Download(*this)) LeaveNothingEmpty();
      return;
    }
  }
  AgentLog(kLogError, "There is no installed connection to download file '%s'", GetURL().c_str());
  SetFailed(true);
}

void CDownloadRequest::LeaveNothingEmpty() {
  // A download whose URL could not be opened fails at its first read and
  // leaves the file it made empty; a partial file is kept for the caller.
  const std::string host = ToHostPath(LocalPath().str());
  std::error_code failure;
  if (IsLocal() || host.empty() || std::filesystem::file_size(host, failure) != 0 || failure) {
    return;
  }
  if (std::filesystem::remove(host, failure)) SetLocalPath(CString());
}

void CDownloadRequest::Dump() const {
  AgentLog(kLogMessage, "CDownloadRequest dump started ");
  AgentLog(kLogMessage, "IsLocal='%s'; ShouldDelete='%s'", FlagText(IsLocal()),
           FlagText(ShouldDelete()));
  CConnectionRequest::Dump();
  AgentLog(kLogMessage, "CDownloadRequest dump ended:");
}
