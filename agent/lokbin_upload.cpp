// The locker connection's multipart upload: opening the POST with its
// announced length, the body's fixed pieces around the file's bytes, and the
// reply.
#include <sys/stat.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "agent/agent_connection_manager.h"
#include "agent/file_ptr.h"
#include "agent/log_file.h"
#include "agent/lokbin_http_connection.h"
#include "agent/upload_request.h"
#include "platform/base/paths.h"

namespace {

constexpr const char* kBoundary = "-----------------------------213481864127109";
constexpr const char* kDelimiter = "-------------------------------213481864127109";
constexpr const char* kSubmitPart =
    "Content-Disposition: form-data; name=\"submit1\"\r\n\r\nSubmit Query\r\n";
// The body's bytes besides the file and its form name: 46 + 2 + 71 + 42
// before the data, 2 + 46 + 2 + 64 + 46 + 4 after it.
constexpr std::uint64_t kFixedBodyBytes = 325;
// Content-Length and the announced total are 32-bit.
constexpr std::uint64_t kLargestBody = 0xFFFFFFFF;
constexpr DWORD kHeaderBuffer = 4096;
constexpr DWORD kCookieBuffer = 2048;

// Writes each piece, logging it first; false when any write failed.
bool WritePieces(HINTERNET request, const std::vector<std::string>& pieces) {
  bool ok = true;
  for (const std::string& piece : pieces) {
    AgentLog(kLogMessage, "Writting to file: '%s'", piece.c_str());
    DWORD written = 0;
    if (!InternetWriteFile(request, piece.data(), static_cast<DWORD>(piece.size()), &written) ||
        written != piece.size()) {
      ok = false;
    }
  }
  return ok;
}

}  // namespace

InternetHandle CLokbinHTTPConnection::OpenUpload(CUploadRequest& request) {
  const CString& path = request.FilePath();
  CString url = request.GetURL();
  if (!IsLoggedIn(nullptr)) {
    AgentLog(kLogError, "Attempt to send url '%s'. User was not logged in", url.c_str());
    return InternetHandle();
  }
  std::uint64_t fileSize = 0;
  {
    FilePtr file = OpenFile(path.str(), "rb");
    if (!file) {
      AgentLog(kLogError, "Failed to open file to upload '%s'", path.c_str());
      return InternetHandle();
    }
    struct stat info {};
    if (fstat(fileno(file.get()), &info) != 0 || !S_ISREG(info.st_mode)) {
      AgentLog(kLogError, "Failed to query size of file to upload '%s'", path.c_str());
      return InternetHandle();
    }
    fileSize = static_cast<std::uint64_t>(info.st_size);
  }
  std::string name = FileNameOf(path.str());
  std::uint64_t length = fileSize + kFixedBodyBytes + name.size();
  // Also a file just under 4 GiB whose body would pass 32 bits.
  if (fileSize >= (std::uint64_t{1} << 32) || length > kLargestBody) {
    AgentLog(kLogError, "File to upload '%s' is too big", path.c_str());
    return InternetHandle();
  }
  CString host, urlPath;
  bool connected = false;
  InternetHandle upload;
  if (SplitUrl(url, &host, &urlPath)) {
    upload =
        OpenRequest(host, "POST", urlPath,
                    INTERNET_FLAG_KEEP_CONNECTION | INTERNET_FLAG_NO_AUTO_REDIRECT, &connected);
  }
  if (!upload) {
    AgentLog(kLogError, "Unable to open request for URL: '%s'", url.c_str());
    return InternetHandle();
  }
  char cookies[kCookieBuffer] = {};
  DWORD cookieSize = sizeof cookies;
  if (!InternetGetCookieA(m_agent.Config().GetAuthUserURL(), nullptr, cookies, &cookieSize)) {
    cookies[0] = '\0';
  }
  CString hostHeader, lengthHeader;
  hostHeader.Format("Host: %s\r\n", host.c_str());
  lengthHeader.Format(
      "Cookie: %s\r\nContent-Type: multipart/form-data; boundary=%s\r\n"
      "Content-Length: %u\r\n\r\n",
      cookies, kBoundary, static_cast<unsigned>(length));
  bool headersAdded = true;
  for (const char* header :
       {hostHeader.c_str(), "User-Agent: lbagent 1.5\r\n", lengthHeader.c_str()}) {
    AgentLog(kLogMessage, "Adding request header: '%s'", header);
    if (!HttpAddRequestHeadersA(upload.Get(), header, static_cast<DWORD>(-1),
                                HTTP_ADDREQ_FLAG_ADD | HTTP_ADDREQ_FLAG_REPLACE)) {
      headersAdded = false;
    }
  }
  INTERNET_BUFFERSA buffers{};
  buffers.dwStructSize = sizeof buffers;
  buffers.dwBufferTotal = static_cast<DWORD>(length);
  if (!headersAdded || !HttpSendRequestExA(upload.Get(), &buffers, nullptr, 0, 0)) {
    AgentLog(kLogError, "Failed to add request headers to upload request '%s'", url.c_str());
    return InternetHandle();
  }
  std::string disposition =
      "Content-Disposition: form-data; name=\"file-to-upload-01\"; filename=\"" + name + "\"\r\n";
  if (!WritePieces(upload.Get(), {kDelimiter, "\r\n", disposition,
                                  "Content-Type: application/octet-stream\r\n\r\n"})) {
    AgentLog(kLogError, "Failed to write file '%s'", path.c_str());
    return InternetHandle();
  }
  return upload;
}

BOOL CLokbinHTTPConnection::OnLoopUploadData(const InternetHandle& handle, const void* bytes,
                                             DWORD count) {
  DWORD written = 0;
  if (!InternetWriteFile(handle.Get(), bytes, count, &written) || written != count) {
    AgentLog(kLogError,
             "CLokbinHTTPConnection::OnLoopUploadData: Failed to upload file. Last error='%s'",
             std::to_string(GetLastError()).c_str());
    return FALSE;
  }
  return TRUE;
}

BOOL CLokbinHTTPConnection::OnShutdownUpload(InternetHandle handle) {
  std::string delimiter = kDelimiter;
  if (!WritePieces(handle.Get(), {"\r\n", delimiter, "\r\n", kSubmitPart, delimiter, "--\r\n"})) {
    AgentLog(kLogError, "CLokbinHTTPConnection::OnShutdownUpload: Failed to write file");
  }
  if (!HttpEndRequestA(handle.Get(), nullptr, 0, 0)) {
    AgentLog(kLogError, "CLokbinHTTPConnection::OnShutdownUpload: Failed to close request");
  }
  DWORD status = 0;
  DWORD size = sizeof status;
  if (!HttpQueryInfoA(handle.Get(), HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size,
                      nullptr)) {
    status = 0;
  }
  AgentLog(kLogMessage, "Returned error code : '%s'", std::to_string(status).c_str());
  std::vector<char> headers(kHeaderBuffer);
  DWORD headerSize = kHeaderBuffer;
  if (HttpQueryInfoA(handle.Get(), HTTP_QUERY_RAW_HEADERS, headers.data(), &headerSize, nullptr)) {
    AgentLog(kLogMessage, ">> Raw Headers:");
    for (const char* line = headers.data(); *line != '\0'; line += std::strlen(line) + 1) {
      AgentLog(kLogMessage, "%s", line);
    }
    AgentLog(kLogMessage, ">> Raw Headers ended");
  } else {
    AgentLog(kLogError, "Failed to query for raw headers");
  }
  return status == 200 ? TRUE : FALSE;
}
