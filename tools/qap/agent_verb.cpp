// qap agent: drives the upload agent LBAgent2 over the session bus through its
// Request2 object, as the player does.
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "agent/client/request2_client.h"
#include "platform/base/codepage.h"
#include "platform/base/module_path.h"
#include "platform/base/process.h"
#include "platform/base/sync.h"
#include "tools/qap/verb.h"

namespace qap {
namespace {

namespace fs = std::filesystem;

int Run(const Args& args);

const Verb kVerb{
    "agent", "drive the upload agent LBAgent2 (login, uploads, downloads, clients)",
    "usage: qap agent COMMAND [ARGS]\n\n"
    "Talks to the upload agent's Request2 object on the session bus, as the\n"
    "player does. The first command starts LBAgent2 through the bus; it ends\n"
    "about 5 seconds after the last command let go of it.\n\n"
    "  login USER PASSWORD [SERVICE]  log in at the locker; prints whether it worked\n"
    "  upload PATH...                 queue music files (.wav, .mp3, .wma), folders of\n"
    "                                 them, or http(s) links, and follow the uploads\n"
    "  download URL [DIR]             download URL into DIR (default: the agent's temp\n"
    "                                 folder) and wait for it\n"
    "  status                         the agent's status text, login state and version\n"
    "  cancel                         cancel the running transfer and the queued ones\n"
    "  logout                         log out (the agent tells its clients 23)\n"
    "  locker                         open the user's locker in the browser, logged in\n"
    "  version                        the agent's version\n"
    "  client add NAME FORMAT PATH    a program that receives downloaded files: FORMAT\n"
    "                                 is its command line with %s for the file; kept by\n"
    "                                 the running agent only\n"
    "  client remove NAME             forget the first client of that name\n"
    "  register                       register LBAgent2 (registry keys, type library,\n"
    "                                 bus activation file)\n"
    "  unregister                     remove that registration\n\n"
    "The agent logs what it does to LogFile.log in the bus daemon's folder.\n",
    Run};
const VerbRegistrar kRegistrar(kVerb);

constexpr auto kEventWait = std::chrono::milliseconds(200);
// How long events may trail the end of the queue.
constexpr auto kLateEventWait = std::chrono::seconds(2);

std::string HResultText(HRESULT hr) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(hr));
  return text;
}

int Failed(const std::string& message) {
  std::cerr << "qap agent: " << message << "\n";
  return 1;
}

int CallFailed(const char* method, HRESULT hr) {
  return Failed(std::string(method) + " failed (" + HResultText(hr) +
                "); is LBAgent2 still running?");
}

bool Connect(ComPtr<IRequest2>* agent) {
  HRESULT hr = CreateRequest2Proxy(agent);
  if (SUCCEEDED(hr)) return true;
  if (hr == REGDB_E_CLASSNOTREG) {
    Failed("LBAgent2 is not registered; run 'qap agent register' first");
  } else {
    const char* address = std::getenv("DBUS_SESSION_BUS_ADDRESS");
    Failed("cannot reach the upload agent on the session bus (" +
           std::string(address != nullptr ? address : "no DBUS_SESSION_BUS_ADDRESS") + ", " +
           HResultText(hr) + ")");
  }
  return false;
}

std::string StatusText(IRequest2& agent) {
  VARIANT status;
  if (FAILED(agent.GetStatusText(&status, 0))) return "?";
  std::string text =
      status.vt == VT_BSTR
          ? WideToAnsi(std::u16string_view(status.bstrVal, SysStringLen(status.bstrVal)))
          : "?";
  VariantClear(&status);
  return text;
}

bool LoggedIn(IRequest2& agent) {
  LONG loggedIn = 0;
  return SUCCEEDED(agent.IsLoggedIn(&loggedIn)) && loggedIn == 1;
}

// The OnNotify values as they arrive, for the thread that shows them.
class EventQueue {
 public:
  void Push(short value) {
    std::lock_guard<std::mutex> guard(m_mutex);
    m_values.push_back(value);
    m_changed.notify_all();
  }
  std::vector<short> Take(std::chrono::milliseconds wait) {
    std::unique_lock<std::mutex> lock(m_mutex);
    m_changed.wait_for(lock, wait, [this] { return !m_values.empty(); });
    std::vector<short> values;
    values.swap(m_values);
    return values;
  }

 private:
  std::mutex m_mutex;
  std::condition_variable m_changed;
  std::vector<short> m_values;
};

bool IsLink(const std::string& path) {
  return path.rfind("http://", 0) == 0 || path.rfind("https://", 0) == 0;
}

bool IsMusic(const fs::path& path) {
  std::string extension = path.extension().string();
  for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return extension == ".wav" || extension == ".mp3" || extension == ".wma";
}

struct Upload {
  std::string name;
  std::uintmax_t size = 0;
  int percent = -1;  // -1: not started
};

// The files the agent will queue for paths, in its order: a music file, or
// the music files directly in a folder, as the folder lists them.
std::vector<Upload> ExpectedUploads(const std::vector<std::string>& paths) {
  std::vector<Upload> uploads;
  for (const std::string& path : paths) {
    std::error_code error;
    if (IsLink(path)) continue;
    if (fs::is_directory(path, error)) {
      for (fs::directory_iterator entry(path, error), end; !error && entry != end;
           entry.increment(error)) {
        if (!entry->is_directory(error) && IsMusic(entry->path())) {
          uploads.push_back({entry->path().filename().string(), entry->file_size(error)});
        }
      }
    } else if (IsMusic(path) && fs::exists(path, error)) {
      uploads.push_back({fs::path(path).filename().string(), fs::file_size(path, error)});
    }
  }
  return uploads;
}

void ShowProgress(const std::vector<Upload>& uploads, size_t current, bool terminal) {
  if (current >= uploads.size()) return;
  const Upload& upload = uploads[current];
  if (terminal) {
    int filled = upload.percent / 5;
    std::printf("\r  [%zu/%zu] %-32.32s [%s%s] %3d%%", current + 1, uploads.size(),
                upload.name.c_str(), std::string(static_cast<size_t>(filled), '#').c_str(),
                std::string(static_cast<size_t>(20 - filled), '-').c_str(), upload.percent);
    std::fflush(stdout);
  }
}

void FinishLine(const std::vector<Upload>& uploads, size_t current, bool terminal) {
  if (current >= uploads.size()) return;
  const Upload& upload = uploads[current];
  bool sent = upload.percent == 100 || upload.size == 0;
  if (terminal) std::printf("\r%80s\r", "");
  std::printf("  %s %s (%ju bytes)\n", sent ? "sent  " : "FAILED", upload.name.c_str(),
              upload.size);
  std::fflush(stdout);
}

int UploadCommand(IRequest2& agent, const Args& args) {
  std::vector<std::string> paths;
  for (size_t i = 1; i < args.size(); ++i) {
    // The agent resolves paths in its own folder: hand it whole ones.
    paths.push_back(IsLink(args[i]) ? args[i] : fs::absolute(args[i]).lexically_normal().string());
  }
  std::vector<Upload> uploads = ExpectedUploads(paths);
  size_t links = 0;
  for (const std::string& path : paths) links += IsLink(path) ? 1 : 0;
  if (uploads.empty() && links == 0) {
    return Failed("nothing to upload: no .wav, .mp3 or .wma file among the paths given");
  }
  if (!LoggedIn(agent)) return Failed("not logged in; run 'qap agent login USER PASSWORD' first");
  EventQueue events;
  NotifySubscription subscription;
  HRESULT hr = subscription.Subscribe(&agent, [&events](short value) { events.Push(value); });
  if (FAILED(hr)) return CallFailed("Subscribe", hr);
  std::cout << "uploading " << uploads.size() << " file(s)"
            << (links > 0 ? " and " + std::to_string(links) + " link(s)" : "") << "\n";
  for (const std::string& path : paths) {
    CComBSTR value(path.c_str());
    if (FAILED(hr = agent.AddFile(value.Ref(), 0, 0))) return CallFailed("AddFile", hr);
  }
  bool terminal = isatty(STDOUT_FILENO) != 0;
  size_t current = 0;
  bool started = false;
  // The events travel as bus signals, dispatched on the subscription's own
  // thread: the last ones may still be on their way when IsDone's reply says
  // the queue is empty. So after that, events are taken until they stop
  // coming, a little longer while the last upload has not reached 100.
  std::optional<std::chrono::steady_clock::time_point> doneAt;
  while (true) {
    std::vector<short> values = events.Take(kEventWait);
    for (short value : values) {
      if (value == 0) {
        if (started) FinishLine(uploads, current++, terminal);
        started = true;
      }
      if (current < uploads.size() && value >= 0 && value <= 100) uploads[current].percent = value;
      ShowProgress(uploads, current, terminal);
    }
    if (doneAt) {
      bool lastSettled = current >= uploads.size() || uploads[current].percent == 100;
      if (values.empty() &&
          (lastSettled || std::chrono::steady_clock::now() - *doneAt > kLateEventWait)) {
        break;
      }
      continue;
    }
    VARIANT nothing;
    VariantInit(&nothing);
    hr = agent.IsDone(nothing);
    if (hr == S_OK) doneAt = std::chrono::steady_clock::now();
    else if (hr != E_FAIL) return CallFailed("IsDone", hr);
  }
  if (started) FinishLine(uploads, current++, terminal);
  for (; current < uploads.size(); ++current) FinishLine(uploads, current, false);
  size_t sent = 0;
  for (const Upload& upload : uploads) sent += upload.percent == 100 || upload.size == 0 ? 1 : 0;
  std::cout << sent << " of " << uploads.size() << " file(s) sent";
  if (links > 0)
    std::cout << "; " << links << " link(s) handed to the locker (see the agent's log)";
  std::cout << "\n";
  return sent == uploads.size() ? 0 : 1;
}

int DownloadCommand(IRequest2& agent, const Args& args) {
  std::string folder = args.size() == 3 ? fs::absolute(args[2]).string() : std::string();
  CComBSTR url(args[1].c_str());
  CComBSTR directory(folder.c_str());
  HRESULT hr = agent.Download(url.Ref(), directory.Ref());
  if (FAILED(hr)) return CallFailed("Download", hr);
  VARIANT nothing;
  VariantInit(&nothing);
  while ((hr = agent.IsDone(nothing)) == E_FAIL) {
    // The agent reports no download progress; asking is all there is.
    Sleep(static_cast<DWORD>(kEventWait.count()));
  }
  if (FAILED(hr)) return CallFailed("IsDone", hr);
  CComVariant source(args[1].c_str());
  if (agent.IsDone(source) != S_OK)
    return Failed("the download of " + args[1] + " failed (see the agent's log)");
  std::cout << "downloaded " << args[1] << " into "
            << (folder.empty() ? std::string("the agent's temp folder") : folder) << "\n";
  return 0;
}

int Simple(IRequest2& agent, const Args& args) {
  const std::string& command = args[0];
  HRESULT hr = S_OK;
  if (command == "login") {
    CComBSTR user(args[1].c_str()), password(args[2].c_str()),
        service(args.size() == 4 ? args[3].c_str() : "");
    if (FAILED(hr = agent.Login(user.Ref(), password.Ref(), service.Ref(), 0))) {
      return CallFailed("Login", hr);
    }
    if (!LoggedIn(agent)) {
      return Failed("login of " + args[1] +
                    " failed: wrong user name or password, or the locker cannot be reached");
    }
    std::cout << "logged in as " << args[1] << "\n";
  } else if (command == "status") {
    BSTR version = nullptr;
    agent.GetVersion(&version);
    std::cout << "status:    " << StatusText(agent) << "\n"
              << "logged in: " << (LoggedIn(agent) ? "yes" : "no") << "\n"
              << "version:   "
              << CComBSTR(std::u16string_view(version != nullptr ? version : u"")).Ansi() << "\n";
    SysFreeString(version);
  } else if (command == "version") {
    BSTR version = nullptr;
    if (FAILED(hr = agent.GetVersion(&version))) return CallFailed("GetVersion", hr);
    std::cout << CComBSTR(std::u16string_view(version)).Ansi() << "\n";
    SysFreeString(version);
  } else if (command == "cancel") {
    if (FAILED(hr = agent.CancelAll())) return CallFailed("CancelAll", hr);
    std::cout
        << "canceled: the running transfer stops at its next chunk, the queued ones are dropped\n";
  } else if (command == "logout") {
    EventQueue events;
    NotifySubscription subscription;
    subscription.Subscribe(&agent, [&events](short value) { events.Push(value); });
    if (FAILED(hr = agent.Logout(0))) return CallFailed("Logout", hr);
    std::vector<short> told = events.Take(std::chrono::seconds(2));
    std::cout << "logged out"
              << (!told.empty() ? " (clients were told " + std::to_string(told.back()) + ")" : "")
              << "\n";
  } else if (command == "locker") {
    if (!LoggedIn(agent)) return Failed("not logged in; run 'qap agent login USER PASSWORD' first");
    if (FAILED(hr = agent.GotoLocker(0, 0))) return CallFailed("GotoLocker", hr);
    std::cout << "the agent opens the locker page (gohome.htm beside LBAgent2) in the browser\n";
  }
  return 0;
}

int ClientCommand(IRequest2& agent, const Args& args) {
  HRESULT hr = S_OK;
  if (args[1] == "add") {
    CComBSTR name(args[2].c_str()), format(args[3].c_str()), path(args[4].c_str());
    if (FAILED(hr = agent.AddClient(name.Ref(), format.Ref(), path.Ref()))) {
      return CallFailed("AddClient", hr);
    }
    std::cout << "client " << args[2] << " added (kept by the running agent until it ends)\n";
    return 0;
  }
  CComBSTR name(args[2].c_str());
  if (FAILED(hr = agent.RemoveClient(name.Ref()))) return CallFailed("RemoveClient", hr);
  std::cout << "client " << args[2] << " removed, if the agent had it\n";
  return 0;
}

// register and unregister run LBAgent2 itself, as an installer would.
int Registration(const std::string& command) {
  std::string program = (fs::path(ExecutablePath()).parent_path() / "LBAgent2").string();
  std::string commandLine =
      ArgsToCommandLine({program, command == "register" ? "/RegServer" : "/UnregServer"});
  PROCESS_INFORMATION started{};
  if (!CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      nullptr, nullptr, &started)) {
    return Failed("cannot run " + program);
  }
  WaitForSingleObject(started.hProcess, INFINITE);
  DWORD code = 1;
  GetExitCodeProcess(started.hProcess, &code);
  CloseHandle(started.hProcess);
  if (code != 0) return Failed(command + " failed: LBAgent2 exited with " + std::to_string(code));
  std::cout << (command == "register" ? "registered " : "unregistered ") << program << "\n";
  return 0;
}

// The arguments each command takes, checked before the agent is started.
bool ArgumentsFit(const Args& args) {
  const std::string& command = args[0];
  size_t count = args.size() - 1;
  if (command == "login") return count == 2 || count == 3;
  if (command == "upload") return count >= 1;
  if (command == "download") return count == 1 || count == 2;
  if (command == "client") {
    return (count == 4 && args[1] == "add") || (count == 2 && args[1] == "remove");
  }
  return count == 0;
}

int Run(const Args& args) {
  if (args.empty()) return UsageError(kVerb, "no command");
  const std::string& command = args[0];
  static const char* const kCommands[] = {"login",  "upload",   "download",  "status",
                                          "cancel", "logout",   "locker",    "version",
                                          "client", "register", "unregister"};
  if (std::find(std::begin(kCommands), std::end(kCommands), command) == std::end(kCommands)) {
    return UsageError(kVerb, "unknown command '" + command + "'");
  }
  if (!ArgumentsFit(args)) return UsageError(kVerb, "wrong arguments for " + command);
  if (command == "register" || command == "unregister") return Registration(command);
  ComPtr<IRequest2> agent;
  if (!Connect(&agent)) return 1;
  if (command == "upload") return UploadCommand(*agent, args);
  if (command == "download") return DownloadCommand(*agent, args);
  if (command == "client") return ClientCommand(*agent, args);
  return Simple(*agent, args);
}

}  // namespace
}  // namespace qap
