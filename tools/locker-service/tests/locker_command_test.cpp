// The locker-service command: its help, its refusal of bad arguments, and a
// run that prints where it listens and stops on SIGTERM.
#include <gtest/gtest.h>
#include <httplib.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "platform/testing/scratch.h"

namespace qap::testing {
namespace {

// A child running the command, with its standard output on a pipe.
class Child {
 public:
  explicit Child(const std::vector<std::string>& args) {
    // Everything the child needs is made before the fork.
    std::string program = std::string(std::getenv("QAP_BIN_DIR")) + "/locker-service";
    std::vector<std::string> copies = args;
    std::vector<char*> argv = {program.data()};
    for (std::string& arg : copies) argv.push_back(arg.data());
    argv.push_back(nullptr);
    int out[2];
    if (pipe(out) != 0) return;
    m_pid = fork();
    if (m_pid == 0) {
      dup2(out[1], 1);
      dup2(out[1], 2);
      close(out[0]);
      execv(program.c_str(), argv.data());
      _exit(127);
    }
    close(out[1]);
    m_out = out[0];
  }
  ~Child() {
    if (m_pid > 0 && !m_reaped) {
      kill(m_pid, SIGKILL);
      waitpid(m_pid, nullptr, 0);
    }
    if (m_out >= 0) close(m_out);
  }

  // Output up to and including the first line that contains text (bounded).
  std::string ReadUntil(const std::string& text) {
    std::string seen;
    while (seen.find(text) == std::string::npos) {
      pollfd ready{m_out, POLLIN, 0};
      if (poll(&ready, 1, 10000) <= 0) break;
      char chunk[512];
      ssize_t got = read(m_out, chunk, sizeof chunk);
      if (got <= 0) break;
      seen.append(chunk, static_cast<size_t>(got));
    }
    return seen;
  }
  int Wait() {
    int status = 0;
    bool ended = WaitFor([&] { return waitpid(m_pid, &status, WNOHANG) == m_pid; });
    m_reaped = ended;
    return ended && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  pid_t Pid() const { return m_pid; }

 private:
  pid_t m_pid = -1;
  int m_out = -1;
  bool m_reaped = false;
};

TEST(LockerCommand, HelpExplainsTheOptionsAndBadArgumentsAreRefused) {
  Child help({"--help"});
  EXPECT_NE(help.ReadUntil("QAP_CONNECT_TO").find("--user NAME:PW"), std::string::npos);
  EXPECT_EQ(help.Wait(), 0);

  Child noUser({"--port", "0"});
  EXPECT_NE(noUser.ReadUntil("usage").find("no account"), std::string::npos);
  EXPECT_EQ(noUser.Wait(), 2);

  Child badPort({"--port", "http", "--user", "a:b"});
  EXPECT_NE(badPort.ReadUntil("usage").find("bad port 'http'"), std::string::npos);
  EXPECT_EQ(badPort.Wait(), 2);
}

TEST(LockerCommand, ARunPrintsItsPortServesAndStopsOnSigterm) {
  ScratchDir data;
  Child service(
      {"--port", "0", "--data", data.Path(), "--user", "alice:pw", "--upload-host", "up.test"});
  std::string banner = service.ReadUntil("\n");
  size_t colon = banner.find("127.0.0.1:");
  ASSERT_NE(colon, std::string::npos) << banner;
  int port = std::atoi(banner.c_str() + colon + 10);
  httplib::Client client("127.0.0.1", port);
  auto reply = client.Get("/get_ulhost/lb/");
  ASSERT_TRUE(reply);
  EXPECT_EQ(reply->body, "up.test");
  EXPECT_NE(service.ReadUntil("GET /get_ulhost/lb/ 200").find("GET /get_ulhost/lb/ 200"),
            std::string::npos);
  kill(service.Pid(), SIGTERM);
  EXPECT_EQ(service.Wait(), 0);
}

}  // namespace
}  // namespace qap::testing
