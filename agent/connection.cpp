// The connection base: mask tests, the generic upload and download loops and
// the cancellation steps.
#include "agent/connection.h"

#include <cstdio>
#include <vector>

#include "agent/connection_manager.h"
#include "agent/download_request.h"
#include "agent/log_file.h"
#include "agent/upload_request.h"
#include "platform/base/paths.h"

namespace {

// Bytes per download read.
constexpr DWORD kDownloadChunk = 10240;

}  // namespace

CConnection::CConnection(CConnectionManager& manager, DWORD chunkSize)
    : m_manager(manager), m_chunkSize(chunkSize) {}

bool CConnection::MaskAllows(const CConnectionRequest& request) const {
  return (request.ConnectionMask() & GetType()) == GetType();
}

BOOL CConnection::CanDownload(CConnectionRequest& request) { return MaskAllows(request); }

BOOL CConnection::CanUpload(CConnectionRequest& request) { return MaskAllows(request); }

BOOL CConnection::Upload(CUploadRequest& request) {
  InternetHandle handle = OpenUpload(request);
  if (!handle) return FALSE;  // nothing was sent, so there is nothing to finish
  request.SetInProcess(true);
  FilePtr file = OpenFile(request.FilePath().str(), "rb");
  if (!file) {
    request.Fail("the file cannot be read");
    request.SetInProcess(false);
    return FALSE;  // the open upload is dropped with its handle, unfinished
  }
  // Small chunks are the upload's contract; the stream's buffer keeps them
  // from costing a system call each.
  std::vector<char> stream(64 * 1024);
  std::setvbuf(file.get(), stream.data(), _IOFBF, stream.size());
  std::vector<char> chunk(m_chunkSize);
  while (true) {
    size_t count = std::fread(chunk.data(), 1, chunk.size(), file.get());
    if (count == 0) break;
    if (m_manager.CancelPending()) {
      m_manager.CancelRemaining();
      OnUploadCanceled(std::move(handle), request);
      return FALSE;
    }
    // A failed write leaves the body short, which its close reports.
    if (!WriteUpload(handle, chunk.data(), static_cast<DWORD>(count))) break;
  }
  file.reset();
  CloseUpload(std::move(handle), request);
  request.SetDone(true);
  request.SetInProcess(false);
  return TRUE;
}

void CConnection::OnUploadCanceled(InternetHandle handle, CUploadRequest& request) {
  request.SetFailed(true);
  request.SetDone(true);
  request.SetInProcess(false);
  handle.Reset();
  AgentLog(kLogMessage, "Upload Request: '%s' was canceled\n", request.GetURL().c_str());
}

BOOL CConnection::Download(CDownloadRequest& request) {
  const CString& source = request.Source();
  if (source.Find("\\\\") < 0 && source.Find("//") < 0 && OpenFile(source.str(), "rb")) {
    // Already a local file: nothing to fetch, and nothing to delete later.
    request.SetDone(true);
    request.SetFailed(false);
    request.SetInProcess(false);
    request.SetShouldDelete(false);
    request.SetLocalPath(source);
    request.SetIsLocal(true);
    return TRUE;
  }
  InternetHandle handle = OpenDownload(request);
  PathParts parts = SplitPath(source.str());
  std::string directory =
      !request.Directory().IsEmpty() ? request.Directory().str() : m_manager.TempDirectory().str();
  directory = AppendSeparator(directory);
  std::string path = directory + parts.baseName + parts.extension;
  for (unsigned counter = 0; FileExists(path); ++counter) {
    path = directory + parts.baseName + std::to_string(counter) + parts.extension;
  }
  request.SetLocalPath(CString(path));
  FilePtr file = OpenFile(path, "wb");
  if (!file) {
    request.SetFailed(true);
    CloseDownload(std::move(handle));
    return FALSE;
  }
  request.SetInProcess(true);
  std::vector<char> buffer(kDownloadChunk);
  while (true) {
    DWORD read = 0;
    bool ok = ReadDownload(handle, buffer.data(), kDownloadChunk, &read);
    if (ok && m_manager.CancelPending()) {
      m_manager.CancelRemaining();
      OnDownloadCanceled(std::move(file), CString(path), request);
      return FALSE;
    }
    if (ok && read == 0) {
      CloseDownload(std::move(handle));
      bool closed = std::fclose(file.release()) == 0;
      request.SetDone(closed);
      request.SetFailed(!closed);
      request.SetInProcess(false);
      return closed ? TRUE : FALSE;
    }
    if (!ok || std::fwrite(buffer.data(), 1, read, file.get()) != read) {
      // The partial file stays for the caller to look at; both handles close.
      request.SetFailed(true);
      request.SetInProcess(false);
      CloseDownload(std::move(handle));
      return FALSE;
    }
  }
}

void CConnection::OnDownloadCanceled(FilePtr file, const CString& path, CDownloadRequest& request) {
  file.reset();
  std::remove(ToHostPath(path.str()).c_str());
  request.SetFailed(true);
  request.SetInProcess(false);
  AgentLog(kLogMessage, "Download request: '%s' was canceled\n", request.GetURL().c_str());
}
