// The exported WinINet-shaped functions: argument checks, handle look-ups and
// the hand-over to the session, connection and request objects.
#include <csignal>
#include <cstring>
#include <mutex>
#include <string>
#include <vector>

#include "platform/inet/cookie_store.h"
#include "platform/inet/http_request.h"
#include "platform/inet/inet_objects.h"
#include "platform/inet/wininet.h"

using qap::inet::Connection;
using qap::inet::Kind;
using qap::inet::Object;
using qap::inet::Request;
using qap::inet::Session;

namespace {

void InitialiseOnce() {
  static std::once_flag once;
  std::call_once(once, [] {
    curl_global_init(CURL_GLOBAL_DEFAULT);
    // A peer that closes mid-upload must fail the write, not end the process.
    std::signal(SIGPIPE, SIG_IGN);
  });
}

template <typename T>
std::shared_ptr<T> Look(HINTERNET handle, Kind kind) {
  std::shared_ptr<Object> object = qap::inet::LookUpHandle(handle);
  if (!object) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  if (object->GetKind() != kind) {
    SetLastError(ERROR_INTERNET_INCORRECT_HANDLE_TYPE);
    return nullptr;
  }
  return std::static_pointer_cast<T>(object);
}

std::string_view HeaderText(LPCSTR headers, DWORD length) {
  if (headers == nullptr) return {};
  return std::string_view(headers,
                          length == static_cast<DWORD>(-1) ? std::strlen(headers) : length);
}

std::string Text(LPCSTR text) { return text != nullptr ? text : ""; }

}  // namespace

HINTERNET InternetOpenA(LPCSTR agent, DWORD accessType, LPCSTR proxy, LPCSTR proxyBypass, DWORD) {
  InitialiseOnce();
  return qap::inet::RegisterHandle(
      std::make_shared<Session>(Text(agent), accessType, Text(proxy), Text(proxyBypass)));
}

BOOL InternetSetOptionA(HINTERNET handle, DWORD option, LPVOID buffer, DWORD length) {
  std::shared_ptr<Object> object;
  if (handle != nullptr && !(object = qap::inet::LookUpHandle(handle))) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  if (buffer == nullptr || length != sizeof(DWORD)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  DWORD value = 0;
  std::memcpy(&value, buffer, sizeof value);
  if (!(object ? object->SetOption(option, value) : qap::inet::SetDefaultOption(option, value))) {
    SetLastError(ERROR_INTERNET_INVALID_OPTION);
    return FALSE;
  }
  return TRUE;
}

INTERNET_STATUS_CALLBACK InternetSetStatusCallbackA(HINTERNET handle,
                                                    INTERNET_STATUS_CALLBACK callback) {
  std::shared_ptr<Object> object = qap::inet::LookUpHandle(handle);
  if (!object) {
    SetLastError(ERROR_INVALID_HANDLE);
    return INTERNET_INVALID_STATUS_CALLBACK;
  }
  return object->SetStatusCallback(callback);
}

BOOL InternetCloseHandle(HINTERNET handle) {
  if (!qap::inet::UnregisterHandle(handle)) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  return TRUE;
}

HINTERNET InternetConnectA(HINTERNET sessionHandle, LPCSTR serverName, INTERNET_PORT serverPort,
                           LPCSTR, LPCSTR, DWORD service, DWORD flags, DWORD_PTR) {
  std::shared_ptr<Session> session = Look<Session>(sessionHandle, Kind::kSession);
  if (!session) return nullptr;
  if (serverName == nullptr || *serverName == '\0' || service != INTERNET_SERVICE_HTTP) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  INTERNET_PORT port = serverPort != 0 ? serverPort : INTERNET_DEFAULT_HTTP_PORT;
  return qap::inet::RegisterHandle(std::make_shared<Connection>(session, serverName, port, flags));
}

HINTERNET HttpOpenRequestA(HINTERNET connectionHandle, LPCSTR verb, LPCSTR objectName, LPCSTR,
                           LPCSTR referrer, LPCSTR* acceptTypes, DWORD flags, DWORD_PTR context) {
  std::shared_ptr<Connection> connection = Look<Connection>(connectionHandle, Kind::kConnection);
  if (!connection) return nullptr;
  std::string path = Text(objectName);
  if (path.empty() || path.front() != '/') path = "/" + path;
  std::string host = connection->Host();
  if (host.find(':') != std::string::npos && host.front() != '[') host = "[" + host + "]";
  std::string url = "http://" + host + ":" + std::to_string(connection->Port()) + path;
  auto request = std::make_shared<Request>(connection->GetSession(), connection, url, Text(verb),
                                           flags, connection->GetOptions(), context);
  std::string preset;
  if (referrer != nullptr && *referrer != '\0') preset += "Referer: " + Text(referrer) + "\r\n";
  if (acceptTypes != nullptr && acceptTypes[0] != nullptr) {
    preset += "Accept: ";
    for (size_t i = 0; acceptTypes[i] != nullptr; ++i) {
      preset += (i == 0 ? "" : ", ") + Text(acceptTypes[i]);
    }
    preset += "\r\n";
  }
  if (!preset.empty() && !request->AddHeaders(preset, HTTP_ADDREQ_FLAG_ADD)) return nullptr;
  return qap::inet::RegisterHandle(request);
}

BOOL HttpAddRequestHeadersA(HINTERNET handle, LPCSTR headers, DWORD length, DWORD modifiers) {
  std::shared_ptr<Request> request = Look<Request>(handle, Kind::kRequest);
  if (!request) return FALSE;
  if (headers == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  return request->AddHeaders(HeaderText(headers, length), modifiers) ? TRUE : FALSE;
}

BOOL HttpSendRequestA(HINTERNET handle, LPCSTR headers, DWORD headersLength, LPVOID optional,
                      DWORD optionalLength) {
  std::shared_ptr<Request> request = Look<Request>(handle, Kind::kRequest);
  if (!request) return FALSE;
  std::string_view body;
  if (optional != nullptr)
    body = std::string_view(static_cast<const char*>(optional), optionalLength);
  return request->Send(HeaderText(headers, headersLength), body) ? TRUE : FALSE;
}

BOOL HttpSendRequestExA(HINTERNET handle, INTERNET_BUFFERSA* buffersIn, INTERNET_BUFFERSA*, DWORD,
                        DWORD_PTR) {
  std::shared_ptr<Request> request = Look<Request>(handle, Kind::kRequest);
  if (!request) return FALSE;
  std::string_view headers;
  std::uint64_t total = 0;
  std::string_view first;
  if (buffersIn != nullptr) {
    headers = HeaderText(buffersIn->lpcszHeader, buffersIn->dwHeadersLength);
    total = buffersIn->dwBufferTotal;
    if (buffersIn->lpvBuffer != nullptr) {
      first = std::string_view(static_cast<const char*>(buffersIn->lpvBuffer),
                               buffersIn->dwBufferLength);
    }
  }
  if (!request->Begin(headers, total)) return FALSE;
  if (!first.empty() && !request->Write(first.data(), static_cast<DWORD>(first.size()))) {
    return FALSE;
  }
  return TRUE;
}

BOOL InternetWriteFile(HINTERNET handle, LPCVOID buffer, DWORD count, LPDWORD written) {
  if (written != nullptr) *written = 0;
  std::shared_ptr<Request> request = Look<Request>(handle, Kind::kRequest);
  if (!request) return FALSE;
  if (buffer == nullptr && count != 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if (!request->Write(static_cast<const char*>(buffer), count)) return FALSE;
  if (written != nullptr) *written = count;
  return TRUE;
}

BOOL HttpEndRequestA(HINTERNET handle, INTERNET_BUFFERSA*, DWORD, DWORD_PTR) {
  std::shared_ptr<Request> request = Look<Request>(handle, Kind::kRequest);
  if (!request) return FALSE;
  return request->End() ? TRUE : FALSE;
}

BOOL HttpQueryInfoA(HINTERNET handle, DWORD infoLevel, LPVOID buffer, LPDWORD length, LPDWORD) {
  std::shared_ptr<Request> request = Look<Request>(handle, Kind::kRequest);
  if (!request) return FALSE;
  if (length == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  DWORD level = infoLevel & 0xFFFF;
  bool asNumber = (infoLevel & HTTP_QUERY_FLAG_NUMBER) != 0;
  std::string data;
  if (level == HTTP_QUERY_STATUS_CODE) {
    DWORD status = request->Status();
    if (asNumber) {
      if (buffer == nullptr || *length < sizeof(DWORD)) {
        *length = sizeof(DWORD);
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
      }
      std::memcpy(buffer, &status, sizeof status);
      *length = sizeof(DWORD);
      return TRUE;
    }
    data = std::to_string(status);
    data += '\0';
  } else if (level == HTTP_QUERY_RAW_HEADERS && !asNumber) {
    std::vector<std::string> lines = request->RawHeaders();
    if (lines.empty()) {
      SetLastError(ERROR_HTTP_HEADER_NOT_FOUND);
      return FALSE;
    }
    for (const std::string& line : lines) {
      data += line;
      data += '\0';
    }
    data += '\0';
  } else {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if (buffer == nullptr || *length < data.size()) {
    *length = static_cast<DWORD>(data.size());
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return FALSE;
  }
  std::memcpy(buffer, data.data(), data.size());
  *length = static_cast<DWORD>(data.size() - 1);
  return TRUE;
}

BOOL InternetReadFile(HINTERNET handle, LPVOID buffer, DWORD count, LPDWORD read) {
  if (read == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  *read = 0;
  std::shared_ptr<Request> request = Look<Request>(handle, Kind::kRequest);
  if (!request) return FALSE;
  if (buffer == nullptr && count != 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  return request->Read(static_cast<char*>(buffer), count, read) ? TRUE : FALSE;
}

HINTERNET InternetOpenUrlA(HINTERNET sessionHandle, LPCSTR url, LPCSTR headers, DWORD headersLength,
                           DWORD flags, DWORD_PTR context) {
  std::shared_ptr<Session> session = Look<Session>(sessionHandle, Kind::kSession);
  if (!session) return nullptr;
  URL_COMPONENTSA parts{};
  parts.dwStructSize = sizeof parts;
  parts.dwHostNameLength = 1;
  if (url == nullptr || !InternetCrackUrlA(url, 0, 0, &parts)) {
    if (url == nullptr) SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  if (parts.nScheme != INTERNET_SCHEME_HTTP && parts.nScheme != INTERNET_SCHEME_HTTPS) {
    SetLastError(ERROR_INTERNET_UNRECOGNIZED_SCHEME);
    return nullptr;
  }
  auto request = std::make_shared<Request>(session, nullptr, url, "GET", flags,
                                           session->GetOptions(), context);
  if (!request->Send(HeaderText(headers, headersLength), {})) return nullptr;
  return qap::inet::RegisterHandle(request);
}

BOOL InternetGetCookieA(LPCSTR url, LPCSTR cookieName, LPSTR data, LPDWORD size) {
  qap::inet::CookieUrl target;
  if (url == nullptr || size == nullptr || !qap::inet::CookieUrlOf(url, &target)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  std::string text;
  bool found = false;
  for (const qap::inet::Cookie& cookie : qap::inet::CookieStore::Instance().CookiesFor(target)) {
    if (cookieName != nullptr) {
      if (cookie.name != cookieName) continue;
      text = cookie.value;
      found = true;
      break;
    }
    if (found) text += "; ";
    text += cookie.name + "=" + cookie.value;
    found = true;
  }
  if (!found) {
    SetLastError(ERROR_NO_MORE_ITEMS);
    return FALSE;
  }
  if (data == nullptr || *size < text.size() + 1) {
    *size = static_cast<DWORD>(text.size() + 1);
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return FALSE;
  }
  std::memcpy(data, text.c_str(), text.size() + 1);
  *size = static_cast<DWORD>(text.size());
  return TRUE;
}
