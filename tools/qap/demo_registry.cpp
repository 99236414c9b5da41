// Demo step: the registry hive and the drive table.
#include <cstring>
#include <iostream>

#include "platform/base/paths.h"
#include "platform/registry/reg_key.h"
#include "tools/qap/verb.h"

namespace qap {
namespace {

int Demo(DemoContext& context) {
  const char* key = "HKCU\\Software\\QAP Demo";
  std::cout << "Writing a few values of each type to the scratch hive " << RegHivePath() << "\n";
  if (int code = RunVerbShown("reg", {"add", key, "/ve", "/d", "The default value", "/f"})) return code;
  if (int code = RunVerbShown("reg", {"add", key, "/v", "Greeting", "/d", "Grüße, \"QAP\"", "/f"})) return code;
  if (int code = RunVerbShown("reg", {"add", key, "/v", "Volume", "/t", "REG_DWORD", "/d", "0x50", "/f"})) return code;
  if (int code = RunVerbShown("reg", {"add", std::string(key) + "\\Colours", "/v", "Window", "/t",
                                 "REG_BINARY", "/d", "00ff7f", "/f"})) {
    return code;
  }
  if (int code = RunVerbShown("reg", {"query", key, "/s"})) return code;

  std::string file = context.scratch + "/demo.reg";
  if (int code = RunVerbShown("reg", {"export", key, file, "/y"})) return code;
  std::string text;
  std::string error;
  RegExportKeyToString(key, &text, &error);
  std::cout << "--- " << file << " ---\n" << text << "---\n";

  std::cout << "Program paths map to host paths through the drive table:\n";
  for (const char* path : {"C:\\My Music\\song.mp3", "Z:\\etc\\hostname", "/tmp/x.wav", "Q:\\nowhere"}) {
    std::string host = ToHostPath(path);
    std::cout << "  " << path << "  ->  " << (host.empty() ? "(no such drive)" : host) << "\n";
  }
  return 0;
}

const DemoStepRegistrar kStep({100, "Registry hive and drive table", Demo});

}  // namespace
}  // namespace qap
