// The shared fixtures of qap agent's tests.
#include "tools/qap/tests/agent_session.h"

#include <sys/wait.h>

#include <filesystem>

#include "platform/testing/spawn.h"

namespace qap::testing {

namespace fs = std::filesystem;

AgentSession::AgentSession(const std::string& browser)
    : m_browser("BROWSER", m_dir.File(browser)) {}

void AgentSession::SetUp() {
  qap::locker::ServiceConfig config;
  config.dataDirectory = m_dir.File("locker");
  config.users = m_accounts;
  config.webHost = "www.lokbin.com";
  config.uploadHost = "upload.lokbin.com";
  config.log = [this](const std::string& line) {
    std::lock_guard<std::mutex> guard(m_logMutex);
    m_lockerLog.push_back(line);
  };
  m_locker = std::make_unique<qap::locker::LockerService>(config);
  ASSERT_TRUE(m_locker->Start()) << m_locker->Error();
  m_bus = std::make_unique<qap::automation::PrivateSessionBus>(
      m_dir.File("bus"), m_dir.File("data") + "/dbus-1/services", m_dir.Path());
  std::string error;
  ASSERT_TRUE(m_bus->Start(&error)) << error;
  RegisterOwnAgent();
  Route(m_locker->Port(), m_locker->Port());
}

// The agent keeps its settings and its locker page in its own folder: a
// session registers an agent of its own (the built one, linked into its
// folder) so that sessions running side by side never share them.
void AgentSession::RegisterOwnAgent() {
  std::string built = std::getenv("QAP_BIN_DIR");
  std::error_code error;
  fs::create_directories(AgentDirectory(), error);
  for (const char* name : {"LBAgent2", "LBAgent2.tlb"}) {
    fs::path own = fs::path(AgentDirectory()) / name;
    fs::create_hard_link(fs::path(built) / name, own, error);
    if (error) fs::copy_file(fs::path(built) / name, own, error);
    ASSERT_FALSE(error) << "cannot put " << name << " into " << AgentDirectory() << ": "
                        << error.message();
  }
  pid_t registering = Spawn(AgentDirectory() + "/LBAgent2", {"/RegServer"});
  ASSERT_GT(registering, 0);
  int status = 0;
  waitpid(registering, &status, 0);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "LBAgent2 /RegServer: " << status;
}

void AgentSession::TearDown() {
  m_bus.reset();
  m_locker.reset();
}

void AgentSession::Route(int webPort, int uploadPort) {
  m_route.reset();  // puts the variable back first
  m_route = std::make_unique<EnvironmentValue>(
      "QAP_CONNECT_TO", "www.lokbin.com:80:127.0.0.1:" + std::to_string(webPort) +
                            ",upload.lokbin.com:80:127.0.0.1:" + std::to_string(uploadPort));
}

std::vector<std::string> AgentSession::LockerLog() const {
  std::lock_guard<std::mutex> guard(m_logMutex);
  return m_lockerLog;
}

}  // namespace qap::testing
