// qap demo: runs every road of the suite that exists, in a scratch folder of
// its own, so the user's hive, cookies, music database and home stay
// untouched.
#include <stdlib.h>
#include <sys/stat.h>

#include <cstring>
#include <filesystem>
#include <iostream>

#include "platform/base/module_path.h"
#include "platform/registry/registry.h"
#include "platform/ui/front_end.h"
#include "tools/qap/verb.h"

namespace qap {
namespace {

int Run(const Args& args);

const Verb kVerb{"demo", "run every road of the suite in a scratch folder",
                 "usage: qap demo [--dir DIR]\n\n"
                 "Makes a scratch folder (or uses DIR, which must be empty or new), points\n"
                 "the registry, cookie jar, music database, HOME and the XDG folders at it,\n"
                 "and runs each part of the suite in turn, saying what it does. The folder\n"
                 "is kept afterwards so that its contents can be looked at.\n",
                 Run};
const VerbRegistrar kRegistrar(kVerb);

bool MakeScratch(const std::string& requested, std::string* scratch) {
  namespace fs = std::filesystem;
  std::error_code error;
  if (!requested.empty()) {
    fs::create_directories(requested, error);
    if (error || !fs::is_empty(requested, error)) {
      std::cerr << "qap demo: '" << requested << "' is not an empty folder\n";
      return false;
    }
    *scratch = fs::absolute(requested).string();
    return true;
  }
  const char* tmp = std::getenv("TMPDIR");
  std::string pattern = std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/qap-demo-XXXXXX";
  if (mkdtemp(pattern.data()) == nullptr) {
    std::cerr << "qap demo: cannot make a scratch folder in " << pattern << ": "
              << std::strerror(errno) << "\n";
    return false;
  }
  *scratch = pattern;
  return true;
}

void PointEnvironmentAt(const std::string& scratch) {
  const std::pair<const char*, const char*> folders[] = {
      {"HOME", "/home"},
      {"XDG_CONFIG_HOME", "/config"},
      {"XDG_DATA_HOME", "/data"},
      {"XDG_CACHE_HOME", "/cache"},
      {"XDG_RUNTIME_DIR", "/runtime"},
  };
  for (const auto& [name, sub] : folders) {
    std::string path = scratch + sub;
    std::filesystem::create_directories(path);
    setenv(name, path.c_str(), 1);
  }
  chmod((scratch + "/runtime").c_str(), 0700);
  setenv("QAP_REGISTRY", (scratch + "/registry.db").c_str(), 1);
  setenv("QAP_COOKIE_JAR", (scratch + "/cookies.txt").c_str(), 1);
  setenv("QAP_MUSIC_DB", (scratch + "/music.db").c_str(), 1);
  // The demo's windows are answered by scripts and pictured offscreen; on a
  // desktop they appear only when asked for with --gui.
  if (!ui::WantsDisplayAsked()) setenv("QAP_UI", "headless", 1);
  RegResetHive();
}

int Run(const Args& args) {
  std::string requested;
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--dir" && i + 1 < args.size()) {
      requested = args[++i];
    } else {
      return UsageError(kVerb, "unexpected argument '" + args[i] + "'");
    }
  }
  DemoContext context;
  if (!MakeScratch(requested, &context.scratch)) return 1;
  context.binDir = std::filesystem::path(ExecutablePath()).parent_path().string();
  PointEnvironmentAt(context.scratch);
  std::cout << "qap demo: scratch folder " << context.scratch << "\n";
  int number = 0;
  for (const auto& step : DemoSteps()) {
    std::cout << "\n== " << ++number << ". " << step.title << " ==\n" << std::flush;
    if (int code = step.run(context); code != 0) {
      std::cerr << "qap demo: step '" << step.title << "' failed (exit code " << code << ")\n"
                << "qap demo: scratch folder " << context.scratch << "\n";
      return code;
    }
  }
  RegResetHive();
  std::cout << "\nqap demo: done. Everything it made is in " << context.scratch << "\n";
  return 0;
}

}  // namespace
}  // namespace qap
