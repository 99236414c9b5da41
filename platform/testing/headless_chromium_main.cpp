// headless-chromium: a browser for $BROWSER in tests. Loads the page it is
// handed in headless chromium and leaves the final DOM in a file the test
// waits for, or the reason there is none beside it.
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>

#include "platform/testing/headless_chromium.h"

namespace {

const char* kUsage =
    "usage: headless-chromium --dom FILE [--rule RULE]... [--screenshot PNG] PAGE\n"
    "Loads PAGE (a URL or a local file) in headless chromium and writes its final DOM\n"
    "to FILE; when that fails, FILE.error says why. RULE is a host-resolver rule,\n"
    "such as \"MAP www.example.com 127.0.0.1:8080\".\n";

// Written whole under another name first: a waiting test sees all or nothing.
bool WriteWhole(const std::string& path, const std::string& text) {
  std::string partial = path + ".part";
  {
    std::ofstream out(partial, std::ios::binary | std::ios::trunc);
    out << text;
    if (!out.flush()) return false;
  }
  std::error_code error;
  std::filesystem::rename(partial, path, error);
  return !error;
}

}  // namespace

int main(int argc, char** argv) {
  qap::testing::BrowserRun run;
  std::string domFile;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    bool hasValue = i + 1 < argc;
    if (arg == "--dom" && hasValue) {
      domFile = argv[++i];
    } else if (arg == "--rule" && hasValue) {
      run.hostRules.push_back(argv[++i]);
    } else if (arg == "--screenshot" && hasValue) {
      run.screenshot = argv[++i];
    } else if (run.page.empty() && !arg.empty() && arg[0] != '-') {
      run.page = arg;
    } else {
      std::cerr << kUsage;
      return 2;
    }
  }
  if (domFile.empty() || run.page.empty()) {
    std::cerr << kUsage;
    return 2;
  }
  qap::testing::BrowserResult result = qap::testing::RunHeadlessChromium(run);
  bool written = result.ok ? WriteWhole(domFile, result.dom)
                           : WriteWhole(domFile + ".error", result.error + "\n");
  if (!written) std::cerr << "headless-chromium: cannot write " << domFile << "\n";
  return result.ok && written ? 0 : 1;
}
