// The qap command is a set of verbs; each verb file registers itself here, so
// adding a verb means adding one source file. Demo steps register the same
// way and run in their order.
#pragma once

#include <string>
#include <vector>

namespace qap {

using Args = std::vector<std::string>;

struct Verb {
  const char* name;
  const char* summary;  // one line for "qap --help"
  const char* usage;    // the verb's own --help text
  int (*run)(const Args& args);
};

struct DemoContext {
  std::string scratch;  // the demo's own folder; nothing outside it is touched
  std::string binDir;   // where qap and the suite's modules live
};

struct DemoStep {
  int order;
  const char* title;
  // Non-zero ends the demo with that exit code.
  int (*run)(DemoContext& context);
};

struct VerbRegistrar {
  explicit VerbRegistrar(const Verb& verb);
};
struct DemoStepRegistrar {
  explicit DemoStepRegistrar(const DemoStep& step);
};

const std::vector<Verb>& Verbs();
const std::vector<DemoStep>& DemoSteps();

// Prints "qap VERB: message" and the verb's usage to stderr; returns 2.
int UsageError(const Verb& verb, const std::string& message);
// Prints "$ qap NAME ARGS..." and runs that verb, for demo steps that show
// the commands a user would type.
int RunVerbShown(const char* name, const Args& args);
// Asks a yes/no question on the terminal; false when standard input is not
// a terminal, so scripts never hang on a prompt.
bool Confirm(const std::string& question);
// ": " and the system's words for a last-error code ("No space left on
// device"), or nothing for 0, for messages that name what failed.
std::string Because(unsigned lastError);

}  // namespace qap
