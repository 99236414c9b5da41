// The locker service's endpoints as a client sees them: login and its cookie,
// the upload-host lookup, uploads into the user's folder (and the refusals),
// link transfers and the file list.
#include "tools/locker-service/locker_service.h"

#include <gtest/gtest.h>
#include <httplib.h>

#include <filesystem>

#include "platform/testing/scratch.h"

namespace qap::testing {
namespace {

class LockerServiceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    qap::locker::ServiceConfig config;
    config.dataDirectory = m_data.File("store");
    config.users["alice"] = "a&b=c";
    config.webHost = "www.locker.test";
    config.uploadHost = "up.locker.test";
    config.log = [this](const std::string& line) {
      std::lock_guard<std::mutex> guard(m_logMutex);
      m_log.push_back(line);
    };
    m_service = std::make_unique<qap::locker::LockerService>(config);
    ASSERT_TRUE(m_service->Start()) << m_service->Error();
    m_client = std::make_unique<httplib::Client>("127.0.0.1", m_service->Port());
  }

  // Logs alice in and returns her "lbblue" value.
  std::string LogIn() {
    auto reply = m_client->Post("/servlet/Authenticate",
                                "LB_USERID=alice&LB_PASSWD=a%26b%3Dc&results=true?svcode=x",
                                "application/x-www-form-urlencoded");
    EXPECT_TRUE(reply);
    if (!reply) return {};
    std::string cookie = reply->get_header_value("Set-Cookie");
    return cookie.substr(7, cookie.find(';') - 7);
  }

  httplib::Result Upload(const std::string& token, const std::string& filename,
                         const std::string& data) {
    httplib::MultipartFormDataItems items = {
        {"file-to-upload-01", data, filename, "application/octet-stream"},
        {"submit1", "Submit Query", "", ""}};
    httplib::Headers headers;
    if (!token.empty()) headers.emplace("Cookie", "other=1; lbblue=" + token);
    return m_client->Post("/c/u", headers, items);
  }

  ScratchDir m_data;
  std::mutex m_logMutex;
  std::vector<std::string> m_log;
  std::unique_ptr<qap::locker::LockerService> m_service;
  std::unique_ptr<httplib::Client> m_client;
};

TEST_F(LockerServiceTest, ALoginAnswersWithAuthEqualsOneTheSessionCookieAndTheWayToTheLocker) {
  auto reply = m_client->Post("/servlet/Authenticate",
                              "LB_USERID=alice&LB_PASSWD=a%26b%3Dc&results=true?svcode=x",
                              "application/x-www-form-urlencoded");
  ASSERT_TRUE(reply);
  EXPECT_EQ(reply->get_header_value("X-Lokbin-Login"), "auth=1");
  // A browser goes on to the locker with the cookie, fetching it anew.
  EXPECT_EQ(reply->status, 303);
  EXPECT_EQ(reply->get_header_value("Location"), "/locker");
  std::string cookie = reply->get_header_value("Set-Cookie");
  EXPECT_EQ(cookie.rfind("lbblue=", 0), 0u) << cookie;
  EXPECT_NE(cookie.find("; Path=/; Max-Age="), std::string::npos);
  EXPECT_EQ(m_service->UserOfToken(cookie.substr(7, 32)), "alice");

  auto wrong = m_client->Post("/servlet/Authenticate", "LB_USERID=alice&LB_PASSWD=a&b=c",
                              "application/x-www-form-urlencoded");
  ASSERT_TRUE(wrong);
  EXPECT_FALSE(wrong->has_header("Set-Cookie"));
  for (const auto& [name, value] : wrong->headers)
    EXPECT_EQ(value.find("auth=1"), std::string::npos);
}

TEST_F(LockerServiceTest, TheLookupNamesTheUploadHostAlone) {
  auto reply = m_client->Get("/get_ulhost/lb/");
  ASSERT_TRUE(reply);
  EXPECT_EQ(reply->status, 200);
  EXPECT_EQ(reply->body, "up.locker.test");
  // The agent sends this GET with a body the server leaves unread.
  EXPECT_EQ(reply->get_header_value("Connection"), "close");
}

TEST_F(LockerServiceTest, AnUploadIsStoredUnderTheUserAndListedOnHerPage) {
  std::string token = LogIn();
  std::string data(300000, '\0');
  for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<char>(i % 253);
  auto reply = Upload(token, "Song.mp3", data);
  ASSERT_TRUE(reply);
  EXPECT_EQ(reply->status, 200);
  EXPECT_TRUE(ReadFile(m_service->UserDirectory("alice") + "/Song.mp3") == data);

  httplib::Headers headers = {{"Cookie", "lbblue=" + token}};
  auto page = m_client->Get("/locker", headers);
  ASSERT_TRUE(page);
  EXPECT_EQ(page->get_header_value("Content-Type"), "text/html; charset=utf-8");
  EXPECT_NE(page->body.find("<li>Song.mp3 (300000 bytes)</li>"), std::string::npos) << page->body;
  auto stranger = m_client->Get("/locker");
  ASSERT_TRUE(stranger);
  EXPECT_NE(stranger->body.find("action=\"/servlet/Authenticate\""), std::string::npos);
  // Requests are logged once answered, so the line may come a moment later.
  std::string line = "POST /c/u 200 (Host: 127.0.0.1:" + std::to_string(m_service->Port()) + ")";
  EXPECT_TRUE(WaitFor([&] {
    std::lock_guard<std::mutex> guard(m_logMutex);
    return std::find(m_log.begin(), m_log.end(), line) != m_log.end();
  }));
}

TEST_F(LockerServiceTest, UploadsWithoutSessionOrWithABadBodyAreRefusedWithAReason) {
  auto anonymous = Upload("", "a.mp3", "x");
  ASSERT_TRUE(anonymous);
  EXPECT_EQ(anonymous->status, 403);
  EXPECT_EQ(Upload("forged", "a.mp3", "x")->status, 403);

  std::string token = LogIn();
  auto escape = Upload(token, "../../evil.mp3", "x");
  ASSERT_TRUE(escape);
  EXPECT_EQ(escape->status, 200);  // stored under its last component only
  EXPECT_TRUE(std::filesystem::exists(m_service->UserDirectory("alice") + "/evil.mp3"));
  EXPECT_EQ(Upload(token, "..", "x")->status, 400);

  httplib::Headers headers = {{"Cookie", "lbblue=" + token}};
  auto plain = m_client->Post("/c/u", headers, "just text", "text/plain");
  ASSERT_TRUE(plain);
  EXPECT_EQ(plain->status, 400);
  EXPECT_FALSE(plain->body.empty());
}

TEST_F(LockerServiceTest, ALinkTransferIsRecordedWithItsCookie) {
  auto reply = m_client->Post("/servlet/UploadLink",
                              "lb_remote_url=http://a.test/x%3fy%3d1%26z&lb_remote_cookie=s%3d1",
                              "application/x-www-form-urlencoded");
  ASSERT_TRUE(reply);
  EXPECT_EQ(reply->status, 200);
  std::vector<qap::locker::LinkTransfer> transfers = m_service->Transfers();
  ASSERT_EQ(transfers.size(), 1u);
  EXPECT_EQ(transfers[0].link, "http://a.test/x?y=1&z");
  EXPECT_EQ(transfers[0].cookie, "s=1");
  EXPECT_EQ(ReadFile(m_data.File("store/transfers.txt")), "http://a.test/x?y=1&z\ts=1\n");
}

}  // namespace
}  // namespace qap::testing
