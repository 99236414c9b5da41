// Child-process runner for qap's tests (output to files).
#include "tools/qap/tests/run_qap.h"

#include <sys/wait.h>

#include <cstdlib>

#include "platform/testing/scratch.h"
#include "platform/testing/spawn.h"

namespace qap::testing {
namespace {

pid_t SpawnQap(const std::vector<std::string>& args, const std::string& in, const std::string& out,
               const std::string& err) {
  SpawnOptions options;
  options.in = in;
  options.out = out;
  options.err = err;
  return Spawn(std::string(std::getenv("QAP_BIN_DIR")) + "/qap", args, options);
}

std::string InputFile(const ScratchDir& folder, const std::string& input) {
  return input.empty() ? std::string("/dev/null") : folder.Write("in", input);
}

}  // namespace

CommandResult RunQap(const std::vector<std::string>& args, const std::string& input) {
  ScratchDir outputs;
  CommandResult result;
  pid_t pid = SpawnQap(args, InputFile(outputs, input), outputs.File("out"), outputs.File("err"));
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
  return SpawnQap(args, InputFile(folder, input), "/dev/null", "/dev/null");
}

}  // namespace qap::testing
