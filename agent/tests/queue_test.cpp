// The request queue and its worker: order, requests added while one runs,
// cancellation while busy and while idle, the manager going away in the
// middle of an upload, IsIdle and IsDone, and downloads.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <functional>

#include "agent/download_request.h"
#include "agent/tests/agent_test_support.h"
#include "agent/upload_request.h"
#include "platform/inet/tests/raw_http_server.h"

namespace qap::testing {
namespace {

constexpr const char* kUploadUrl = "http://upload.locker.test/c/u";

// Records the events and lets a test act on them on the worker thread.
class ActingSink : public IAgentEventSink {
 public:
  void OnNotify(short value) override {
    {
      std::lock_guard<std::mutex> guard(m_mutex);
      m_values.push_back(value);
    }
    if (m_act) m_act(value);
  }
  std::vector<short> Values() const {
    std::lock_guard<std::mutex> guard(m_mutex);
    return m_values;
  }
  std::function<void(short)> m_act;

 private:
  mutable std::mutex m_mutex;
  std::vector<short> m_values;
};

class QueueTest : public AgentTest {
 protected:
  CAgentConnectionManager& Make() {
    m_own = std::make_unique<CAgentConnectionManager>(m_agentDir.Path(), &m_sink,
                                                      m_musicDir.Path().c_str(), kWebHost);
    return *m_own;
  }
  void TearDown() override { m_own.reset(); }
  bool LogInOwn() {
    return m_own->Locker()->Login(m_own->Config().GetAuthUserURL(), kUser, kPassword, "qap") !=
           FALSE;
  }
  void WaitOwnIdle() {
    ASSERT_TRUE(WaitFor([this] { return m_own->IsIdle() != FALSE; }, std::chrono::seconds(30)));
  }
  std::string Stored(const std::string& name) {
    return ReadFile(m_locker->UserDirectory(kUser) + "/" + name);
  }

  ActingSink m_sink;
  std::unique_ptr<CAgentConnectionManager> m_own;
};

TEST_F(QueueTest, RequestsAddedWhileOneRunsStartInOrderInTheSamePass) {
  StartLocker();
  CAgentConnectionManager& manager = Make();
  ASSERT_TRUE(LogInOwn());
  std::atomic<bool> added{false};
  m_sink.m_act = [&](short value) {
    if (value == 0 && !added.exchange(true)) {
      for (const char* name : {"b.mp3", "c.mp3", "d.mp3"})
        manager.AddFile(MusicFile(name, 2048).c_str());
      EXPECT_FALSE(manager.IsIdle());
    }
  };
  manager.AddFile(MusicFile("a.mp3", 2048).c_str());
  WaitOwnIdle();
  ASSERT_EQ(manager.RequestCount(), 4u);
  for (size_t i = 0; i < 4; ++i) EXPECT_TRUE(manager.RequestAt(i)->Done()) << i;
  EXPECT_EQ(m_sink.Values(), (std::vector<short>{0, 100, 0, 100, 0, 100, 0, 100}));
  EXPECT_EQ(Stored("d.mp3"), PatternBytes(2048));
  std::string log = LogText();
  size_t previous = 0;
  for (const char* name : {"a.mp3", "b.mp3", "c.mp3", "d.mp3"}) {
    size_t at = log.find(std::string("filename=\"") + name + "\"");
    EXPECT_GT(at, previous) << name;
    previous = at == std::string::npos ? previous : at;
  }
}

TEST_F(QueueTest, CancelDuringTheSecondOfFourStopsItBetweenChunksAndFailsTheRest) {
  StartLocker();
  CAgentConnectionManager& manager = Make();
  ASSERT_TRUE(LogInOwn());
  int starts = 0;
  m_sink.m_act = [&](short value) {
    // The first upload waits until all four are queued.
    if (value == 0 && ++starts == 1) WaitFor([&] { return manager.RequestCount() == 4; });
    if (starts == 2 && value >= 10 && !manager.CancelPending()) manager.RequestCancel();
  };
  // Large enough for progress to be told while the body is on its way.
  for (const char* name : {"1.mp3", "2.mp3", "3.mp3", "4.mp3"}) {
    manager.AddFile(MusicFile(name, 4 * 1024 * 1024).c_str());
  }
  WaitOwnIdle();
  EXPECT_TRUE(manager.RequestAt(0)->Done());
  EXPECT_FALSE(manager.RequestAt(0)->Failed());
  CConnectionRequest& canceled = *manager.RequestAt(1);
  EXPECT_TRUE(canceled.Done());
  EXPECT_TRUE(canceled.Failed());
  EXPECT_FALSE(canceled.InProcess());
  for (size_t i = 1; i < 4; ++i) EXPECT_EQ(manager.RequestAt(i)->FailureReason(), "canceled") << i;
  for (size_t i = 2; i < 4; ++i) {
    EXPECT_TRUE(manager.RequestAt(i)->Failed());
    EXPECT_EQ(manager.RequestAt(i)->GetURL(), "");  // never started
  }
  // The first upload's percentages up to 100, the second's up to where it
  // was canceled.
  std::vector<short> values = m_sink.Values();
  auto second = std::find(values.begin() + 1, values.end(), 0);
  ASSERT_NE(second, values.end());
  EXPECT_EQ(values.front(), 0);
  EXPECT_EQ(*(second - 1), 100);
  EXPECT_TRUE(std::is_sorted(values.begin(), second));
  EXPECT_GE(values.back(), 10);
  EXPECT_LT(values.back(), 100);
  EXPECT_EQ(std::find(second + 1, values.end(), 0), values.end());
  EXPECT_NE(LogText().find(" : Upload Request: 'http://upload.locker.test/c/u' was canceled\n\r\n"),
            std::string::npos);
  EXPECT_FALSE(manager.CancelPending());
  EXPECT_TRUE(manager.IsDone(kUploadUrl));  // the first one

  manager.AddFile(MusicFile("5.mp3", 1024).c_str());
  WaitOwnIdle();
  EXPECT_TRUE(manager.RequestAt(4)->Done());
  EXPECT_FALSE(manager.RequestAt(4)->Failed());
  EXPECT_EQ(Stored("5.mp3"), PatternBytes(1024));
}

TEST_F(QueueTest, ACancelWhileIdleCancelsTheNextTransferAtItsFirstChunkAndIsThenForgotten) {
  StartLocker();
  CAgentConnectionManager& manager = Make();
  ASSERT_TRUE(LogInOwn());
  EXPECT_TRUE(manager.IsIdle());
  manager.RequestCancel();
  manager.AddFile(MusicFile("a.mp3", 4096).c_str());
  WaitOwnIdle();
  EXPECT_TRUE(manager.RequestAt(0)->Failed());
  EXPECT_TRUE(manager.RequestAt(0)->Done());
  EXPECT_EQ(m_sink.Values(), (std::vector<short>{0}));
  EXPECT_FALSE(manager.IsDone(kUploadUrl));
  EXPECT_FALSE(manager.CancelPending());

  manager.AddFile(MusicFile("b.mp3", 4096).c_str());
  WaitOwnIdle();
  EXPECT_FALSE(manager.RequestAt(1)->Failed());
  EXPECT_EQ(m_sink.Values(), (std::vector<short>{0, 0, 100}));
  EXPECT_TRUE(manager.IsDone(kUploadUrl));
}

TEST_F(QueueTest, DestroyingTheManagerDuringAnUploadEndsItAtTheNextChunk) {
  StartLocker();
  CAgentConnectionManager& manager = Make();
  ASSERT_TRUE(LogInOwn());
  std::atomic<bool> running{false};
  m_sink.m_act = [&](short value) {
    if (value != 1) return;
    running = true;
    // Hold the transfer until the destructor has raised the cancel flag.
    WaitFor([&] { return manager.CancelPending(); });
  };
  manager.AddFile(MusicFile("long.mp3", 4 * 1024 * 1024).c_str());
  ASSERT_TRUE(WaitFor([&] { return running.load(); }));
  m_own.reset();
  std::string log = LogText();
  EXPECT_NE(log.find("Upload Request: 'http://upload.locker.test/c/u' was canceled\n"),
            std::string::npos);
  EXPECT_EQ(m_sink.Values(), (std::vector<short>{0, 1}));
  EXPECT_EQ(CAgentConnectionManager::Current(), nullptr);
}

// A file server for downloads: every GET answers with body.
RawHttpServer::Handler Serve(const std::string& body) {
  return RawHttpServer::Answer(HttpReply("200 OK", body));
}

TEST_F(QueueTest, DownloadsLandInTheFolderUnderNamesThatOverwriteNothing) {
  std::string body = PatternBytes(50000);
  RawHttpServer files(Serve(body));
  Route("files.test", files.Port());
  CAgentConnectionManager& manager = Make();
  ScratchDir target;
  for (int i = 0; i < 3; ++i)
    manager.AddDownload("http://files.test/music/song.mp3", target.Path().c_str());
  manager.AddDownload("http://files.test/music/other.wma", nullptr);
  WaitOwnIdle();
  std::vector<std::string> expected = {target.File("song.mp3"), target.File("song0.mp3"),
                                       target.File("song1.mp3"), m_musicDir.File("other.wma")};
  for (size_t i = 0; i < expected.size(); ++i) {
    auto& download = static_cast<CDownloadRequest&>(*manager.RequestAt(i));
    EXPECT_TRUE(download.Done()) << i;
    EXPECT_FALSE(download.Failed()) << i;
    EXPECT_EQ(download.LocalPath(), expected[i].c_str());
    EXPECT_TRUE(ReadFile(expected[i]) == body) << expected[i];
  }
  // A probe and the download itself, for each.
  EXPECT_EQ(files.Requests().size(), 8u);
  std::vector<std::string> probe = files.Requests()[0].headerLines;
  EXPECT_EQ(std::count(probe.begin(), probe.end(), "Accept: */*"), 1);
  EXPECT_EQ(std::count(probe.begin(), probe.end(), "User-Agent: lokbin agent"), 1);
}

TEST_F(QueueTest, ACanceledDownloadDeletesItsFileAndALocalSourceIsTakenInPlace) {
  RawHttpServer files(Serve(PatternBytes(30000)));
  Route("files.test", files.Port());
  CAgentConnectionManager& manager = Make();
  manager.RequestCancel();
  manager.AddDownload("http://files.test/song.mp3", nullptr);
  WaitOwnIdle();
  auto& canceled = static_cast<CDownloadRequest&>(*manager.RequestAt(0));
  EXPECT_TRUE(canceled.Failed());
  EXPECT_FALSE(canceled.InProcess());
  EXPECT_FALSE(std::filesystem::exists(m_musicDir.File("song.mp3")));
  EXPECT_NE(LogText().find(" : Download request: 'http://files.test/song.mp3' was canceled\n\r\n"),
            std::string::npos);

  // Only a connection without the http probe would hand a local path on;
  // the generic download then takes the file where it is.
  std::string local = MusicFile("here.mp3", 10);
  CDownloadRequest request(local.c_str(), "");
  EXPECT_TRUE(manager.Locker()->Download(request));
  EXPECT_TRUE(request.Done());
  EXPECT_TRUE(request.IsLocal());
  EXPECT_FALSE(request.ShouldDelete());
  EXPECT_EQ(request.LocalPath(), local.c_str());
}

TEST_F(QueueTest, ABrokenDownloadFailsAndOnlyHttpSourcesAreTaken) {
  // Every reply breaks off after 1000 of its 100000 bytes: enough for the
  // probe, which reads only the status.
  RawHttpServer files([](RawConnection& connection, RawHttpServer&) {
    RawRequest request;
    if (connection.ReadRequest(&request)) {
      connection.Send("HTTP/1.1 200 OK\r\nContent-Length: 100000\r\n\r\n" + std::string(1000, 'x'));
    }
    connection.Reset();
  });
  Route("files.test", files.Port());
  CAgentConnectionManager& manager = Make();
  manager.AddDownload("http://files.test/broken.mp3", nullptr);
  manager.AddDownload("https://files.test/secure.mp3", nullptr);
  WaitOwnIdle();
  auto& broken = static_cast<CDownloadRequest&>(*manager.RequestAt(0));
  EXPECT_TRUE(broken.Failed());
  EXPECT_FALSE(broken.Done());
  EXPECT_FALSE(broken.InProcess());
  // The partial file stays (how much of it arrived before the reset varies).
  EXPECT_TRUE(std::filesystem::exists(m_musicDir.File("broken.mp3")));
  EXPECT_LE(ReadFile(m_musicDir.File("broken.mp3")).size(), 1000u);
  EXPECT_TRUE(manager.RequestAt(1)->Failed());
  EXPECT_TRUE(
      Logged("There is no installed connection to download file 'https://files.test/secure.mp3'"));
}

}  // namespace
}  // namespace qap::testing
