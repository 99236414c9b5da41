// What LBAgent2's command line asks for: registration, its removal, the
// automation server, the hand-off of a file to a client program, or nothing.
#pragma once

#include <string>
#include <string_view>

enum class StartMode {
  kUnregister,  // "UnregServer"
  kRegister,    // "RegServer"
  kServer,      // "Embedding", "Automation", or no argument
  kHandOff,     // a file argument after a quoted program path
  kNothing,     // a '-' or '/' that starts no known switch
};

struct StartCommand {
  StartMode mode = StartMode::kServer;
  std::string argument;  // the file of kHandOff, as written (quotes kept)
};

// The whole command line, program path first. After the program path, each
// '-' or '/' starts a candidate switch: the rest of the line, compared
// without regard to case; one that does not match is skipped up to the next
// blank. Without any '-' or '/', a quoted program path followed by text is a
// hand-off of that text (leading blanks skipped); anything else starts the
// server. The program path itself is not searched: an install folder with a
// dash in its name must not turn every start into "nothing".
StartCommand ParseCommandLine(std::string_view commandLine);

// The command line as Windows would hand it over: the program path in
// quotes, then the arguments, each quoted when it holds a blank or a quote.
std::string CommandLineOf(int argc, const char* const* argv);
