// The agent tests' shared fixture.
#include "agent/tests/agent_test_support.h"

#include <stdlib.h>

#include <sstream>

namespace qap::testing {

void EventRecorder::OnNotify(short value) {
  std::lock_guard<std::mutex> guard(m_mutex);
  m_values.push_back(value);
}

void EventRecorder::OnFinished(DWORD request, bool sent, const CString& reason) {
  std::lock_guard<std::mutex> guard(m_mutex);
  m_finished[request] = sent ? std::string("sent") : reason.str();
}

std::vector<short> EventRecorder::Values() const {
  std::lock_guard<std::mutex> guard(m_mutex);
  return m_values;
}

std::map<DWORD, std::string> EventRecorder::Finished() const {
  std::lock_guard<std::mutex> guard(m_mutex);
  return m_finished;
}

void EventRecorder::Clear() {
  std::lock_guard<std::mutex> guard(m_mutex);
  m_values.clear();
  m_finished.clear();
}

AgentTest::AgentTest() {
  if (const char* jar = getenv("QAP_COOKIE_JAR")) m_previousJar = jar;
  setenv("QAP_COOKIE_JAR", m_agentDir.File("cookies.txt").c_str(), 1);
  setenv("no_proxy", "*", 1);
  unsetenv("QAP_CONNECT_TO");
  m_log = std::make_unique<CLogFile>(m_agentDir.Path());
}

AgentTest::~AgentTest() {
  m_manager.reset();
  m_locker.reset();
  m_log.reset();
  unsetenv("QAP_CONNECT_TO");
  setenv("QAP_COOKIE_JAR", m_previousJar.c_str(), 1);
}

void AgentTest::StartLocker() {
  qap::locker::ServiceConfig config;
  config.dataDirectory = m_dataDir.Path();
  config.users[kUser] = kPassword;
  config.users["bob"] = "builder";
  config.webHost = kWebHost;
  config.uploadHost = kUploadHost;
  m_locker = std::make_unique<qap::locker::LockerService>(config);
  ASSERT_TRUE(m_locker->Start()) << m_locker->Error();
  Route(kWebHost, m_locker->Port());
  Route(kUploadHost, m_locker->Port());
}

void AgentTest::Route(const std::string& host, int port) {
  m_routes[host] = port;
  std::string connectTo;
  for (const auto& [name, target] : m_routes) {
    if (!connectTo.empty()) connectTo += ",";
    connectTo += name + ":80:127.0.0.1:" + std::to_string(target);
  }
  setenv("QAP_CONNECT_TO", connectTo.c_str(), 1);
}

CAgentConnectionManager& AgentTest::Manager() {
  if (!m_manager) {
    m_manager = std::make_unique<CAgentConnectionManager>(m_agentDir.Path(), &m_events,
                                                          m_musicDir.Path().c_str(), kWebHost);
  }
  return *m_manager;
}

bool AgentTest::LogIn(const char* user, const char* password) {
  return Locker().Login(Manager().Config().GetAuthUserURL(), user, password, "qap") != FALSE;
}

std::string AgentTest::MusicFile(const std::string& name, size_t size) {
  return m_musicDir.Write(name, PatternBytes(size));
}

void AgentTest::WaitIdle() {
  ASSERT_TRUE(WaitFor([this] { return Manager().IsIdle() != FALSE; }, std::chrono::seconds(30)))
      << "the worker did not finish";
}

std::string AgentTest::LogText() const { return ReadFile(m_agentDir.File("LogFile.log")); }

std::vector<std::string> AgentTest::LogMessages() const {
  std::vector<std::string> messages;
  std::string text = LogText();
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find("\r\n", start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    start = end + 2;
    // "<prefix><24-character time> : <message>"
    size_t at = line.find(" at ");
    if (at != std::string::npos && line.size() >= at + 4 + 24 + 3) {
      messages.push_back(line.substr(at + 4 + 24 + 3));
    } else {
      messages.push_back(line);
    }
  }
  return messages;
}

bool AgentTest::Logged(const std::string& message) const {
  for (const std::string& line : LogMessages()) {
    if (line == message) return true;
  }
  return false;
}

std::string PatternBytes(size_t size) {
  std::string bytes(size, '\0');
  for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 7 + i / 251) & 0xFF);
  return bytes;
}

ScopedEnvironment::ScopedEnvironment(const char* name, const std::string& value) : m_name(name) {
  if (const char* previous = getenv(name)) m_previous = previous;
  setenv(name, value.c_str(), 1);
}

ScopedEnvironment::~ScopedEnvironment() {
  if (m_previous) {
    setenv(m_name, m_previous->c_str(), 1);
  } else {
    unsetenv(m_name);
  }
}

}  // namespace qap::testing
