// Runs the built qap command in a child process with a scratch environment,
// capturing what it prints (or starts it in the background), for the
// command's tests.
#pragma once

#include <string>
#include <vector>

namespace qap::testing {

struct CommandResult {
  int exitCode = -1;
  std::string out;
  std::string err;
};

// Runs "$QAP_BIN_DIR/qap args..." with input as its standard input (empty:
// /dev/null).
CommandResult RunQap(const std::vector<std::string>& args, const std::string& input = "");
// Starts it so, its output discarded, without waiting for it: the process
// id, or -1. The caller waits for it (waitpid).
int StartQap(const std::vector<std::string>& args, const std::string& input);

}  // namespace qap::testing
