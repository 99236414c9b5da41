// upload_bench: one 256 MiB file to the locker service on loopback, three
// rounds of each road, best of three:
//   - the whole road, "qap agent upload FILE": qap, the session bus, the
//     LBAgent2 the bus started and its 1024-byte writes, the locker service;
//   - the agent's core alone: CUploadRequest on the worker of this process;
//   - the baseline, "curl -F file-to-upload-01=@FILE" to the same service.
// Prints MB/s of each, their ratios to curl, and how much the resident
// memory of the agent process (and of this one, for the core) grew during
// an upload.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "agent/agent_connection_manager.h"
#include "agent/client/request2_client.h"
#include "agent/log_file.h"
#include "bench/bench_support.h"
#include "platform/automation/private_bus.h"
#include "platform/base/module_path.h"
#include "platform/inet/wininet.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using bench::Clock;

constexpr size_t kFileSize = size_t{256} << 20;
constexpr int kRounds = 3;
constexpr const char* kWebHost = "www.lokbin.com";
constexpr const char* kUploadHost = "upload.lokbin.com";
constexpr const char* kUser = "bench";
constexpr const char* kPassword = "pw";

// The locker-service program beside this one, for as long as the object lives.
class Service {
 public:
  bool Start(const std::string& data) {
    std::string program = (fs::path(ExecutablePath()).parent_path() / "locker-service").string();
    std::vector<std::string> args = {program,  "--port",        "0",         "--data",
                                     data,     "--user",        "bench:pw", "--web-host",
                                     kWebHost, "--upload-host", kUploadHost};
    std::vector<char*> argv;
    for (std::string& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    int out[2];
    if (pipe(out) != 0) return false;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    bool spawned =
        posix_spawn(&m_pid, program.c_str(), &actions, nullptr, argv.data(), environ) == 0;
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    std::string banner;
    while (spawned && banner.find('\n') == std::string::npos) {
      pollfd ready{out[0], POLLIN, 0};
      char chunk[256];
      ssize_t got = poll(&ready, 1, 10000) > 0 ? read(out[0], chunk, sizeof chunk) : 0;
      if (got <= 0) break;
      banner.append(chunk, static_cast<size_t>(got));
    }
    close(out[0]);
    size_t at = banner.find("127.0.0.1:");
    if (at == std::string::npos) return false;
    m_port = std::atoi(banner.c_str() + at + 10);
    return m_port > 0;
  }
  ~Service() {
    if (m_pid > 0) {
      kill(m_pid, SIGTERM);
      waitpid(m_pid, nullptr, 0);
    }
  }
  int Port() const { return m_port; }

 private:
  pid_t m_pid = -1;
  int m_port = 0;
};

// A field of /proc/PID/status in KiB ("self" for this process).
long StatusKiB(const std::string& process, const char* field) {
  std::ifstream status("/proc/" + process + "/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind(field, 0) == 0) return std::atol(line.c_str() + std::strlen(field));
  }
  return -1;
}

// Resets the process's peak, so that VmHWM tells the next upload's
// high-water mark; returns the resident size now.
long ResetPeak(const std::string& process) {
  std::ofstream("/proc/" + process + "/clear_refs") << "5";
  return StatusKiB(process, "VmRSS:");
}

// The process that owns the agent's bus name.
std::string AgentProcess() {
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(
      popen("dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus "
            "org.freedesktop.DBus.GetConnectionUnixProcessID string:com.lokbin.LBAgent2",
            "r"),
      pclose);
  char line[256];
  while (pipe && std::fgets(line, sizeof line, pipe.get()) != nullptr) {
    const char* number = std::strstr(line, "uint32 ");
    if (number != nullptr) return std::to_string(std::atol(number + 7));
  }
  return {};
}

double MegabytesPerSecond(double seconds) { return kFileSize / 1e6 / seconds; }

struct Road {
  explicit Road(const char* title) : name(title) {}
  const char* name;
  std::vector<double> seconds;
  long peakGrowthKiB = 0;
  double Best() const { return *std::min_element(seconds.begin(), seconds.end()); }
};

}  // namespace

int main() {
  if (!bench::RunQuietly({"curl", "--version"})) {
    std::cerr << "upload_bench: the curl command is needed as the baseline "
                 "(apt-get install curl)\n";
    return 1;
  }
  std::string scratchText = bench::MakeScratchFolder("upload_bench");
  if (scratchText.empty()) return 1;
  fs::path scratch(scratchText);
  struct Cleanup {
    fs::path path;
    ~Cleanup() {
      std::error_code ignored;
      fs::remove_all(path, ignored);
    }
  } cleanup{scratch};
  fs::create_directories(scratch / "agent");
  fs::create_directories(scratch / "core");
  // Nothing of the user's: registry, cookies, bus services and home are
  // the bench's own.
  setenv("HOME", scratch.c_str(), 1);
  setenv("XDG_DATA_HOME", (scratch / "data").c_str(), 1);
  setenv("XDG_CONFIG_HOME", (scratch / "config").c_str(), 1);
  setenv("QAP_REGISTRY", (scratch / "registry.db").c_str(), 1);
  setenv("QAP_COOKIE_JAR", (scratch / "agent-cookies.txt").c_str(), 1);
  setenv("no_proxy", "*", 1);

  std::string file = (scratch / "bench.mp3").string();
  {
    std::vector<char> block(1 << 20);
    for (size_t i = 0; i < block.size(); ++i) block[i] = static_cast<char>((i * 131) >> 3);
    std::ofstream out(file, std::ios::binary);
    for (size_t written = 0; written < kFileSize; written += block.size()) {
      block[0] = static_cast<char>(written >> 20);
      out.write(block.data(), static_cast<std::streamsize>(block.size()));
    }
  }
  std::string password = (scratch / "password").string();
  std::ofstream(password) << kPassword << "\n";

  Service service;
  if (!service.Start((scratch / "store").string())) {
    std::cerr << "upload_bench: cannot start locker-service beside this program\n";
    return 1;
  }
  std::string port = std::to_string(service.Port());
  std::string connectTo =
      std::string(kWebHost) + ":80:127.0.0.1:" + port + "," + kUploadHost + ":80:127.0.0.1:" + port;
  setenv("QAP_CONNECT_TO", connectTo.c_str(), 1);
  std::string stored = (scratch / "store" / kUser / "bench.mp3").string();

  qap::automation::PrivateSessionBus bus((scratch / "bus").string(),
                                         (scratch / "data" / "dbus-1" / "services").string(),
                                         (scratch / "agent").string());
  std::string error;
  if (!bus.Start(&error)) {
    std::cerr << "upload_bench: " << error << "\n";
    return 1;
  }
  std::string qap = (fs::path(ExecutablePath()).parent_path() / "qap").string();
  if (!bench::RunQuietly({qap, "agent", "register"}) ||
      !bench::RunQuietly({qap, "agent", "login", kUser, "--password-stdin"}, password)) {
    std::cerr << "upload_bench: qap could not register the agent or log in\n";
    return 1;
  }
  // Held for the whole run, so that the agent the bus started stays between
  // the rounds.
  ComPtr<IRequest2> held;
  std::string agentProcess = SUCCEEDED(CreateRequest2Proxy(&held)) ? AgentProcess() : "";
  if (agentProcess.empty()) {
    std::cerr << "upload_bench: the agent started by the bus cannot be found\n";
    return 1;
  }

  // The core in this process keeps its own session and cookie jar.
  setenv("QAP_COOKIE_JAR", (scratch / "core-cookies.txt").c_str(), 1);
  CLogFile log((scratch / "core").string());
  CAgentConnectionManager manager((scratch / "core").string(), nullptr, scratch.c_str(), kWebHost);
  if (!manager.Locker()->Login(manager.Config().GetAuthUserURL(), kUser, kPassword, kUser)) {
    std::cerr << "upload_bench: the agent's core could not log in\n";
    return 1;
  }
  char token[1024];
  DWORD size = sizeof token;
  InternetGetCookieA(manager.Config().GetAuthUserURL(), "lbblue", token, &size);
  std::vector<std::string> curl = {"curl",
                                   "-s",
                                   "-f",
                                   "-o",
                                   "/dev/null",
                                   "-b",
                                   std::string("lbblue=") + token,
                                   "--connect-to",
                                   std::string(kUploadHost) + ":80:127.0.0.1:" + port,
                                   "-F",
                                   "file-to-upload-01=@" + file,
                                   std::string("http://") + kUploadHost + "/c/u"};

  Road whole("qap agent upload (qap, bus, LBAgent2)");
  Road core("agent core (CUploadRequest, 1024-byte writes)");
  Road baseline("curl -F file-to-upload-01=@FILE");
  auto storedWhole = [&stored](const char* what) {
    std::error_code ignored;
    if (fs::file_size(stored, ignored) == kFileSize && fs::remove(stored, ignored)) return true;
    std::cerr << "upload_bench: " << what << " did not store the file whole\n";
    return false;
  };
  for (int round = 0; round < kRounds; ++round) {
    long before = ResetPeak(agentProcess);
    auto start = Clock::now();
    bool sent = bench::RunQuietly({qap, "agent", "upload", file});
    whole.seconds.push_back(bench::Seconds(Clock::now() - start));
    whole.peakGrowthKiB = std::max(whole.peakGrowthKiB, StatusKiB(agentProcess, "VmHWM:") - before);
    if (!sent || !storedWhole("qap agent upload")) return 1;

    before = ResetPeak("self");
    start = Clock::now();
    manager.AddFile(file.c_str());
    while (!manager.IsIdle()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    core.seconds.push_back(bench::Seconds(Clock::now() - start));
    core.peakGrowthKiB = std::max(core.peakGrowthKiB, StatusKiB("self", "VmHWM:") - before);
    CConnectionRequest& request = *manager.RequestAt(manager.RequestCount() - 1);
    if (!request.Done() || request.Failed() || !storedWhole("the agent's core")) return 1;

    start = Clock::now();
    sent = bench::RunQuietly(curl);
    baseline.seconds.push_back(bench::Seconds(Clock::now() - start));
    if (!sent || !storedWhole("curl")) return 1;
  }

  std::printf("upload_bench: 256 MiB to the locker service on loopback, best of %d rounds\n",
              kRounds);
  for (const Road* road : {&whole, &core, &baseline}) {
    std::printf("  %-48s %8.1f MB/s  (%.3f s)\n", road->name, MegabytesPerSecond(road->Best()),
                road->Best());
  }
  std::printf("  ratio whole road/curl: %.2f  (goal: at least 0.95)\n",
              baseline.Best() / whole.Best());
  std::printf("  ratio agent core/curl: %.2f\n", baseline.Best() / core.Best());
  std::printf("  agent process peak RSS growth during an upload: %.1f MiB  (goal: under 16 MiB)\n",
              whole.peakGrowthKiB / 1024.0);
  std::printf("  core peak RSS growth during an upload: %.1f MiB\n", core.peakGrowthKiB / 1024.0);
  return 0;
}
