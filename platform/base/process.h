// Starting programs the Windows way: one command line that the started
// program splits by the Windows rules, CreateProcessA's shape, and a process
// handle that can be waited on like any other.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/base/export.h"
#include "platform/base/win_types.h"

constexpr DWORD NORMAL_PRIORITY_CLASS = 0x00000020;
constexpr DWORD CREATE_NEW_PROCESS_GROUP = 0x00000200;

struct STARTUPINFOA {
  DWORD cb;
  DWORD dwFlags;
  WORD wShowWindow;
};

struct PROCESS_INFORMATION {
  // Waitable; signalled when the program ends, with its exit code then
  // readable through GetExitCodeProcess. Closing it lets the program run on.
  HANDLE hProcess;
  // Always null: a program's first thread is not a handle of ours.
  HANDLE hThread;
  DWORD dwProcessId;
  DWORD dwThreadId;
};

// The arguments of a command line as a program's C runtime splits it: the
// program name up to the first blank outside double quotes (quotes removed,
// backslashes literal); then arguments separated by blanks, where a double
// quote starts or ends a quoted run, 2n backslashes before a quote give n
// backslashes and the quote still counts, 2n+1 give n backslashes and a
// literal quote, and "" inside a quoted run is a literal quote.
QAP_EXPORT std::vector<std::string> CommandLineToArgs(std::string_view commandLine);
// The inverse: a command line that CommandLineToArgs splits back into args.
QAP_EXPORT std::string ArgsToCommandLine(const std::vector<std::string>& args);

// Starts a program with commandLine split into its arguments (argv[0] is the
// first of them). applicationName (a program path, mapped to the host) names
// the program; when null, the first argument does, searched in PATH when it
// holds no separator. The program's standard input, output and error are the
// caller's; with inheritHandles FALSE no other descriptor reaches it.
// CREATE_NEW_PROCESS_GROUP puts it in a process group of its own, so a
// signal to the caller's group leaves it alone. environment must be null
// (the caller's environment); currentDirectory null keeps the caller's.
// FALSE with the last error set when the program cannot be started.
QAP_EXPORT BOOL CreateProcessA(LPCSTR applicationName, LPSTR commandLine,
                               const void* processAttributes, const void* threadAttributes,
                               BOOL inheritHandles, DWORD creationFlags, LPVOID environment,
                               LPCSTR currentDirectory, STARTUPINFOA* startupInfo,
                               PROCESS_INFORMATION* processInformation);

// STILL_ACTIVE while the program runs; then its exit status, or 128 plus the
// signal number that ended it.
QAP_EXPORT BOOL GetExitCodeProcess(HANDLE process, DWORD* exitCode);
