// qap burn: burns files to a device as the player has them burned: the
// files go into the dialog library's track queue, its recorder dialog opens
// with the user's recording options, and a window script drives it as a
// person would (the device, Erase when asked, Prepare, Burn, Exit).
// With --simple, the simple mode burns them instead, its questions answered
// from the command line. Headless unless a display is there or --gui asks
// for one.
#include <algorithm>
#include <filesystem>
#include <iostream>

#include "drumlet/drumlet.h"
#include "drumlet/device_list.h"
#include "drumlet/module_list.h"
#include "options/options.h"
#include "platform/base/paths.h"
#include "platform/ui/front_end.h"
#include "platform/ui/user32.h"
#include "suite/quadrin/cd_image_device.h"
#include "tools/qap/burn_script.h"
#include "tools/qap/verb.h"

namespace qap {
namespace {

int Run(const Args& args);

const Verb kVerb{
    "burn", "burn files to a device through the recorder dialog",
    "usage: qap burn FILE... --device NAME [--image PATH] [--erase] [--simple] [--screenshots DIR]\n\n"
    "Queues every FILE for the dialog library's recorder dialog and has the dialog\n"
    "prepare them for the device (as \"qap devices\" names it: audio CD sectors for\n"
    "the CD writer, MP3 for a portable player, which takes MP3 and WMA files as\n"
    "they are) and burn them. A file that cannot be read, or that does not fit the\n"
    "free space with the files before it, is left out and named.\n"
    "  --image PATH      the CD writer's disc image, which the dialog library keeps\n"
    "                    as image.cdi beside its skin file: PATH names it in its\n"
    "                    folder (DIR/image.cdi, with the CUE sheet DIR/image.cdi.cue),\n"
    "                    and the dialogs take their look from DIR/Drumlet.skn. Every\n"
    "                    burn starts with an empty disc.\n"
    "  --erase           erases the medium first (with --simple: when the files do\n"
    "                    not fit, formats the medium instead of giving up)\n"
    "  --simple          burns through the dialog library's simple mode instead: it\n"
    "                    asks only when something is in the way, and files that do\n"
    "                    not fit are left out\n"
    "  --times           prints how long the preparation and the burn took\n"
    "  --screenshots DIR pictures of the dialog after preparing and after burning\n"
    "                    (with --simple: of its \"Burning\" window)\n"
    "Prints what became of each file; the exit code is 1 when any was left out.\n",
    Run};
const VerbRegistrar kRegistrar(kVerb);

struct Options {
  std::vector<std::string> files;
  std::string device;
  std::string image;
  std::string screenshots;
  bool erase = false;
  bool simple = false;
  bool times = false;
};

int ParseArgs(const Args& args, Options* options) {
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--device" || arg == "--image" || arg == "--screenshots") {
      if (i + 1 >= args.size()) return UsageError(kVerb, arg + " needs a value");
      (arg == "--device" ? options->device : arg == "--image" ? options->image : options->screenshots) =
          args[++i];
    } else if (arg == "--erase") {
      options->erase = true;
    } else if (arg == "--simple") {
      options->simple = true;
    } else if (arg == "--times") {
      options->times = true;
    } else if (arg.size() > 1 && arg[0] == '-') {
      return UsageError(kVerb, "unknown option '" + arg + "'");
    } else {
      options->files.push_back(arg);
    }
  }
  if (options->files.empty()) return UsageError(kVerb, "which files?");
  if (options->device.empty()) return UsageError(kVerb, "to which device? (--device NAME)");
  return 0;
}

// The disc image's folder as the skin's: false with what is wrong.
bool PlaceImage(const std::string& image, std::string* error) {
  namespace fs = std::filesystem;
  if (FileNameOf(image) != "image.cdi") {
    *error = "the CD writer's disc image is always named image.cdi: --image DIR/image.cdi";
    return false;
  }
  std::error_code failure;
  const fs::path folder = fs::absolute(ToHostPath(image), failure).parent_path();
  if (failure || !fs::is_directory(folder, failure)) {
    *error = "the folder of " + image + " does not exist";
    return false;
  }
  SetSkinPath((folder / "Drumlet.skn").string().c_str());
  return true;
}

// The device by its name; false when there is none.
bool FindDevice(const std::string& name, DeviceInfo* found) {
  std::vector<DeviceInfo> devices;
  drumlet::ListDevicesThroughObjects(&devices, nullptr);
  for (const DeviceInfo& device : devices) {
    if (name == device.name) {
      *found = device;
      return true;
    }
  }
  return false;
}

bool WritesDiscImage(const std::string& name) {
  DeviceInfo device{};
  return FindDevice(name, &device) && device.index == 0 && std::string(device.moduleId) == quadrin::kCdWriterId;
}

// The simple mode with the device's module and index; its burn goes on
// while the thread dispatches messages, until it has ended.
int BurnSimply(const Options& options, const std::vector<std::string>& queued,
               const std::function<void(HWND, const std::string&)>& onMoment) {
  DeviceInfo device{};
  if (!FindDevice(options.device, &device)) {
    FreeTrackQueue();
    std::cerr << "qap burn: there is no device \"" << options.device << "\" (\"qap devices\" lists them)\n";
    return 1;
  }
  auto outcome = std::make_shared<SimpleOutcome>();
  ui::script::Runner person(SimpleScript(options.erase, onMoment, outcome), {});
  person.Start();
  InvokeSimpleMode(&GetIRecordingOption(), device.moduleId, device.index);
  MSG msg;
  while (IsRecording() != 0 && GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  person.ProgramEnded();
  FreeTrackQueue();
  const bool burned = outcome->sawBurning && outcome->messages.empty();
  int left = 0;
  for (size_t i = 0; i < queued.size(); ++i) {
    const bool refused =
        std::find(outcome->refused.begin(), outcome->refused.end(), static_cast<int>(i + 1)) != outcome->refused.end();
    if (burned && !refused) {
      std::cout << queued[i] << " -> burned\n";
    } else {
      std::cerr << "qap burn: " << queued[i] << (refused ? ": left out: it does not fit the free space\n"
                                                        : ": not burned\n");
      ++left;
    }
  }
  for (const std::string& message : outcome->messages) std::cerr << "qap burn: " << message << "\n";
  if (!burned) return 1;
  std::cout << "Burning completed\n";
  return left == 0 && queued.size() == options.files.size() ? 0 : 1;
}

int Report(const std::vector<std::string>& files, const BurnOutcome& outcome) {
  int left = 0;
  for (size_t i = 0; i < files.size(); ++i) {
    const bool prepared = i < outcome.prepared.size() && outcome.prepared[i];
    if (outcome.burned && prepared) {
      std::cout << files[i] << " -> burned as \"" << outcome.names[i] << "\"\n";
    } else {
      std::cerr << "qap burn: " << files[i]
                << (prepared ? ": prepared, not burned\n"
                             : ": left out: it cannot be read, or it does not fit the free space\n");
      ++left;
    }
  }
  return left;
}

int Run(const Args& args) {
  Options options;
  if (int usage = ParseArgs(args, &options)) return usage;
  if (!options.image.empty()) {
    std::string error;
    if (!PlaceImage(options.image, &error)) {
      std::cerr << "qap burn: " << error << "\n";
      return 1;
    }
  } else if (WritesDiscImage(options.device)) {
    std::cerr << "qap burn: \"" << options.device
              << "\" writes a disc image: name it with --image DIR/image.cdi\n";
    return 1;
  }
  if (!LoadOptions()) {
    std::cerr << "qap burn: cannot read the recording options\n";
    return 1;
  }
  FreeTrackQueue();
  std::vector<ModuleInfo> readers;
  drumlet::ListModules(kStyleReader, &readers);
  std::vector<std::string> queued;
  for (const std::string& file : options.files) {
    std::error_code failure;
    const std::string path = std::filesystem::absolute(ToHostPath(file), failure).string();
    // For the recorder dialog named by its path: the dialog names it after
    // the file and finds its reader. The simple mode takes the queue as it
    // is.
    const ModuleInfo* reader = drumlet::ReaderForFile(readers, path);
    const std::string name = options.simple ? SplitPath(path).baseName : path;
    if (!AddNewTrack(name.c_str(), path.c_str(), options.simple && reader != nullptr ? reader->shortId : "")) {
      std::cerr << "qap burn: " << file << ": the queue takes at most 100 files with paths under "
                << kTrackPathSize << " bytes\n";
      continue;
    }
    queued.push_back(file);
  }
  if (queued.empty()) return 1;

  BurnRequest request{options.device, options.erase, {}};
  if (!options.screenshots.empty()) {
    std::filesystem::create_directories(options.screenshots);
    request.onMoment = [folder = options.screenshots](HWND dialog, const std::string& moment) {
      std::string error;
      const std::string file = folder + "/recorder-" + moment + ".png";
      if (!ui::Screenshot(dialog, file, &error)) std::cerr << "qap burn: " << error << "\n";
    };
  }
  if (options.simple) return BurnSimply(options, queued, request.onMoment);
  auto outcome = std::make_shared<BurnOutcome>();
  ui::script::Runner person(BurnScript(request, outcome), {});
  person.Start();
  InvokeAdvancedDlg(&GetIRecordingOption());
  person.ProgramEnded();
  FreeTrackQueue();
  if (person.Failed() && outcome->error.empty()) outcome->error = person.Failure();
  const int left = Report(queued, *outcome);
  if (!outcome->error.empty()) {
    std::cerr << "qap burn: " << outcome->error << "\n";
    return 1;
  }
  std::cout << outcome->status << "\n";
  if (options.times) {
    std::cout << "Prepared in " << outcome->prepareSeconds << " s, burned in " << outcome->burnSeconds << " s\n";
  }
  return left == 0 && queued.size() == options.files.size() ? 0 : 1;
}

}  // namespace
}  // namespace qap
