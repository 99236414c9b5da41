// The cookie store: Set-Cookie parsing, matching, and the Netscape
// cookies.txt file shared by the user's processes.
#include "platform/inet/cookie_store.h"

#include <curl/curl.h>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/base/runtime_files.h"

namespace qap::inet {
namespace {

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

std::string Trim(const std::string& text) {
  size_t first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return {};
  size_t last = text.find_last_not_of(" \t");
  return text.substr(first, last - first + 1);
}

bool IsIpAddress(const std::string& host) {
  if (host.find(':') != std::string::npos || (!host.empty() && host.front() == '[')) return true;
  return !host.empty() && host.find_first_not_of("0123456789.") == std::string::npos;
}

std::int64_t Now() { return static_cast<std::int64_t>(std::time(nullptr)); }

bool Expired(const Cookie& cookie, std::int64_t now) {
  return cookie.expires != 0 && cookie.expires <= now;
}

bool DomainMatches(const Cookie& cookie, const std::string& host) {
  if (host == cookie.domain) return true;
  return cookie.includeSubdomains && host.size() > cookie.domain.size() &&
         host.compare(host.size() - cookie.domain.size(), cookie.domain.size(), cookie.domain) ==
             0 &&
         host[host.size() - cookie.domain.size() - 1] == '.';
}

bool PathMatches(const std::string& cookiePath, const std::string& requestPath) {
  if (requestPath == cookiePath) return true;
  if (requestPath.compare(0, cookiePath.size(), cookiePath) != 0) return false;
  return cookiePath.back() == '/' || requestPath[cookiePath.size()] == '/';
}

// The directory of the request path: the default path of a cookie.
std::string DefaultPath(const std::string& requestPath) {
  size_t slash = requestPath.rfind('/');
  if (requestPath.empty() || requestPath.front() != '/' || slash == 0) return "/";
  return requestPath.substr(0, slash);
}

bool SameSlot(const Cookie& a, const Cookie& b) {
  return a.name == b.name && a.domain == b.domain && a.path == b.path;
}

std::string JarText(const Cookie& cookie) {
  std::ostringstream line;
  line << (cookie.httpOnly ? "#HttpOnly_" : "") << (cookie.includeSubdomains ? "." : "")
       << cookie.domain << '\t' << (cookie.includeSubdomains ? "TRUE" : "FALSE") << '\t'
       << cookie.path << '\t' << (cookie.secure ? "TRUE" : "FALSE") << '\t' << cookie.expires
       << '\t' << cookie.name << '\t' << cookie.value;
  return line.str();
}

bool ParseJarLine(const std::string& text, Cookie* cookie) {
  std::string line = text;
  if (line.rfind("#HttpOnly_", 0) == 0) {
    cookie->httpOnly = true;
    line.erase(0, 10);
  } else if (line.empty() || line.front() == '#') {
    return false;
  }
  std::vector<std::string> fields;
  size_t start = 0;
  while (true) {
    size_t tab = line.find('\t', start);
    fields.push_back(line.substr(start, tab - start));
    if (tab == std::string::npos) break;
    start = tab + 1;
  }
  if (fields.size() == 6) fields.emplace_back();
  if (fields.size() != 7 || fields[0].empty() || fields[5].empty()) return false;
  char* end = nullptr;
  long long expires = std::strtoll(fields[4].c_str(), &end, 10);
  if (end == fields[4].c_str() || *end != '\0') return false;
  cookie->includeSubdomains = fields[1] == "TRUE";
  cookie->domain = Lower(fields[0].front() == '.' ? fields[0].substr(1) : fields[0]);
  cookie->path = fields[2].empty() ? "/" : fields[2];
  cookie->secure = fields[3] == "TRUE";
  cookie->expires = expires;
  cookie->name = fields[5];
  cookie->value = fields[6];
  return true;
}

// Serialises writers of the jar across processes; readers need no lock since
// the file is replaced whole by a rename.
class JarLock {
 public:
  explicit JarLock(const std::string& jarPath) {
    std::string lockPath = jarPath + ".lock";
    m_fd = open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (m_fd >= 0) flock(m_fd, LOCK_EX);
  }
  ~JarLock() {
    if (m_fd >= 0) close(m_fd);  // closing releases the lock
  }
  JarLock(const JarLock&) = delete;
  JarLock& operator=(const JarLock&) = delete;

 private:
  int m_fd = -1;
};

}  // namespace

bool CookieUrlOf(const std::string& url, CookieUrl* out) {
  size_t schemeEnd = url.find("://");
  if (schemeEnd == std::string::npos) return false;
  std::string scheme = Lower(url.substr(0, schemeEnd));
  if (scheme != "http" && scheme != "https") return false;
  size_t hostStart = schemeEnd + 3;
  size_t hostEnd = url.find_first_of("/?#", hostStart);
  std::string authority = url.substr(hostStart, hostEnd - hostStart);
  size_t at = authority.rfind('@');
  if (at != std::string::npos) authority.erase(0, at + 1);
  if (!authority.empty() && authority.front() == '[') {
    authority = authority.substr(0, authority.find(']') + 1);
  } else {
    authority = authority.substr(0, authority.find(':'));
  }
  if (authority.empty()) return false;
  out->host = Lower(authority);
  out->secure = scheme == "https";
  std::string path = hostEnd == std::string::npos ? "/" : url.substr(hostEnd);
  path = path.substr(0, path.find_first_of("?#"));
  out->path = path.empty() ? "/" : path;
  return true;
}

CookieStore& CookieStore::Instance() {
  static CookieStore store;
  return store;
}

std::string CookieStore::JarPath() { return qap::CookieJarPath(); }

std::vector<CookieStore::JarLine> CookieStore::ReadJar(const std::string& path) {
  std::vector<JarLine> lines;
  std::ifstream in(path, std::ios::binary);
  std::string text;
  while (std::getline(in, text)) {
    if (!text.empty() && text.back() == '\r') text.pop_back();
    JarLine line;
    line.isCookie = ParseJarLine(text, &line.cookie);
    if (!line.isCookie) line.text = text;
    lines.push_back(std::move(line));
  }
  return lines;
}

bool CookieStore::WriteJar(const std::string& path, const std::vector<JarLine>& lines) {
  std::error_code error;
  std::filesystem::create_directories(std::filesystem::path(path).parent_path(), error);
  std::string temporary = path + ".tmp." + std::to_string(getpid());
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    bool hasHeader = !lines.empty() && !lines.front().isCookie &&
                     lines.front().text.rfind("# Netscape HTTP Cookie File", 0) == 0;
    if (!hasHeader) out << "# Netscape HTTP Cookie File\n";
    std::int64_t now = Now();
    for (const JarLine& line : lines) {
      if (!line.isCookie) {
        out << line.text << '\n';
      } else if (!Expired(line.cookie, now)) {
        out << JarText(line.cookie) << '\n';
      }
    }
    if (!out.flush()) return false;
  }
  std::filesystem::permissions(
      temporary, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write, error);
  std::filesystem::rename(temporary, path, error);
  return !error;
}

void CookieStore::Store(std::vector<JarLine>* lines, const Cookie& cookie, bool remove) {
  auto same = std::find_if(lines->begin(), lines->end(), [&](const JarLine& line) {
    return line.isCookie && SameSlot(line.cookie, cookie);
  });
  if (remove) {
    if (same != lines->end()) lines->erase(same);
  } else if (same != lines->end()) {
    same->cookie = cookie;
  } else {
    JarLine line;
    line.isCookie = true;
    line.cookie = cookie;
    lines->push_back(line);
  }
}

void CookieStore::SetFromHeader(const CookieUrl& url, const std::string& headerValue) {
  std::vector<std::string> pieces;
  size_t start = 0;
  while (true) {
    size_t semicolon = headerValue.find(';', start);
    pieces.push_back(headerValue.substr(start, semicolon - start));
    if (semicolon == std::string::npos) break;
    start = semicolon + 1;
  }
  size_t equals = pieces[0].find('=');
  if (equals == std::string::npos) return;
  Cookie cookie;
  cookie.name = Trim(pieces[0].substr(0, equals));
  cookie.value = Trim(pieces[0].substr(equals + 1));
  if (cookie.name.empty()) return;
  cookie.domain = url.host;
  cookie.path = DefaultPath(url.path);

  bool hasMaxAge = false;
  std::int64_t now = Now();
  for (size_t i = 1; i < pieces.size(); ++i) {
    size_t eq = pieces[i].find('=');
    std::string name = Lower(Trim(pieces[i].substr(0, eq)));
    std::string value = eq == std::string::npos ? std::string() : Trim(pieces[i].substr(eq + 1));
    if (name == "max-age") {
      char* end = nullptr;
      long long seconds = std::strtoll(value.c_str(), &end, 10);
      if (value.empty() || *end != '\0') continue;
      hasMaxAge = true;
      cookie.expires = seconds <= 0 ? 1 : now + seconds;
    } else if (name == "expires" && !hasMaxAge) {
      time_t when = curl_getdate(value.c_str(), nullptr);
      if (when != -1) cookie.expires = when <= 0 ? 1 : static_cast<std::int64_t>(when);
    } else if (name == "domain" && !value.empty()) {
      std::string domain = Lower(value.front() == '.' ? value.substr(1) : value);
      if (domain == url.host) {
        cookie.includeSubdomains = !IsIpAddress(domain);
      } else if (IsIpAddress(url.host) || domain.find('.') == std::string::npos) {
        return;
      } else {
        Cookie probe;
        probe.domain = domain;
        probe.includeSubdomains = true;
        if (!DomainMatches(probe, url.host)) return;
        cookie.domain = domain;
        cookie.includeSubdomains = true;
      }
    } else if (name == "path") {
      if (!value.empty() && value.front() == '/') cookie.path = value;
    } else if (name == "secure") {
      cookie.secure = true;
    } else if (name == "httponly") {
      cookie.httpOnly = true;
    }
  }

  bool remove = Expired(cookie, now);
  bool persistent = cookie.expires != 0 && !remove;
  std::lock_guard<std::mutex> guard(m_mutex);
  // A slot lives in one place: this process's session list or the jar.
  Store(&m_session, cookie, true);
  if (cookie.expires == 0) Store(&m_session, cookie, false);
  std::string path = JarPath();
  JarLock lock(path);
  std::vector<JarLine> lines = ReadJar(path);
  bool inJar = std::any_of(lines.begin(), lines.end(), [&](const JarLine& line) {
    return line.isCookie && SameSlot(line.cookie, cookie);
  });
  if (!persistent && !inJar) return;
  Store(&lines, cookie, !persistent);
  WriteJar(path, lines);
}

std::vector<Cookie> CookieStore::CookiesFor(const CookieUrl& url) {
  std::vector<Cookie> found;
  std::int64_t now = Now();
  auto consider = [&](const Cookie& cookie) {
    if (Expired(cookie, now) || (cookie.secure && !url.secure)) return;
    if (!DomainMatches(cookie, url.host) || !PathMatches(cookie.path, url.path)) return;
    found.push_back(cookie);
  };
  std::lock_guard<std::mutex> guard(m_mutex);
  for (const JarLine& line : ReadJar(JarPath())) {
    if (line.isCookie) consider(line.cookie);
  }
  for (const JarLine& line : m_session) consider(line.cookie);
  std::stable_sort(found.begin(), found.end(),
                   [](const Cookie& a, const Cookie& b) { return a.path.size() > b.path.size(); });
  return found;
}

}  // namespace qap::inet
