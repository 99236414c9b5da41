// Faults of the network during uploads: each is logged, the request ends with
// the right flags, the worker goes on to the next request, and nothing hangs
// past the time-outs.
#include <gtest/gtest.h>

#include <chrono>

#include "agent/tests/agent_test_support.h"
#include "platform/inet/tests/raw_http_server.h"

namespace qap::testing {
namespace {

class NetworkFaultTest : public AgentTest {
 protected:
  // Logs in at the locker, sends the upload host to server, uploads one file
  // of size bytes and waits for it.
  CConnectionRequest& UploadTo(const RawHttpServer& server, size_t size) {
    StartLocker();
    EXPECT_TRUE(LogIn());
    Route(kUploadHost, server.Port());
    Manager().AddFile(MusicFile("fault.mp3", size).c_str());
    WaitIdle();
    return *Manager().RequestAt(0);
  }
  // The worker still serves the next upload once the upload host is sane.
  void NextUploadWorks() {
    SCOPED_TRACE("next upload");
    Route(kUploadHost, m_locker->Port());
    size_t index = Manager().RequestCount();
    Manager().AddFile(MusicFile("next.mp3", 3000).c_str());
    WaitIdle();
    EXPECT_TRUE(Manager().RequestAt(index)->Done());
    EXPECT_FALSE(Manager().RequestAt(index)->Failed());
  }
};

void ExpectDoneAndFailed(const CConnectionRequest& request) {
  EXPECT_TRUE(request.Done());
  EXPECT_TRUE(request.Failed());
  EXPECT_FALSE(request.InProcess());
}

TEST_F(NetworkFaultTest, ARefusedConnectionFailsTheUploadAtItsFirstFlush) {
  int port;
  {
    RawHttpServer gone(RawHttpServer::Answer(""));
    port = gone.Port();
  }
  StartLocker();
  ASSERT_TRUE(LogIn());
  Route(kUploadHost, port);
  Manager().AddFile(MusicFile("fault.mp3", 200 * 1024).c_str());
  WaitIdle();
  ExpectDoneAndFailed(*Manager().RequestAt(0));
  EXPECT_TRUE(
      Logged("CLokbinHTTPConnection::OnLoopUploadData: Failed to upload file. Last error='12029'"));
  EXPECT_TRUE(Logged("CLokbinHTTPConnection::OnShutdownUpload: Failed to write file"));
  EXPECT_TRUE(Logged("CLokbinHTTPConnection::OnShutdownUpload: Failed to close request"));
  EXPECT_TRUE(Logged("Returned error code : '0'"));
  EXPECT_TRUE(Logged("Failed to query for raw headers"));
  EXPECT_FALSE(Manager().IsDone("http://upload.locker.test/c/u"));
  NextUploadWorks();
}

TEST_F(NetworkFaultTest, AResetInTheMiddleOfTheUploadFailsIt) {
  RawHttpServer server([](RawConnection& connection, RawHttpServer&) {
    RawRequest request;
    if (connection.ReadHead(&request)) connection.ReadBody(300 * 1024);
    connection.Reset();
  });
  ExpectDoneAndFailed(UploadTo(server, 8 * 1024 * 1024));
  std::string log = LogText();
  EXPECT_NE(log.find("OnLoopUploadData: Failed to upload file. Last error='1203"),
            std::string::npos);
  EXPECT_TRUE(Logged("Returned error code : '0'"));
  NextUploadWorks();
}

TEST_F(NetworkFaultTest, A500ReplyIsLoggedWithItsHeadersAndFailsTheUpload) {
  RawHttpServer server(RawHttpServer::Answer(
      HttpReply("500 Internal Server Error", "disk full\n", "X-Reason: disk full\r\n")));
  ExpectDoneAndFailed(UploadTo(server, 5000));
  EXPECT_EQ(server.Requests().size(), 1u);
  EXPECT_TRUE(Logged("Returned error code : '500'"));
  EXPECT_TRUE(Logged("HTTP/1.1 500 Internal Server Error"));
  EXPECT_TRUE(Logged("X-Reason: disk full"));
  EXPECT_TRUE(Logged(">> Raw Headers ended"));
  EXPECT_FALSE(Manager().IsDone("http://upload.locker.test/c/u"));
  NextUploadWorks();
}

TEST_F(NetworkFaultTest, AReplyWithMoreThan4096BytesOfHeadersStillCountsByItsStatus) {
  RawHttpServer server(RawHttpServer::Answer(
      HttpReply("200 OK", "", "X-Padding: " + std::string(5000, 'p') + "\r\n")));
  CConnectionRequest& request = UploadTo(server, 5000);
  EXPECT_TRUE(request.Done());
  EXPECT_FALSE(request.Failed());
  EXPECT_TRUE(Logged("Returned error code : '200'"));
  EXPECT_TRUE(Logged("Failed to query for raw headers"));
  EXPECT_FALSE(Logged(">> Raw Headers:"));
}

TEST_F(NetworkFaultTest, AServerThatStopsReadingFailsTheUploadAfterTheSendTimeOut) {
  RawHttpServer server([](RawConnection& connection, RawHttpServer&) {
    RawRequest request;
    if (connection.ReadHead(&request)) connection.Hold();
  });
  auto start = std::chrono::steady_clock::now();
  ExpectDoneAndFailed(UploadTo(server, 48 * 1024 * 1024));
  // The agent's send time-out is one second.
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(15));
  EXPECT_TRUE(
      Logged("CLokbinHTTPConnection::OnLoopUploadData: Failed to upload file. Last error='12002'"));
  server.Stop();
  NextUploadWorks();
}

TEST_F(NetworkFaultTest, AnUnreachableLookupLeavesNoUploadUrl) {
  int port;
  {
    RawHttpServer gone(RawHttpServer::Answer(""));
    port = gone.Port();
  }
  StartLocker();
  ASSERT_TRUE(LogIn());
  Route(kWebHost, port);
  Manager().AddFile(MusicFile("a.mp3", 10).c_str());
  WaitIdle();
  EXPECT_TRUE(Logged("Failed to send request. Host='www.locker.test' File='/get_ulhost/lb/'"));
  EXPECT_TRUE(Logged("Uploading to URL ''"));
  EXPECT_TRUE(Manager().RequestAt(0)->Failed());
}

}  // namespace
}  // namespace qap::testing
