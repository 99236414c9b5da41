// Uploads end to end: the request that reaches the service byte for byte,
// the progress events as the bytes leave, the files a dropped path queues,
// and the flags a finished, refused or impossible upload ends with.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <functional>

#include "agent/tests/agent_test_support.h"
#include "agent/upload_request.h"
#include "platform/inet/tests/raw_http_server.h"

namespace qap::testing {
namespace {

constexpr const char* kUploadUrl = "http://upload.locker.test/c/u";
const std::string kDelimiter = "-------------------------------213481864127109";

std::string ExpectedBody(const std::string& name, const std::string& data) {
  return kDelimiter + "\r\n" +
         "Content-Disposition: form-data; name=\"file-to-upload-01\"; filename=\"" + name +
         "\"\r\n" + "Content-Type: application/octet-stream\r\n\r\n" + data + "\r\n" + kDelimiter +
         "\r\n" + "Content-Disposition: form-data; name=\"submit1\"\r\n\r\nSubmit Query\r\n" +
         kDelimiter + "--\r\n";
}

std::vector<short> Percentages(std::initializer_list<short> values) { return values; }

class UploadTest : public AgentTest {
 protected:
  // Logs in at the locker service and sends uploads to a capturing server.
  void CaptureUploads(const std::string& reply = HttpReply("200 OK", "Stored\n")) {
    StartLocker();
    ASSERT_TRUE(LogIn());
    m_capture = std::make_unique<RawHttpServer>(RawHttpServer::Answer(reply));
    Route(kUploadHost, m_capture->Port());
  }
  CConnectionRequest& Only() {
    EXPECT_EQ(Manager().RequestCount(), 1u);
    return *Manager().RequestAt(0);
  }
  std::unique_ptr<RawHttpServer> m_capture;
};

TEST_F(UploadTest, TheRequestReachesTheServiceByteForByte) {
  CaptureUploads();
  std::string data = PatternBytes(3000);
  std::string path = m_musicDir.Write("deep/er/Song One.mp3", data);
  EXPECT_EQ(Manager().AddFile(path.c_str()), AddedPath::kFile);
  WaitIdle();

  std::vector<RawRequest> seen = m_capture->Requests();
  ASSERT_EQ(seen.size(), 1u);
  std::string body = ExpectedBody("Song One.mp3", data);
  EXPECT_EQ(body.size(), 3000u + 325 + 12);
  char token[1024];
  DWORD size = sizeof token;
  ASSERT_TRUE(InternetGetCookieA(Manager().Config().GetAuthUserURL(), "lbblue", token, &size));
  EXPECT_EQ(seen[0].head,
            "POST /c/u HTTP/1.1\r\n"
            "Host: upload.locker.test\r\n"
            "User-Agent: lbagent 1.5\r\n"
            "Cookie: lbblue=" +
                std::string(token) +
                "\r\n"
                "Content-Type: multipart/form-data; "
                "boundary=-----------------------------213481864127109\r\n"
                "Content-Length: " +
                std::to_string(body.size()) + "\r\n\r\n");
  EXPECT_TRUE(seen[0].body == body);

  CConnectionRequest& request = Only();
  EXPECT_TRUE(request.Done());
  EXPECT_FALSE(request.Failed());
  EXPECT_FALSE(request.InProcess());
  EXPECT_EQ(request.GetURL(), kUploadUrl);
  // The whole body leaves at once, when the upload ends.
  EXPECT_EQ(m_events.Values(), Percentages({0, 100}));
  EXPECT_TRUE(Logged("Uploading to URL 'http://upload.locker.test/c/u'"));
  EXPECT_NE(LogText().find(" : Adding request header: 'Host: upload.locker.test\r\n'\r\n"),
            std::string::npos);
  EXPECT_NE(
      LogText().find(" : Writting to file: 'Content-Type: application/octet-stream\r\n\r\n'\r\n"),
      std::string::npos);
  EXPECT_TRUE(Logged("Returned error code : '200'"));
  EXPECT_TRUE(Logged(">> Raw Headers:"));
  EXPECT_TRUE(Logged("HTTP/1.1 200 OK"));
  EXPECT_TRUE(Logged(">> Raw Headers ended"));
}

TEST_F(UploadTest, TheLockerServiceStoresTheFileAndEachPercentageReachedIsReportedOnce) {
  StartLocker();
  ASSERT_TRUE(LogIn());
  std::string data = PatternBytes(200 * 1024);
  Manager().AddFile(m_musicDir.Write("Track.WAV", data).c_str());
  WaitIdle();
  EXPECT_TRUE(Only().Done());
  EXPECT_FALSE(Only().Failed());
  EXPECT_TRUE(ReadFile(m_locker->UserDirectory(kUser) + "/Track.WAV") == data);
  // The percentages grow as the gathered writes leave, about a third of
  // the file at a time.
  std::vector<short> values = m_events.Values();
  ASSERT_GE(values.size(), 3u);
  EXPECT_EQ(values.front(), 0);
  EXPECT_EQ(values.back(), 100);
  EXPECT_TRUE(std::adjacent_find(values.begin(), values.end(), std::greater_equal<short>()) ==
              values.end());
  EXPECT_TRUE(Manager().IsDone(kUploadUrl));
  EXPECT_FALSE(Manager().IsDone("http://UPLOAD.locker.test/c/u"));
}

TEST_F(UploadTest, AnEmptyFileSendsOnlyTheFixedPiecesAndAOneChunkFileJumpsTo100) {
  CaptureUploads();
  Manager().AddFile(MusicFile("empty.mp3", 0).c_str());
  WaitIdle();
  EXPECT_EQ(m_events.Values(), Percentages({0}));
  EXPECT_TRUE(Only().Done());
  ASSERT_EQ(m_capture->Requests().size(), 1u);
  EXPECT_EQ(m_capture->Requests()[0].body, ExpectedBody("empty.mp3", ""));
  EXPECT_EQ(m_capture->Requests()[0].headers["content-length"], std::to_string(325 + 9));

  m_events.Clear();
  Manager().AddFile(MusicFile("one.wma", 1024).c_str());
  WaitIdle();
  EXPECT_EQ(m_events.Values(), Percentages({0, 100}));
}

TEST_F(UploadTest, AFolderQueuesItsMusicFilesOnlyWithoutDescending) {
  MusicFile("album/A.MP3", 10);
  MusicFile("album/notes.txt", 10);
  MusicFile("album/c.wma", 10);
  MusicFile("album/d.Wav", 10);
  MusicFile("album/sub/deeper.mp3", 10);
  MusicFile("album/folder.mp3/inside.mp3", 10);
  EXPECT_EQ(Manager().AddFile(m_musicDir.File("album").c_str()), AddedPath::kDirectory);
  WaitIdle();
  std::vector<std::string> queued;
  for (size_t i = 0; i < Manager().RequestCount(); ++i) {
    queued.push_back(static_cast<CUploadRequest*>(Manager().RequestAt(i))->FilePath().str());
  }
  std::sort(queued.begin(), queued.end());
  std::string folder = m_musicDir.File("album/");
  EXPECT_EQ(queued,
            (std::vector<std::string>{folder + "A.MP3", folder + "c.wma", folder + "d.Wav"}));

  EXPECT_EQ(Manager().AddFile(m_musicDir.File("album/notes.txt").c_str()), AddedPath::kNothing);
  EXPECT_EQ(Manager().AddFile(m_musicDir.File("missing.mp3").c_str()), AddedPath::kNothing);
  EXPECT_EQ(Manager().AddFile("https://example.test/a.mp3"), AddedPath::kLink);
  std::string fileUrl = "file://" + m_musicDir.File("album/A%20B.mp3");
  EXPECT_EQ(Manager().AddFile(fileUrl.c_str()), AddedPath::kFile);
  ASSERT_EQ(Manager().RequestCount(), 4u);
  EXPECT_EQ(static_cast<CUploadRequest*>(Manager().RequestAt(3))->FilePath(),
            m_musicDir.File("album/A B.mp3").c_str());
}

TEST_F(UploadTest, UploadingWhileLoggedOutFiresZeroThenFailsWithNoConnection) {
  StartLocker();
  Manager().AddFile(MusicFile("a.mp3", 100).c_str());
  WaitIdle();
  EXPECT_EQ(m_events.Values(), Percentages({0}));
  EXPECT_TRUE(Only().Failed());
  EXPECT_FALSE(Only().Done());
  EXPECT_TRUE(
      Logged("There is no installed connection to upload file 'http://upload.locker.test/c/u'"));
}

TEST_F(UploadTest, WithoutAnUploadHostTheRequestFailsAndTheNextOneStillRuns) {
  StartLocker();
  ASSERT_TRUE(LogIn());
  RawHttpServer lookup(RawHttpServer::Answer(HttpReply("500 Busy", "")));
  Route(kWebHost, lookup.Port());
  Manager().AddFile(MusicFile("a.mp3", 100).c_str());
  WaitIdle();
  EXPECT_TRUE(
      Logged("Failed to send request to server 'www.locker.test' file '/get_ulhost/lb/'. "
             "QueryInfo report 2"));
  EXPECT_TRUE(Logged("Uploading to URL ''"));
  EXPECT_EQ(m_events.Values(), Percentages({0}));
  EXPECT_TRUE(Only().Failed());
  EXPECT_FALSE(Only().Done());

  Route(kWebHost, m_locker->Port());
  Manager().AddFile(MusicFile("b.mp3", 100).c_str());
  WaitIdle();
  EXPECT_TRUE(Manager().RequestAt(1)->Done());
  EXPECT_FALSE(Manager().RequestAt(1)->Failed());
}

TEST_F(UploadTest, AnEmptyLookupUrlIsLoggedAsUncrackable) {
  m_agentDir.Write("lbagent.ini", "UploadURL=\r\n");
  StartLocker();
  ASSERT_TRUE(LogIn());
  Manager().AddFile(MusicFile("a.mp3", 100).c_str());
  WaitIdle();
  EXPECT_TRUE(Logged("Failed to parse URL: ''"));
  EXPECT_TRUE(Logged("Failed to crack URL ''"));
  EXPECT_TRUE(Only().Failed());
}

TEST_F(UploadTest, FilesOf4GiBOrWhoseBodyWouldPass32BitsAreRefusedUnsent) {
  CaptureUploads();
  for (off_t size : {off_t{1} << 32, (off_t{1} << 32) - 100}) {
    std::string path = m_musicDir.File("huge" + std::to_string(size) + ".mp3");
    FilePtr file = OpenFile(path, "wb");
    ASSERT_EQ(ftruncate(fileno(file.get()), size), 0);
    file.reset();
    Manager().AddFile(path.c_str());
    WaitIdle();
    EXPECT_TRUE(Logged("File to upload '" + path + "' is too big"));
  }
  for (size_t i = 0; i < 2; ++i) {
    EXPECT_TRUE(Manager().RequestAt(i)->Failed());
    EXPECT_FALSE(Manager().RequestAt(i)->Done());
    EXPECT_FALSE(Manager().RequestAt(i)->InProcess());
  }
  EXPECT_TRUE(m_capture->Requests().empty());
}

TEST_F(UploadTest,
       AFileGoneBeforeItsTurnFailsWithoutSendingAndAFileMadeAfterQueuingGetsNoPercentages) {
  CaptureUploads();
  std::string path = MusicFile("gone.mp3", 100);
  auto gone = std::make_unique<CUploadRequest>(CString(path));
  std::remove(path.c_str());
  Manager().AddRequest(std::move(gone));
  WaitIdle();
  EXPECT_TRUE(Logged("Failed to open file to upload '" + path + "'"));
  EXPECT_TRUE(Manager().RequestAt(0)->Failed());
  EXPECT_FALSE(Manager().RequestAt(0)->Done());

  m_events.Clear();
  std::string late = m_musicDir.File("late.mp3");
  auto request = std::make_unique<CUploadRequest>(CString(late));
  EXPECT_EQ(request->TotalBytes(), 0u);
  MusicFile("late.mp3", 5000);
  Manager().AddRequest(std::move(request));
  WaitIdle();
  EXPECT_TRUE(Manager().RequestAt(1)->Done());
  EXPECT_EQ(m_events.Values(), Percentages({0}));
  EXPECT_EQ(m_capture->Requests().size(), 1u);
}

// Loses the file between opening the upload and reading it.
class VanishingFileConnection : public CLokbinHTTPConnection {
 public:
  using CLokbinHTTPConnection::CLokbinHTTPConnection;
  InternetHandle OpenUpload(CUploadRequest& request) override {
    InternetHandle handle = CLokbinHTTPConnection::OpenUpload(request);
    std::remove(request.FilePath().c_str());
    return handle;
  }
};

TEST_F(UploadTest, AFileThatCannotBeReadAfterTheUploadOpenedFailsItAndSendsNothing) {
  CaptureUploads();
  VanishingFileConnection connection(Manager(), 1024);
  ASSERT_TRUE(connection.Login(Manager().Config().GetAuthUserURL(), kUser, kPassword, "qap"));
  CUploadRequest request(CString(MusicFile("vanishing.mp3", 5000)));
  request.SetURL(kUploadUrl);
  EXPECT_FALSE(connection.Upload(request));
  EXPECT_TRUE(request.Failed());
  EXPECT_FALSE(request.Done());
  EXPECT_FALSE(request.InProcess());
  EXPECT_NE(LogText().find(" : Adding request header: 'User-Agent: lbagent 1.5\r\n'\r\n"),
            std::string::npos);  // the upload had been opened
  EXPECT_TRUE(m_capture->Requests().empty());
}

TEST_F(UploadTest, TheDumpListsEveryRequestWithItsFlags) {
  StartLocker();
  std::string path = MusicFile("a.mp3", 10);
  Manager().AddFile(path.c_str());
  Manager().AddDownload(path.c_str(), nullptr);
  WaitIdle();
  CLogFile::Current()->Write("-- dump --", 0);
  Manager().Dump();
  std::vector<std::string> messages = LogMessages();
  auto start = std::find(messages.begin(), messages.end(), "-- dump --");
  ASSERT_NE(start, messages.end());
  std::vector<std::string> dump(start + 1, messages.end());
  std::vector<std::string> expected = {
      "CConnectionManager dump started",
      "List of requests follows:",
      "CUploadRequest dump started ",
      "File to Upload: '" + path + "'",
      "CConnectionRequest dump started (URL='http://upload.locker.test/c/u'):",
      "bIsDone='FALSE'; IsFailed='TRUE'; IsInProcess='FALSE'",
      "CConnectionRequest dump ended:",
      "CUploadRequest dump ended:",
      "CDownloadRequest dump started ",
      "IsLocal='FALSE'; ShouldDelete='TRUE'",
      "CConnectionRequest dump started (URL='" + path + "'):",
      "bIsDone='FALSE'; IsFailed='TRUE'; IsInProcess='FALSE'",
      "CConnectionRequest dump ended:",
      "CDownloadRequest dump ended:",
      "End list of requests",
      "CConnectionManager dump ended"};
  EXPECT_EQ(dump, expected);
  // Only http sources pass the download probe.
  EXPECT_TRUE(Logged("There is no installed connection to download file '" + path + "'"));
}

}  // namespace
}  // namespace qap::testing
