// Headless chromium runs for tests: one process group per run, ended as a
// whole, and errors that name the package to install.
#include "platform/testing/headless_chromium.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/testing/scratch.h"
#include "platform/testing/spawn.h"

namespace qap::testing {
namespace {

namespace fs = std::filesystem;

constexpr const char* kPackage = "install the Debian package chromium (scripts/setup.sh does)";
constexpr auto kEndingTime = std::chrono::seconds(10);

std::string FindInPath(const std::string& name) {
  const char* path = std::getenv("PATH");
  std::istringstream folders(path != nullptr ? path : "");
  std::string folder;
  while (std::getline(folders, folder, ':')) {
    std::string candidate = (folder.empty() ? std::string(".") : folder) + "/" + name;
    if (access(candidate.c_str(), X_OK) == 0) return candidate;
  }
  return {};
}

// The running processes of a browser run: those of its process group, and
// those that left the group but name its scratch folder (the crash handler
// forks itself away and keeps its reports there). A process that ended but
// was not yet reaped by its parent counts as ended.
std::vector<pid_t> RunningProcesses(pid_t group, const std::string& folder) {
  std::vector<pid_t> running;
  std::error_code error;
  for (fs::directory_iterator entry("/proc", error), end; !error && entry != end;
       entry.increment(error)) {
    std::ifstream in(entry->path() / "stat");
    std::string stat;
    if (!std::getline(in, stat)) continue;
    // "pid (name) state ppid pgrp ...": the name may hold anything.
    size_t close = stat.rfind(')');
    if (close == std::string::npos) continue;
    std::istringstream fields(stat.substr(close + 1));
    char state = 0;
    long parent = 0, processGroup = 0;
    if (!(fields >> state >> parent >> processGroup) || state == 'Z' || state == 'X') continue;
    if (processGroup == group ||
        ReadFile((entry->path() / "cmdline").string()).find(folder) != std::string::npos) {
      running.push_back(static_cast<pid_t>(std::atol(entry->path().filename().c_str())));
    }
  }
  return running;
}

// The browser and everything it started, ended together whatever happens:
// the group is killed while its leader, not yet reaped, still holds its id.
class BrowserProcess {
 public:
  BrowserProcess(const std::string& program, const std::vector<std::string>& args,
                 const SpawnOptions& options, const std::string& folder)
      : m_pid(Spawn(program, args, options)), m_folder(folder) {}
  ~BrowserProcess() {
    if (m_pid <= 0) return;
    kill(-m_pid, SIGKILL);
    waitpid(m_pid, nullptr, 0);
    WaitFor(
        [this] {
          std::vector<pid_t> running = RunningProcesses(m_pid, m_folder);
          for (pid_t pid : running) kill(pid, SIGKILL);
          return running.empty();
        },
        kEndingTime);
  }
  BrowserProcess(const BrowserProcess&) = delete;
  BrowserProcess& operator=(const BrowserProcess&) = delete;

  bool Started() const { return m_pid > 0; }
  // Waits up to limit for the browser to end, leaving it unreaped.
  bool Ended(std::chrono::seconds limit) {
    return WaitFor(
        [this] {
          siginfo_t info{};
          return waitid(P_PID, static_cast<id_t>(m_pid), &info, WEXITED | WNOHANG | WNOWAIT) == 0 &&
                 info.si_pid == m_pid;
        },
        limit);
  }
  // Its exit status once Ended, or 128 plus the signal that ended it.
  int Status() const {
    siginfo_t info{};
    waitid(P_PID, static_cast<id_t>(m_pid), &info, WEXITED | WNOHANG | WNOWAIT);
    return info.si_code == CLD_EXITED ? info.si_status : 128 + info.si_status;
  }

 private:
  pid_t m_pid;
  std::string m_folder;
};

// The last lines of the browser's error output that say something: the
// complaints about a missing desktop bus are noise on any headless machine.
std::string Complaints(const std::string& errorFile) {
  std::istringstream in(ReadFile(errorFile));
  std::vector<std::string> kept;
  std::string line;
  while (std::getline(in, line)) {
    if (line.find("dbus") == std::string::npos) kept.push_back(line);
  }
  std::string text;
  for (size_t i = kept.size() > 8 ? kept.size() - 8 : 0; i < kept.size(); ++i) {
    text += "\n  " + kept[i];
  }
  return text.empty() ? std::string(" (it printed nothing)") : ":" + text;
}

std::vector<std::string> Arguments(const BrowserRun& run, const std::string& profile) {
  std::string rules;
  for (const std::string& rule : run.hostRules) rules += rule + ",";
  rules += "MAP * ~NOTFOUND,EXCLUDE localhost,EXCLUDE 127.0.0.1";
  std::vector<std::string> args = {
      "--headless=new",
      "--disable-gpu",
      "--user-data-dir=" + profile,
      "--no-first-run",
      "--no-default-browser-check",
      "--no-proxy-server",
      "--password-store=basic",
      // A plain http URL stays plain: an upgrade to https would first knock
      // on the loopback service with TLS.
      "--disable-features=HttpsUpgrades",
      "--host-resolver-rules=" + rules,
      "--virtual-time-budget=" + std::to_string(run.pageTime.count()),
      "--window-size=" + std::to_string(run.width) + "," + std::to_string(run.height),
  };
  // Its sandbox cannot run as root; tests in CI do.
  if (geteuid() == 0) args.push_back("--no-sandbox");
  if (!run.screenshot.empty()) args.push_back("--screenshot=" + run.screenshot);
  args.push_back("--dump-dom");
  std::error_code error;
  args.push_back(run.page.find("://") != std::string::npos
                     ? run.page
                     : FileUrl(fs::absolute(run.page, error).string()));
  return args;
}

}  // namespace

BrowserResult RunHeadlessChromium(const BrowserRun& run) {
  BrowserResult result;
  std::string program = FindInPath("chromium");
  if (program.empty()) {
    result.error =
        "headless chromium is needed and there is no 'chromium' in PATH: " + std::string(kPackage);
    return result;
  }
  ScratchDir scratch;
  std::string home = scratch.File("home");
  std::error_code error;
  fs::create_directories(home, error);
  if (!run.screenshot.empty()) fs::remove(run.screenshot, error);
  SpawnOptions options;
  options.out = scratch.File("dom");
  options.err = scratch.File("errors");
  options.ownProcessGroup = true;
  // Its caches, crash reports and settings stay in the scratch folder, and
  // it keeps off the session bus of the test.
  options.environment = {{"HOME", home},
                         {"XDG_CONFIG_HOME", home + "/.config"},
                         {"XDG_CACHE_HOME", home + "/.cache"},
                         {"DBUS_SESSION_BUS_ADDRESS", std::nullopt}};
  {
    BrowserProcess browser(program, Arguments(run, scratch.File("profile")), options,
                           scratch.Path());
    if (!browser.Started()) {
      result.error = program + " could not be started: " + kPackage;
      return result;
    }
    if (!browser.Ended(run.limit)) {
      result.error = "headless chromium did not finish " + run.page + " within " +
                     std::to_string(run.limit.count()) + " s" + Complaints(options.err);
      return result;
    }
    if (int status = browser.Status(); status != 0) {
      result.error = "headless chromium failed on " + run.page + " (exit status " +
                     std::to_string(status) + ")" + Complaints(options.err) +
                     "\nIf it does not start at all, " + kPackage;
      return result;
    }
  }
  result.dom = ReadFile(options.out);
  if (result.dom.empty()) {
    result.error = "headless chromium ended on no page for " + run.page + Complaints(options.err);
  } else if (!run.screenshot.empty() && !fs::exists(run.screenshot, error)) {
    result.error = "headless chromium wrote no screenshot of " + run.page + Complaints(options.err);
  }
  result.ok = result.error.empty();
  return result;
}

std::string LoopbackRule(const std::string& host, int port) {
  return "MAP " + host + " 127.0.0.1:" + std::to_string(port);
}

std::string FileUrl(const std::string& path) {
  static const std::string kPlain =
      "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789-._~/";
  std::string url = "file://";
  for (char c : path) {
    if (kPlain.find(c) != std::string::npos) {
      url += c;
    } else {
      char escaped[4];
      std::snprintf(escaped, sizeof escaped, "%%%02X", static_cast<unsigned char>(c));
      url += escaped;
    }
  }
  return url;
}

}  // namespace qap::testing
