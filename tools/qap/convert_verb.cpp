// qap convert: converts audio files as the player has them converted: the
// files go into the dialog library's track queue, its conversion dialog
// opens with the user's recording options, and a window script drives it as
// a person would (the output kind, the destination, Convert, every track's
// status, Exit). Headless unless a display is there or --gui asks for one.
#include <unistd.h>

#include <filesystem>
#include <iostream>

#include "drumlet/drumlet.h"
#include "drumlet/module_list.h"
#include "options/options.h"
#include "platform/base/paths.h"
#include "platform/ui/front_end.h"
#include "tools/qap/conversion_script.h"
#include "tools/qap/verb.h"

namespace qap {
namespace {

int Run(const Args& args);

const Verb kVerb{
    "convert", "convert audio files between formats through the conversion dialog",
    "usage: qap convert FILE... --to EXT [--kbps N] [--dest DIR] [--screenshots DIR]\n\n"
    "Queues each FILE for the dialog library's conversion dialog and has the dialog\n"
    "convert them to EXT (wav, wma, mp3 with the suite's own modules): each with the\n"
    "reader module registered for its kind and the writer module for EXT. An output\n"
    "is named after the track's title (or the file's name), in DIR, chosen in the\n"
    "dialog's \"Select Destination Path\", or else in the temporary folder of the\n"
    "recording options; an output that exists is never replaced.\n"
    "  --kbps N          bit rate of compressed output in kbit/s for this run (default:\n"
    "                    the recording setting, \"WMA_KBPS\" for WMA and \"CBR_KBPS\" for\n"
    "                    MP3; WMA takes 64, 96 or 128, MP3 32 to 320)\n"
    "  --screenshots DIR pictures of the dialog before and after converting\n"
    "Prints each track's result; the exit code is 1 when any file failed.\n",
    Run};
const VerbRegistrar kRegistrar(kVerb);

struct Options {
  std::vector<std::string> files;
  std::string to;
  std::string dest;
  std::string screenshots;
  long kbps = -1;
};

// A file as the queue holds it, and what became of it.
struct Queued {
  std::string file;  // as given
  std::string name;  // the track column: the file's name without extension
  bool reported = false;
};

int ParseArgs(const Args& args, Options* options) {
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    const bool hasValue = i + 1 < args.size();
    if (arg == "--to" || arg == "--dest" || arg == "--screenshots") {
      if (!hasValue) return UsageError(kVerb, arg + " needs a value");
      std::string& value = arg == "--to" ? options->to : arg == "--dest" ? options->dest : options->screenshots;
      value = args[++i];
    } else if (arg == "--kbps") {
      char* end = nullptr;
      options->kbps = hasValue ? std::strtol(args[++i].c_str(), &end, 10) : -1;
      if (end == nullptr || *end != '\0' || options->kbps <= 0 || options->kbps > 320) {
        return UsageError(kVerb, "--kbps needs a number of kbit/s from 1 to 320");
      }
    } else if (arg.size() > 1 && arg[0] == '-') {
      return UsageError(kVerb, "unknown option '" + arg + "'");
    } else {
      options->files.push_back(arg);
    }
  }
  if (!options->to.empty() && options->to[0] == '.') options->to.erase(0, 1);
  if (options->files.empty()) return UsageError(kVerb, "which files?");
  if (options->to.empty()) return UsageError(kVerb, "convert to what? (--to EXT)");
  return 0;
}

// The folder as the dialog's path box takes it: absolute, so that the
// outputs do not depend on where the dialog library works.
std::string FolderForDialog(const std::string& folder, std::string* error) {
  std::error_code failure;
  const std::filesystem::path host = std::filesystem::absolute(ToHostPath(folder), failure);
  if (failure || !std::filesystem::is_directory(host, failure)) {
    *error = folder + " is not a folder";
    return {};
  }
  if (access(host.c_str(), W_OK | X_OK) != 0) {
    *error = "cannot write to " + folder;
    return {};
  }
  return host.string();
}

// Queues the files that have a reader; the others are reported at once.
std::vector<Queued> QueueFiles(const std::vector<std::string>& files, int* failed) {
  std::vector<ModuleInfo> readers;
  drumlet::ListModules(kStyleReader, &readers);
  std::vector<Queued> queued;
  FreeTrackQueue();
  for (const std::string& file : files) {
    const ModuleInfo* reader = drumlet::ReaderForFile(readers, file);
    std::error_code failure;
    const std::string path = std::filesystem::absolute(ToHostPath(file), failure).string();
    const std::string name = SplitPath(file).baseName;
    std::string error;
    if (reader == nullptr) {
      error = "no reader module takes " + (SplitPath(file).extension.empty()
                                               ? std::string("files without an extension")
                                               : SplitPath(file).extension + " files");
    } else if (GetTrackQueueSize() >= 100) {
      error = "the dialog takes at most 100 files at a time";
    } else if (!AddNewTrack(name.c_str(), path.c_str(), reader->shortId)) {
      error = "its name or path is too long for the dialog";
    }
    if (!error.empty()) {
      std::cerr << "qap convert: " << file << ": " << error << "\n";
      ++*failed;
      continue;
    }
    queued.push_back({file, name});
  }
  return queued;
}

// The rows in the command's order: each file gets the first row with its
// name that no earlier file took.
int Report(std::vector<Queued>& queued, const ConversionOutcome& outcome) {
  int failed = 0;
  std::vector<bool> taken(outcome.rows.size(), false);
  for (Queued& file : queued) {
    for (size_t row = 0; row < outcome.rows.size(); ++row) {
      if (taken[row] || outcome.rows[row].name != file.name) continue;
      taken[row] = true;
      file.reported = true;
      if (outcome.rows[row].converted) {
        std::cout << file.file << " -> " << outcome.rows[row].status << "\n";
      } else {
        std::cerr << "qap convert: " << file.file << ": " << outcome.rows[row].status << "\n";
        ++failed;
      }
      break;
    }
    if (!file.reported) {
      std::cerr << "qap convert: " << file.file << ": not converted\n";
      ++failed;
    }
  }
  return failed;
}

int Run(const Args& args) {
  Options options;
  if (int usage = ParseArgs(args, &options)) return usage;
  std::string dest;
  if (!options.dest.empty()) {
    std::string error;
    dest = FolderForDialog(options.dest, &error);
    if (dest.empty()) {
      std::cerr << "qap convert: " << error << "\n";
      return 1;
    }
  }
  std::vector<ModuleInfo> writers;
  drumlet::ListModules(kStyleWriter, &writers);
  if (drumlet::ModuleForExtension(writers, options.to) == nullptr) {
    std::cerr << "qap convert: no writer module writes ." << options.to
              << " files (\"qap modules list\" shows the registered ones)\n";
    return 1;
  }
  if (!LoadOptions()) {
    std::cerr << "qap convert: cannot read the recording options\n";
    return 1;
  }
  // For this run only: the options are not saved.
  IRecordingOption& recording = GetIRecordingOption();
  if (options.kbps > 0) {
    recording.SetWMA_KBPS(static_cast<DWORD>(options.kbps));
    recording.SetCBR_KBPS(static_cast<DWORD>(options.kbps));
  }
  int failed = 0;
  std::vector<Queued> queued = QueueFiles(options.files, &failed);
  if (queued.empty()) return 1;

  ConversionRequest request{options.to, dest, queued.size(), {}};
  if (!options.screenshots.empty()) {
    std::filesystem::create_directories(options.screenshots);
    request.onMoment = [folder = options.screenshots](HWND dialog, const std::string& moment) {
      std::string error;
      const std::string file = folder + "/conversion-" + moment + ".png";
      if (!ui::Screenshot(dialog, file, &error)) std::cerr << "qap convert: " << error << "\n";
    };
  }
  auto outcome = std::make_shared<ConversionOutcome>();
  ui::script::Runner person(ConversionScript(request, outcome), {});
  person.Start();
  InvokeConversionDlg(&recording);
  person.ProgramEnded();
  FreeTrackQueue();
  if (!outcome->error.empty() || person.Failed()) {
    std::cerr << "qap convert: " << (outcome->error.empty() ? person.Failure() : outcome->error) << "\n";
    return 1;
  }
  failed += Report(queued, *outcome);
  return failed == 0 ? 0 : 1;
}

}  // namespace
}  // namespace qap
