// LBAgent2's command-line rules.
#include "agent/command_line.h"

#include <cctype>
#include <vector>

#include "platform/base/process.h"

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

bool EqualsNoCase(std::string_view text, std::string_view word) {
  if (text.size() != word.size()) return false;
  for (size_t i = 0; i < text.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(text[i])) !=
        std::tolower(static_cast<unsigned char>(word[i]))) {
      return false;
    }
  }
  return true;
}

}  // namespace

StartCommand ParseCommandLine(std::string_view line) {
  bool quotedProgram = !line.empty() && line[0] == '"';
  size_t programEnd;
  if (quotedProgram) {
    size_t closing = line.find('"', 1);
    programEnd = closing == std::string_view::npos ? line.size() : closing + 1;
  } else {
    programEnd = 0;
    while (programEnd < line.size() && !IsBlank(line[programEnd])) ++programEnd;
  }
  std::string_view rest = line.substr(programEnd);
  bool sawSwitch = false;
  size_t at = 0;
  while ((at = rest.find_first_of("-/", at)) != std::string_view::npos) {
    sawSwitch = true;
    std::string_view candidate = rest.substr(at + 1);
    if (EqualsNoCase(candidate, "UnregServer")) return {StartMode::kUnregister, {}};
    if (EqualsNoCase(candidate, "RegServer")) return {StartMode::kRegister, {}};
    if (EqualsNoCase(candidate, "Embedding") || EqualsNoCase(candidate, "Automation")) {
      return {StartMode::kServer, {}};
    }
    while (at < rest.size() && !IsBlank(rest[at])) ++at;
  }
  if (sawSwitch) return {StartMode::kNothing, {}};
  if (!quotedProgram) return {StartMode::kServer, {}};
  size_t start = 0;
  while (start < rest.size() && IsBlank(rest[start])) ++start;
  if (start == rest.size()) return {StartMode::kServer, {}};
  return {StartMode::kHandOff, std::string(rest.substr(start))};
}

std::string CommandLineOf(int argc, const char* const* argv) {
  std::vector<std::string> args;
  for (int i = 0; i < argc; ++i) args.emplace_back(argv[i] != nullptr ? argv[i] : "");
  if (args.empty()) args.emplace_back();
  // The program path is always quoted, as the shell and the COM runtime
  // write it; the arguments follow the C runtime's quoting.
  std::string program = "\"" + args[0] + "\"";
  const std::string kStandIn = "p";
  args[0] = kStandIn;
  return program + ArgsToCommandLine(args).substr(kStandIn.size());
}
