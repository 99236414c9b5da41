// Headless chromium runs for tests: one process group per run, ended as a
// whole, and errors that name the package to install.
#include "platform/testing/headless_chromium.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/testing/devtools_pipe.h"
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
      "--window-size=" + std::to_string(run.width) + "," + std::to_string(run.height),
      "--remote-debugging-pipe",
  };
  // Its sandbox cannot run as root; tests in CI do.
  if (geteuid() == 0) args.push_back("--no-sandbox");
  args.push_back("about:blank");
  return args;
}

std::string PageUrl(const std::string& page) {
  std::error_code error;
  return page.find("://") != std::string::npos ? page
                                               : FileUrl(fs::absolute(page, error).string());
}

std::string DecodeBase64(const std::string& text) {
  static const std::string kDigits =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string bytes;
  unsigned value = 0;
  int bits = 0;
  for (char c : text) {
    size_t digit = kDigits.find(c);
    if (digit == std::string::npos) continue;
    value = (value << 6) | static_cast<unsigned>(digit);
    bits += 6;
    if (bits >= 8) {
      bits -= 8;
      bytes.push_back(static_cast<char>((value >> bits) & 0xFF));
    }
  }
  return bytes;
}

// Drives the page through the browser's DevTools pipe. Chromium's own
// --dump-dom races a form post that a page makes as it loads: now and then
// it serialises the document between the post's answer and the next page's
// commit and prints nothing. Here the main frame's loading is watched
// instead, and the document is read once it has rested.
class PageSession {
 public:
  PageSession(DevToolsPipe& pipe, DevToolsPipe::Clock::time_point deadline)
      : m_pipe(pipe), m_deadline(deadline) {}

  bool Open(const BrowserRun& run) {
    std::optional<nlohmann::json> target =
        m_pipe.Call("Target.createTarget", {{"url", "about:blank"}}, {}, m_deadline);
    if (!target) return false;
    std::optional<nlohmann::json> attached = m_pipe.Call(
        "Target.attachToTarget", {{"targetId", (*target)["targetId"]}, {"flatten", true}}, {},
        m_deadline);
    if (!attached) return false;
    m_session = (*attached)["sessionId"].get<std::string>();
    return Call("Page.enable", nlohmann::json::object()) &&
           Call("Emulation.setDeviceMetricsOverride", {{"width", run.width},
                                                       {"height", run.height},
                                                       {"deviceScaleFactor", 1},
                                                       {"mobile", false}});
  }

  // Loads url and waits until the main frame stopped loading and started
  // nothing new for a while: a page's script may post a form as it loads,
  // and the answer may redirect.
  bool Load(const std::string& url, std::chrono::milliseconds pageTime) {
    std::optional<nlohmann::json> navigated = Call("Page.navigate", {{"url", url}});
    if (!navigated) return false;
    if (navigated->contains("errorText")) {
      m_error = "chromium could not load " + url + ": " + (*navigated)["errorText"].get<std::string>();
      return false;
    }
    const std::string frame = (*navigated)["frameId"].get<std::string>();
    const auto settleBy = std::min(m_deadline, DevToolsPipe::Clock::now() + pageTime);
    bool started = false;
    bool loading = true;
    auto restedAt = DevToolsPipe::Clock::now();
    for (;;) {
      auto now = DevToolsPipe::Clock::now();
      if (started && !loading && now - restedAt >= kRest) return true;
      if (now >= settleBy || m_pipe.Closed()) break;
      auto waitUntil = started && !loading ? std::min(settleBy, restedAt + kRest) : settleBy;
      std::optional<nlohmann::json> event = m_pipe.NextEvent(waitUntil);
      if (!event) continue;
      const std::string method = event->value("method", std::string());
      const nlohmann::json& params = (*event)["params"];
      if (!params.is_object() || params.value("frameId", std::string()) != frame) continue;
      if (method == "Page.frameStartedLoading") {
        started = loading = true;
      } else if (method == "Page.frameStoppedLoading" && started) {
        loading = false;
        restedAt = DevToolsPipe::Clock::now();
      }
    }
    if (m_error.empty() && !m_pipe.Closed()) {
      m_error = url + " was still loading after " + std::to_string(pageTime.count()) + " ms";
    }
    return false;
  }

  std::optional<std::string> Document() {
    std::optional<nlohmann::json> evaluated = Call(
        "Runtime.evaluate",
        {{"expression", "document.documentElement ? document.documentElement.outerHTML : ''"},
         {"returnByValue", true}});
    if (!evaluated) return std::nullopt;
    if (evaluated->contains("exceptionDetails")) {
      m_error = "the page's document could not be read";
      return std::nullopt;
    }
    return (*evaluated)["result"].value("value", std::string());
  }

  bool Screenshot(const std::string& path) {
    std::optional<nlohmann::json> shot = Call("Page.captureScreenshot", {{"format", "png"}});
    if (!shot) return false;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << DecodeBase64(shot->value("data", std::string()));
    return static_cast<bool>(out.flush());
  }

  std::string Error() const { return m_error.empty() ? m_pipe.Error() : m_error; }

 private:
  static constexpr auto kRest = std::chrono::milliseconds(500);

  std::optional<nlohmann::json> Call(const char* method, const nlohmann::json& params) {
    return m_pipe.Call(method, params, m_session, m_deadline);
  }

  DevToolsPipe& m_pipe;
  DevToolsPipe::Clock::time_point m_deadline;
  std::string m_session;
  std::string m_error;
};

// A pipe's two ends, moved clear of the numbers the child gets them under.
bool OpenPipe(int ends[2]) {
  int raw[2];
  if (pipe2(raw, O_CLOEXEC) != 0) return false;
  for (int i = 0; i < 2; ++i) {
    ends[i] = fcntl(raw[i], F_DUPFD_CLOEXEC, 10);
    close(raw[i]);
  }
  return ends[0] >= 0 && ends[1] >= 0;
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
  const auto deadline = DevToolsPipe::Clock::now() + run.limit;
  ScratchDir scratch;
  std::string home = scratch.File("home");
  std::error_code error;
  fs::create_directories(home, error);
  if (!run.screenshot.empty()) fs::remove(run.screenshot, error);
  int commands[2], answers[2];
  if (!OpenPipe(commands) || !OpenPipe(answers)) {
    result.error = "no pipe for the browser: " + std::string(std::strerror(errno));
    return result;
  }
  SpawnOptions options;
  options.err = scratch.File("errors");
  options.ownProcessGroup = true;
  options.descriptors = {{commands[0], 3}, {answers[1], 4}};
  // Its caches, crash reports and settings stay in the scratch folder, and
  // it keeps off the session bus of the test.
  options.environment = {{"HOME", home},
                         {"XDG_CONFIG_HOME", home + "/.config"},
                         {"XDG_CACHE_HOME", home + "/.cache"},
                         {"DBUS_SESSION_BUS_ADDRESS", std::nullopt}};
  BrowserProcess browser(program, Arguments(run, scratch.File("profile")), options,
                         scratch.Path());
  close(commands[0]);
  close(answers[1]);
  DevToolsPipe pipe(commands[1], answers[0]);
  if (!browser.Started()) {
    result.error = program + " could not be started: " + kPackage;
    return result;
  }
  const std::string url = PageUrl(run.page);
  PageSession page(pipe, deadline);
  std::optional<std::string> dom;
  if (page.Open(run) && page.Load(url, run.pageTime)) dom = page.Document();
  if (dom && (run.screenshot.empty() || page.Screenshot(run.screenshot))) {
    result.dom = std::move(*dom);
    result.ok = true;
  } else if (pipe.Closed() && browser.Ended(kEndingTime) && browser.Status() != 0) {
    result.error = "headless chromium failed on " + run.page + " (exit status " +
                   std::to_string(browser.Status()) + ")" + Complaints(options.err) +
                   "\nIf it does not start at all, " + kPackage;
  } else if (DevToolsPipe::Clock::now() >= deadline) {
    result.error = "headless chromium did not finish " + run.page + " within " +
                   std::to_string(run.limit.count()) + " s" + Complaints(options.err);
  } else {
    result.error = "headless chromium ended on no page for " + run.page + ": " + page.Error() +
                   Complaints(options.err);
  }
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
