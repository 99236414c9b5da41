// qap agent upload: hands the paths to the agent, which tells which files it
// queued, and follows each of them by the agent's own events to its end: sent
// when the locker took it, failed with the agent's reason otherwise.
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <map>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "agent/client/request2_client.h"
#include "tools/qap/agent_commands.h"

namespace qap {
namespace {

namespace fs = std::filesystem;

// How often a wait with no news checks that the agent is still there.
constexpr auto kQuietCheck = std::chrono::seconds(1);

struct AgentEvent {
  enum Kind { kNotify, kQueued, kStarted, kFinished } kind;
  LONG request = 0;
  short value = 0;
  bool sent = false;
  std::string text;  // the file (queued) or the reason (finished)
};

// The events as the bus's thread delivers them, for the main thread.
class EventQueue {
 public:
  void Push(AgentEvent event) {
    std::lock_guard<std::mutex> guard(m_mutex);
    m_events.push_back(std::move(event));
    m_changed.notify_all();
  }
  // What arrived, waiting up to wait for something when nothing has.
  std::vector<AgentEvent> Take(std::chrono::milliseconds wait) {
    std::unique_lock<std::mutex> lock(m_mutex);
    m_changed.wait_for(lock, wait, [this] { return !m_events.empty(); });
    std::vector<AgentEvent> events;
    events.swap(m_events);
    return events;
  }

 private:
  std::mutex m_mutex;
  std::condition_variable m_changed;
  std::vector<AgentEvent> m_events;
};

bool IsLink(const std::string& path) {
  return path.rfind("http://", 0) == 0 || path.rfind("https://", 0) == 0;
}

// The agent queues a path given, or the files directly in a folder given.
bool IsFromPaths(const std::string& file, const std::vector<std::string>& paths) {
  for (const std::string& path : paths) {
    if (file == path) return true;
    std::string folder = path.empty() || path.back() == '/' ? path : path + "/";
    if (file.rfind(folder, 0) == 0 && file.find('/', folder.size()) == std::string::npos) {
      return true;
    }
  }
  return false;
}

struct Upload {
  std::string name;
  std::uintmax_t size = 0;
  int percent = 0;
  bool finished = false;
  bool sent = false;
};

class UploadFollower {
 public:
  UploadFollower(std::vector<std::string> paths, bool terminal)
      : m_paths(std::move(paths)), m_terminal(terminal) {}

  // Takes the events in the order they came.
  void Take(const std::vector<AgentEvent>& events) {
    for (const AgentEvent& event : events) Apply(event);
  }
  size_t Count() const { return m_uploads.size(); }
  size_t Unfinished() const { return m_unfinished; }
  size_t Sent() const { return m_sent; }

 private:
  void Apply(const AgentEvent& event) {
    if (event.kind == AgentEvent::kQueued) {
      if (!IsFromPaths(event.text, m_paths)) return;
      std::error_code error;
      std::uintmax_t size = fs::file_size(event.text, error);
      m_uploads[event.request] = {fs::path(event.text).filename().string(), error ? 0 : size};
      ++m_unfinished;
      return;
    }
    if (event.kind == AgentEvent::kNotify) {
      // Progress belongs to the upload running now, which may be someone
      // else's.
      auto running = m_uploads.find(m_running);
      if (running == m_uploads.end() || event.value < 0 || event.value > 100) return;
      running->second.percent = event.value;
      ShowProgress(running->second);
      return;
    }
    auto found = m_uploads.find(event.request);
    if (event.kind == AgentEvent::kStarted) {
      m_running = event.request;
      if (found != m_uploads.end()) ShowProgress(found->second);
      return;
    }
    if (found == m_uploads.end() || found->second.finished) return;
    Upload& upload = found->second;
    upload.finished = true;
    upload.sent = event.sent;
    --m_unfinished;
    m_sent += event.sent ? 1 : 0;
    if (m_terminal) std::printf("\r%80s\r", "");
    if (event.sent) {
      std::printf("  sent   %s (%ju bytes)\n", upload.name.c_str(), upload.size);
    } else {
      std::printf("  FAILED %s (%ju bytes): %s\n", upload.name.c_str(), upload.size,
                  event.text.c_str());
    }
    std::fflush(stdout);
  }
  void ShowProgress(const Upload& upload) const {
    if (!m_terminal || upload.finished) return;
    int filled = upload.percent / 5;
    std::printf("\r  %-40.40s [%s%s] %3d%%", upload.name.c_str(),
                std::string(static_cast<size_t>(filled), '#').c_str(),
                std::string(static_cast<size_t>(20 - filled), '-').c_str(), upload.percent);
    std::fflush(stdout);
  }

  std::vector<std::string> m_paths;
  bool m_terminal;
  std::map<LONG, Upload> m_uploads;
  LONG m_running = -1;
  size_t m_unfinished = 0;
  size_t m_sent = 0;
};

}  // namespace

int UploadCommand(IRequest2& agent, const Args& args) {
  std::vector<std::string> paths;
  size_t links = 0;
  for (size_t i = 1; i < args.size(); ++i) {
    // The agent resolves paths in its own folder: hand it whole ones.
    bool link = IsLink(args[i]);
    links += link ? 1 : 0;
    paths.push_back(link ? args[i] : fs::absolute(args[i]).lexically_normal().string());
  }
  if (!AgentLoggedIn(agent)) return AgentFailed("not logged in; run 'qap agent login USER' first");
  EventQueue events;
  Request2Subscription subscription;
  Request2Events wanted;
  wanted.onNotify = [&events](short value) {
    events.Push({AgentEvent::kNotify, 0, value, false, {}});
  };
  wanted.onQueued = [&events](LONG request, const std::string& file) {
    events.Push({AgentEvent::kQueued, request, 0, false, file});
  };
  wanted.onStarted = [&events](LONG request) {
    events.Push({AgentEvent::kStarted, request, 0, false, {}});
  };
  wanted.onFinished = [&events](LONG request, bool sent, const std::string& reason) {
    events.Push({AgentEvent::kFinished, request, 0, sent, reason});
  };
  HRESULT hr = subscription.Subscribe(&agent, std::move(wanted));
  if (FAILED(hr)) return AgentCallFailed("Subscribe", hr);
  for (const std::string& path : paths) {
    CComBSTR value(path.c_str());
    if (FAILED(hr = agent.AddFile(value.Ref(), 0, 0))) return AgentCallFailed("AddFile", hr);
  }
  // Every file the agent queued was announced before AddFile returned;
  // the first of them may have finished already.
  std::vector<AgentEvent> arrived = events.Take(std::chrono::milliseconds(0));
  size_t queued = std::count_if(arrived.begin(), arrived.end(), [&paths](const AgentEvent& event) {
    return event.kind == AgentEvent::kQueued && IsFromPaths(event.text, paths);
  });
  if (queued == 0 && links == 0) {
    return AgentFailed("nothing to upload: no .wav, .mp3 or .wma file among the paths given");
  }
  std::cout << "uploading " << queued << " file(s)"
            << (links > 0 ? " and " + std::to_string(links) + " link(s)" : "") << std::endl;
  UploadFollower follower(paths, isatty(STDOUT_FILENO) != 0);
  follower.Take(arrived);
  while (follower.Unfinished() > 0) {
    arrived = events.Take(kQuietCheck);
    if (arrived.empty() && !IsAgentRunning()) {
      return AgentFailed("the agent ended before the uploads did (see its LogFile.log)");
    }
    follower.Take(arrived);
  }
  std::cout << follower.Sent() << " of " << follower.Count() << " file(s) sent";
  if (links > 0) {
    std::cout << "; " << links << " link(s) handed to the locker (see the agent's log)";
  }
  std::cout << "\n";
  return follower.Sent() == follower.Count() ? 0 : 1;
}

}  // namespace qap
