// The shared cookie store: filled from replies (also on a no-cookies
// connection), read back by name or whole for a URL, sent only where allowed,
// persisted in the Netscape format with expiry honoured.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <string>

#include "platform/inet/internet_handle.h"
#include "platform/inet/tests/raw_http_server.h"
#include "platform/inet/wininet.h"
#include "platform/testing/scratch.h"

namespace {

using qap::testing::HttpReply;
using qap::testing::RawHttpServer;
using qap::testing::ReadFile;
using qap::testing::ScratchDir;

class CookieTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_previousJar = getenv("QAP_COOKIE_JAR");
    setenv("QAP_COOKIE_JAR", m_jar.c_str(), 1);
    setenv("no_proxy", "*", 1);
  }
  void TearDown() override {
    setenv("QAP_COOKIE_JAR", m_previousJar.c_str(), 1);
    unsetenv("QAP_CONNECT_TO");
  }

  // Sends one request to host through server on a connection with flags.
  void Visit(const RawHttpServer& server, const std::string& host, const char* path, DWORD flags) {
    SCOPED_TRACE(host + path);
    setenv("QAP_CONNECT_TO", server.ConnectTo(host).c_str(), 1);
    InternetHandle session(InternetOpenA("t", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
    InternetHandle connection(
        InternetConnectA(session.Get(), host.c_str(), 80, "", "", INTERNET_SERVICE_HTTP, flags, 0));
    InternetHandle request(
        HttpOpenRequestA(connection.Get(), "POST", path, nullptr, nullptr, nullptr, 0, 0));
    ASSERT_TRUE(HttpSendRequestA(request.Get(), nullptr, 0, nullptr, 0));
  }

  ScratchDir m_dir;
  std::string m_jar = m_dir.File("jar/cookies.txt");
  std::string m_previousJar;
};

std::string Cookie(const std::string& url, const char* name) {
  char value[1024];
  DWORD size = sizeof value;
  if (!InternetGetCookieA(url.c_str(), name, value, &size)) {
    return GetLastError() == static_cast<DWORD>(ERROR_NO_MORE_ITEMS) ? "<none>" : "<error>";
  }
  return std::string(value, size);
}

TEST_F(CookieTest, ALoginReplyOnANoCookiesConnectionFillsTheStoreButSendsNothingBack) {
  RawHttpServer server(
      RawHttpServer::Answer(HttpReply("200 OK", "",
                                      "Set-Cookie: lbblue=tok123; Path=/; Max-Age=3600\r\n"
                                      "Set-Cookie: other=1; Path=/servlet\r\n")));
  Visit(server, "login.cookie1.test", "/servlet/Authenticate", INTERNET_FLAG_NO_COOKIES);
  Visit(server, "login.cookie1.test", "/servlet/Authenticate", INTERNET_FLAG_NO_COOKIES);
  EXPECT_EQ(Cookie("http://login.cookie1.test/servlet/Authenticate", "lbblue"), "tok123");
  EXPECT_EQ(Cookie("http://login.cookie1.test/servlet/Authenticate", nullptr),
            "other=1; lbblue=tok123");
  EXPECT_EQ(Cookie("http://login.cookie1.test/c/u", nullptr), "lbblue=tok123");
  EXPECT_EQ(Cookie("http://elsewhere.cookie1.test/", "lbblue"), "<none>");
  EXPECT_EQ(server.Requests()[1].headers.count("cookie"), 0u);

  // A connection without the flag sends what the store holds for the URL.
  Visit(server, "login.cookie1.test", "/servlet/x", 0);
  EXPECT_EQ(server.Requests()[2].headers["cookie"], "other=1; lbblue=tok123");
  // Only the persistent cookie reaches the shared file.
  std::string jar = ReadFile(m_jar);
  EXPECT_NE(jar.find("login.cookie1.test\tFALSE\t/\tFALSE\t"), std::string::npos) << jar;
  EXPECT_NE(jar.find("\tlbblue\ttok123\n"), std::string::npos);
  EXPECT_EQ(jar.find("other"), std::string::npos);
}

TEST_F(CookieTest, TheJarIsReadAfreshSoExpiryAndDeletionElsewhereTakeEffect) {
  m_dir.Write("jar/cookies.txt",
              "# Netscape HTTP Cookie File\n"
              ".cookie2.test\tTRUE\t/\tFALSE\t4102444800\tlbblue\tkept\n"
              "old.cookie2.test\tFALSE\t/\tFALSE\t1000\tlbblue\tstale\n"
              "a line some other tool wrote\n");
  EXPECT_EQ(Cookie("http://www.cookie2.test/servlet/Authenticate", "lbblue"), "kept");
  EXPECT_EQ(Cookie("http://cookie2.test/", "lbblue"), "kept");
  EXPECT_EQ(Cookie("http://old.cookie2.test/", nullptr), "lbblue=kept");

  // A reply deleting the cookie rewrites the file and keeps foreign lines.
  RawHttpServer server(RawHttpServer::Answer(
      HttpReply("200 OK", "", "Set-Cookie: lbblue=; Domain=.cookie2.test; Path=/; Max-Age=0\r\n")));
  Visit(server, "www.cookie2.test", "/logout", INTERNET_FLAG_NO_COOKIES);
  EXPECT_EQ(Cookie("http://www.cookie2.test/", "lbblue"), "<none>");
  EXPECT_NE(ReadFile(m_jar).find("a line some other tool wrote\n"), std::string::npos);

  m_dir.Write("jar/cookies.txt", "cookie2.test\tFALSE\t/\tFALSE\t0\tlbblue\tback\n");
  EXPECT_EQ(Cookie("http://cookie2.test/", "lbblue"), "back");
  std::remove(m_jar.c_str());
  EXPECT_EQ(Cookie("http://cookie2.test/", "lbblue"), "<none>");
}

TEST_F(CookieTest, ADomainThatDoesNotCoverTheHostIsRefusedAndSmallBuffersAskForMore) {
  RawHttpServer server(
      RawHttpServer::Answer(HttpReply("200 OK", "",
                                      "Set-Cookie: evil=1; Domain=other.test; Max-Age=60\r\n"
                                      "Set-Cookie: wide=2; Domain=cookie3.test; Max-Age=60\r\n")));
  Visit(server, "a.cookie3.test", "/", INTERNET_FLAG_NO_COOKIES);
  EXPECT_EQ(Cookie("http://other.test/", "evil"), "<none>");
  EXPECT_EQ(Cookie("http://b.cookie3.test/", "wide"), "2");

  char small[2];
  DWORD size = sizeof small;
  EXPECT_FALSE(InternetGetCookieA("http://b.cookie3.test/", nullptr, small, &size));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
  EXPECT_EQ(size, 7u);  // "wide=2" and its NUL
}

}  // namespace
