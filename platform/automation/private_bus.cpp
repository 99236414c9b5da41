// Starting and stopping a private dbus-daemon.
#include "platform/automation/private_bus.h"

#include <signal.h>
#include <stdlib.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <thread>

#include "platform/base/process.h"
#include "platform/base/sync.h"

namespace qap::automation {
namespace {

constexpr auto kStartTimeout = std::chrono::seconds(10);
constexpr DWORD kStopTimeoutMs = 5000;

// A name nobody else uses: an abstract socket has no file whose path could be
// too long for a socket address, and vanishes with the daemon.
std::string NewSocketName() {
  static std::atomic<unsigned> counter{0};
  std::random_device random;
  return "qap-bus-" + std::to_string(getpid()) + "-" + std::to_string(counter.fetch_add(1)) + "-" +
         std::to_string(random());
}

bool Accepts(const std::string& socketName) {
  int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return false;
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::memcpy(address.sun_path + 1, socketName.data(), socketName.size());
  socklen_t length =
      static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + socketName.size());
  bool connected = connect(fd, reinterpret_cast<sockaddr*>(&address), length) == 0;
  close(fd);
  return connected;
}

std::string XmlEscape(const std::string& text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      default: out += c;
    }
  }
  return out;
}

}  // namespace

PrivateSessionBus::PrivateSessionBus(std::string folder, std::string serviceDirectory,
                                     std::string workingDirectory)
    : m_folder(std::move(folder)),
      m_serviceDirectory(std::move(serviceDirectory)),
      m_workingDirectory(std::move(workingDirectory)) {}

PrivateSessionBus::~PrivateSessionBus() { Stop(); }

bool PrivateSessionBus::Start(std::string* error) {
  if (m_process != nullptr) return true;
  std::error_code fsError;
  std::filesystem::create_directories(m_folder, fsError);
  std::filesystem::create_directories(m_serviceDirectory, fsError);
  std::string socketName = NewSocketName();
  std::string config = m_folder + "/session.conf";
  {
    std::ofstream out(config, std::ios::trunc);
    out << "<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\"\n"
           " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
           "<busconfig>\n"
           "  <type>session</type>\n"
           "  <keep_umask/>\n"
           "  <listen>unix:abstract="
        << socketName
        << "</listen>\n"
           "  <auth>EXTERNAL</auth>\n"
           "  <servicedir>"
        << XmlEscape(m_serviceDirectory)
        << "</servicedir>\n"
           "  <policy context=\"default\">\n"
           "    <allow send_destination=\"*\" eavesdrop=\"true\"/>\n"
           "    <allow eavesdrop=\"true\"/>\n"
           "    <allow own=\"*\"/>\n"
           "  </policy>\n"
           "</busconfig>\n";
    if (!out.flush()) {
      if (error != nullptr) *error = "cannot write " + config;
      return false;
    }
  }
  // Set before the daemon starts: the servers it activates get its
  // environment.
  m_address = "unix:abstract=" + socketName;
  if (const char* previous = getenv("DBUS_SESSION_BUS_ADDRESS")) {
    m_previousAddress = previous;
    m_hadPreviousAddress = true;
  }
  setenv("DBUS_SESSION_BUS_ADDRESS", m_address.c_str(), 1);
  std::string commandLine = ArgsToCommandLine(
      {"dbus-daemon", "--config-file=" + config, "--nofork", "--nopidfile", "--nosyslog"});
  PROCESS_INFORMATION info{};
  if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE,
                      CREATE_NEW_PROCESS_GROUP, nullptr, m_workingDirectory.c_str(), nullptr,
                      &info)) {
    if (error != nullptr) *error = "cannot start dbus-daemon (is it installed?)";
    Stop();
    return false;
  }
  m_process = info.hProcess;
  m_processId = info.dwProcessId;
  auto deadline = std::chrono::steady_clock::now() + kStartTimeout;
  while (!Accepts(socketName)) {
    if (WaitForSingleObject(m_process, 0) == WAIT_OBJECT_0 ||
        std::chrono::steady_clock::now() > deadline) {
      if (error != nullptr) *error = "dbus-daemon did not start listening (see its messages above)";
      Stop();
      return false;
    }
    // The daemon needs a moment to read its configuration; polling is
    // bounded by the deadline above.
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return true;
}

void PrivateSessionBus::Stop() {
  if (m_process != nullptr) {
    kill(static_cast<pid_t>(m_processId), SIGTERM);
    if (WaitForSingleObject(m_process, kStopTimeoutMs) != WAIT_OBJECT_0) {
      kill(static_cast<pid_t>(m_processId), SIGKILL);
      WaitForSingleObject(m_process, INFINITE);
    }
    CloseHandle(m_process);
    m_process = nullptr;
    m_processId = 0;
  }
  if (!m_address.empty()) {
    if (m_hadPreviousAddress) {
      setenv("DBUS_SESSION_BUS_ADDRESS", m_previousAddress.c_str(), 1);
    } else {
      unsetenv("DBUS_SESSION_BUS_ADDRESS");
    }
    m_address.clear();
    m_hadPreviousAddress = false;
  }
}

}  // namespace qap::automation
