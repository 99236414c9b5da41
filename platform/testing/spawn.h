// Test support: starts a program as a child of the test with its standard
// streams on files, optionally in a process group of its own (so that it and
// everything it starts can be ended together) and with variables of the
// test's environment changed for it alone.
#pragma once

#include <sys/types.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace qap::testing {

struct SpawnOptions {
  std::string in = "/dev/null";
  std::string out = "/dev/null";
  std::string err = "/dev/null";
  bool ownProcessGroup = false;
  // Open files of the test handed to the child under other numbers:
  // (the test's descriptor, the child's).
  std::vector<std::pair<int, int>> descriptors;
  // Set (a value) or removed (none) in the child's environment.
  std::vector<std::pair<std::string, std::optional<std::string>>> environment;
};

// Starts program (a path) with args after its own name; the child's process
// id, or -1 when it could not be started. The files are open in the child
// once this returns; the caller waits for it (waitpid).
pid_t Spawn(const std::string& program, const std::vector<std::string>& args,
            const SpawnOptions& options = {});

}  // namespace qap::testing
