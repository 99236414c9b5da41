// qap ui: the window system from a terminal: any verb run under a window
// script, scripts checked, and the windows of the session's processes.
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>

#include "platform/ui/front_end.h"
#include "platform/ui/script/script.h"
#include "platform/ui/user32.h"
#include "tools/qap/verb.h"

namespace qap {
namespace {

int Run(const Args& args);

const Verb kVerb{"ui", "drive the suite's windows with a script, and list windows",
                 "usage: qap ui run SCRIPT -- VERB [ARGS...]\n"
                 "       qap ui check SCRIPT\n"
                 "       qap ui windows\n"
                 "       qap ui shot TITLE FILE\n\n"
                 "run      runs \"qap VERB ARGS...\" with the window script SCRIPT (a file,\n"
                 "         or - for standard input) answering its windows as a person\n"
                 "         would. Exits with the verb's status, or 3 when the script fails\n"
                 "         (the failing line is named) or is not finished when the verb ends.\n"
                 "check    reads SCRIPT and reports the first line it cannot understand.\n"
                 "windows  lists the top-level windows of the session's processes that\n"
                 "         show windows: handle, class, title, and each child's id, class\n"
                 "         and title.\n"
                 "shot     has the process showing the window TITLE write a picture of it\n"
                 "         (PNG) to FILE; without a display it is drawn offscreen.\n\n"
                 "The script language is described in platform/ui/script/SCRIPT.md.\n",
                 Run};
const VerbRegistrar kRegistrar(kVerb);

constexpr int kScriptFailed = 3;

bool ReadScript(const std::string& name, ui::script::Script* script) {
  std::string text;
  if (name == "-") {
    std::ostringstream all;
    all << std::cin.rdbuf();
    text = all.str();
  } else {
    std::ifstream in(name, std::ios::binary);
    if (!in) {
      std::cerr << "qap ui: cannot read the script " << name << "\n";
      return false;
    }
    std::ostringstream all;
    all << in.rdbuf();
    text = all.str();
  }
  std::string error;
  if (!ui::script::Parse(text, script, &error)) {
    std::cerr << "qap ui: " << name << ", " << error << "\n";
    return false;
  }
  return true;
}

int RunUnder(const Args& args) {
  if (args.size() < 4 || args[2] != "--") {
    return UsageError(kVerb, "run takes a script, then --, then a verb and its arguments");
  }
  ui::script::Script script;
  if (!ReadScript(args[1], &script)) return 2;
  const Verb* verb = nullptr;
  for (const Verb& candidate : Verbs()) {
    if (args[3] == candidate.name) verb = &candidate;
  }
  if (verb == nullptr || std::string(verb->name) == "ui") {
    return UsageError(kVerb, "there is no verb '" + args[3] + "' to run");
  }
  ui::script::Services services;
  services.print = [](const std::string& text) { std::cout << text << std::endl; };
  services.screenshot = [](HWND window, const std::string& file, std::string* error) {
    return ui::Screenshot(window, file, error);
  };
  ui::script::Runner runner(std::move(script), services);
  runner.Start();
  int status = verb->run(Args(args.begin() + 4, args.end()));
  runner.ProgramEnded();
  if (runner.Failed()) {
    std::cerr << "qap ui: the script " << args[1] << " failed at " << runner.Failure() << "\n";
    return kScriptFailed;
  }
  return status;
}

int ListWindows() {
  auto windows = ui::driver::SessionWindows();
  if (windows.empty()) {
    std::cout << "No process of this session shows windows.\n";
    return 0;
  }
  for (const auto& window : windows) {
    char handle[32];
    std::snprintf(handle, sizeof handle, "%#llx",
                  static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(window.window)));
    std::cout << (window.parent == nullptr ? "" : "    ") << handle << " " << window.className
              << " \"" << window.title << "\"\n";
  }
  return 0;
}

int Shot(const Args& args) {
  if (args.size() != 3) return UsageError(kVerb, "shot takes a window's title and a file");
  for (const auto& window : ui::driver::SessionWindows()) {
    if (window.parent != nullptr || window.title != args[1]) continue;
    std::string error;
    std::string file = std::filesystem::absolute(args[2]).string();
    if (!ui::driver::PictureOfSessionWindow(window.window, file, &error)) {
      std::cerr << "qap ui shot: " << error << "\n";
      return 1;
    }
    std::cout << "The picture of \"" << args[1] << "\" is in " << file << "\n";
    return 0;
  }
  std::cerr << "qap ui shot: no process of this session shows a window \"" << args[1] << "\"\n";
  return 1;
}

int Run(const Args& args) {
  if (args.empty()) return UsageError(kVerb, "say what to do: run, check, windows or shot");
  if (args[0] == "shot") return Shot(args);
  if (args[0] == "run") return RunUnder(args);
  if (args[0] == "check") {
    if (args.size() != 2) return UsageError(kVerb, "check takes one script");
    ui::script::Script script;
    if (!ReadScript(args[1], &script)) return 2;
    std::cout << args[1] << ": " << script.steps.size() << " steps, all understood\n";
    return 0;
  }
  if (args[0] == "windows") return ListWindows();
  return UsageError(kVerb, "unknown action '" + args[0] + "'");
}

}  // namespace
}  // namespace qap
