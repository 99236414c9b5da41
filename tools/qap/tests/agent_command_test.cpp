// qap agent, run as a user runs it: its refusals, registration, and a login
// and an upload through the agent that the session bus starts.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <memory>
#include <string>

#include "platform/automation/private_bus.h"
#include "platform/testing/scratch.h"
#include "tools/locker-service/locker_service.h"
#include "tools/qap/tests/run_qap.h"

namespace {

using qap::testing::CommandResult;
using qap::testing::RunQap;

// Sets an environment variable for the life of the object; the qap child
// inherits it.
class Variable {
 public:
  Variable(const char* name, const std::string& value) : m_name(name) {
    if (const char* previous = getenv(name)) m_previous = previous;
    m_had = getenv(name) != nullptr;
    setenv(name, value.c_str(), 1);
  }
  ~Variable() {
    if (m_had) {
      setenv(m_name, m_previous.c_str(), 1);
    } else {
      unsetenv(m_name);
    }
  }

 private:
  const char* m_name;
  std::string m_previous;
  bool m_had = false;
};

class AgentCommand : public ::testing::Test {
 protected:
  qap::testing::ScratchHive m_hive;
  qap::testing::ScratchDir m_dir;
  Variable m_data{"XDG_DATA_HOME", m_dir.File("data")};
  Variable m_noBus{"DBUS_SESSION_BUS_ADDRESS", "unix:abstract=qap-no-bus-here"};
};

TEST_F(AgentCommand, BadCommandsAreUsageErrorsAndAnUnregisteredAgentIsNamed) {
  CommandResult result = RunQap({"agent"});
  EXPECT_EQ(result.exitCode, 2);
  EXPECT_NE(result.err.find("usage: qap agent COMMAND"), std::string::npos);
  EXPECT_EQ(RunQap({"agent", "frobnicate"}).exitCode, 2);
  EXPECT_EQ(RunQap({"agent", "status", "extra"}).exitCode, 2);
  EXPECT_EQ(RunQap({"agent", "client", "add", "only-a-name"}).exitCode, 2);
  result = RunQap({"agent", "status"});
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(result.err, "qap agent: LBAgent2 is not registered; run 'qap agent register' first\n");
}

TEST_F(AgentCommand, RegisterAndUnregisterRunTheAgentsOwnRegistration) {
  CommandResult result = RunQap({"agent", "register"});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(result.out.rfind("registered /", 0), 0u) << result.out;
  result = RunQap({"agent", "status"});
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(result.err.rfind("qap agent: cannot reach the upload agent on the session bus", 0), 0u)
      << result.err;
  EXPECT_EQ(RunQap({"agent", "unregister"}).exitCode, 0);
  result = RunQap({"agent", "unregister"});
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_NE(result.err.find("unregister failed"), std::string::npos);
}

TEST_F(AgentCommand, ALoginAndAnUploadReportWhatWasSent) {
  qap::locker::ServiceConfig config;
  config.dataDirectory = m_dir.File("locker");
  config.users["ann"] = "secret";
  config.webHost = "www.lokbin.com";
  config.uploadHost = "upload.lokbin.com";
  qap::locker::LockerService locker(config);
  ASSERT_TRUE(locker.Start()) << locker.Error();
  std::string port = std::to_string(locker.Port());
  Variable route("QAP_CONNECT_TO",
                 "www.lokbin.com:80:127.0.0.1:" + port + ",upload.lokbin.com:80:127.0.0.1:" + port);
  Variable direct("no_proxy", "*");
  qap::automation::PrivateSessionBus bus(m_dir.File("bus"), m_dir.File("data") + "/dbus-1/services",
                                         m_dir.Path());
  std::string error;
  ASSERT_TRUE(bus.Start(&error)) << error;
  ASSERT_EQ(RunQap({"agent", "register"}).exitCode, 0);

  CommandResult result = RunQap({"agent", "upload", m_dir.Write("music/a.mp3", "x")});
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(result.err, "qap agent: not logged in; run 'qap agent login USER PASSWORD' first\n");
  result = RunQap({"agent", "login", "ann", "wrong"});
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(result.err,
            "qap agent: login of ann failed: wrong user name or password, or the locker cannot be "
            "reached\n");
  result = RunQap({"agent", "login", "ann", "secret"});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(result.out, "logged in as ann\n");

  m_dir.Write("music/b.wav", std::string(3000, 'b'));
  m_dir.Write("music/notes.txt", "not music");
  result = RunQap({"agent", "upload", m_dir.File("music")});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(result.out.rfind("uploading 2 file(s)\n", 0), 0u) << result.out;
  EXPECT_NE(result.out.find("  sent   a.mp3 (1 bytes)\n"), std::string::npos) << result.out;
  EXPECT_NE(result.out.find("  sent   b.wav (3000 bytes)\n"), std::string::npos) << result.out;
  EXPECT_NE(result.out.find("2 of 2 file(s) sent\n"), std::string::npos) << result.out;
  EXPECT_EQ(qap::testing::ReadFile(locker.UserDirectory("ann") + "/b.wav"), std::string(3000, 'b'));

  result = RunQap({"agent", "status"});
  EXPECT_EQ(result.out, "status:    Drag files here\nlogged in: yes\nversion:   01.00\n");
}

}  // namespace
