// Child processes for tests, through posix_spawn.
#include "platform/testing/spawn.h"

#include <fcntl.h>
#include <spawn.h>

#include <cstring>

extern char** environ;

namespace qap::testing {
namespace {

std::vector<std::string> ChildEnvironment(const SpawnOptions& options) {
  std::vector<std::string> variables;
  for (char** entry = environ; *entry != nullptr; ++entry) {
    bool changed = false;
    for (const auto& [name, value] : options.environment) {
      changed = changed || (std::strncmp(*entry, name.c_str(), name.size()) == 0 &&
                            (*entry)[name.size()] == '=');
    }
    if (!changed) variables.emplace_back(*entry);
  }
  for (const auto& [name, value] : options.environment) {
    if (value) variables.push_back(name + "=" + *value);
  }
  return variables;
}

std::vector<char*> Pointers(std::vector<std::string>& texts) {
  std::vector<char*> pointers;
  for (std::string& text : texts) pointers.push_back(text.data());
  pointers.push_back(nullptr);
  return pointers;
}

}  // namespace

pid_t Spawn(const std::string& program, const std::vector<std::string>& args,
            const SpawnOptions& options) {
  std::vector<std::string> all = {program};
  all.insert(all.end(), args.begin(), args.end());
  std::vector<char*> argv = Pointers(all);
  std::vector<std::string> variables = ChildEnvironment(options);
  std::vector<char*> envp = Pointers(variables);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, options.in.c_str(), O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, options.out.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0600);
  posix_spawn_file_actions_addopen(&actions, 2, options.err.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0600);
  for (const auto& [ours, theirs] : options.descriptors) {
    posix_spawn_file_actions_adddup2(&actions, ours, theirs);
  }
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  if (options.ownProcessGroup) {
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(&attributes, 0);
  }
  pid_t pid = 0;
  if (posix_spawn(&pid, program.c_str(), &actions, &attributes, argv.data(), envp.data()) != 0) {
    pid = -1;
  }
  posix_spawnattr_destroy(&attributes);
  posix_spawn_file_actions_destroy(&actions);
  return pid;
}

}  // namespace qap::testing
