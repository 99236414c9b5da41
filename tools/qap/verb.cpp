// Verb and demo-step tables, and small helpers the verbs share.
#include "tools/qap/verb.h"

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <iostream>

#include "platform/base/last_error.h"

namespace qap {
namespace {

std::vector<Verb>& VerbTable() {
  static std::vector<Verb> verbs;
  return verbs;
}

std::vector<DemoStep>& StepTable() {
  static std::vector<DemoStep> steps;
  return steps;
}

}  // namespace

VerbRegistrar::VerbRegistrar(const Verb& verb) {
  auto& verbs = VerbTable();
  auto at = std::lower_bound(verbs.begin(), verbs.end(), verb, [](const Verb& a, const Verb& b) {
    return std::string(a.name) < b.name;
  });
  verbs.insert(at, verb);
}

DemoStepRegistrar::DemoStepRegistrar(const DemoStep& step) {
  auto& steps = StepTable();
  auto at = std::upper_bound(steps.begin(), steps.end(), step,
                             [](const DemoStep& a, const DemoStep& b) { return a.order < b.order; });
  steps.insert(at, step);
}

const std::vector<Verb>& Verbs() { return VerbTable(); }
const std::vector<DemoStep>& DemoSteps() { return StepTable(); }

int UsageError(const Verb& verb, const std::string& message) {
  std::cerr << "qap " << verb.name << ": " << message << "\n\n" << verb.usage;
  return 2;
}

int RunVerbShown(const char* name, const Args& args) {
  for (const auto& verb : Verbs()) {
    if (std::strcmp(verb.name, name) != 0) continue;
    std::cout << "$ qap " << name;
    for (const auto& arg : args) {
      bool quote = arg.find(' ') != std::string::npos;
      std::cout << ' ' << (quote ? "\"" : "") << arg << (quote ? "\"" : "");
    }
    std::cout << "\n" << std::flush;
    return verb.run(args);
  }
  std::cerr << "qap: no verb '" << name << "'\n";
  return 1;
}

bool Confirm(const std::string& question) {
  if (isatty(STDIN_FILENO) == 0) return false;
  std::cout << question << " (Yes/No)? " << std::flush;
  std::string answer;
  if (!std::getline(std::cin, answer) || answer.empty()) return false;
  return std::tolower(static_cast<unsigned char>(answer[0])) == 'y';
}

std::string Because(unsigned lastError) {
  return lastError != 0 ? ": " + SystemMessage(lastError) : std::string();
}

}  // namespace qap
