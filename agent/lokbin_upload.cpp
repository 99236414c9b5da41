// The locker connection's multipart upload: opening the POST with its
// announced length, the body's fixed pieces around the file's bytes, and the
// reply, which alone decides whether the file counts as sent.
#include <sys/stat.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "agent/agent_connection_manager.h"
#include "agent/file_ptr.h"
#include "agent/log_file.h"
#include "agent/lokbin_http_connection.h"
#include "agent/upload_request.h"
#include "platform/base/paths.h"

namespace {

constexpr const char* kBoundary = "-----------------------------213481864127109";
// The body's fixed pieces, in the order they go out around the file's
// name and bytes.
constexpr std::string_view kDelimiter = "-------------------------------213481864127109";
constexpr std::string_view kLineEnd = "\r\n";
constexpr std::string_view kDispositionStart =
    "Content-Disposition: form-data; name=\"file-to-upload-01\"; filename=\"";
constexpr std::string_view kDispositionEnd = "\"\r\n";
constexpr std::string_view kContentType = "Content-Type: application/octet-stream\r\n\r\n";
constexpr std::string_view kSubmitPart =
    "Content-Disposition: form-data; name=\"submit1\"\r\n\r\nSubmit Query\r\n";
constexpr std::string_view kFinalEnd = "--\r\n";
constexpr std::uint64_t kFixedBodyBytes =
    kDelimiter.size() + kLineEnd.size() + kDispositionStart.size() + kDispositionEnd.size() +
    kContentType.size() + kLineEnd.size() + kDelimiter.size() + kLineEnd.size() +
    kSubmitPart.size() + kDelimiter.size() + kFinalEnd.size();
// Content-Length and the announced total are 32-bit.
constexpr std::uint64_t kLargestBody = 0xFFFFFFFF;
constexpr DWORD kHeaderBuffer = 4096;
constexpr DWORD kCookieBuffer = 2048;

// Writes each piece, logging it first; the error of the first write that
// failed, or 0.
DWORD WritePieces(HINTERNET request, const std::vector<std::string>& pieces) {
  DWORD error = 0;
  for (const std::string& piece : pieces) {
    AgentLog(kLogMessage, "Writting to file: '%s'", piece.c_str());
    DWORD written = 0;
    if ((!InternetWriteFile(request, piece.data(), static_cast<DWORD>(piece.size()), &written) ||
         written != piece.size()) &&
        error == 0) {
      error = GetLastError();
    }
  }
  return error;
}

// Why the network ended an upload, for the person who sent the file. A
// time-out while the body went out means the host stopped taking it; at the
// end, that no reply came.
CString NetworkFailure(DWORD error, bool whileSending) {
  const char* what;
  switch (error) {
    case ERROR_INTERNET_CANNOT_CONNECT:
      what = "no connection to the upload host could be made";
      break;
    case ERROR_INTERNET_NAME_NOT_RESOLVED: what = "the upload host's name is unknown"; break;
    case ERROR_INTERNET_CONNECTION_RESET: what = "the upload host reset the connection"; break;
    case ERROR_INTERNET_CONNECTION_ABORTED:
      what = "the upload host closed the connection before the upload ended";
      break;
    case ERROR_INTERNET_TIMEOUT:
      what = whileSending ? "the upload host stopped taking the file (send time-out)"
                          : "no reply within the receive time-out";
      break;
    case ERROR_HTTP_INVALID_SERVER_RESPONSE:
      what = "the upload host's reply was no HTTP reply";
      break;
    case ERROR_INTERNET_OPERATION_CANCELLED: what = "the agent ended meanwhile"; break;
    default: what = "the network failed"; break;
  }
  CString reason;
  reason.Format("%s (error %u)", what, static_cast<unsigned>(error));
  return reason;
}

// "500 Internal Server Error" from the status line, or the bare code.
CString StatusText(const char* statusLine, DWORD status) {
  const char* space = statusLine != nullptr ? std::strchr(statusLine, ' ') : nullptr;
  if (space != nullptr && space[1] != '\0') return CString(space + 1);
  return CString(std::to_string(status));
}

}  // namespace

InternetHandle CLokbinHTTPConnection::OpenUpload(CUploadRequest& request) {
  const CString& path = request.FilePath();
  CString url = request.GetURL();
  if (!IsLoggedIn(nullptr)) {
    AgentLog(kLogError, "Attempt to send url '%s'. User was not logged in", url.c_str());
    request.Fail("the user is not logged in");
    return InternetHandle();
  }
  std::uint64_t fileSize = 0;
  {
    FilePtr file = OpenFile(path.str(), "rb");
    if (!file) {
      AgentLog(kLogError, "Failed to open file to upload '%s'", path.c_str());
      request.Fail("the file cannot be read");
      return InternetHandle();
    }
    struct stat info {};
    if (fstat(fileno(file.get()), &info) != 0 || !S_ISREG(info.st_mode)) {
      AgentLog(kLogError, "Failed to query size of file to upload '%s'", path.c_str());
      request.Fail("the file's size cannot be read");
      return InternetHandle();
    }
    fileSize = static_cast<std::uint64_t>(info.st_size);
  }
  std::string name = FileNameOf(path.str());
  std::uint64_t length = fileSize + kFixedBodyBytes + name.size();
  // Also a file just under 4 GiB whose body would pass 32 bits.
  if (fileSize >= (std::uint64_t{1} << 32) || length > kLargestBody) {
    AgentLog(kLogError, "File to upload '%s' is too big", path.c_str());
    request.Fail("the file is too big: an upload stays under 4 GiB");
    return InternetHandle();
  }
  CString host, urlPath;
  bool connected = false;
  InternetHandle upload;
  if (SplitUrl(url, &host, &urlPath)) {
    upload = OpenRequest(host, "POST", urlPath,
                         INTERNET_FLAG_KEEP_CONNECTION | INTERNET_FLAG_NO_AUTO_REDIRECT, &connected,
                         &request);
  }
  if (!upload) {
    AgentLog(kLogError, "Unable to open request for URL: '%s'", url.c_str());
    request.Fail("no request to the upload host could be opened");
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
    request.Fail("the upload request could not be started");
    return InternetHandle();
  }
  std::string disposition =
      std::string(kDispositionStart) + name + std::string(kDispositionEnd);
  std::vector<std::string> head = {std::string(kDelimiter), std::string(kLineEnd), disposition,
                                   std::string(kContentType)};
  std::uint64_t headBytes = 0;
  for (const std::string& piece : head) headBytes += piece.size();
  request.SetBodyHead(headBytes);
  if (DWORD error = WritePieces(upload.Get(), head)) {
    AgentLog(kLogError, "Failed to write file '%s'", path.c_str());
    request.Fail(NetworkFailure(error, true));
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

BOOL CLokbinHTTPConnection::OnShutdownUpload(InternetHandle handle, CUploadRequest& request) {
  // The error of a chunk that failed surfaces again here, at the first
  // write after it.
  DWORD writeError = WritePieces(
      handle.Get(), {std::string(kLineEnd), std::string(kDelimiter), std::string(kLineEnd),
                     std::string(kSubmitPart), std::string(kDelimiter), std::string(kFinalEnd)});
  if (writeError != 0) {
    AgentLog(kLogError, "CLokbinHTTPConnection::OnShutdownUpload: Failed to write file");
  }
  DWORD endError = 0;
  if (!HttpEndRequestA(handle.Get(), nullptr, 0, 0)) {
    endError = GetLastError();
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
  bool haveHeaders =
      HttpQueryInfoA(handle.Get(), HTTP_QUERY_RAW_HEADERS, headers.data(), &headerSize, nullptr);
  if (haveHeaders) {
    AgentLog(kLogMessage, ">> Raw Headers:");
    for (const char* line = headers.data(); *line != '\0'; line += std::strlen(line) + 1) {
      AgentLog(kLogMessage, "%s", line);
    }
    AgentLog(kLogMessage, ">> Raw Headers ended");
  } else {
    AgentLog(kLogError, "Failed to query for raw headers");
  }
  // Only a whole body that the locker took counts: a reply that came early
  // (an error status, say) does not make a short body sent.
  if (writeError != 0 || endError != 0) {
    request.Fail(writeError != 0 ? NetworkFailure(writeError, true)
                                 : NetworkFailure(endError, false));
    return FALSE;
  }
  if (status < 200 || status > 299) {
    request.Fail("the locker answered " +
                 StatusText(haveHeaders ? headers.data() : nullptr, status));
    return FALSE;
  }
  return TRUE;
}
