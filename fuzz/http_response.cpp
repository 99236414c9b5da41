// Fuzz target: the bytes a server answers with, status line, headers
// (Set-Cookie among them) and body, read as the agent reads its replies:
// the status as a number and as text, the raw headers into a buffer of the
// size asked for, the body to its end.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "fuzz/loopback.h"
#include "platform/inet/wininet.h"

namespace {

qap::fuzz::ReplyBytes reply;

HINTERNET Session() {
  static HINTERNET session = [] {
    static qap::fuzz::LoopbackServer server(
        [](const qap::testing::RawRequest&) { return reply.Get(); });
    HINTERNET opened = InternetOpenA("fuzz", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
    // A reply that stops short is given up on soon.
    DWORD timeout = 2000;
    InternetSetOptionA(opened, INTERNET_OPTION_RECEIVE_TIMEOUT, &timeout, sizeof timeout);
    return opened;
  }();
  return session;
}

void ReadReply(HINTERNET request) {
  DWORD status = 0;
  DWORD size = sizeof status;
  HttpQueryInfoA(request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size, nullptr);
  char text[16];
  size = sizeof text;
  HttpQueryInfoA(request, HTTP_QUERY_STATUS_CODE, text, &size, nullptr);

  size = 0;
  if (!HttpQueryInfoA(request, HTTP_QUERY_RAW_HEADERS, nullptr, &size, nullptr) &&
      GetLastError() == ERROR_INSUFFICIENT_BUFFER) {
    std::vector<char> headers(size);
    DWORD given = size;
    if (!HttpQueryInfoA(request, HTTP_QUERY_RAW_HEADERS, headers.data(), &given, nullptr))
      qap::fuzz::Fail("the raw headers do not fit the size asked for");
    // Lines, each ended by a zero, then one more zero.
    if (given + 1 != size || headers[size - 1] != '\0' || (size > 1 && headers[size - 2] != '\0'))
      qap::fuzz::Fail("the raw headers are not zero-ended lines");
    // Walked as the agent walks them, so that a line running past the end is seen.
    std::size_t lines = 0;
    for (const char* line = headers.data(); *line != '\0'; line += std::strlen(line) + 1) ++lines;
    if (lines == 0) qap::fuzz::Fail("raw headers without a status line");
  }

  char body[1024];
  DWORD read = 0;
  while (InternetReadFile(request, body, sizeof body, &read) && read != 0) continue;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  HINTERNET session = Session();
  reply.Set(std::string(qap::fuzz::Bytes(data, size)));
  HINTERNET connection = InternetConnectA(session, "www.fuzz.test", INTERNET_DEFAULT_HTTP_PORT, "",
                                          "", INTERNET_SERVICE_HTTP, 0, 0);
  HINTERNET request = HttpOpenRequestA(connection, "POST", "/servlet/Authenticate", nullptr,
                                       nullptr, nullptr, INTERNET_FLAG_NO_AUTO_REDIRECT, 0);
  const char kBody[] = "LB_USERID=a&LB_PASSWD=b";
  if (HttpSendRequestA(request, "Content-Type: application/x-www-form-urlencoded\r\n",
                       static_cast<DWORD>(-1), const_cast<char*>(kBody), sizeof kBody - 1)) {
    ReadReply(request);
  }
  char cookies[2048];
  DWORD cookieSize = sizeof cookies;
  InternetGetCookieA("http://www.fuzz.test/servlet/Authenticate", nullptr, cookies, &cookieSize);
  InternetCloseHandle(request);
  InternetCloseHandle(connection);
  // Persistent cookies of one input are no part of the next.
  std::remove(std::getenv("QAP_COOKIE_JAR"));
  return 0;
}
