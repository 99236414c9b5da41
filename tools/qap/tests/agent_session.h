// What the tests of qap agent share: a scratch hive and folder, and a
// session with a locker service of the test's own and a private bus with an
// LBAgent2 of the session's own registered on it.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/automation/private_bus.h"
#include "platform/testing/scratch.h"
#include "tools/locker-service/locker_service.h"
#include "tools/qap/environment_value.h"

namespace qap::testing {

class AgentCommand : public ::testing::Test {
 protected:
  ScratchHive m_hive;
  ScratchDir m_dir;
  EnvironmentValue m_data{"XDG_DATA_HOME", m_dir.File("data")};
  EnvironmentValue m_noBus{"DBUS_SESSION_BUS_ADDRESS", "unix:abstract=qap-no-bus-here"};
};

// The locker knows the accounts of m_accounts and serves www.lokbin.com and
// upload.lokbin.com. The bus starts before the route to the service is set:
// qap hands the route to the bus, or the agent would never find the service.
class AgentSession : public AgentCommand {
 protected:
  // browser: the program in the scratch folder that $BROWSER names for the
  // agent; by default one that does not exist.
  explicit AgentSession(const std::string& browser = "no-such-browser");
  void SetUp() override;
  void TearDown() override;
  void Route(int webPort, int uploadPort);
  // The folder of this session's LBAgent2.
  std::string AgentDirectory() const { return m_dir.File("agent"); }
  // The lines the locker service logged so far (one per request answered).
  std::vector<std::string> LockerLog() const;

  std::map<std::string, std::string> m_accounts = {{"ann", "secret"}};
  EnvironmentValue m_direct{"no_proxy", "*"};
  // Before the bus starts, so the agent it starts has it.
  EnvironmentValue m_browser;
  std::unique_ptr<qap::locker::LockerService> m_locker;
  std::unique_ptr<qap::automation::PrivateSessionBus> m_bus;
  std::unique_ptr<EnvironmentValue> m_route;

 private:
  void RegisterOwnAgent();

  mutable std::mutex m_logMutex;
  std::vector<std::string> m_lockerLog;
};

}  // namespace qap::testing
