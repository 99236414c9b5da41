// Requests over loopback against raw servers: the bytes on the wire, pushed
// bodies in small writes and when they count as sent, status and raw
// headers, connection reuse, uploads that end early, and closing a session
// under a waiting request. (The agent's tests drive the network faults.)
#include <gtest/gtest.h>
#include <stdlib.h>

#include <atomic>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "platform/inet/internet_handle.h"
#include "platform/inet/tests/raw_http_server.h"
#include "platform/inet/wininet.h"
#include "platform/testing/scratch.h"

namespace {

using qap::testing::HttpReply;
using qap::testing::RawConnection;
using qap::testing::RawHttpServer;
using qap::testing::RawRequest;

constexpr const char* kHost = "svc.lokbin.test";

class HttpRequestTest : public ::testing::Test {
 protected:
  void Route(const RawHttpServer& server) {
    setenv("QAP_CONNECT_TO", server.ConnectTo(kHost).c_str(), 1);
    setenv("no_proxy", "*", 1);
    m_session.Reset(InternetOpenA("test agent", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
    ASSERT_TRUE(m_session);
    m_connection.Reset(InternetConnectA(m_session.Get(), kHost, 80, "", "", INTERNET_SERVICE_HTTP,
                                        INTERNET_FLAG_NO_COOKIES, 0));
    ASSERT_TRUE(m_connection);
  }
  void TearDown() override { unsetenv("QAP_CONNECT_TO"); }

  InternetHandle Open(const char* verb, const char* path) {
    return InternetHandle(HttpOpenRequestA(m_connection.Get(), verb, path, nullptr, nullptr,
                                           nullptr, INTERNET_FLAG_KEEP_CONNECTION, 0));
  }

  InternetHandle m_session;
  InternetHandle m_connection;
};

DWORD StatusOf(HINTERNET request) {
  DWORD status = 12345;
  DWORD size = sizeof status;
  EXPECT_TRUE(HttpQueryInfoA(request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status,
                             &size, nullptr));
  return status;
}

TEST_F(HttpRequestTest, APushedBodyArrivesWholeWithOnlyTheHeadersTheCallerAdded) {
  RawHttpServer server(RawHttpServer::Answer(HttpReply("200 OK", "")));
  Route(server);
  std::string body;
  for (int i = 0; i < 300 * 1024; ++i) body += static_cast<char>('a' + i % 26);

  InternetHandle request = Open("POST", "/c/u");
  EXPECT_EQ(StatusOf(request.Get()), 0u);  // nothing sent yet
  std::string headers = "Host: " + std::string(kHost) + "\r\nUser-Agent: ua 1\r\n";
  ASSERT_TRUE(
      HttpAddRequestHeadersA(request.Get(), headers.c_str(), DWORD(-1), HTTP_ADDREQ_FLAG_ADD));
  std::string length =
      "Content-Type: x/y\r\nContent-Length: " + std::to_string(body.size()) + "\r\n\r\n";
  ASSERT_TRUE(
      HttpAddRequestHeadersA(request.Get(), length.c_str(), DWORD(-1), HTTP_ADDREQ_FLAG_ADD));
  INTERNET_BUFFERSA buffers{};
  buffers.dwStructSize = sizeof buffers;
  buffers.dwBufferTotal = static_cast<DWORD>(body.size());
  ASSERT_TRUE(HttpSendRequestExA(request.Get(), &buffers, nullptr, 0, 0));
  for (size_t at = 0; at < body.size(); at += 1024) {
    DWORD written = 0;
    ASSERT_TRUE(InternetWriteFile(request.Get(), body.data() + at, 1024, &written));
    ASSERT_EQ(written, 1024u);
  }
  ASSERT_TRUE(HttpEndRequestA(request.Get(), nullptr, 0, 0));
  EXPECT_EQ(StatusOf(request.Get()), 200u);

  std::vector<RawRequest> seen = server.Requests();
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].head,
            "POST /c/u HTTP/1.1\r\nHost: svc.lokbin.test\r\nUser-Agent: ua 1\r\n"
            "Content-Type: x/y\r\nContent-Length: 307200\r\n\r\n");
  EXPECT_TRUE(seen[0].body == body);
}

TEST_F(HttpRequestTest, RequestsToOneServerShareOneConnectionAndAGetMayCarryABody) {
  RawHttpServer server(RawHttpServer::Answer(HttpReply("200 OK", "upload.lokbin.test")));
  Route(server);
  for (int round = 0; round < 3; ++round) {
    InternetHandle request = Open("GET", "/get_ulhost/lb/");
    char body[] = "get_bc";
    ASSERT_TRUE(HttpSendRequestA(request.Get(), nullptr, 0, body, 6));
    char reply[1024];
    DWORD read = 0;
    ASSERT_TRUE(InternetReadFile(request.Get(), reply, sizeof reply, &read));
    EXPECT_EQ(std::string(reply, read), "upload.lokbin.test");
    ASSERT_TRUE(InternetReadFile(request.Get(), reply, sizeof reply, &read));
    EXPECT_EQ(read, 0u);
  }
  std::vector<RawRequest> seen = server.Requests();
  ASSERT_EQ(seen.size(), 3u);
  EXPECT_EQ(seen[0].method, "GET");
  EXPECT_EQ(seen[0].body, "get_bc");
  EXPECT_EQ(server.Connections(), 1);
}

TEST_F(HttpRequestTest, RawHeadersAreZeroSeparatedLinesAndAnOversizedSetAsksForMoreRoom) {
  std::string big(5000, 'x');
  RawHttpServer server(
      RawHttpServer::Answer(HttpReply("500 Oops", "", "X-One: auth=1\r\nX-Big: " + big + "\r\n")));
  Route(server);
  InternetHandle request = Open("POST", "/servlet/Authenticate");
  ASSERT_TRUE(HttpSendRequestA(request.Get(), nullptr, 0, nullptr, 0));
  EXPECT_EQ(StatusOf(request.Get()), 500u);

  char small[4096];
  DWORD size = sizeof small;
  EXPECT_FALSE(HttpQueryInfoA(request.Get(), HTTP_QUERY_RAW_HEADERS, small, &size, nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
  std::vector<char> room(size);
  ASSERT_TRUE(HttpQueryInfoA(request.Get(), HTTP_QUERY_RAW_HEADERS, room.data(), &size, nullptr));
  std::string expected = std::string("HTTP/1.1 500 Oops") + '\0' + "X-One: auth=1" + '\0' +
                         "X-Big: " + big + '\0' + "Content-Length: 0" + '\0' + '\0';
  EXPECT_EQ(std::string(room.data(), room.size()), expected);
}

TEST_F(HttpRequestTest, AHeaderBlockWithOneBadLineIsRefusedWhole) {
  RawHttpServer server(RawHttpServer::Answer(HttpReply("200 OK", "")));
  Route(server);
  InternetHandle request = Open("POST", "/x");
  EXPECT_FALSE(HttpAddRequestHeadersA(request.Get(), "A: 1\r\nno colon here\r\n", DWORD(-1),
                                      HTTP_ADDREQ_FLAG_ADD));
  EXPECT_EQ(GetLastError(), ERROR_HTTP_INVALID_HEADER);
  ASSERT_TRUE(HttpSendRequestA(request.Get(), nullptr, 0, nullptr, 0));
  ASSERT_EQ(server.Requests().size(), 1u);
  EXPECT_EQ(server.Requests()[0].headers.count("a"), 0u);
}

// Pushes size bytes in 1024-byte writes; the index of the first failed call
// (a write, or size / 1024 for the end call), or -1 when everything passed.
long PushUpload(HINTERNET request, size_t size) {
  INTERNET_BUFFERSA buffers{};
  buffers.dwStructSize = sizeof buffers;
  buffers.dwBufferTotal = static_cast<DWORD>(size);
  if (!HttpSendRequestExA(request, &buffers, nullptr, 0, 0)) return 0;
  std::string chunk(1024, 'z');
  for (size_t at = 0; at < size; at += 1024) {
    if (!InternetWriteFile(request, chunk.data(), 1024, nullptr))
      return static_cast<long>(at / 1024);
  }
  return HttpEndRequestA(request, nullptr, 0, 0) ? -1 : static_cast<long>(size / 1024);
}

TEST_F(HttpRequestTest, EndingAnUploadShortOfItsAnnouncedSizeFailsInsteadOfWaiting) {
  RawHttpServer server(RawHttpServer::Answer(HttpReply("200 OK", "")));
  Route(server);
  InternetHandle request = Open("POST", "/c/u");
  INTERNET_BUFFERSA buffers{};
  buffers.dwStructSize = sizeof buffers;
  buffers.dwBufferTotal = 100;
  ASSERT_TRUE(HttpSendRequestExA(request.Get(), &buffers, nullptr, 0, 0));
  ASSERT_TRUE(InternetWriteFile(request.Get(), "abc", 3, nullptr));
  EXPECT_FALSE(InternetWriteFile(request.Get(), std::string(98, 'x').data(), 98, nullptr));
  EXPECT_FALSE(HttpEndRequestA(request.Get(), nullptr, 0, 0));
  EXPECT_EQ(GetLastError(), ERROR_INTERNET_CONNECTION_ABORTED);
}

TEST_F(HttpRequestTest, AnEarlyErrorReplyEndsTheUploadButItsStatusStaysReadable) {
  RawHttpServer server([](RawConnection& connection, RawHttpServer&) {
    RawRequest request;
    if (!connection.ReadHead(&request)) return;
    connection.ReadBody(4096);
    connection.Send(
        "HTTP/1.1 500 Internal Server Error\r\nConnection: close\r\nContent-Length: 0\r\n\r\n");
    // Go on reading, so that the client sees the reply rather than a reset.
    while (!connection.ReadBody(1 << 20).empty()) {
    }
  });
  Route(server);
  InternetHandle request = Open("POST", "/c/u");
  EXPECT_GE(PushUpload(request.Get(), 16 * 1024 * 1024), 0);
  EXPECT_EQ(StatusOf(request.Get()), 500u);
}

TEST_F(HttpRequestTest, HandlesOfTheWrongKindOrAlreadyClosedAreRefused) {
  RawHttpServer server(RawHttpServer::Answer(HttpReply("200 OK", "")));
  Route(server);
  EXPECT_EQ(HttpOpenRequestA(m_session.Get(), "GET", "/", nullptr, nullptr, nullptr, 0, 0),
            nullptr);
  EXPECT_EQ(GetLastError(), ERROR_INTERNET_INCORRECT_HANDLE_TYPE);
  HINTERNET request =
      HttpOpenRequestA(m_connection.Get(), "GET", "/", nullptr, nullptr, nullptr, 0, 0);
  ASSERT_TRUE(InternetCloseHandle(request));
  EXPECT_FALSE(InternetCloseHandle(request));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

}  // namespace

// Adds each report of sent body bytes to the counter the request's context
// names.
void CountSent(HINTERNET, DWORD_PTR context, DWORD status, LPVOID information, DWORD length) {
  if (status != INTERNET_STATUS_REQUEST_SENT || length != sizeof(DWORD)) return;
  DWORD sent = 0;
  std::memcpy(&sent, information, sizeof sent);
  reinterpret_cast<std::atomic<std::uint64_t>*>(context)->fetch_add(sent);
}

TEST_F(HttpRequestTest, BytesCountAsSentWhenTheyLeaveAndClosingTheSessionEndsAWaitForTheReply) {
  RawHttpServer server(RawHttpServer::TakeAndHold());
  Route(server);
  ASSERT_NE(InternetSetStatusCallbackA(m_connection.Get(), &CountSent),
            INTERNET_INVALID_STATUS_CALLBACK);
  std::atomic<std::uint64_t> sent{0};
  InternetHandle request(HttpOpenRequestA(m_connection.Get(), "POST", "/c/u", nullptr, nullptr,
                                          nullptr, 0, reinterpret_cast<DWORD_PTR>(&sent)));
  ASSERT_TRUE(request);
  constexpr DWORD kTotal = 200 * 1024;
  INTERNET_BUFFERSA buffers{};
  buffers.dwStructSize = sizeof buffers;
  buffers.dwBufferTotal = kTotal;
  ASSERT_TRUE(HttpSendRequestExA(request.Get(), &buffers, nullptr, 0, 0));
  std::string chunk(1024, 'u');
  ASSERT_TRUE(InternetWriteFile(request.Get(), chunk.data(), 1024, nullptr));
  // Gathered, not gone.
  EXPECT_EQ(sent.load(), 0u);
  for (DWORD at = 1024; at < kTotal; at += 1024) {
    ASSERT_TRUE(InternetWriteFile(request.Get(), chunk.data(), 1024, nullptr));
  }
  EXPECT_GT(sent.load(), 0u);
  EXPECT_LT(sent.load(), kTotal);

  BOOL ended = TRUE;
  DWORD endError = 0;
  std::thread ender([&] {
    ended = HttpEndRequestA(request.Get(), nullptr, 0, 0);
    endError = GetLastError();
  });
  ASSERT_TRUE(qap::testing::WaitFor([&server] { return server.Requests().size() == 1; }));
  m_session.Reset();
  ender.join();
  EXPECT_FALSE(ended);
  EXPECT_EQ(endError, ERROR_INTERNET_OPERATION_CANCELLED);
  EXPECT_EQ(sent.load(), kTotal);
  EXPECT_FALSE(InternetWriteFile(request.Get(), "x", 1, nullptr));
}
