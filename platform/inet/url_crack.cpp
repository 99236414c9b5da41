// InternetCrackUrlA: splits a URL into scheme, host, port, user, password,
// path and extra information the way WinINet's cracker does.
#include <cctype>
#include <cstring>
#include <string>
#include <string_view>

#include "platform/inet/wininet.h"

namespace {

struct Parts {
  std::string_view scheme;
  INTERNET_SCHEME kind = INTERNET_SCHEME_UNKNOWN;
  std::string_view user, password, host;
  INTERNET_PORT port = 0;
  std::string_view path, extra;
  std::string_view pathAndExtra;
};

INTERNET_SCHEME SchemeKind(std::string_view scheme) {
  auto is = [scheme](const char* name) {
    if (scheme.size() != std::strlen(name)) return false;
    for (size_t i = 0; i < scheme.size(); ++i) {
      if (std::tolower(static_cast<unsigned char>(scheme[i])) != name[i]) return false;
    }
    return true;
  };
  if (is("http")) return INTERNET_SCHEME_HTTP;
  if (is("https")) return INTERNET_SCHEME_HTTPS;
  if (is("ftp")) return INTERNET_SCHEME_FTP;
  if (is("gopher")) return INTERNET_SCHEME_GOPHER;
  if (is("file")) return INTERNET_SCHEME_FILE;
  return INTERNET_SCHEME_UNKNOWN;
}

INTERNET_PORT DefaultPort(INTERNET_SCHEME kind) {
  switch (kind) {
    case INTERNET_SCHEME_HTTP: return 80;
    case INTERNET_SCHEME_HTTPS: return 443;
    case INTERNET_SCHEME_FTP: return 21;
    case INTERNET_SCHEME_GOPHER: return 70;
    default: return 0;
  }
}

bool IsDriveLetterPath(std::string_view text) {
  return text.size() >= 2 && std::isalpha(static_cast<unsigned char>(text[0])) &&
         (text[1] == ':' || text[1] == '|');
}

// The error code on failure, 0 on success.
DWORD Parse(std::string_view url, Parts* parts) {
  size_t colon = url.find(':');
  if (colon == std::string_view::npos || colon == 0) return ERROR_INTERNET_UNRECOGNIZED_SCHEME;
  for (size_t i = 0; i < colon; ++i) {
    char c = url[i];
    if (!std::isalnum(static_cast<unsigned char>(c)) && c != '+' && c != '-' && c != '.') {
      return ERROR_INTERNET_UNRECOGNIZED_SCHEME;
    }
  }
  parts->scheme = url.substr(0, colon);
  parts->kind = SchemeKind(parts->scheme);
  std::string_view rest = url.substr(colon + 1);

  if (parts->kind == INTERNET_SCHEME_FILE) {
    // Everything after "file://" is the local path; "file:///C:/x" names C:.
    if (rest.substr(0, 2) == "//") rest.remove_prefix(2);
    if (rest.size() >= 3 && rest[0] == '/' && IsDriveLetterPath(rest.substr(1))) rest.remove_prefix(1);
    parts->path = parts->pathAndExtra = rest;
    return 0;
  }
  if (rest.substr(0, 2) != "//") {
    // An opaque URL ("mailto:x", or a path like "C:\x"): all of it is path.
    parts->path = parts->pathAndExtra = rest;
    return 0;
  }
  rest.remove_prefix(2);
  size_t authorityEnd = rest.find_first_of("/?#");
  std::string_view authority = rest.substr(0, authorityEnd);
  std::string_view tail =
      authorityEnd == std::string_view::npos ? std::string_view() : rest.substr(authorityEnd);
  size_t at = authority.rfind('@');
  if (at != std::string_view::npos) {
    std::string_view userInfo = authority.substr(0, at);
    authority.remove_prefix(at + 1);
    size_t split = userInfo.find(':');
    parts->user = userInfo.substr(0, split);
    if (split != std::string_view::npos) parts->password = userInfo.substr(split + 1);
  }
  std::string_view portText;
  if (!authority.empty() && authority.front() == '[') {
    size_t close = authority.find(']');
    if (close == std::string_view::npos) return ERROR_INTERNET_INVALID_URL;
    parts->host = authority.substr(0, close + 1);
    std::string_view after = authority.substr(close + 1);
    if (!after.empty()) {
      if (after.front() != ':') return ERROR_INTERNET_INVALID_URL;
      portText = after.substr(1);
    }
  } else {
    size_t portColon = authority.rfind(':');
    parts->host = authority.substr(0, portColon);
    if (portColon != std::string_view::npos) portText = authority.substr(portColon + 1);
  }
  if (parts->host.empty() && parts->kind != INTERNET_SCHEME_UNKNOWN) {
    return ERROR_INTERNET_INVALID_URL;
  }
  parts->port = DefaultPort(parts->kind);
  if (!portText.empty()) {
    unsigned long port = 0;
    for (char c : portText) {
      if (!std::isdigit(static_cast<unsigned char>(c))) return ERROR_INTERNET_INVALID_URL;
      port = port * 10 + static_cast<unsigned long>(c - '0');
      if (port > 65535) return ERROR_INTERNET_INVALID_URL;
    }
    parts->port = static_cast<INTERNET_PORT>(port);
  }
  size_t extraStart = tail.find_first_of("?#");
  parts->path = tail.substr(0, extraStart);
  parts->pathAndExtra = tail;
  if (extraStart != std::string_view::npos) parts->extra = tail.substr(extraStart);
  return 0;
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

std::string Decode(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size()) {
      int high = HexValue(text[i + 1]);
      int low = HexValue(text[i + 2]);
      // "%00" stays as it is: a zero inside a component would end it early
      // for every caller that reads the copy as text ("a.mp3%00.txt").
      if (high >= 0 && low >= 0 && high + low != 0) {
        out += static_cast<char>(high * 16 + low);
        i += 2;
        continue;
      }
    }
    out += text[i];
  }
  return out;
}

// Hands one component out as the caller asked for it.
bool Deliver(std::string_view value, const char* urlStart, bool decode, LPSTR* pointer,
             DWORD* length) {
  if (*length == 0) return true;
  if (*pointer == nullptr) {
    *pointer = const_cast<LPSTR>(value.empty() ? urlStart : value.data());
    *length = static_cast<DWORD>(value.size());
    return true;
  }
  std::string text = decode ? Decode(value) : std::string(value);
  if (text.size() + 1 > *length) {
    *length = static_cast<DWORD>(text.size() + 1);
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return false;
  }
  std::memcpy(*pointer, text.c_str(), text.size() + 1);
  *length = static_cast<DWORD>(text.size());
  return true;
}

}  // namespace

BOOL InternetCrackUrlA(LPCSTR url, DWORD length, DWORD flags, URL_COMPONENTSA* components) {
  if (url == nullptr || components == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  std::string_view text(url, length != 0 ? length : std::strlen(url));
  Parts parts;
  if (DWORD error = Parse(text, &parts); error != 0) {
    SetLastError(error);
    return FALSE;
  }
  bool decode = (flags & ICU_DECODE) != 0;
  components->nScheme = parts.kind;
  components->nPort = parts.port;
  // Without a place for the extra information the path carries it.
  std::string_view path = components->dwExtraInfoLength == 0 ? parts.pathAndExtra : parts.path;
  bool ok =
      Deliver(parts.scheme, url, false, &components->lpszScheme, &components->dwSchemeLength) &
      Deliver(parts.host, url, decode, &components->lpszHostName, &components->dwHostNameLength) &
      Deliver(parts.user, url, decode, &components->lpszUserName, &components->dwUserNameLength) &
      Deliver(parts.password, url, decode, &components->lpszPassword,
              &components->dwPasswordLength) &
      Deliver(path, url, decode, &components->lpszUrlPath, &components->dwUrlPathLength) &
      Deliver(parts.extra, url, decode, &components->lpszExtraInfo, &components->dwExtraInfoLength);
  return ok ? TRUE : FALSE;
}
