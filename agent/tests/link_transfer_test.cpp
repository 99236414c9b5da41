// Link transfers: the escaping of the form values, the request that reaches
// the transfer endpoint with the link's own cookies, and the cases that stop
// before sending.
#include <gtest/gtest.h>

#include <fstream>

#include "agent/link_request.h"
#include "agent/tests/agent_test_support.h"
#include "platform/inet/tests/raw_http_server.h"

namespace qap::testing {
namespace {

constexpr const char* kTransferHost = "xfer.locker.test";
constexpr const char* kTransferUrl = "http://xfer.locker.test/servlet/UploadLink";

class LinkTransferTest : public AgentTest {
 protected:
  void UseTransferUrl(const std::string& url) {
    m_agentDir.Write("lbagent.ini", "XferURL=" + url + "\n");
  }
  // Queues the link as the automation object does when AddFile finds one.
  void DropLink(const std::string& link) {
    ASSERT_EQ(Manager().AddFile(link.c_str()), AddedPath::kLink);
    Manager().AddRequest(std::make_unique<CLinkRequest>(link.c_str()));
    WaitIdle();
  }
  // A cookie the user's browser holds for a site, as the shared store keeps
  // it.
  void HoldCookie(const std::string& domain, const std::string& name, const std::string& value) {
    std::ofstream(m_agentDir.File("cookies.txt"), std::ios::app)
        << domain << "\tFALSE\t/\tFALSE\t4102444800\t" << name << "\t" << value << "\n";
  }
};

TEST(EscapeFormValue, WritesOnlyItsSixCharactersAsLowerCaseHex) {
  EXPECT_EQ(EscapeFormValue("?=<>& "), "%3f%3d%3c%3e%26%20");
  EXPECT_EQ(EscapeFormValue("http://x/a+b%20c.mp3#top"), "http://x/a+b%20c.mp3#top");
  EXPECT_EQ(EscapeFormValue("\xC3\xA9\t\""), "\xC3\xA9\t\"");
  EXPECT_EQ(EscapeFormValue(""), "");
}

TEST_F(LinkTransferTest, TheLinkAndItsSitesCookiesArePostedToTheTransferUrl) {
  UseTransferUrl(kTransferUrl);
  StartLocker();
  ASSERT_TRUE(LogIn());
  RawHttpServer transfer(
      RawHttpServer::Answer(HttpReply("200 OK", "Transfer recorded\n", "X-Note: ok\r\n")));
  Route(kTransferHost, transfer.Port());
  HoldCookie("files.example.test", "session", "ab=c d&e");
  HoldCookie("elsewhere.test", "other", "no");

  // An https link goes over plain HTTP to the transfer URL like any other.
  DropLink("https://files.example.test/a b.mp3?x=1&y=2%20z");

  std::vector<RawRequest> seen = transfer.Requests();
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].method, "POST");
  EXPECT_EQ(seen[0].path, "/servlet/UploadLink");
  EXPECT_EQ(seen[0].headers.at("host"), kTransferHost);
  EXPECT_EQ(seen[0].headers.at("content-type"), "application/x-www-form-urlencoded");
  EXPECT_EQ(seen[0].headers.at("user-agent"), "lbagent 1.5");
  EXPECT_EQ(seen[0].body,
            "lb_remote_url=https://files.example.test/a%20b.mp3%3fx%3d1%26y%3d2%20z"
            "&lb_remote_cookie=session%3dab%3dc%20d%26e");
  CConnectionRequest& request = *Manager().RequestAt(0);
  EXPECT_EQ(request.GetURL(), kTransferUrl);
  // The outcome is only logged: the request stays as it was queued.
  EXPECT_FALSE(request.Done());
  EXPECT_FALSE(request.Failed());
  EXPECT_FALSE(request.InProcess());
  EXPECT_TRUE(Logged(std::string("Xfering to URL '") + kTransferUrl + "'"));
  EXPECT_TRUE(Logged("Link SendRequest Code returned: '200'"));
  EXPECT_TRUE(Logged("Raw Headers:"));
  EXPECT_TRUE(Logged("X-Note: ok"));
  EXPECT_TRUE(Logged("Raw Headers ended"));
}

TEST_F(LinkTransferTest, NothingIsSentWhileLoggedOutOrWithoutATransferUrl) {
  UseTransferUrl(kTransferUrl);
  RawHttpServer transfer(RawHttpServer::Answer(HttpReply("200 OK", "")));
  Route(kTransferHost, transfer.Port());
  DropLink("http://files.example.test/a.mp3");
  EXPECT_TRUE(
      Logged(std::string("Attempt to upload link '") + kTransferUrl + "'. User was not logged in"));
  EXPECT_EQ(transfer.Connections(), 0);
}

TEST_F(LinkTransferTest, AnEmptyTransferUrlStopsAtItsParsing) {
  StartLocker();
  ASSERT_TRUE(LogIn());
  DropLink("http://files.example.test/a.mp3");
  EXPECT_TRUE(Logged("Xfering to URL ''"));
  EXPECT_TRUE(Logged("Failed to parse URL: ''"));
  EXPECT_FALSE(Logged("Link SendRequest Code returned: '200'"));
}

}  // namespace
}  // namespace qap::testing
