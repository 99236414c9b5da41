// Child-process runner for qap's tests (posix_spawn, output to files).
#include "tools/qap/tests/run_qap.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>

#include "platform/testing/scratch.h"

extern char** environ;

namespace qap::testing {
namespace {

// Starts qap with its standard streams on the files named; -1 when it could
// not be started. The files are open in the child once this returns.
pid_t Spawn(const std::vector<std::string>& args, const std::string& in, const std::string& out,
            const std::string& err) {
  std::string program = std::string(std::getenv("QAP_BIN_DIR")) + "/qap";
  std::vector<std::string> all = {program};
  all.insert(all.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (auto& arg : all) argv.push_back(arg.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, in.c_str(), O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  pid_t pid = 0;
  if (posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ) != 0) pid = -1;
  posix_spawn_file_actions_destroy(&actions);
  return pid;
}

std::string InputFile(const ScratchDir& folder, const std::string& input) {
  return input.empty() ? std::string("/dev/null") : folder.Write("in", input);
}

}  // namespace

CommandResult RunQap(const std::vector<std::string>& args, const std::string& input) {
  ScratchDir outputs;
  CommandResult result;
  pid_t pid = Spawn(args, InputFile(outputs, input), outputs.File("out"), outputs.File("err"));
  if (pid > 0) {
    int status = 0;
    waitpid(pid, &status, 0);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  }
  result.out = ReadFile(outputs.File("out"));
  result.err = ReadFile(outputs.File("err"));
  return result;
}

int StartQap(const std::vector<std::string>& args, const std::string& input) {
  ScratchDir folder;
  return Spawn(args, InputFile(folder, input), "/dev/null", "/dev/null");
}

}  // namespace qap::testing
