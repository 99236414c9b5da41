// A window script given to any program by its environment: QAP_UI_SCRIPT
// names the script file, which then answers the program's windows from its
// first one on, as "qap ui run" does for qap's own verbs. With
// QAP_UI_SCRIPT_STATUS naming a file, the outcome is written there when the
// program ends ("ok", or "failed: " and the failing line), so that whoever
// started the program can tell.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "platform/base/export.h"
#include "platform/ui/front_end.h"
#include "platform/ui/script/script.h"

namespace {

ui::script::Runner* g_runner = nullptr;

void Report() {
  if (g_runner == nullptr) return;
  g_runner->ProgramEnded();
  const char* status = std::getenv("QAP_UI_SCRIPT_STATUS");
  std::string outcome = g_runner->Failed() ? "failed: " + g_runner->Failure() : "ok";
  if (g_runner->Failed()) std::fprintf(stderr, "The window script %s\n", outcome.c_str());
  if (status != nullptr && *status != '\0') std::ofstream(status) << outcome << "\n";
}

}  // namespace

extern "C" QAP_EXPORT bool QapUiStartScript(const char* path, std::string* error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    *error = std::string("cannot read the window script ") + path;
    return false;
  }
  std::ostringstream text;
  text << in.rdbuf();
  ui::script::Script script;
  if (!ui::script::Parse(text.str(), &script, error)) return false;
  ui::script::Services services;
  services.print = [](const std::string& line) { std::printf("%s\n", line.c_str()); };
  services.screenshot = [](HWND window, const std::string& file, std::string* reason) {
    return ui::Screenshot(window, file, reason);
  };
  // Lives to the end of the program, which it reports then.
  g_runner = new ui::script::Runner(std::move(script), services);
  g_runner->Start();
  std::atexit(Report);
  return true;
}
