// Runs registry_test_writer as a separate process, with pipes to its
// standard input (a start barrier) and output (what it reports, and its end).
// Every wait is bounded and waits on the pipe, never on a timer.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "platform/base/unique_fd.h"

extern char** environ;

namespace qap::registry::testing {

class WriterProcess {
 public:
  explicit WriterProcess(std::vector<std::string> args) {
    int input[2], output[2];
    if (pipe2(input, O_CLOEXEC) != 0) return;
    m_in = std::make_unique<UniqueFd>(input[1]);
    UniqueFd childIn(input[0]);
    if (pipe2(output, O_CLOEXEC) != 0) return;
    m_out = std::make_unique<UniqueFd>(output[0]);
    UniqueFd childOut(output[1]);

    args.insert(args.begin(), QAP_REGISTRY_TEST_WRITER);
    std::vector<char*> argv;
    for (std::string& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, childIn.Get(), 0);
    posix_spawn_file_actions_adddup2(&actions, childOut.Get(), 1);
    if (posix_spawn(&m_pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) m_pid = -1;
    posix_spawn_file_actions_destroy(&actions);
  }

  ~WriterProcess() {
    Kill();
    WaitForExit(std::chrono::seconds(30));
  }

  WriterProcess(const WriterProcess&) = delete;
  WriterProcess& operator=(const WriterProcess&) = delete;

  bool Started() const { return m_pid > 0; }
  const std::string& Output() const { return m_output; }

  // Lets a writer waiting at its start barrier go.
  void CloseInput() { m_in->Reset(); }

  bool WaitForOutput(const std::string& text, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (m_output.find(text) == std::string::npos) {
      if (!ReadSome(deadline)) return m_output.find(text) != std::string::npos;
    }
    return true;
  }

  // The exit code, or -1 when the process did not end in time or was killed.
  int WaitForExit(std::chrono::milliseconds timeout) {
    if (m_pid <= 0) return m_status;
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (ReadSome(deadline)) {
    }
    if (!m_eof) return -1;
    int status = 0;
    if (waitpid(m_pid, &status, 0) == m_pid)
      m_status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    m_pid = -1;
    return m_status;
  }

  void Kill() {
    if (m_pid > 0) kill(m_pid, SIGKILL);
  }

 private:
  // False at the end of the output or when the deadline passes.
  bool ReadSome(std::chrono::steady_clock::time_point deadline) {
    if (m_eof || !m_out) return false;
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) return false;
    pollfd wait = {m_out->Get(), POLLIN, 0};
    if (poll(&wait, 1, static_cast<int>(left.count())) <= 0) return false;
    char buffer[4096];
    const ssize_t got = read(m_out->Get(), buffer, sizeof buffer);
    if (got <= 0) {
      m_eof = true;
      return false;
    }
    m_output.append(buffer, static_cast<std::size_t>(got));
    return true;
  }

  pid_t m_pid = -1;
  int m_status = -1;
  std::unique_ptr<UniqueFd> m_in;
  std::unique_ptr<UniqueFd> m_out;
  std::string m_output;
  bool m_eof = false;
};

}  // namespace qap::registry::testing
