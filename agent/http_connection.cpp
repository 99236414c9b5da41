// The HTTP connection's session, URL splitting and download operations.
#include "agent/http_connection.h"

#include <vector>

#include "agent/download_request.h"
#include "agent/upload_request.h"
#include "agent/log_file.h"

namespace {

constexpr DWORD kConnectRetries = 3;
constexpr DWORD kSendTimeoutMs = 1000;

}  // namespace

CHTTPConnection::CHTTPConnection(CConnectionManager& manager, DWORD chunkSize)
    : CConnection(manager, chunkSize),
      m_session(InternetOpenA("lokbin agent", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0)) {
  ApplySessionOptions();
}

void CHTTPConnection::ApplySessionOptions() {
  HINTERNET session = Session();
  if (session == nullptr) return;
  DWORD retries = kConnectRetries;
  InternetSetOptionA(session, INTERNET_OPTION_CONNECT_RETRIES, &retries, sizeof retries);
  DWORD timeout = kSendTimeoutMs;
  InternetSetOptionA(session, INTERNET_OPTION_SEND_TIMEOUT, &timeout, sizeof timeout);
}

void CHTTPConnection::CloseSession() {
  if (HINTERNET session = m_session.exchange(nullptr)) InternetCloseHandle(session);
}

InternetHandle CHTTPConnection::OpenUpload(CUploadRequest& request) {
  request.Fail("a plain HTTP connection cannot upload");
  return InternetHandle();
}

BOOL CHTTPConnection::CloseUpload(InternetHandle, CUploadRequest& request) {
  request.Fail("a plain HTTP connection cannot upload");
  return FALSE;
}

BOOL CHTTPConnection::SplitUrl(const CString& url, CString* host, CString* path, CString* scheme) {
  std::vector<char> hostBuffer(url.GetLength() + 1);
  std::vector<char> pathBuffer(url.GetLength() + 2);
  std::vector<char> schemeBuffer(url.GetLength() + 1);
  URL_COMPONENTSA parts{};
  parts.dwStructSize = sizeof parts;
  parts.lpszHostName = hostBuffer.data();
  parts.dwHostNameLength = static_cast<DWORD>(hostBuffer.size());
  parts.lpszUrlPath = pathBuffer.data();
  parts.dwUrlPathLength = static_cast<DWORD>(pathBuffer.size());
  if (scheme != nullptr) {
    parts.lpszScheme = schemeBuffer.data();
    parts.dwSchemeLength = static_cast<DWORD>(schemeBuffer.size());
  }
  if (!InternetCrackUrlA(url.c_str(), 0, 0, &parts)) {
    AgentLog(kLogError, "Failed to parse URL: '%s'", url.c_str());
    return FALSE;
  }
  *host = CString(hostBuffer.data());
  *path = CString(pathBuffer.data());
  if (scheme != nullptr) *scheme = CString(schemeBuffer.data());
  return TRUE;
}

BOOL CHTTPConnection::CanDownload(CConnectionRequest& request) {
  HINTERNET session = Session();
  if (!CConnection::CanDownload(request) || session == nullptr) return FALSE;
  CString host, path, scheme;
  if (!SplitUrl(request.GetURL(), &host, &path, &scheme) || scheme.CompareNoCase("http") != 0) {
    return FALSE;
  }
  InternetHandle connection(InternetConnectA(session, host, INTERNET_DEFAULT_HTTP_PORT, "", "",
                                             INTERNET_SERVICE_HTTP, 0, 0));
  if (!connection) return FALSE;
  LPCSTR anyType[] = {"*/*", nullptr};
  InternetHandle probe(
      HttpOpenRequestA(connection.Get(), nullptr, path, nullptr, nullptr, anyType,
                       INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_KEEP_CONNECTION, 0));
  if (!probe || !HttpSendRequestA(probe.Get(), "Accept: */*", static_cast<DWORD>(-1), nullptr, 0)) {
    return FALSE;
  }
  DWORD status = 0;
  DWORD size = sizeof status;
  return HttpQueryInfoA(probe.Get(), HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status,
                        &size, nullptr) &&
                 status == 200
             ? TRUE
             : FALSE;
}

InternetHandle CHTTPConnection::OpenDownload(CDownloadRequest& request) {
  HINTERNET session = Session();
  if (session == nullptr) return InternetHandle();
  return InternetHandle(InternetOpenUrlA(session, request.Source(), "Accept: */*\r\n\r\n",
                                         static_cast<DWORD>(-1), INTERNET_FLAG_NO_CACHE_WRITE, 0));
}

void CHTTPConnection::CloseDownload(InternetHandle handle) { handle.Reset(); }

BOOL CHTTPConnection::ReadDownload(const InternetHandle& handle, void* buffer, DWORD size,
                                   DWORD* read) {
  return InternetReadFile(handle.Get(), buffer, size, read);
}
