// Demo step: the upload agent end to end. A locker service on loopback, a
// private session bus that starts LBAgent2 on the first call, a login, an
// upload of the demo's music folder with progress, and the locker's own
// listing of what arrived; then everything started here is stopped.
#include <stdlib.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <iostream>
#include <regex>
#include <string>
#include <thread>

#include "agent/client/request2_client.h"
#include "platform/automation/bus_service.h"
#include "platform/automation/private_bus.h"
#include "platform/inet/wininet.h"
#include "tools/locker-service/locker_service.h"
#include "tools/qap/demo_music.h"
#include "tools/qap/environment_value.h"
#include "tools/qap/verb.h"

namespace qap {
namespace {

constexpr const char* kWebHost = "www.lokbin.com";
constexpr const char* kUploadHost = "upload.lokbin.com";
constexpr const char* kUser = "demo";
constexpr const char* kPassword = "zelvar-demo";

// Standard input reads text for the life of the object, as if it were piped
// in: how the demo hands a command its password.
class PipedInput {
 public:
  explicit PipedInput(const std::string& text) {
    int ends[2];
    if (pipe(ends) != 0) return;
    (void)!write(ends[1], text.data(), text.size());
    close(ends[1]);
    m_saved = dup(STDIN_FILENO);
    dup2(ends[0], STDIN_FILENO);
    close(ends[0]);
  }
  ~PipedInput() {
    if (m_saved < 0) return;
    dup2(m_saved, STDIN_FILENO);
    close(m_saved);
    std::cin.clear();
  }
  PipedInput(const PipedInput&) = delete;
  PipedInput& operator=(const PipedInput&) = delete;

 private:
  int m_saved = -1;
};

// The locker's page of the logged-in user, fetched as a browser would, with
// the session cookie the agent's login left in the shared cookie store.
std::string LockerPage() {
  HINTERNET session = InternetOpenA("qap demo", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
  if (session == nullptr) return {};
  std::string page;
  std::string url = std::string("http://") + kWebHost + "/locker";
  if (HINTERNET request = InternetOpenUrlA(session, url.c_str(), nullptr, 0, 0, 0)) {
    char buffer[4096];
    DWORD read = 0;
    while (InternetReadFile(request, buffer, sizeof buffer, &read) && read > 0)
      page.append(buffer, read);
    InternetCloseHandle(request);
  }
  InternetCloseHandle(session);
  return page;
}

void ShowLocker() {
  std::string page = LockerPage();
  std::cout << "$ (browser) http://" << kWebHost << "/locker\n";
  std::regex heading("<h1>([^<]*)</h1>");
  std::regex item("<li>([^<]*)</li>");
  std::smatch match;
  if (std::regex_search(page, match, heading)) std::cout << "  " << match[1] << "\n";
  for (auto it = std::sregex_iterator(page.begin(), page.end(), item); it != std::sregex_iterator();
       ++it) {
    std::cout << "    " << (*it)[1] << "\n";
  }
}

// Waits (bounded) for the agent to end once nothing holds it.
void WaitForAgentToEnd() {
  auto released = std::chrono::steady_clock::now();
  auto deadline = released + std::chrono::seconds(20);
  while (IsAgentRunning() && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - released).count();
  if (IsAgentRunning()) {
    std::cout << "LBAgent2 is still running after " << seconds << " s\n";
  } else {
    std::printf("LBAgent2 ended %.1f s after its last client let go\n", seconds);
  }
}

int Run(DemoContext& context) {
  std::string music = DemoMusicFolder(context);
  if (music.empty()) return 1;
  locker::ServiceConfig config;
  config.dataDirectory = context.scratch + "/locker";
  config.users[kUser] = kPassword;
  config.webHost = kWebHost;
  config.uploadHost = kUploadHost;
  locker::LockerService service(config);
  if (!service.Start()) {
    std::cerr << "qap demo: the locker service did not start: " << service.Error() << "\n";
    return 1;
  }
  std::string port = std::to_string(service.Port());
  std::cout << "locker service on http://127.0.0.1:" << port << " (web host " << kWebHost
            << ", upload host " << kUploadHost << ", files in " << config.dataDirectory << ")\n";
  EnvironmentValue direct("no_proxy", std::string(kWebHost) + "," + kUploadHost);
  automation::PrivateSessionBus bus(context.scratch + "/bus", automation::BusServiceDirectory(),
                                    context.scratch);
  std::string error;
  if (!bus.Start(&error)) {
    std::cerr << "qap demo: " << error << "\n";
    return 1;
  }
  // The agent speaks to port 80 of the locker's hosts; this sends both to
  // the service. Set in this shell only: qap agent hands it to the bus that
  // starts the agent.
  EnvironmentValue route("QAP_CONNECT_TO", std::string(kWebHost) + ":80:127.0.0.1:" + port + "," +
                                               kUploadHost + ":80:127.0.0.1:" + port);
  std::cout << "private session bus " << bus.Address() << " (the agent's LogFile.log goes to "
            << context.scratch << ")\n";
  int code = RunVerbShown("agent", {"register"});
  if (code == 0) {
    std::cout << "(the password goes in on standard input, never on the command line)\n";
    PipedInput password(std::string(kPassword) + "\n");
    code = RunVerbShown("agent", {"login", kUser, "--password-stdin"});
  }
  // Two album folders (the agent takes the music files directly in a
  // folder) and one file with a name outside ASCII.
  if (code == 0) {
    code = RunVerbShown("agent", {"upload", music + "/Aurora Lane/Northern Lights",
                                  music + "/The Copper Kettles/Tea Time",
                                  music + "/Sigrún Ólafsdóttir/Fjöll og firðir/Þögn.mp3"});
  }
  if (code == 0) {
    ShowLocker();
    code = RunVerbShown("agent", {"status"});
  }
  if (code == 0) code = RunVerbShown("agent", {"logout"});
  WaitForAgentToEnd();
  bus.Stop();
  service.Stop();
  std::cout << "stopped the bus and the locker service\n";
  return code;
}

const DemoStepRegistrar kStep({500,
                               "Upload agent: login and uploads to a locker over the session bus",
                               Run});

}  // namespace
}  // namespace qap
