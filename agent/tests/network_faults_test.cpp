// Faults of the network and of the locker during uploads: each upload ends
// failed with the reason logged and told to the clients, nothing counts as
// sent that the locker did not take, no progress is reported for bytes that
// never left, the worker goes on to the next file, and nothing hangs past
// the time-outs.
#include <gtest/gtest.h>

#include <chrono>

#include "agent/tests/agent_test_support.h"
#include "platform/inet/tests/raw_http_server.h"
#include "platform/inet/wininet.h"

namespace qap::testing {
namespace {

constexpr const char* kUploadUrl = "http://upload.locker.test/c/u";

class NetworkFaultTest : public AgentTest {
 protected:
  // Logs in at the locker, sends the upload host to port, uploads one file
  // of size bytes and waits for it.
  CConnectionRequest& UploadTo(int port, size_t size) {
    StartLocker();
    EXPECT_TRUE(LogIn());
    Route(kUploadHost, port);
    m_file = MusicFile("fault.mp3", size);
    Manager().AddFile(m_file.c_str());
    WaitIdle();
    return *Manager().RequestAt(0);
  }
  // The upload failed for reason: in its flags, in the log at level 2, to
  // the clients, and not to IsDone.
  void ExpectFailed(const CConnectionRequest& request, const std::string& reason) {
    SCOPED_TRACE("failed upload");
    EXPECT_TRUE(request.Done());
    EXPECT_TRUE(request.Failed());
    EXPECT_FALSE(request.InProcess());
    EXPECT_EQ(request.FailureReason().str(), reason);
    EXPECT_NE(LogText().find("Error at "), std::string::npos);
    EXPECT_TRUE(Logged("Upload of '" + m_file + "' failed: " + reason));
    EXPECT_EQ(m_events.Finished().at(0), reason);
    EXPECT_FALSE(Manager().IsDone(kUploadUrl));
  }
  // The worker still serves the next upload once the upload host is sane.
  void NextUploadWorks() {
    SCOPED_TRACE("next upload");
    Route(kUploadHost, m_locker->Port());
    DWORD index = static_cast<DWORD>(Manager().RequestCount());
    Manager().AddFile(MusicFile("next.mp3", 3000).c_str());
    WaitIdle();
    EXPECT_TRUE(Manager().RequestAt(index)->Done());
    EXPECT_FALSE(Manager().RequestAt(index)->Failed());
    EXPECT_EQ(m_events.Finished().at(index), "sent");
    EXPECT_TRUE(Manager().IsDone(kUploadUrl));
  }

  std::string m_file;
};

int VacantPort() {
  RawHttpServer gone(RawHttpServer::Answer(""));
  return gone.Port();
}

TEST_F(NetworkFaultTest, ARefusedConnectionFailsTheUploadAtItsFirstFlush) {
  ExpectFailed(UploadTo(VacantPort(), 200 * 1024),
               "no connection to the upload host could be made (error 12029)");
  EXPECT_TRUE(
      Logged("CLokbinHTTPConnection::OnLoopUploadData: Failed to upload file. Last error='12029'"));
  EXPECT_TRUE(Logged("CLokbinHTTPConnection::OnShutdownUpload: Failed to write file"));
  EXPECT_TRUE(Logged("CLokbinHTTPConnection::OnShutdownUpload: Failed to close request"));
  EXPECT_TRUE(Logged("Returned error code : '0'"));
  EXPECT_TRUE(Logged("Failed to query for raw headers"));
  // Nothing left for the network, so nothing counts as progress.
  EXPECT_EQ(m_events.Values(), std::vector<short>{0});
  NextUploadWorks();
}

TEST_F(NetworkFaultTest, ARefusedConnectionFailsABodySmallEnoughToBeGatheredWhole) {
  ExpectFailed(UploadTo(VacantPort(), 5000),
               "no connection to the upload host could be made (error 12029)");
  EXPECT_EQ(m_events.Values(), std::vector<short>{0});
  NextUploadWorks();
}

TEST_F(NetworkFaultTest, AResetInTheMiddleOfTheUploadFailsIt) {
  RawHttpServer server([](RawConnection& connection, RawHttpServer&) {
    RawRequest request;
    if (connection.ReadHead(&request)) connection.ReadBody(300 * 1024);
    connection.Reset();
  });
  CConnectionRequest& request = UploadTo(server.Port(), 32 * 1024 * 1024);
  // Depending on where the reset meets the body, it reads as a reset or as
  // a connection closed early.
  std::string reason = request.FailureReason().str();
  EXPECT_TRUE(
      reason == "the upload host reset the connection (error 12031)" ||
      reason == "the upload host closed the connection before the upload ended (error 12030)")
      << reason;
  ExpectFailed(request, reason);
  EXPECT_NE(LogText().find("OnLoopUploadData: Failed to upload file. Last error='1203"),
            std::string::npos);
  EXPECT_TRUE(Logged("Returned error code : '0'"));
  // What the socket buffers took before the reset counts as gone; the
  // file is larger than they are.
  std::vector<short> progress = m_events.Values();
  EXPECT_LT(progress.back(), 100);
  NextUploadWorks();
}

TEST_F(NetworkFaultTest, A500ReplyIsLoggedWithItsHeadersAndFailsTheUpload) {
  RawHttpServer server(RawHttpServer::Answer(
      HttpReply("500 Internal Server Error", "disk full\n", "X-Reason: disk full\r\n")));
  ExpectFailed(UploadTo(server.Port(), 5000), "the locker answered 500 Internal Server Error");
  EXPECT_EQ(server.Requests().size(), 1u);
  EXPECT_TRUE(Logged("Returned error code : '500'"));
  EXPECT_TRUE(Logged("HTTP/1.1 500 Internal Server Error"));
  EXPECT_TRUE(Logged("X-Reason: disk full"));
  EXPECT_TRUE(Logged(">> Raw Headers ended"));
  NextUploadWorks();
}

TEST_F(NetworkFaultTest, ALockerThatForgotTheSessionRefusesTheUploadWith403) {
  StartLocker();
  ASSERT_TRUE(LogIn());
  // A locker started afresh knows nobody's session.
  locker::ServiceConfig config;
  config.dataDirectory = m_dataDir.File("restarted");
  config.users[kUser] = kPassword;
  config.webHost = kWebHost;
  config.uploadHost = kUploadHost;
  locker::LockerService restarted(config);
  ASSERT_TRUE(restarted.Start()) << restarted.Error();
  Route(kUploadHost, restarted.Port());
  m_file = MusicFile("forgotten.mp3", 3000);
  Manager().AddFile(m_file.c_str());
  WaitIdle();
  ExpectFailed(*Manager().RequestAt(0), "the locker answered 403 Forbidden");
  NextUploadWorks();
}

TEST_F(NetworkFaultTest, AReplyWithMoreThan4096BytesOfHeadersStillCountsByItsStatus) {
  RawHttpServer server(RawHttpServer::Answer(
      HttpReply("201 Created", "", "X-Padding: " + std::string(5000, 'p') + "\r\n")));
  CConnectionRequest& request = UploadTo(server.Port(), 5000);
  EXPECT_TRUE(request.Done());
  EXPECT_FALSE(request.Failed());
  EXPECT_TRUE(Logged("Returned error code : '201'"));
  EXPECT_TRUE(Logged("Failed to query for raw headers"));
  EXPECT_FALSE(Logged(">> Raw Headers:"));
  EXPECT_EQ(m_events.Finished().at(0), "sent");
}

TEST_F(NetworkFaultTest, AServerThatStopsReadingFailsTheUploadAfterTheSendTimeOut) {
  RawHttpServer server([](RawConnection& connection, RawHttpServer&) {
    RawRequest request;
    if (connection.ReadHead(&request)) connection.Hold();
  });
  ExpectFailed(UploadTo(server.Port(), 48 * 1024 * 1024),
               "the upload host stopped taking the file (send time-out) (error 12002)");
  EXPECT_TRUE(
      Logged("CLokbinHTTPConnection::OnLoopUploadData: Failed to upload file. Last error='12002'"));
  server.Stop();
  NextUploadWorks();
}

TEST_F(NetworkFaultTest, AServerThatReadsTheBodyAndNeverAnswersFailsAfterTheReceiveTimeOut) {
  // Sessions opened from now on wait a second and a half for a reply, not
  // the thirty seconds of the default.
  DWORD shortWait = 1500, usual = 30000;
  ASSERT_TRUE(InternetSetOptionA(nullptr, INTERNET_OPTION_RECEIVE_TIMEOUT, &shortWait,
                                 sizeof shortWait));
  RawHttpServer server(RawHttpServer::TakeAndHold());
  CConnectionRequest& request = UploadTo(server.Port(), 3000);
  InternetSetOptionA(nullptr, INTERNET_OPTION_RECEIVE_TIMEOUT, &usual, sizeof usual);
  ExpectFailed(request, "no reply within the receive time-out (error 12002)");
  // The bytes did leave, so their progress was told.
  EXPECT_EQ(m_events.Values(), (std::vector<short>{0, 100}));
  server.Stop();
  NextUploadWorks();
}

TEST_F(NetworkFaultTest, AnUnreachableLookupLeavesNoUploadUrl) {
  int port = VacantPort();
  StartLocker();
  ASSERT_TRUE(LogIn());
  Route(kWebHost, port);
  m_file = MusicFile("a.mp3", 10);
  Manager().AddFile(m_file.c_str());
  WaitIdle();
  EXPECT_TRUE(Logged("Failed to send request. Host='www.locker.test' File='/get_ulhost/lb/'"));
  EXPECT_TRUE(Logged("Uploading to URL ''"));
  EXPECT_TRUE(Manager().RequestAt(0)->Failed());
  EXPECT_EQ(m_events.Finished().at(0), "the locker named no upload host");
  EXPECT_TRUE(Logged("Upload of '" + m_file + "' failed: the locker named no upload host"));
}

// The lookup's reply is the upload host as it stands; one that is no bare
// host (a path, a query, a line break that would add a header to the
// upload) is refused rather than sent to.
TEST_F(NetworkFaultTest, ALookupReplyThatIsNoBareHostIsRefused) {
  StartLocker();
  ASSERT_TRUE(LogIn());
  std::string lookupReply;
  RawHttpServer lookup([&lookupReply](RawConnection& connection, RawHttpServer&) {
    RawRequest request;
    if (connection.ReadRequest(&request)) connection.Send(HttpReply("200 OK", lookupReply));
  });
  Route(kWebHost, lookup.Port());
  DWORD index = 0;
  for (const char* reply : {"upload.locker.test\r\nX-Injected: 1", "upload.locker.test/c/u?",
                            "upload.locker.test:8o"}) {
    SCOPED_TRACE(reply);
    lookupReply = reply;
    Manager().AddFile(MusicFile("a.mp3", 10).c_str());
    WaitIdle();
    EXPECT_NE(LogText().find("The upload host lookup named no host: '" + lookupReply + "'"),
              std::string::npos);
    EXPECT_EQ(m_events.Finished().at(index++), "the locker named no upload host");
  }
  // A host with its port is one.
  lookupReply = "upload.locker.test:80";
  Manager().AddFile(MusicFile("b.mp3", 10).c_str());
  WaitIdle();
  EXPECT_EQ(m_events.Finished().at(index), "sent");
}

}  // namespace
}  // namespace qap::testing
