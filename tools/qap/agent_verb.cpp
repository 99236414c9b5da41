// qap agent: drives the upload agent LBAgent2 over the session bus through its
// Request2 object, as the player does.
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <mutex>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "agent/client/request2_client.h"
#include "agent/request2_ids.h"
#include "platform/automation/bus_service.h"
#include "platform/base/codepage.h"
#include "platform/base/module_path.h"
#include "platform/base/process.h"
#include "platform/base/sync.h"
#include "tools/qap/agent_commands.h"
#include "tools/qap/verb.h"

extern char** environ;

namespace qap {
namespace {

namespace fs = std::filesystem;

int Run(const Args& args);

const Verb kVerb{
    "agent", "drive the upload agent LBAgent2 (login, uploads, downloads, clients)",
    "usage: qap agent COMMAND [ARGS]\n\n"
    "Talks to the upload agent's Request2 object on the session bus, as the\n"
    "player does. The first command starts LBAgent2 through the bus, handing it\n"
    "this shell's QAP_*, HOME and XDG_* variables; it ends about 5 seconds after\n"
    "the last command let go of it.\n\n"
    "  login USER [SERVICE]           log in at the locker; prints whether it worked.\n"
    "                                 The password is asked for (not shown) on a\n"
    "                                 terminal; --password-stdin reads it from\n"
    "                                 standard input instead. It is never an argument.\n"
    "  upload PATH...                 queue music files (.wav, .mp3, .wma), folders of\n"
    "                                 them, or http(s) links, and follow the uploads: a\n"
    "                                 file counts as sent once the locker took it;\n"
    "                                 exits with 1 when any failed\n"
    "  download URL [DIR]             download URL into DIR (default: the agent's temp\n"
    "                                 folder) and wait for it\n"
    "  status                         the agent's status text, login state and version\n"
    "  cancel                         cancel the running transfer and the queued ones;\n"
    "                                 with nothing running, the next upload instead\n"
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

// Downloads report nothing while they run: the command asks this often.
constexpr auto kDownloadPoll = std::chrono::milliseconds(200);

constexpr const char* kPasswordArgument =
    "a password is never given on the command line, where other users can see it: type it "
    "when asked, or pipe it in with --password-stdin";

std::string HResultText(HRESULT hr) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(hr));
  return text;
}

// What the agent needs of this shell's environment: started by the bus, it
// gets the bus's own otherwise.
std::vector<std::pair<std::string, std::string>> ActivationVariables() {
  std::vector<std::pair<std::string, std::string>> variables;
  for (char** entry = environ; *entry != nullptr; ++entry) {
    std::string_view text(*entry);
    size_t equals = text.find('=');
    if (equals == std::string_view::npos) continue;
    std::string_view name = text.substr(0, equals);
    if (name.rfind("QAP_", 0) == 0 || name.rfind("XDG_", 0) == 0 || name == "HOME") {
      variables.emplace_back(name, text.substr(equals + 1));
    }
  }
  return variables;
}

bool Connect(ComPtr<IRequest2>* agent) {
  // A bus that cannot be reached is told below, by the connection.
  automation::UpdateActivationEnvironment(ActivationVariables());
  HRESULT hr = CreateRequest2Proxy(agent);
  if (SUCCEEDED(hr)) return true;
  if (hr == REGDB_E_CLASSNOTREG) {
    AgentFailed("LBAgent2 is not registered; run 'qap agent register' first");
  } else {
    const char* address = std::getenv("DBUS_SESSION_BUS_ADDRESS");
    AgentFailed("cannot reach the upload agent on the session bus (" +
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

bool Idle(IRequest2& agent) {
  VARIANT nothing;
  VariantInit(&nothing);
  return agent.IsDone(nothing) == S_OK;
}

struct LoginArgs {
  std::string user;
  std::string service;
  bool passwordFromStdin = false;
};

// login USER [SERVICE] [--password-stdin]; error says what is wrong.
bool ParseLogin(const Args& args, LoginArgs* login, std::string* error) {
  std::vector<std::string> positional;
  for (size_t i = 1; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--password-stdin") {
      login->passwordFromStdin = true;
    } else if (arg.rfind("--password", 0) == 0 || arg == "-p") {
      *error = kPasswordArgument;
      return false;
    } else if (arg.size() > 1 && arg[0] == '-') {
      *error = "unknown option '" + arg + "' for login";
      return false;
    } else {
      positional.push_back(arg);
    }
  }
  if (positional.size() == 3) {
    // USER PASSWORD SERVICE, as login once took it.
    *error = kPasswordArgument;
    return false;
  }
  if (positional.empty() || positional.size() > 3) {
    *error = "login takes USER [SERVICE]";
    return false;
  }
  login->user = positional[0];
  if (positional.size() == 2) login->service = positional[1];
  return true;
}

// Turns the terminal's echo off for the life of the object.
class HiddenInput {
 public:
  HiddenInput() {
    if (tcgetattr(STDIN_FILENO, &m_saved) != 0) return;
    termios quiet = m_saved;
    quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
    m_active = tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet) == 0;
  }
  ~HiddenInput() {
    if (m_active) tcsetattr(STDIN_FILENO, TCSAFLUSH, &m_saved);
  }
  HiddenInput(const HiddenInput&) = delete;
  HiddenInput& operator=(const HiddenInput&) = delete;

 private:
  termios m_saved{};
  bool m_active = false;
};

// The password: one line of standard input, asked for without echo when
// that is a terminal. error says why there is none.
bool ReadPassword(const LoginArgs& login, std::string* password, std::string* error) {
  bool terminal = isatty(STDIN_FILENO) != 0;
  if (!login.passwordFromStdin && !terminal) {
    *error = "no terminal to ask for the password on; pipe it in with --password-stdin";
    return false;
  }
  bool read = false;
  if (terminal && !login.passwordFromStdin) {
    std::cerr << "Password for " << login.user << ": " << std::flush;
    HiddenInput hidden;
    read = static_cast<bool>(std::getline(std::cin, *password));
    std::cerr << "\n";
  } else {
    read = static_cast<bool>(std::getline(std::cin, *password));
  }
  if (!read) {
    *error = "no password on standard input";
    return false;
  }
  if (!password->empty() && password->back() == '\r') password->pop_back();
  return true;
}

int LoginCommand(IRequest2& agent, const LoginArgs& login, std::string password) {
  CComBSTR user(login.user.c_str()), secret(password.c_str()), service(login.service.c_str());
  // The only other copy now is the one on its way to the agent.
  std::fill(password.begin(), password.end(), '\0');
  HRESULT hr = agent.Login(user.Ref(), secret.Ref(), service.Ref(), 0);
  if (FAILED(hr)) return AgentCallFailed("Login", hr);
  if (!AgentLoggedIn(agent)) {
    return AgentFailed("login of " + login.user +
                       " failed: wrong user name or password, or the locker cannot be reached");
  }
  std::cout << "logged in as " << login.user << "\n";
  return 0;
}

int DownloadCommand(IRequest2& agent, const Args& args) {
  std::string folder = args.size() == 3 ? fs::absolute(args[2]).string() : std::string();
  CComBSTR url(args[1].c_str());
  CComBSTR directory(folder.c_str());
  HRESULT hr = agent.Download(url.Ref(), directory.Ref());
  if (FAILED(hr)) return AgentCallFailed("Download", hr);
  VARIANT nothing;
  VariantInit(&nothing);
  while ((hr = agent.IsDone(nothing)) == E_FAIL) {
    // The agent reports no download progress; asking is all there is.
    Sleep(static_cast<DWORD>(kDownloadPoll.count()));
  }
  if (FAILED(hr)) return AgentCallFailed("IsDone", hr);
  CComVariant source(args[1].c_str());
  if (agent.IsDone(source) != S_OK)
    return AgentFailed("the download of " + args[1] + " failed (see the agent's log)");
  std::cout << "downloaded " << args[1] << " into "
            << (folder.empty() ? std::string("the agent's temp folder") : folder) << "\n";
  return 0;
}

int Simple(IRequest2& agent, const Args& args) {
  const std::string& command = args[0];
  HRESULT hr = S_OK;
  if (command == "status") {
    BSTR version = nullptr;
    agent.GetVersion(&version);
    std::cout << "status:    " << StatusText(agent) << "\n"
              << "logged in: " << (AgentLoggedIn(agent) ? "yes" : "no") << "\n"
              << "version:   "
              << CComBSTR(std::u16string_view(version != nullptr ? version : u"")).Ansi() << "\n";
    SysFreeString(version);
  } else if (command == "version") {
    BSTR version = nullptr;
    if (FAILED(hr = agent.GetVersion(&version))) return AgentCallFailed("GetVersion", hr);
    std::cout << CComBSTR(std::u16string_view(version)).Ansi() << "\n";
    SysFreeString(version);
  } else if (command == "cancel") {
    bool idle = Idle(agent);
    if (idle) {
      // A cancellation waits for a transfer to see it.
      std::cout << "nothing is running: this cancels the next upload as soon as it starts, "
                   "and the ones queued after it\n"
                << std::flush;
    }
    if (FAILED(hr = agent.CancelAll())) return AgentCallFailed("CancelAll", hr);
    if (!idle) {
      std::cout << "canceled: the running transfer stops at its next chunk, the queued ones "
                   "are dropped\n";
    }
  } else if (command == "logout") {
    std::vector<short> told;
    std::mutex toldMutex;
    Request2Events wanted;
    wanted.onNotify = [&](short value) {
      std::lock_guard<std::mutex> guard(toldMutex);
      told.push_back(value);
    };
    Request2Subscription subscription;
    subscription.Subscribe(&agent, std::move(wanted));
    if (FAILED(hr = agent.Logout(0))) return AgentCallFailed("Logout", hr);
    // The agent told its clients before it answered.
    subscription.Unsubscribe();
    std::cout << "logged out"
              << (!told.empty() ? " (clients were told " + std::to_string(told.back()) + ")" : "")
              << "\n";
  } else if (command == "locker") {
    if (!AgentLoggedIn(agent)) {
      return AgentFailed("not logged in; run 'qap agent login USER' first");
    }
    hr = agent.GotoLocker(0, 0);
    if (hr == kNoBrowserResult) {
      return AgentFailed(
          "Failed to launch browser: the agent wrote the locker page (gohome.htm beside "
          "LBAgent2) but could start no browser; set BROWSER to one");
    }
    if (FAILED(hr)) {
      return AgentFailed("the locker page could not be written (see the agent's log)");
    }
    std::cout << "the agent opened the locker page (gohome.htm beside LBAgent2) in the browser\n";
  }
  return 0;
}

int ClientCommand(IRequest2& agent, const Args& args) {
  HRESULT hr = S_OK;
  if (args[1] == "add") {
    CComBSTR name(args[2].c_str()), format(args[3].c_str()), path(args[4].c_str());
    if (FAILED(hr = agent.AddClient(name.Ref(), format.Ref(), path.Ref()))) {
      return AgentCallFailed("AddClient", hr);
    }
    std::cout << "client " << args[2] << " added (kept by the running agent until it ends)\n";
    return 0;
  }
  CComBSTR name(args[2].c_str());
  if (FAILED(hr = agent.RemoveClient(name.Ref()))) return AgentCallFailed("RemoveClient", hr);
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
    return AgentFailed("cannot run " + program);
  }
  WaitForSingleObject(started.hProcess, INFINITE);
  DWORD code = 1;
  GetExitCodeProcess(started.hProcess, &code);
  CloseHandle(started.hProcess);
  if (code != 0) {
    return AgentFailed(command + " failed: LBAgent2 exited with " + std::to_string(code));
  }
  std::cout << (command == "register" ? "registered " : "unregistered ") << program << "\n";
  return 0;
}

// The arguments each command takes, checked before the agent is started.
bool ArgumentsFit(const Args& args) {
  const std::string& command = args[0];
  size_t count = args.size() - 1;
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
  if (command == "login") {
    // The password is asked for before the agent is started.
    LoginArgs login;
    std::string error, password;
    if (!ParseLogin(args, &login, &error)) return UsageError(kVerb, error);
    if (!ReadPassword(login, &password, &error)) return AgentFailed(error);
    ComPtr<IRequest2> agent;
    if (!Connect(&agent)) return 1;
    return LoginCommand(*agent, login, std::move(password));
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

int AgentFailed(const std::string& message) {
  std::cerr << "qap agent: " << message << "\n";
  return 1;
}

int AgentCallFailed(const char* method, HRESULT hr) {
  return AgentFailed(std::string(method) + " failed (" + HResultText(hr) +
                     "); is LBAgent2 still running?");
}

bool AgentLoggedIn(IRequest2& agent) {
  LONG loggedIn = 0;
  return SUCCEEDED(agent.IsLoggedIn(&loggedIn)) && loggedIn == 1;
}

}  // namespace qap
