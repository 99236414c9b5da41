// qap: the host side of the suite. It stands where the player stands and
// drives every deliverable from a terminal.
#include <algorithm>
#include <iostream>
#include <string>
#include <vector>

#include "platform/ui/front_end.h"
#include "tools/qap/verb.h"

namespace {

void PrintHelp() {
  std::cout << "usage: qap VERB [ARGS...]\n"
               "       qap VERB --help\n\n"
               "Windows are shown on the desktop when there is a display (DISPLAY or\n"
               "WAYLAND_DISPLAY) and kept headless otherwise; --gui shows them, --headless\n"
               "keeps them headless (anywhere on the command line).\n\n"
               "Verbs:\n";
  for (const auto& verb : qap::Verbs()) {
    std::cout << "  " << verb.name;
    for (size_t pad = std::string(verb.name).size(); pad < 10; ++pad) std::cout << ' ';
    std::cout << verb.summary << "\n";
  }
}

}  // namespace

// In sanitizer builds: the front-end that qap may load keeps fontconfig's
// configuration for the life of the process, made the first time Qt asks it
// for a font; nothing of ours, and no leak worth a failed run.
extern "C" __attribute__((visibility("default"))) const char* __lsan_default_suppressions() {
  return "leak:libfontconfig.so.1\n";
}

int main(int argc, char** argv) {
  // Where windows go is the whole command's choice, said anywhere on it.
  std::vector<char*> kept{argv[0]};
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg == "--gui") {
      ui::SetDisplayMode(ui::DisplayMode::kGui);
    } else if (arg == "--headless") {
      ui::SetDisplayMode(ui::DisplayMode::kHeadless);
    } else {
      kept.push_back(argv[i]);
    }
  }
  argc = static_cast<int>(kept.size());
  argv = kept.data();
  if (argc < 2) {
    PrintHelp();
    return 2;
  }
  std::string name = argv[1];
  if (name == "--help" || name == "-h" || name == "help") {
    PrintHelp();
    return 0;
  }
  for (const auto& verb : qap::Verbs()) {
    if (name == verb.name) {
      qap::Args args(argv + 2, argv + argc);
      bool help = std::find(args.begin(), args.end(), "--help") != args.end() ||
                  (!args.empty() && (args[0] == "-h" || args[0] == "/?"));
      if (help) {
        std::cout << verb.usage;
        return 0;
      }
      return verb.run(args);
    }
  }
  std::cerr << "qap: unknown verb '" << name << "'\n\n";
  PrintHelp();
  return 2;
}
