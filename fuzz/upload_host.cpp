// Fuzz target: the body of the locker's reply to the upload-host lookup,
// taken by an upload the way the worker starts one: the lookup, then the
// multipart POST to the host it named. Every connection reaches the
// loopback server, which checks that the upload carries the agent's own
// headers, each once, to "/c/u" (a reply must never add to the request).
#include <cctype>
#include <filesystem>
#include <memory>
#include <set>
#include <string>

#include "agent/agent_connection_manager.h"
#include "agent/log_file.h"
#include "agent/upload_request.h"
#include "fuzz/fuzz_support.h"
#include "fuzz/loopback.h"

namespace {

constexpr const char* kWebHost = "www.locker.test";

qap::fuzz::ReplyBytes lookupBody;

void CheckUpload(const qap::testing::RawRequest& request) {
  static const std::set<std::string> kOwn = {"host", "user-agent", "cookie", "content-type",
                                             "content-length"};
  std::set<std::string> seen;
  for (const std::string& line : request.headerLines) {
    std::string name = line.substr(0, line.find(':'));
    for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (kOwn.count(name) == 0 || !seen.insert(name).second)
      qap::fuzz::Fail("the upload request carries a header the agent did not make: " + line);
  }
  if (request.method != "POST" || request.path != "/c/u")
    qap::fuzz::Fail("the upload went to '" + request.method + " " + request.path + "'");
}

std::string Answer(const qap::testing::RawRequest& request) {
  if (request.path == "/servlet/Authenticate") {
    return "HTTP/1.1 200 OK\r\nSet-Cookie: lbblue=7; path=/\r\nX-Locker: auth=1\r\n"
           "Content-Length: 0\r\n\r\n";
  }
  if (request.path == "/get_ulhost/lb/") {
    const std::string body = lookupBody.Get();
    return "HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
  }
  CheckUpload(request);
  return "HTTP/1.1 200 OK\r\nContent-Length: 0\r\n\r\n";
}

class Agent {
 public:
  // The uploads run on the fuzzer's thread, so the manager's own queue
  // stays empty and one manager, logged in once, serves every input.
  Agent() : m_folder(qap::fuzz::Scratch().File("agent")) {
    static qap::fuzz::LoopbackServer server(Answer);
    std::filesystem::create_directories(m_folder);
    m_song = qap::fuzz::WriteInput("song.mp3", std::string(3000, 'x'));
    m_manager = std::make_unique<CAgentConnectionManager>(m_folder, nullptr, nullptr, kWebHost);
    if (!m_manager->Locker()->Login(m_manager->Config().GetAuthUserURL(), "alice", "secret",
                                    "qap"))
      qap::fuzz::Fail("the loopback login failed");
  }

  CAgentConnectionManager& Manager() { return *m_manager; }
  const std::string& Song() const { return m_song; }
  const std::string& Folder() const { return m_folder; }

 private:
  std::string m_folder;
  std::string m_song;
  std::unique_ptr<CAgentConnectionManager> m_manager;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static Agent agent;
  lookupBody.Set(std::string(qap::fuzz::Bytes(data, size)));
  // The log starts afresh for every input, as for every run of the agent.
  CLogFile log(agent.Folder());
  CUploadRequest upload{CString(agent.Song())};
  upload.Start(agent.Manager());
  return 0;
}
