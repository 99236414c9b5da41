// What the agent's tests share: a scratch agent folder with its log, a
// private cookie jar, a locker service on loopback reached through
// QAP_CONNECT_TO, the manager under test and a recorder of its events.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "agent/agent_connection_manager.h"
#include "agent/event_sink.h"
#include "agent/log_file.h"
#include "platform/testing/scratch.h"
#include "tools/locker-service/locker_service.h"

namespace qap::testing {

constexpr const char* kWebHost = "www.locker.test";
constexpr const char* kUploadHost = "upload.locker.test";
constexpr const char* kUser = "alice";
constexpr const char* kPassword = "pa&ss=word";

class EventRecorder : public IAgentEventSink {
 public:
  void OnNotify(short value) override;
  void OnFinished(DWORD request, bool sent, const CString& reason) override;
  std::vector<short> Values() const;
  // Each reported request's end by its place in the queue: "sent", or why
  // it failed.
  std::map<DWORD, std::string> Finished() const;
  void Clear();

 private:
  mutable std::mutex m_mutex;
  std::vector<short> m_values;
  std::map<DWORD, std::string> m_finished;
};

class AgentTest : public ::testing::Test {
 protected:
  AgentTest();
  ~AgentTest() override;

  // Starts the locker service and routes both locker hosts to it.
  void StartLocker();
  // Routes host (port 80) to the given local port from now on.
  void Route(const std::string& host, int port);
  // The manager, made on first use (the configuration reads "lbagent.ini"
  // from the agent folder, so write that first where a test needs it).
  CAgentConnectionManager& Manager();
  CLokbinHTTPConnection& Locker() { return *Manager().Locker(); }
  bool LogIn(const char* user = kUser, const char* password = kPassword);
  // Queues an upload of a file written into the music folder.
  std::string MusicFile(const std::string& name, size_t size);
  // Waits (bounded) until every queued request has been started and run.
  void WaitIdle();
  std::string LogText() const;
  // The log's messages without their prefix and time.
  std::vector<std::string> LogMessages() const;
  bool Logged(const std::string& message) const;

  ScratchDir m_agentDir;
  ScratchDir m_musicDir;
  ScratchDir m_dataDir;
  std::string m_previousJar;
  std::map<std::string, int> m_routes;
  std::unique_ptr<CLogFile> m_log;
  std::unique_ptr<qap::locker::LockerService> m_locker;
  EventRecorder m_events;
  std::unique_ptr<CAgentConnectionManager> m_manager;
};

// A file of size bytes of a repeating pattern.
std::string PatternBytes(size_t size);

// Sets an environment variable for the life of the object.
class ScopedEnvironment {
 public:
  ScopedEnvironment(const char* name, const std::string& value);
  ~ScopedEnvironment();
  ScopedEnvironment(const ScopedEnvironment&) = delete;
  ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

 private:
  const char* m_name;
  std::optional<std::string> m_previous;
};

}  // namespace qap::testing
