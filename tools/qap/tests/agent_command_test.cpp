// qap agent, run as a user runs it: its refusals, registration, a login
// whose password never is an argument, uploads that say which files the
// locker took and why the others failed, the shell's environment reaching
// the agent the bus starts, and an agent that still ends when a client dies
// in the middle of a call.
#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>

#include <atomic>
#include <memory>
#include <string>

#include "agent/request2_ids.h"
#include "platform/automation/automation.h"
#include "platform/automation/private_bus.h"
#include "platform/inet/tests/raw_http_server.h"
#include "platform/testing/scratch.h"
#include "tools/qap/tests/agent_session.h"
#include "tools/qap/tests/run_qap.h"

namespace {

using qap::testing::AgentCommand;
using qap::testing::AgentSession;
using qap::testing::CommandResult;
using qap::testing::HttpReply;
using qap::testing::RawConnection;
using qap::testing::RawHttpServer;
using qap::testing::RawRequest;
using qap::testing::RunQap;
using qap::testing::WaitFor;

constexpr const char* kPasswordArgument =
    "qap agent: a password is never given on the command line, where other users can see it: "
    "type it when asked, or pipe it in with --password-stdin\n";

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

TEST_F(AgentCommand, APasswordIsNeverTakenFromTheCommandLine) {
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"agent", "login", "ann", "secret", "qap"},
        std::vector<std::string>{"agent", "login", "ann", "--password=secret"},
        std::vector<std::string>{"agent", "login", "ann", "--password", "secret"}}) {
    CommandResult result = RunQap(args);
    EXPECT_EQ(result.exitCode, 2) << args.back();
    EXPECT_EQ(result.err.rfind(kPasswordArgument, 0), 0u) << result.err;
  }
  // Without a terminal to ask on, and nothing piped in.
  CommandResult result = RunQap({"agent", "login", "ann"});
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(
      result.err,
      "qap agent: no terminal to ask for the password on; pipe it in with --password-stdin\n");
  result = RunQap({"agent", "login", "ann", "--password-stdin"});
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(result.err, "qap agent: no password on standard input\n");
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

TEST_F(AgentSession, ALoginAndAnUploadReportWhatWasSent) {
  CommandResult result = RunQap({"agent", "upload", m_dir.Write("music/a.mp3", "x")});
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(result.err, "qap agent: not logged in; run 'qap agent login USER' first\n");
  result = RunQap({"agent", "login", "ann", "--password-stdin"}, "wrong\n");
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(result.err,
            "qap agent: login of ann failed: wrong user name or password, or the locker cannot be "
            "reached\n");
  result = RunQap({"agent", "login", "ann", "qap", "--password-stdin"}, "secret\n");
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
  EXPECT_EQ(qap::testing::ReadFile(m_locker->UserDirectory("ann") + "/b.wav"),
            std::string(3000, 'b'));
  result = RunQap({"agent", "upload", m_dir.File("music/notes.txt")});
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(result.err,
            "qap agent: nothing to upload: no .wav, .mp3 or .wma file among the paths given\n");

  result = RunQap({"agent", "status"});
  EXPECT_EQ(result.out, "status:    Drag files here\nlogged in: yes\nversion:   01.00\n");
  result = RunQap({"agent", "locker"});
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(result.err.rfind("qap agent: Failed to launch browser", 0), 0u) << result.err;
}

TEST_F(AgentSession, AFailedUploadIsNamedWithItsReasonAndTheNextFileIsStillSent) {
  std::atomic<int> uploads{0};
  RawHttpServer refusing([&uploads](RawConnection& connection, RawHttpServer&) {
    RawRequest request;
    while (connection.ReadRequest(&request)) {
      connection.Send(uploads.fetch_add(1) == 0
                          ? HttpReply("500 Internal Server Error", "disk full\n")
                          : HttpReply("200 OK", "Stored\n"));
    }
  });
  Route(m_locker->Port(), refusing.Port());
  ASSERT_EQ(RunQap({"agent", "login", "ann", "--password-stdin"}, "secret\n").exitCode, 0);
  CommandResult result = RunQap({"agent", "upload", m_dir.Write("music/a.mp3", "x"),
                                 m_dir.Write("music/b.wav", std::string(3000, 'b'))});
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_NE(result.out.find("  FAILED a.mp3 (1 bytes): the locker answered 500 Internal Server "
                            "Error\n"),
            std::string::npos)
      << result.out;
  EXPECT_NE(result.out.find("  sent   b.wav (3000 bytes)\n"), std::string::npos) << result.out;
  EXPECT_NE(result.out.find("1 of 2 file(s) sent\n"), std::string::npos) << result.out;

  // With nothing running, a cancel takes the next upload.
  result = RunQap({"agent", "cancel"});
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(result.out,
            "nothing is running: this cancels the next upload as soon as it starts, and the ones "
            "queued after it\n");
  result = RunQap({"agent", "upload", m_dir.File("music/a.mp3")});
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_NE(result.out.find("  FAILED a.mp3 (1 bytes): canceled\n"), std::string::npos)
      << result.out;
}

TEST_F(AgentSession, TheAgentEndsWhenItsLastClientDiedInTheMiddleOfALogin) {
  RawHttpServer stalling(RawHttpServer::TakeAndHold());
  Route(stalling.Port(), m_locker->Port());
  int client = qap::testing::StartQap({"agent", "login", "ann", "--password-stdin"}, "secret\n");
  ASSERT_GT(client, 0);
  ASSERT_TRUE(
      WaitFor([&stalling] { return stalling.Requests().size() == 1; }, std::chrono::seconds(20)));
  EXPECT_TRUE(IsClassRunning(CLSID_Request2));
  kill(client, SIGKILL);
  waitpid(client, nullptr, 0);
  // The login is still waiting for its reply; the agent ends anyway, about
  // five seconds later, well inside the login's own receive time-out.
  EXPECT_TRUE(WaitFor([] { return !IsClassRunning(CLSID_Request2); }, std::chrono::seconds(20)));
  stalling.Stop();
}

}  // namespace
