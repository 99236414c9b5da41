// upload_bench: a 256 MiB file through CUploadRequest (the real worker and its
// 1024-byte writes) to the locker service on loopback, against
// "curl -F file-to-upload-01=@FILE" of the same file to the same service, in
// one run. Prints MB/s of both, the ratio, and how much the agent's peak
// resident memory grew during its upload.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
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
#include "agent/log_file.h"
#include "platform/base/module_path.h"
#include "platform/inet/wininet.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr size_t kFileSize = size_t{256} << 20;
constexpr int kRounds = 3;
constexpr const char* kWebHost = "www.bench.test";
constexpr const char* kUploadHost = "upload.bench.test";

// The locker-service program beside this one, for as long as the object lives.
class Service {
 public:
  bool Start(const std::string& data) {
    std::string program = (fs::path(ExecutablePath()).parent_path() / "locker-service").string();
    std::vector<std::string> args = {program,  "--port",        "0",        "--data",
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

long StatusKiB(const char* field) {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind(field, 0) == 0) return std::atol(line.c_str() + std::strlen(field));
  }
  return -1;
}

double MegabytesPerSecond(double seconds) { return kFileSize / 1e6 / seconds; }

}  // namespace

int main() {
  if (std::system("curl --version >/dev/null 2>&1") != 0) {
    std::cerr << "upload_bench: the curl command is needed as the baseline "
                 "(apt-get install curl)\n";
    return 1;
  }
  fs::path scratch = fs::temp_directory_path() / ("upload-bench-" + std::to_string(getpid()));
  fs::create_directories(scratch / "agent");
  struct Cleanup {
    fs::path path;
    ~Cleanup() {
      std::error_code ignored;
      fs::remove_all(path, ignored);
    }
  } cleanup{scratch};
  setenv("QAP_COOKIE_JAR", (scratch / "cookies.txt").c_str(), 1);
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

  Service service;
  if (!service.Start((scratch / "store").string())) {
    std::cerr << "upload_bench: cannot start locker-service beside this program\n";
    return 1;
  }
  std::string port = std::to_string(service.Port());
  std::string connectTo =
      std::string(kWebHost) + ":80:127.0.0.1:" + port + "," + kUploadHost + ":80:127.0.0.1:" + port;
  setenv("QAP_CONNECT_TO", connectTo.c_str(), 1);
  std::string stored = (scratch / "store" / "bench" / "bench.mp3").string();

  CLogFile log((scratch / "agent").string());
  CAgentConnectionManager manager((scratch / "agent").string(), nullptr, scratch.c_str(), kWebHost);
  if (!manager.Locker()->Login(manager.Config().GetAuthUserURL(), "bench", "pw", "bench")) {
    std::cerr << "upload_bench: the agent could not log in\n";
    return 1;
  }
  char token[1024];
  DWORD size = sizeof token;
  InternetGetCookieA(manager.Config().GetAuthUserURL(), "lbblue", token, &size);
  std::string curl = "curl -s -o /dev/null -w '%{http_code}' -b 'lbblue=" + std::string(token) +
                     "' --connect-to " + kUploadHost + ":80:127.0.0.1:" + port +
                     " -F 'file-to-upload-01=@" + file + "' http://" + kUploadHost + "/c/u";

  std::vector<double> agentSeconds, curlSeconds;
  long peakGrowthKiB = 0;
  for (int round = 0; round < kRounds; ++round) {
    // Reset the peak so that VmHWM tells this upload's high-water mark.
    std::ofstream("/proc/self/clear_refs") << "5";
    long before = StatusKiB("VmRSS:");
    auto start = Clock::now();
    manager.AddFile(file.c_str());
    while (!manager.IsIdle()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    agentSeconds.push_back(std::chrono::duration<double>(Clock::now() - start).count());
    peakGrowthKiB = std::max(peakGrowthKiB, StatusKiB("VmHWM:") - before);
    CConnectionRequest& request = *manager.RequestAt(manager.RequestCount() - 1);
    if (!request.Done() || request.Failed() || fs::file_size(stored) != kFileSize) {
      std::cerr << "upload_bench: the agent's upload failed; see " << log.FileName().str() << "\n";
      return 1;
    }
    fs::remove(stored);

    start = Clock::now();
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(curl.c_str(), "r"), pclose);
    char code[16] = {};
    if (!pipe || std::fgets(code, sizeof code, pipe.get()) == nullptr ||
        std::string(code) != "200") {
      std::cerr << "upload_bench: curl's upload failed (" << code << ")\n";
      return 1;
    }
    pipe.reset();
    curlSeconds.push_back(std::chrono::duration<double>(Clock::now() - start).count());
    if (fs::file_size(stored) != kFileSize) {
      std::cerr << "upload_bench: curl's upload was not stored whole\n";
      return 1;
    }
    fs::remove(stored);
  }

  double agentBest = *std::min_element(agentSeconds.begin(), agentSeconds.end());
  double curlBest = *std::min_element(curlSeconds.begin(), curlSeconds.end());
  double ratio = MegabytesPerSecond(agentBest) / MegabytesPerSecond(curlBest);
  std::printf("upload_bench: 256 MiB to the locker service on loopback, best of %d rounds\n",
              kRounds);
  std::printf("  agent (CUploadRequest, 1024-byte writes): %8.1f MB/s  (%.3f s)\n",
              MegabytesPerSecond(agentBest), agentBest);
  std::printf("  curl -F file-to-upload-01=@FILE:          %8.1f MB/s  (%.3f s)\n",
              MegabytesPerSecond(curlBest), curlBest);
  std::printf("  ratio agent/curl: %.2f  (goal: at least 0.90)\n", ratio);
  std::printf("  agent peak RSS growth during an upload: %.1f MiB  (goal: under 16 MiB)\n",
              peakGrowthKiB / 1024.0);
  return 0;
}
