// The locker connection's server connection, login, login test, upload-host
// lookup and link transfer.
#include "agent/lokbin_http_connection.h"

#include <cctype>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "agent/agent_connection_manager.h"
#include "agent/link_request.h"
#include "agent/log_file.h"
#include "agent/upload_request.h"

namespace {

constexpr const char* kFormContentType = "Content-Type: application/x-www-form-urlencoded\r\n";
constexpr const char* kUserAgent = "User-Agent: lbagent 1.5\r\n";
constexpr DWORD kHeaderBuffer = 4096;
constexpr DWORD kLinkCookieBuffer = 2048;
constexpr DWORD kLinkHeaderBuffer = 2048;

// application/x-www-form-urlencoded, so that '&', '=' and the like in a
// name or password stay inside their field.
std::string FormEncode(const CString& text) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : text.str()) {
    if (std::isalnum(c) || c == '*' || c == '-' || c == '.' || c == '_') {
      out += static_cast<char>(c);
    } else if (c == ' ') {
      out += '+';
    } else {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 15];
    }
  }
  return out;
}

// A host name or address, with a port or without: what the upload URL is
// made of. Anything else (a path, a query, a line break) would change the
// request the file goes out in rather than name where it goes.
bool IsBareHost(std::string_view reply) {
  const size_t colon = reply.rfind(':');
  std::string_view host = reply.substr(0, colon);
  if (colon != std::string_view::npos) {
    const std::string_view port = reply.substr(colon + 1);
    if (port.empty() || port.size() > 5 ||
        port.find_first_not_of("0123456789") != std::string_view::npos) {
      return false;
    }
  }
  return !host.empty() && host.find_first_not_of(
                              "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789.-_") ==
                              std::string_view::npos;
}

bool QueryStatus(HINTERNET request, DWORD* status) {
  DWORD size = sizeof *status;
  *status = 0;
  return HttpQueryInfoA(request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, status, &size,
                        nullptr) != FALSE;
}

bool AddHeader(HINTERNET request, const char* header) {
  return HttpAddRequestHeadersA(request, header, static_cast<DWORD>(-1),
                                HTTP_ADDREQ_FLAG_ADD | HTTP_ADDREQ_FLAG_REPLACE) != FALSE;
}

}  // namespace

CLokbinHTTPConnection::CLokbinHTTPConnection(CAgentConnectionManager& manager, DWORD chunkSize)
    : CHTTPConnection(manager, chunkSize), m_agent(manager) {
  if (Session() != nullptr) InternetSetStatusCallbackA(Session(), &CLokbinHTTPConnection::OnStatus);
}

void CLokbinHTTPConnection::OnStatus(HINTERNET, DWORD_PTR context, DWORD status,
                                     LPVOID information, DWORD length) {
  if (status != INTERNET_STATUS_REQUEST_SENT || length != sizeof(DWORD)) return;
  DWORD sent = 0;
  std::memcpy(&sent, information, sizeof sent);
  reinterpret_cast<CUploadRequest*>(context)->OnBodySent(sent);
}

HINTERNET CLokbinHTTPConnection::Connect(const CString& host) {
  std::lock_guard<std::recursive_mutex> guard(m_connectMutex);
  return ConnectLocked(host);
}

HINTERNET CLokbinHTTPConnection::ConnectLocked(const CString& host) {
  if (m_server && host == m_connectedHost) return m_server.Get();
  HINTERNET server = InternetConnectA(Session(), host, INTERNET_DEFAULT_HTTP_PORT, "", "",
                                      INTERNET_SERVICE_HTTP, INTERNET_FLAG_NO_COOKIES, 0);
  if (server == nullptr) return nullptr;
  ApplySessionOptions();
  // Requests still open on the previous connection keep it until they close.
  m_server.Reset(server);
  m_connectedHost = host;
  return server;
}

InternetHandle CLokbinHTTPConnection::OpenRequest(const CString& host, const char* verb,
                                                  const CString& path, DWORD flags,
                                                  bool* connected, CUploadRequest* context) {
  std::lock_guard<std::recursive_mutex> guard(m_connectMutex);
  HINTERNET server = ConnectLocked(host);
  *connected = server != nullptr;
  if (server == nullptr) return InternetHandle();
  return InternetHandle(HttpOpenRequestA(server, verb, path, nullptr, nullptr, nullptr, flags,
                                         reinterpret_cast<DWORD_PTR>(context)));
}

BOOL CLokbinHTTPConnection::Login(const CString& url, const CString& user, const CString& password,
                                  const CString& serviceCode) {
  if (IsLoggedIn(user)) return TRUE;
  CString host, path;
  if (!SplitUrl(url, &host, &path)) return FALSE;
  bool connected = false;
  InternetHandle request =
      OpenRequest(host, "POST", path,
                  INTERNET_FLAG_EXISTING_CONNECT | INTERNET_FLAG_NO_AUTO_REDIRECT, &connected);
  if (!connected) return FALSE;
  if (!request) {
    AgentLog(kLogError, "Authenticate: Failed to open request '%s'", url.c_str());
    return FALSE;
  }
  DWORD status = 0;
  if (!QueryStatus(request.Get(), &status)) {
    AgentLog(kLogError, "Authenticate: Failed to query info. Request: '%s'", url.c_str());
    return FALSE;
  }
  if (status != 0 && status != 200) {
    AgentLog(kLogError, "Authenticate: Request '%s' failed with code '%d'", url.c_str(),
             static_cast<int>(status));
    return FALSE;
  }
  for (const char* header : {kFormContentType, kUserAgent}) {
    if (!AddHeader(request.Get(), header)) {
      AgentLog(kLogError, "Authenticate: Failed to add request header '%s'", header);
      return FALSE;
    }
  }
  std::string body = "LB_USERID=" + FormEncode(user) + "&LB_PASSWD=" + FormEncode(password) +
                     "&results=true?svcode=" + FormEncode(serviceCode);
  if (!HttpSendRequestA(request.Get(), nullptr, 0, body.data(), static_cast<DWORD>(body.size()))) {
    // The log keeps everything but the password.
    std::string shown = "LB_USERID=" + FormEncode(user) +
                        "&LB_PASSWD=****&results=true?svcode=" + FormEncode(serviceCode);
    AgentLog(kLogError, "Authenticate: Failed to send request: '%s'", shown.c_str());
    return FALSE;
  }
  if (!QueryStatus(request.Get(), &status)) {
    AgentLog(kLogError, "Authenticate: Failed to query info after data post. Request: '%s'",
             url.c_str());
    return FALSE;
  }
  std::vector<char> headers(kHeaderBuffer);
  DWORD size = kHeaderBuffer;
  if (!HttpQueryInfoA(request.Get(), HTTP_QUERY_RAW_HEADERS, headers.data(), &size, nullptr)) {
    AgentLog(kLogError, "Authenticate: Failed to query headers info. Request: '%s'", url.c_str());
    return FALSE;
  }
  // The locker's verdict is the text "auth=1" anywhere in a header line,
  // whatever the status.
  for (const char* line = headers.data(); *line != '\0'; line += std::strlen(line) + 1) {
    if (std::strstr(line, "auth=1") != nullptr) {
      m_agent.SetCredentials(user, password);
      m_loggedIn.store(1);
      return TRUE;
    }
  }
  AgentLog(kLogError, "Authenticate: Failed. Wrong user name or password");
  return FALSE;
}

BOOL CLokbinHTTPConnection::IsLoggedIn(const char* user) {
  char value[1024];
  DWORD size = sizeof value;
  bool found =
      InternetGetCookieA(m_agent.Config().GetAuthUserURL(), "lbblue", value, &size) != FALSE;
  if (!found || m_loggedIn.load() != 1) return FALSE;
  if (user != nullptr) return m_agent.UserName() == user ? TRUE : FALSE;
  return value[0] != '\0' ? TRUE : FALSE;
}

CString CLokbinHTTPConnection::GetUploadUrl() {
  const CString& lookupUrl = m_agent.Config().GetUploadURL();
  CString host, path;
  if (!SplitUrl(lookupUrl, &host, &path)) {
    AgentLog(kLogError, "Failed to crack URL '%s'", lookupUrl.c_str());
    return CString();
  }
  bool connected = false;
  InternetHandle request =
      OpenRequest(host, "GET", path, INTERNET_FLAG_EXISTING_CONNECT, &connected);
  if (!request) {
    AgentLog(kLogError, "Failed to open request to server '%s' file '%s'", host.c_str(),
             path.c_str());
    return CString();
  }
  DWORD status = 0;
  if (!QueryStatus(request.Get(), &status)) {
    AgentLog(kLogError, "Failed to query info");
    return CString();
  }
  if (status != 0 && status != 200) {
    AgentLog(kLogError, "Failed to open request to server '%s' file '%s'. QueryInfo report",
             host.c_str(), path.c_str());
    return CString();
  }
  if (!AddHeader(request.Get(), kFormContentType) || !AddHeader(request.Get(), kUserAgent)) {
    AgentLog(kLogError, "Failed to add request headers to request. Host='%s' File='%s'",
             host.c_str(), path.c_str());
    return CString();
  }
  char body[] = "get_bc";
  if (!HttpSendRequestA(request.Get(), nullptr, 0, body, 6)) {
    AgentLog(kLogError, "Failed to send request. Host='%s' File='%s'", host.c_str(), path.c_str());
    return CString();
  }
  if (!QueryStatus(request.Get(), &status)) {
    AgentLog(kLogError, "Failed to query info 2");
    return CString();
  }
  if (status != 200) {
    AgentLog(kLogError, "Failed to send request to server '%s' file '%s'. QueryInfo report 2",
             host.c_str(), path.c_str());
    return CString();
  }
  char reply[1024];
  DWORD read = 0;
  if (!InternetReadFile(request.Get(), reply, sizeof reply, &read)) return CString();
  // The reply is the bare upload host, taken as it is: never trimmed, and
  // refused when it is anything else.
  const std::string_view named(reply, read);
  if (!IsBareHost(named)) {
    AgentLog(kLogError, "The upload host lookup named no host: '%s'",
             std::string(named.substr(0, named.find('\0'))).c_str());
    return CString();
  }
  return CString("http://") + CString(reply, static_cast<int>(read)) + "/c/u";
}

void CLokbinHTTPConnection::TransferLink(CLinkRequest& request) {
  const CString& link = request.FilePath();
  CString url = request.GetURL();
  if (!IsLoggedIn(nullptr)) {
    AgentLog(kLogError, "Attempt to upload link '%s'. User was not logged in", url.c_str());
    return;
  }
  CString host, path;
  if (!SplitUrl(url, &host, &path)) return;
  bool connected = false;
  InternetHandle transfer =
      OpenRequest(host, "POST", path,
                  INTERNET_FLAG_KEEP_CONNECTION | INTERNET_FLAG_NO_AUTO_REDIRECT, &connected);
  if (!transfer) {
    AgentLog(kLogError, "Unable to open request for URL: '%s'", url.c_str());
    return;
  }
  if (!AddHeader(transfer.Get(), kFormContentType) || !AddHeader(transfer.Get(), kUserAgent)) {
    AgentLog(kLogError, "Failed to add request headers to UploadLink request: '%s'", url.c_str());
    return;
  }
  // The cookies of the link's own site, so that the locker can fetch what
  // the user may fetch.
  char cookies[kLinkCookieBuffer] = {};
  DWORD cookieSize = sizeof cookies;
  if (!InternetGetCookieA(link, nullptr, cookies, &cookieSize)) cookies[0] = '\0';
  std::string body = "lb_remote_url=" + EscapeFormValue(link).str() +
                     "&lb_remote_cookie=" + EscapeFormValue(CString(cookies)).str();
  if (!HttpSendRequestA(transfer.Get(), nullptr, 0, body.data(), static_cast<DWORD>(body.size()))) {
    AgentLog(kLogError, "Failed to send request to upload link '%s'", link.c_str());
    return;
  }
  DWORD status = 0;
  if (!QueryStatus(transfer.Get(), &status)) {
    AgentLog(kLogError, "Failed to QueryInfo code");
    return;
  }
  AgentLog(kLogMessage, "Link SendRequest Code returned: '%s'", std::to_string(status).c_str());
  std::vector<char> headers(kLinkHeaderBuffer);
  DWORD size = kLinkHeaderBuffer;
  if (!HttpQueryInfoA(transfer.Get(), HTTP_QUERY_RAW_HEADERS, headers.data(), &size, nullptr)) {
    AgentLog(kLogError, "Failed to query for raw headers");
    return;
  }
  AgentLog(kLogMessage, "Raw Headers:");
  for (const char* line = headers.data(); *line != '\0'; line += std::strlen(line) + 1) {
    AgentLog(kLogMessage, "%s", line);
  }
  AgentLog(kLogMessage, "Raw Headers ended");
}
