// Logging in to the locker: the form that is posted, the verdict taken from
// "auth=1" in the reply's header lines, the session cookie read back from the
// shared store, and logout.
#include <gtest/gtest.h>

#include "agent/tests/agent_test_support.h"
#include "platform/inet/tests/raw_http_server.h"

namespace qap::testing {
namespace {

class LoginTest : public AgentTest {};

TEST_F(LoginTest, ACorrectPasswordLogsInAndKeepsTheSessionCookieForTheLoginUrl) {
  StartLocker();
  EXPECT_FALSE(Locker().IsLoggedIn(nullptr));
  ASSERT_TRUE(LogIn());
  EXPECT_TRUE(Locker().IsLoggedIn(nullptr));
  EXPECT_TRUE(Locker().IsLoggedIn(kUser));
  EXPECT_FALSE(Locker().IsLoggedIn("Alice"));  // the name compares exactly
  EXPECT_EQ(Manager().UserName(), kUser);
  EXPECT_EQ(Manager().Password(), kPassword);
  char token[1024];
  DWORD size = sizeof token;
  ASSERT_TRUE(InternetGetCookieA(Manager().Config().GetAuthUserURL(), "lbblue", token, &size));
  EXPECT_EQ(m_locker->UserOfToken(token), kUser);
}

TEST_F(LoginTest, AWrongPasswordIsRefusedAndLogged) {
  StartLocker();
  EXPECT_FALSE(LogIn(kUser, "wrong"));
  EXPECT_FALSE(Locker().IsLoggedIn(nullptr));
  EXPECT_TRUE(Logged("Authenticate: Failed. Wrong user name or password"));
  EXPECT_EQ(Manager().UserName(), "");
}

TEST_F(LoginTest, TheFormIsEncodedSoThatAmpersandsAndEqualsSignsStayInTheirField) {
  RawHttpServer server(RawHttpServer::Answer(HttpReply("200 OK", "")));
  Route(kWebHost, server.Port());
  LogIn("a b&c", "p=1&x%");
  ASSERT_EQ(server.Requests().size(), 1u);
  RawRequest request = server.Requests()[0];
  EXPECT_EQ(request.method, "POST");
  EXPECT_EQ(request.path, "/servlet/Authenticate");
  EXPECT_EQ(request.body, "LB_USERID=a+b%26c&LB_PASSWD=p%3D1%26x%25&results=true?svcode=qap");
  EXPECT_EQ(request.headers.at("content-type"), "application/x-www-form-urlencoded");
  EXPECT_EQ(request.headers.at("user-agent"), "lbagent 1.5");
  EXPECT_EQ(request.headers.count("cookie"), 0u);
  // And the real service takes the encoded password.
  StartLocker();
  EXPECT_TRUE(LogIn());
}

TEST_F(LoginTest, AuthEqualsOneInAnyHeaderLineLogsInWhateverTheStatus) {
  RawHttpServer server(RawHttpServer::Answer(
      HttpReply("500 Internal Server Error", "",
                "X-First: nothing\r\nSet-Cookie: lbblue=xyz; Max-Age=600; comment=auth=1\r\n")));
  Route(kWebHost, server.Port());
  EXPECT_TRUE(LogIn());
  EXPECT_TRUE(Locker().IsLoggedIn(kUser));
}

TEST_F(LoginTest, ALoginReplyWithoutAuthEqualsOneFailsEvenWithStatus200AndACookie) {
  RawHttpServer server(RawHttpServer::Answer(HttpReply(
      "200 OK", "auth=1 in the body does not count", "Set-Cookie: lbblue=xyz; Max-Age=600\r\n")));
  Route(kWebHost, server.Port());
  EXPECT_FALSE(LogIn());
  EXPECT_FALSE(Locker().IsLoggedIn(nullptr));
}

TEST_F(LoginTest, ASecondLoginOfTheSameUserSendsNothingButAnotherUserLogsInAfresh) {
  RawHttpServer server(RawHttpServer::Answer(
      HttpReply("200 OK", "", "X-Login: auth=1\r\nSet-Cookie: lbblue=t; Max-Age=600\r\n")));
  Route(kWebHost, server.Port());
  ASSERT_TRUE(LogIn());
  EXPECT_TRUE(LogIn());
  EXPECT_EQ(server.Requests().size(), 1u);
  EXPECT_TRUE(LogIn("bob", "builder"));
  EXPECT_EQ(server.Requests().size(), 2u);
  EXPECT_EQ(Manager().UserName(), "bob");
  EXPECT_FALSE(Locker().IsLoggedIn(kUser));
}

TEST_F(LoginTest, LogoutEndsTheSessionThoughTheCookieStays) {
  StartLocker();
  ASSERT_TRUE(LogIn());
  Locker().Logout();
  EXPECT_FALSE(Locker().IsLoggedIn(nullptr));
  EXPECT_FALSE(Locker().IsLoggedIn(kUser));
  char token[1024];
  DWORD size = sizeof token;
  EXPECT_TRUE(InternetGetCookieA(Manager().Config().GetAuthUserURL(), "lbblue", token, &size));
  EXPECT_EQ(Manager().UserName(), kUser);
  // Logging in again goes over the wire once more.
  EXPECT_TRUE(LogIn());
  EXPECT_TRUE(Locker().IsLoggedIn(nullptr));
}

TEST_F(LoginTest, ACookieLeftFromAnEarlierRunDoesNotCountUntilALogin) {
  m_agentDir.Write("cookies.txt",
                   std::string(kWebHost) + "\tFALSE\t/\tFALSE\t4102444800\tlbblue\tleftover\n");
  EXPECT_FALSE(Locker().IsLoggedIn(nullptr));
  StartLocker();
  ASSERT_TRUE(LogIn());
  EXPECT_TRUE(Locker().IsLoggedIn(nullptr));
  // A cookie that disappears from the store ends the session too.
  std::remove(m_agentDir.File("cookies.txt").c_str());
  EXPECT_FALSE(Locker().IsLoggedIn(nullptr));
}

TEST_F(LoginTest, AnUnreachableOrMalformedLoginUrlFailsWithTheReasonLogged) {
  EXPECT_FALSE(Locker().Login("not a url", kUser, kPassword, "qap"));
  EXPECT_TRUE(Logged("Failed to parse URL: 'not a url'"));
  RawHttpServer closed(RawHttpServer::Answer(""));
  int port = closed.Port();
  closed.Stop();
  Route(kWebHost, port);
  EXPECT_FALSE(LogIn());
  EXPECT_TRUE(
      Logged("Authenticate: Failed to send request: "
             "'LB_USERID=alice&LB_PASSWD=****&results=true?svcode=qap'"));
}

TEST_F(LoginTest, AReplyWithMoreThan4096BytesOfHeadersCannotBeJudged) {
  RawHttpServer server(RawHttpServer::Answer(
      HttpReply("200 OK", "", "X-Padding: " + std::string(5000, 'p') + "\r\nX-Login: auth=1\r\n")));
  Route(kWebHost, server.Port());
  EXPECT_FALSE(LogIn());
  EXPECT_TRUE(
      Logged("Authenticate: Failed to query headers info. Request: "
             "'http://www.locker.test/servlet/Authenticate'"));
}

}  // namespace
}  // namespace qap::testing
