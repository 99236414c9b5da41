// Command-line splitting by the Windows rules, and program start through
// posix_spawn, which reports a program that cannot be executed as an error of
// the call itself (as CreateProcessA does) rather than as an early exit.
#include "platform/base/process.h"

#include <errno.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/base/last_error.h"
#include "platform/base/paths.h"
#include "platform/base/sync.h"

extern char** environ;

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

DWORD ErrorOf(int error) {
  switch (error) {
    case ENOENT:
    case ENOTDIR: return ERROR_FILE_NOT_FOUND;
    case EACCES:
    case EPERM:
    case ENOEXEC: return ERROR_ACCESS_DENIED;
    case ENOMEM:
    case EAGAIN: return ERROR_NOT_ENOUGH_MEMORY;
    default: return ERROR_INVALID_PARAMETER;
  }
}

// Owners of the spawn attribute objects, so that every return path frees
// them.
struct SpawnActions {
  SpawnActions() { posix_spawn_file_actions_init(&actions); }
  ~SpawnActions() { posix_spawn_file_actions_destroy(&actions); }
  posix_spawn_file_actions_t actions;
};

struct SpawnAttributes {
  SpawnAttributes() { posix_spawnattr_init(&attributes); }
  ~SpawnAttributes() { posix_spawnattr_destroy(&attributes); }
  posix_spawnattr_t attributes;
};

// The exit code as Windows would report it: the status, or 128 plus the
// signal that ended the program.
DWORD ExitCodeOf(int status) {
  if (WIFEXITED(status)) return static_cast<DWORD>(WEXITSTATUS(status));
  if (WIFSIGNALED(status)) return 128 + static_cast<DWORD>(WTERMSIG(status));
  return static_cast<DWORD>(-1);
}

}  // namespace

std::vector<std::string> CommandLineToArgs(std::string_view line) {
  std::vector<std::string> args;
  size_t at = 0;
  // The program name: quotes group, backslashes are path separators.
  std::string program;
  bool quoted = false;
  while (at < line.size() && (quoted || !IsBlank(line[at]))) {
    if (line[at] == '"') {
      quoted = !quoted;
    } else {
      program += line[at];
    }
    ++at;
  }
  args.push_back(program);
  while (true) {
    while (at < line.size() && IsBlank(line[at])) ++at;
    if (at >= line.size()) break;
    std::string arg;
    quoted = false;
    while (at < line.size() && (quoted || !IsBlank(line[at]))) {
      size_t backslashes = 0;
      while (at < line.size() && line[at] == '\\') {
        ++backslashes;
        ++at;
      }
      if (at < line.size() && line[at] == '"') {
        arg.append(backslashes / 2, '\\');
        if (backslashes % 2 == 1) {
          arg += '"';
          ++at;
        } else if (quoted && at + 1 < line.size() && line[at + 1] == '"') {
          arg += '"';
          at += 2;
        } else {
          quoted = !quoted;
          ++at;
        }
      } else {
        arg.append(backslashes, '\\');
        if (at < line.size() && (quoted || !IsBlank(line[at]))) arg += line[at++];
      }
    }
    args.push_back(arg);
  }
  return args;
}

std::string ArgsToCommandLine(const std::vector<std::string>& args) {
  std::string line;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (i > 0) line += ' ';
    bool needsQuotes = arg.empty() || arg.find_first_of(" \t\"") != std::string::npos;
    if (i == 0) {
      // A program name cannot hold a quote; it is only grouped.
      line += needsQuotes ? "\"" + arg + "\"" : arg;
      continue;
    }
    if (!needsQuotes) {
      line += arg;
      continue;
    }
    line += '"';
    size_t backslashes = 0;
    for (char c : arg) {
      if (c == '\\') {
        ++backslashes;
        continue;
      }
      if (c == '"') {
        line.append(backslashes * 2 + 1, '\\');
      } else {
        line.append(backslashes, '\\');
      }
      backslashes = 0;
      line += c;
    }
    // Backslashes before the closing quote are doubled so that it stays one.
    line.append(backslashes * 2, '\\');
    line += '"';
  }
  return line;
}

BOOL CreateProcessA(LPCSTR applicationName, LPSTR commandLine, const void*, const void*,
                    BOOL inheritHandles, DWORD creationFlags, LPVOID environment,
                    LPCSTR currentDirectory, STARTUPINFOA*, PROCESS_INFORMATION* information) {
  if (information == nullptr || environment != nullptr ||
      (applicationName == nullptr && (commandLine == nullptr || *commandLine == '\0'))) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  std::vector<std::string> args =
      CommandLineToArgs(commandLine != nullptr ? commandLine : applicationName);
  std::string program = applicationName != nullptr ? applicationName : args[0];
  bool searchPath = applicationName == nullptr && program.find_first_of("\\/") == std::string::npos;
  if (!searchPath) {
    program = ToHostPath(program);
    if (program.empty()) {
      SetLastError(ERROR_PATH_NOT_FOUND);
      return FALSE;
    }
  }
  std::vector<char*> argv;
  for (std::string& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);

  SpawnActions actions;
  SpawnAttributes attributes;
  short flags = POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF;
  if ((creationFlags & CREATE_NEW_PROCESS_GROUP) != 0) {
    flags |= POSIX_SPAWN_SETPGROUP;
    posix_spawnattr_setpgroup(&attributes.attributes, 0);
  }
  posix_spawnattr_setflags(&attributes.attributes, flags);
  // A new program starts with every signal at its default and none blocked,
  // whatever the calling thread had set up for itself.
  sigset_t signals;
  sigemptyset(&signals);
  posix_spawnattr_setsigmask(&attributes.attributes, &signals);
  sigfillset(&signals);
  posix_spawnattr_setsigdefault(&attributes.attributes, &signals);
  if (!inheritHandles) posix_spawn_file_actions_addclosefrom_np(&actions.actions, 3);
  if (currentDirectory != nullptr) {
    std::string folder = ToHostPath(currentDirectory);
    if (folder.empty()) {
      SetLastError(ERROR_PATH_NOT_FOUND);
      return FALSE;
    }
    posix_spawn_file_actions_addchdir_np(&actions.actions, folder.c_str());
  }
  pid_t pid = 0;
  int error = searchPath ? posix_spawnp(&pid, program.c_str(), &actions.actions,
                                        &attributes.attributes, argv.data(), environ)
                         : posix_spawn(&pid, program.c_str(), &actions.actions,
                                       &attributes.attributes, argv.data(), environ);
  if (error != 0) {
    SetLastError(ErrorOf(error));
    return FALSE;
  }
  // The waiting thread reaps the program whether or not anyone keeps the
  // handle, so no ended program lingers as a zombie.
  HANDLE process = CreateThread([pid]() -> DWORD {
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
      if (errno != EINTR) return static_cast<DWORD>(-1);
    }
    return ExitCodeOf(status);
  });
  *information = PROCESS_INFORMATION{process, nullptr, static_cast<DWORD>(pid), 0};
  return TRUE;
}

BOOL GetExitCodeProcess(HANDLE process, DWORD* exitCode) {
  return GetExitCodeThread(process, exitCode);
}
