// The shared cookie store: cookies from Set-Cookie replies, matched to URLs
// by domain, path and scheme. Persistent cookies live in a Netscape
// cookies.txt file that every process of the user shares (read afresh for each
// look-up, so a cookie deleted or expired there is gone at once); session
// cookies (no expiry) live in this process only, as a browser keeps them.
#pragma once

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

namespace qap::inet {

struct Cookie {
  std::string domain;  // without a leading dot
  bool includeSubdomains = false;
  std::string path = "/";
  bool secure = false;
  bool httpOnly = false;
  std::int64_t expires = 0;  // seconds since the epoch; 0 for a session cookie
  std::string name;
  std::string value;
};

struct CookieUrl {
  std::string host;
  std::string path;  // without query
  bool secure = false;
};

// Splits an http(s) URL for cookie matching; false for any other URL.
bool CookieUrlOf(const std::string& url, CookieUrl* out);

class CookieStore {
 public:
  static CookieStore& Instance();

  // $QAP_COOKIE_JAR, else $XDG_DATA_HOME/qap/cookies.txt (XDG_DATA_HOME
  // defaulting to ~/.local/share).
  static std::string JarPath();

  // Takes one Set-Cookie header value received from url. A cookie whose
  // Domain does not cover the host is refused; one that has already expired
  // deletes the stored cookie of the same name, domain and path.
  void SetFromHeader(const CookieUrl& url, const std::string& headerValue);
  // The unexpired cookies for url: longer paths first, then in store order.
  std::vector<Cookie> CookiesFor(const CookieUrl& url);

 private:
  // One line of the jar: a cookie, or a line kept as it was (comments, lines
  // of other tools) so that rewriting the file loses nothing.
  struct JarLine {
    bool isCookie = false;
    Cookie cookie;
    std::string text;
  };

  std::vector<JarLine> ReadJar(const std::string& path);
  bool WriteJar(const std::string& path, const std::vector<JarLine>& lines);
  static void Store(std::vector<JarLine>* lines, const Cookie& cookie, bool remove);

  std::mutex m_mutex;
  std::vector<JarLine> m_session;
};

}  // namespace qap::inet
