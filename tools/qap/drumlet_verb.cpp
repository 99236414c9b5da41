// qap drumlet: the dialog library's interface as the player uses it: the
// device table walked with its cursor, and the conversion dialog opened for
// a person with files in its queue.
#include <filesystem>
#include <iomanip>
#include <iostream>

#include "drumlet/drumlet.h"
#include "options/options.h"
#include "platform/base/paths.h"
#include "tools/qap/verb.h"

namespace qap {
namespace {

int Run(const Args& args);

const Verb kVerb{
    "drumlet", "the dialog library: its device table, its conversion dialog",
    "usage: qap drumlet devices [--skin FILE]\n"
    "       qap drumlet convert [FILE...] [--skin FILE]\n\n"
    "devices  rebuilds the library's device table from the registered device\n"
    "         modules and walks it as a host does (EnumAllDevices, EnumDevicesReset,\n"
    "         EnumDevicesNext): module, index and name of each device\n"
    "convert  opens the conversion dialog with the files in its queue, for a\n"
    "         person (on the desktop, or under \"qap ui run\")\n"
    "  --skin FILE  the skin the dialogs load (default: Drumlet.skn beside qap)\n",
    Run};
const VerbRegistrar kRegistrar(kVerb);

int Devices() {
  if (!EnumAllDevices()) {
    std::cerr << "qap drumlet: the module registry cannot be read\n";
    return 1;
  }
  EnumDevicesReset();
  DeviceInfo device{};
  int count = 0;
  while (EnumDevicesNext(&device)) {
    if (count++ == 0) std::cout << std::left << std::setw(17) << "MODULE" << std::setw(7) << "INDEX" << "NAME\n";
    std::cout << std::left << std::setw(17) << device.moduleId << std::setw(7) << device.index << device.name
              << "\n";
  }
  if (count == 0) std::cout << "No devices (\"qap modules register --builtin\" registers the CD image writer).\n";
  return 0;
}

int Convert(const std::vector<std::string>& files) {
  FreeTrackQueue();
  int refused = 0;
  for (const std::string& file : files) {
    std::error_code failure;
    const std::string path = std::filesystem::absolute(ToHostPath(file), failure).string();
    // The dialog finds each file's reader itself.
    if (!AddNewTrack(SplitPath(file).baseName.c_str(), path.c_str(), "")) {
      std::cerr << "qap drumlet: " << file << " does not fit the track queue\n";
      ++refused;
    }
  }
  LoadOptions();
  InvokeConversionDlg(&GetIRecordingOption());
  FreeTrackQueue();
  return refused == 0 ? 0 : 1;
}

int Run(const Args& args) {
  std::vector<std::string> words;
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--skin") {
      if (i + 1 >= args.size()) return UsageError(kVerb, "--skin needs a file");
      SetSkinPath(args[++i].c_str());
    } else {
      words.push_back(args[i]);
    }
  }
  if (words.empty()) return UsageError(kVerb, "say what to do: devices or convert");
  if (words[0] == "devices" && words.size() == 1) return Devices();
  if (words[0] == "convert") return Convert(std::vector<std::string>(words.begin() + 1, words.end()));
  return UsageError(kVerb, "unknown action '" + words[0] + "'");
}

}  // namespace
}  // namespace qap
