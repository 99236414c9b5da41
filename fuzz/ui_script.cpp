// Fuzz target: a window script, read as `qap ui run` and QAP_UI_SCRIPT read
// one: every line split into words and checked against what its command
// takes, the time-out of each step as the runner takes it. A script that
// is taken keeps its lines in order, and adding it to another keeps them
// all.
#include <chrono>
#include <string>

#include "fuzz/fuzz_support.h"
#include "platform/ui/script/script.h"
#include "platform/ui/script/steps.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(qap::fuzz::Bytes(data, size));
  ui::script::Script script;
  std::string error;
  if (!ui::script::Parse(text, &script, &error)) {
    if (error.rfind("line ", 0) != 0) qap::fuzz::Fail("a refusal that names no line: " + error);
    return 0;
  }
  int line = 0;
  for (const ui::script::Step& step : script.steps) {
    if (step.line <= line || step.words.empty() || step.words.size() != step.quoted.size())
      qap::fuzz::Fail("the steps are not the script's lines in order");
    line = step.line;
    if (ui::script::TimeoutOf(step) < std::chrono::milliseconds(0))
      qap::fuzz::Fail("step " + std::to_string(step.line) + " waits for a negative time");
  }
  ui::script::Script twice = script;
  if (!twice.Add(text, &error) || twice.steps.size() != 2 * script.steps.size())
    qap::fuzz::Fail("a script that parses cannot be added to another");
  return 0;
}
