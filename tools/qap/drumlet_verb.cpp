// qap drumlet: the dialog library's interface as the player uses it: the
// device table walked with its cursor, and the conversion dialog, the
// recorder dialog and the simple mode opened for a person with files in
// their queue.
#include <filesystem>
#include <iomanip>
#include <iostream>

#include "drumlet/device_list.h"
#include "drumlet/drumlet.h"
#include "drumlet/module_list.h"
#include "options/options.h"
#include "platform/base/paths.h"
#include "platform/ui/user32.h"
#include "tools/qap/verb.h"

namespace qap {
namespace {

int Run(const Args& args);

const Verb kVerb{
    "drumlet", "the dialog library: its device table, its conversion and recorder dialogs",
    "usage: qap drumlet devices [--skin FILE]\n"
    "       qap drumlet convert [FILE...] [--skin FILE]\n"
    "       qap drumlet recorder [FILE...] [--skin FILE]\n"
    "       qap drumlet simple --device NAME [FILE...] [--skin FILE]\n\n"
    "devices  rebuilds the library's device table from the registered device\n"
    "         modules and walks it as a host does (EnumAllDevices, EnumDevicesReset,\n"
    "         EnumDevicesNext): module, index and name of each device\n"
    "convert  opens the conversion dialog with the files in its queue, for a\n"
    "         person (on the desktop, or under \"qap ui run\")\n"
    "recorder opens the recorder dialog (\"Burning\") with the files in its queue\n"
    "simple   records the files onto the device through the simple mode, whose\n"
    "         questions a person answers; returns once its burn has ended\n"
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

// The files into the queue, named after themselves; the count refused.
int QueueFiles(const std::vector<std::string>& files) {
  FreeTrackQueue();
  std::vector<ModuleInfo> readers;
  drumlet::ListModules(kStyleReader, &readers);
  int refused = 0;
  for (const std::string& file : files) {
    std::error_code failure;
    const std::string path = std::filesystem::absolute(ToHostPath(file), failure).string();
    // The dialogs find a file's reader themselves; the simple mode takes it
    // from the queue.
    const ModuleInfo* reader = drumlet::ReaderForFile(readers, path);
    if (!AddNewTrack(SplitPath(file).baseName.c_str(), path.c_str(), reader != nullptr ? reader->shortId : "")) {
      std::cerr << "qap drumlet: " << file << " does not fit the track queue\n";
      ++refused;
    }
  }
  LoadOptions();
  return refused;
}

int Convert(const std::vector<std::string>& files) {
  const int refused = QueueFiles(files);
  InvokeConversionDlg(&GetIRecordingOption());
  FreeTrackQueue();
  return refused == 0 ? 0 : 1;
}

int Recorder(const std::vector<std::string>& files) {
  const int refused = QueueFiles(files);
  InvokeAdvancedDlg(&GetIRecordingOption());
  FreeTrackQueue();
  return refused == 0 ? 0 : 1;
}

int Simple(const std::vector<std::string>& words) {
  std::string device;
  std::vector<std::string> files;
  for (size_t i = 0; i < words.size(); ++i) {
    if (words[i] == "--device" && i + 1 < words.size()) {
      device = words[++i];
    } else {
      files.push_back(words[i]);
    }
  }
  if (device.empty()) return UsageError(kVerb, "simple needs --device NAME");
  std::vector<DeviceInfo> devices;
  drumlet::ListDevicesThroughObjects(&devices, nullptr);
  const DeviceInfo* found = nullptr;
  for (const DeviceInfo& listed : devices) {
    if (device == listed.name) found = &listed;
  }
  if (found == nullptr) {
    std::cerr << "qap drumlet: there is no device \"" << device << "\" (\"qap devices\" lists them)\n";
    return 1;
  }
  const int refused = QueueFiles(files);
  InvokeSimpleMode(&GetIRecordingOption(), found->moduleId, found->index);
  // The burn goes on under its window while messages are dispatched.
  MSG msg;
  while (IsRecording() != 0 && GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
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
  if (words.empty()) return UsageError(kVerb, "say what to do: devices, convert, recorder or simple");
  if (words[0] == "devices" && words.size() == 1) return Devices();
  const std::vector<std::string> rest(words.begin() + 1, words.end());
  if (words[0] == "convert") return Convert(rest);
  if (words[0] == "recorder") return Recorder(rest);
  if (words[0] == "simple") return Simple(rest);
  return UsageError(kVerb, "unknown action '" + words[0] + "'");
}

}  // namespace
}  // namespace qap
