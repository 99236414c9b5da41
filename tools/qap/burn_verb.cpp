// qap burn: prepares files for a device and burns them through the
// recorder, as the recorder dialog does: the files are queued (each refused
// one is named), prepared on the recorder's thread, selected and burned,
// with progress and the recorder's texts as they come.
#include <condition_variable>
#include <deque>
#include <iostream>
#include <mutex>

#include "drumlet/module_list.h"
#include "platform/base/paths.h"
#include "platform/base/text_field.h"
#include "tools/qap/device_session.h"
#include "tools/qap/transfer_host.h"
#include "tools/qap/verb.h"

namespace qap {
namespace {

int Run(const Args& args);

const Verb kVerb{
    "burn", "prepare files for a device and burn them, with progress",
    "usage: qap burn FILE... --device NAME [--image PATH] [--erase]\n\n"
    "Queues every FILE for the device (as \"qap devices\" names it), converts\n"
    "them into the device's form (audio CD sectors for the CD writer, MP3 for a\n"
    "portable player, which takes MP3 and WMA files as they are) and writes them.\n"
    "A file that cannot be read, or that does not fit the free space with the\n"
    "files before it, is left out and named.\n"
    "  --image PATH   the disc image the CD writer writes (a CUE sheet goes\n"
    "                 beside it as PATH.cue); burning adds to what it holds\n"
    "  --erase        erases the medium first\n",
    Run};
const VerbRegistrar kRegistrar(kVerb);

// What the recorder's notifications share with the waiting command.
struct Burn {
  std::mutex lock;
  std::condition_variable changed;
  std::deque<std::string> texts;
  RecorderProgress progress{};
  DWORD progressCode = 0;
  DWORD endCode = 0;  // the last end notification
  TransferResult result = kTransferFailed;
  DWORD prepared = 0;
};

DWORD OnRecorder(DWORD value, DWORD code, void* data, void* context) {
  auto* burn = static_cast<Burn*>(context);
  std::lock_guard lock(burn->lock);
  switch (code) {
    case kNotifyTrackProgress:
    case kNotifyEraseProgress:
      burn->progress = *static_cast<const RecorderProgress*>(data);
      burn->progressCode = code;
      break;
    case kNotifyText:
      burn->texts.emplace_back(static_cast<const char*>(data));
      break;
    case kNotifyPrepared:
      burn->prepared = static_cast<const PreparedTrackList*>(data)->count;
      [[fallthrough]];
    case kNotifyEraseDone:
    case kNotifyBurnDone:
      burn->endCode = code;
      burn->result = value;
      break;
    default:
      break;
  }
  burn->changed.notify_all();
  return 0;
}

// Waits for the end notification, showing progress and texts meanwhile.
TransferResult WaitFor(Burn& burn, DWORD endCode, ProgressLine& line) {
  std::unique_lock lock(burn.lock);
  for (;;) {
    while (!burn.texts.empty()) {
      line.Done();
      std::cout << burn.texts.front() << "\n";
      burn.texts.pop_front();
    }
    if (burn.endCode == endCode) break;
    if (burn.progressCode == kNotifyEraseProgress) {
      line.Show("Erasing", burn.progress.percent);
    } else if (burn.progressCode == kNotifyTrackProgress) {
      line.Show(std::string(burn.progress.converting ? "Converting" : "Burning") + " track " +
                    std::to_string(burn.progress.index + 1),
                burn.progress.percent);
    }
    burn.changed.wait(lock);
  }
  line.Done();
  burn.endCode = 0;
  burn.progressCode = 0;
  return burn.result;
}

int Run(const Args& args) {
  std::vector<std::string> files;
  std::string device;
  std::string image;
  bool erase = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--device" || arg == "--image") {
      if (i + 1 >= args.size()) return UsageError(kVerb, arg + " needs a value");
      (arg == "--device" ? device : image) = args[++i];
    } else if (arg == "--erase") {
      erase = true;
    } else if (arg.size() > 1 && arg[0] == '-') {
      return UsageError(kVerb, "unknown option '" + arg + "'");
    } else {
      files.push_back(arg);
    }
  }
  if (files.empty()) return UsageError(kVerb, "which files?");
  if (device.empty()) return UsageError(kVerb, "to which device? (--device NAME)");

  Burn burn;
  DeviceSession session;
  std::string error;
  if (!session.Open(device, image, &error) || !session.AttachRecorder(&OnRecorder, &burn, &error)) {
    std::cerr << "qap burn: " << error << "\n";
    return 1;
  }
  ICommunication* recorder = session.Recorder();
  ProgressLine line;
  if (erase) {
    if (recorder->Command(kCmdEraseMedium, nullptr) != kQuadrinOk ||
        WaitFor(burn, kNotifyEraseDone, line) != kTransferCompleted) {
      std::cerr << "qap burn: Cannot start erasing medium !\n";
      return 1;
    }
    std::cout << "Formatting completed\n";
  }
  // Burning adds to what the medium holds: one that cannot be read is not
  // written at all.
  std::vector<TrackEntry> stored;
  if (!session.ListTracks(&stored, &error)) {
    std::cerr << "qap burn: " << error << "\n";
    return 1;
  }

  std::vector<ModuleInfo> readers;
  drumlet::ListModules(kStyleReader, &readers);
  DWORD accepted = 0;
  for (size_t j = 0; j < files.size(); ++j) {
    TrackEntry entry{};
    CopyToField(entry.sourcePath, sizeof entry.sourcePath, files[j]);
    if (const ModuleInfo* reader = drumlet::ReaderForFile(readers, files[j])) {
      CopyToField(entry.readerId, sizeof entry.readerId, reader->shortId);
    }
    ReadTags(files[j], &entry);
    const std::string_view title = FieldText(entry.tags.title, sizeof entry.tags.title);
    CopyToField(entry.name, sizeof entry.name,
             title.empty() ? SplitPath(files[j]).baseName : std::string(title));
    entry.position = static_cast<DWORD>(j);
    if (recorder->Command(kCmdQueueTrack, &entry) == kQuadrinOk) {
      ++accepted;
    } else {
      std::cerr << "qap burn: leaving out " << files[j]
                << ": it cannot be read, or it does not fit the free space\n";
    }
  }
  if (accepted == 0) {
    std::cerr << "qap burn: No tracks prepared. Burning process canceled.\n";
    return 1;
  }
  if (recorder->Command(kCmdPrepare, nullptr) != kQuadrinOk) {
    std::cerr << "qap burn: the recorder cannot start preparing\n";
    return 1;
  }
  const TransferResult prepared = WaitFor(burn, kNotifyPrepared, line);
  std::cout << "Preparation completed: " << burn.prepared << " of " << accepted
            << " tracks prepared\n";
  if (burn.prepared == 0) {
    std::cerr << "qap burn: No tracks prepared. Burning process canceled.\n";
    return 1;
  }
  SelectionFlags selection{};
  for (DWORD k = 0; k < burn.prepared && k < kSelectionFlagCount; ++k) selection.burn[k] = 1;
  session.Device()->Command(kCmdSelectTracks, &selection);
  if (recorder->Command(kCmdStart, nullptr) != kQuadrinOk) {
    std::cerr << "qap burn: the recorder cannot start burning\n";
    return 1;
  }
  const TransferResult burned = WaitFor(burn, kNotifyBurnDone, line);
  if (burned != kTransferCompleted) {
    // The recorder's own text above says what failed and why.
    char storage[kDeviceNameSize] = "";
    session.Device()->Command(kCmdGetStorageName, storage);
    std::cerr << "qap burn: the burn to " << storage << " did not complete\n";
    return 1;
  }
  std::cout << "Burning completed\n";
  return prepared == kTransferCompleted && accepted == files.size() ? 0 : 1;
}

}  // namespace
}  // namespace qap
