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

CommandResult RunQap(const std::vector<std::string>& args, const std::string& input) {
  ScratchDir outputs;
  std::string inputFile = input.empty() ? std::string("/dev/null") : outputs.Write("in", input);
  std::string program = std::string(std::getenv("QAP_BIN_DIR")) + "/qap";
  std::vector<std::string> all = {program};
  all.insert(all.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (auto& arg : all) argv.push_back(arg.data());
  argv.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, inputFile.c_str(), O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, outputs.File("out").c_str(),
                                   O_WRONLY | O_CREAT | O_TRUNC, 0600);
  posix_spawn_file_actions_addopen(&actions, 2, outputs.File("err").c_str(),
                                   O_WRONLY | O_CREAT | O_TRUNC, 0600);
  CommandResult result;
  pid_t pid = 0;
  if (posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ) == 0) {
    int status = 0;
    waitpid(pid, &status, 0);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  }
  posix_spawn_file_actions_destroy(&actions);
  result.out = ReadFile(outputs.File("out"));
  result.err = ReadFile(outputs.File("err"));
  return result;
}

}  // namespace qap::testing
