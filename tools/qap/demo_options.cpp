// Demo step: the Options library loads the suite's settings into the demo's
// scratch hive, shows them, changes one and saves it.
#include <cstring>
#include <iostream>

#include "tools/qap/verb.h"

namespace qap {
namespace {

int Demo(DemoContext&) {
  std::cout << "The player loads its settings at start: every group of the Options library\n"
               "reads its key under HKEY_CURRENT_USER\\SOFTWARE\\ZelVar\\QAP and writes the\n"
               "defaults of what is missing; the file types also register the player's\n"
               "file class.\n";
  if (int code = RunVerbShown("options", {"load"})) return code;
  if (int code = RunVerbShown("options", {"show"})) return code;
  std::cout << "\nA value out of its range is kept in the registry but held as its fallback:\n";
  if (int code = RunVerbShown("reg", {"add", "HKCU\\SOFTWARE\\ZelVar\\QAP\\Recording", "/v",
                                  "CBR_KBPS", "/t", "REG_DWORD", "/d", "400", "/f"})) {
    return code;
  }
  if (int code = RunVerbShown("options", {"show", "Recording"})) return code;
  std::cout << "\nA setter changes the value, a save writes it (and re-registers the file types):\n";
  if (int code = RunVerbShown("options", {"set", "Recording", "CBR_KBPS", "192"})) return code;
  if (int code = RunVerbShown("options", {"set", "FileTypes", ".MP3", "1"})) return code;
  if (int code = RunVerbShown("reg", {"query", "HKCR\\.MP3"})) return code;
  return RunVerbShown("reg", {"query", "HKCU\\SOFTWARE\\ZelVar\\QAP\\Recording", "/v", "CBR_KBPS"});
}

const DemoStepRegistrar kStep({200, "Options store", Demo});

}  // namespace
}  // namespace qap
