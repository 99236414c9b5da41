// Reading a window script: lines into words, quotes and escapes resolved,
// each step checked against what its command takes.
#include <sstream>

#include "platform/ui/script/script.h"
#include "platform/ui/script/steps.h"

namespace ui::script {

namespace {

bool SplitLine(const std::string& line, Step* step, std::string* error) {
  size_t at = 0;
  while (at < line.size()) {
    char c = line[at];
    if (c == ' ' || c == '\t' || c == '\r') {
      ++at;
      continue;
    }
    if (c == '#') break;
    std::string word;
    bool quoted = c == '"';
    if (quoted) {
      ++at;
      bool closed = false;
      while (at < line.size()) {
        char d = line[at++];
        if (d == '\\' && at < line.size() && (line[at] == '"' || line[at] == '\\')) {
          word += line[at++];
        } else if (d == '"') {
          closed = true;
          break;
        } else {
          word += d;
        }
      }
      if (!closed) {
        *error = "a quoted text is not closed";
        return false;
      }
    } else {
      while (at < line.size() && line[at] != ' ' && line[at] != '\t' && line[at] != '\r') {
        word += line[at++];
      }
    }
    step->words.push_back(std::move(word));
    step->quoted.push_back(quoted);
  }
  return true;
}

}  // namespace

bool Parse(const std::string& text, Script* script, std::string* error) {
  std::istringstream in(text);
  std::string line;
  int number = 0;
  Script parsed;
  while (std::getline(in, line)) {
    ++number;
    Step step;
    step.line = number;
    step.text = line;
    std::string problem;
    if (!SplitLine(line, &step, &problem) ||
        (!step.words.empty() && !CheckStep(step, &problem))) {
      *error = "line " + std::to_string(number) + ": " + problem;
      return false;
    }
    if (!step.words.empty()) parsed.steps.push_back(std::move(step));
  }
  *script = std::move(parsed);
  return true;
}

bool Script::Add(const std::string& text, std::string* error) {
  Script more;
  std::string problem;
  if (!Parse(text, &more, &problem)) {
    if (error != nullptr) *error = problem;
    return false;
  }
  for (Step& step : more.steps) steps.push_back(std::move(step));
  return true;
}

Script& Script::Then(std::function<void(HWND current)> act) {
  Step step;
  step.line = steps.empty() ? 1 : steps.back().line + 1;
  step.text = "(a step written in C++)";
  step.words = {"then"};
  step.quoted = {false};
  step.native = std::move(act);
  steps.push_back(std::move(step));
  return *this;
}

static std::string Quote(const std::string& text) {
  std::string quoted = "\"";
  for (char c : text) {
    if (c == '"' || c == '\\') quoted += '\\';
    quoted += c;
  }
  return quoted + "\"";
}

Script& Script::When(const std::string& title, std::function<void(HWND window)> act) {
  Add("wait window " + Quote(title) + " timeout 5", nullptr);
  return Then(std::move(act));
}

Script& Script::Until(std::function<bool(HWND current)> condition, std::chrono::seconds timeout) {
  Step step;
  step.line = steps.empty() ? 1 : steps.back().line + 1;
  step.text = "(a wait written in C++)";
  step.words = {"until", "timeout", std::to_string(timeout.count())};
  step.quoted = {false, false, false};
  step.until = std::move(condition);
  steps.push_back(std::move(step));
  return *this;
}

Script& Script::WhenClass(const std::string& className, std::function<void(HWND window)> act) {
  Add("wait class " + Quote(className) + " timeout 5", nullptr);
  return Then(std::move(act));
}

}  // namespace ui::script
