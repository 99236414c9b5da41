// Fuzz target: the cookies.txt file that every process of the user shares
// (other tools write it too), read for the look-ups the agent makes, then
// rewritten by a reply that sets a cookie, and read again.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "fuzz/loopback.h"
#include "platform/inet/wininet.h"

namespace {

const char* const kUrls[] = {"http://www.lokbin.com/servlet/Authenticate",
                             "https://www.lokbin.com/", "http://upload.lokbin.com/c/u",
                             "http://lokbin.com", "http://127.0.0.1/x?y"};

void LookUp() {
  for (const char* url : kUrls) {
    for (const char* name : {static_cast<const char*>(nullptr), "lbblue"}) {
      DWORD size = 0;
      if (InternetGetCookieA(url, name, nullptr, &size) ||
          GetLastError() != ERROR_INSUFFICIENT_BUFFER) {
        continue;
      }
      std::vector<char> text(size);
      DWORD given = size;
      if (!InternetGetCookieA(url, name, text.data(), &given) || given + 1 != size)
        qap::fuzz::Fail("cookies do not fit the size asked for");
    }
  }
}

// A login reply: the session cookie and a persistent one, which rewrites
// the jar around what it held.
void SetCookies() {
  static qap::fuzz::LoopbackServer server([](const qap::testing::RawRequest&) {
    return std::string(
        "HTTP/1.1 200 OK\r\nSet-Cookie: lbblue=7; path=/\r\n"
        "Set-Cookie: seen=1; Max-Age=3600; Domain=.lokbin.com\r\nContent-Length: 0\r\n\r\n");
  });
  static HINTERNET session = InternetOpenA("fuzz", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
  HINTERNET request = InternetOpenUrlA(session, kUrls[0], nullptr, 0, 0, 0);
  if (request == nullptr) qap::fuzz::Fail("the loopback login failed");
  InternetCloseHandle(request);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const char* jar = std::getenv("QAP_COOKIE_JAR");
  qap::fuzz::WriteInput("cookies.txt", qap::fuzz::Bytes(data, size));
  if (qap::fuzz::Scratch().File("cookies.txt") != jar) qap::fuzz::Fail("the jar is elsewhere");
  LookUp();
  SetCookies();
  LookUp();
  // Whatever the jar held, a cookie of each name the reply set is there now
  // (the jar's own may come first, with a value of any length).
  for (const char* name : {"lbblue", "seen"}) {
    DWORD valueSize = 0;
    if (InternetGetCookieA(kUrls[0], name, nullptr, &valueSize) ||
        GetLastError() != ERROR_INSUFFICIENT_BUFFER)
      qap::fuzz::Fail(std::string("the cookie ") + name + " that the reply set is missing");
  }
  std::remove(jar);
  return 0;
}
