// The upload request: start-up sequence, progress events and dump.
#include "agent/upload_request.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdint>

#include "agent/connection.h"
#include "agent/connection_manager.h"
#include "agent/log_file.h"
#include "platform/base/paths.h"

CUploadRequest::CUploadRequest(const CString& filePath) : m_filePath(filePath) {
  std::string host = ToHostPath(filePath.str());
  struct stat info {};
  if (!host.empty() && stat(host.c_str(), &info) == 0 && S_ISREG(info.st_mode)) {
    // Files of 4 GiB and more are refused when the upload opens.
    m_totalBytes = info.st_size > 0xFFFFFFFF ? 0xFFFFFFFF : static_cast<DWORD>(info.st_size);
  }
}

void CUploadRequest::Start(CConnectionManager& manager) {
  m_manager = &manager;
  CString url = manager.UploadUrl();
  AgentLog(kLogMessage, "Uploading to URL '%s'", url.c_str());
  SetURL(url);
  manager.Notify(0);
  if (url.IsEmpty()) {
    // The lookup has logged why: there is nowhere to send the file.
    Fail("the locker named no upload host");
    return;
  }
  for (CConnection* connection : manager.Connections()) {
    if (connection->CanUpload(*this)) {
      connection->Upload(*this);
      return;
    }
  }
  AgentLog(kLogError, "There is no installed connection to upload file '%s'", url.c_str());
  Fail("the user is not logged in");
}

void CUploadRequest::AddProgress(DWORD count) {
  // A file that was missing when the request was made has no total to
  // measure against; it gets no percentages rather than a division by zero.
  if (m_totalBytes != 0) {
    std::uint64_t before = std::uint64_t{m_bytesDone} * 100 / m_totalBytes;
    std::uint64_t after = (std::uint64_t{m_bytesDone} + count) * 100 / m_totalBytes;
    if (before != after && m_manager != nullptr) m_manager->Notify(static_cast<short>(after));
  }
  m_bytesDone += count;
}

void CUploadRequest::OnBodySent(DWORD count) {
  m_bodySent += count;
  std::uint64_t fileSent = m_bodySent > m_bodyHead ? m_bodySent - m_bodyHead : 0;
  fileSent = std::min<std::uint64_t>(fileSent, m_totalBytes);
  if (fileSent > m_bytesDone) AddProgress(static_cast<DWORD>(fileSent - m_bytesDone));
}

void CUploadRequest::Dump() const {
  AgentLog(kLogMessage, "CUploadRequest dump started ");
  AgentLog(kLogMessage, "File to Upload: '%s'", m_filePath.c_str());
  CConnectionRequest::Dump();
  AgentLog(kLogMessage, "CUploadRequest dump ended:");
}
