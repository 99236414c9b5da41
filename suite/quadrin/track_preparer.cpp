// One track's preparation.
#include "suite/quadrin/track_preparer.h"

#include <cctype>
#include <cstdio>
#include <filesystem>

#include "platform/base/codepage.h"
#include "platform/base/paths.h"
#include "platform/base/text_field.h"
#include "suite/hobrin/tag_block.h"
#include "suite/quadrin/cd_form_sink.h"
#include "suite/quadrin/module_registry.h"
#include "suite/quadrin/object_factory.h"
#include "suite/quadrin/reader_object.h"
#include "suite/quadrin/file_copy.h"
#include "suite/quadrin/writer_object.h"

namespace quadrin {
namespace {

// Where the reader's notifications meet the waiting thread.
struct Run {
  explicit Run(WaitPoint point) : wait(point) {}

  WaitPoint wait;
  bool ended = false;
  TransferResult result = kTransferFailed;
  std::string reason;  // of a failed run, when the reader told one
  unsigned percent = 0;
};

DWORD OnReaderNotification(DWORD value, DWORD code, void* data, void* context) {
  auto* run = static_cast<Run*>(context);
  std::lock_guard lock(run->wait.lock);
  if (code == kNotifyProgress && data != nullptr) {
    const auto* progress = static_cast<const ReaderProgress*>(data);
    if (progress->totalMs != 0) {
      run->percent = static_cast<unsigned>(
          std::min<std::uint64_t>(std::uint64_t{progress->doneMs} * 100 / progress->totalMs, 99));
    }
  } else if (code == kNotifyEnd) {
    run->ended = true;
    run->result = value;
    if (data != nullptr) run->reason = static_cast<const char*>(data);
  }
  run->wait.changed.notify_all();
  return 0;
}

// A player shows its files' tags, and the MP3 writer stores none: the file
// made for the player gets the entry's tags, or those of the source itself
// when the host read none.
bool TagForPlayer(const TrackEntry& entry, const std::string& hostPath) {
  TagBlock tags = entry.tags;
  if (tags.presence == 0) {
    const std::string source(FieldText(entry.sourcePath, sizeof entry.sourcePath));
    if (!ReadTagBlock(source.c_str(), &tags) || tags.presence == 0) return true;
  }
  return WriteTagBlock(Utf8ToAnsi(hostPath).c_str(), tags);
}

std::string LowerExtension(std::string_view path) {
  std::string extension = SplitPath(path).extension;
  if (!extension.empty()) extension.erase(0, 1);
  for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return extension;
}

}  // namespace

std::string ReaderIdFor(const TrackEntry& entry) {
  const std::string_view own = FieldText(entry.readerId, sizeof entry.readerId);
  if (!own.empty()) return std::string(own);
  const std::string extension =
      LowerExtension(FieldText(entry.sourcePath, sizeof entry.sourcePath));
  std::optional<ModuleEntry> reader = FindModuleForExtension(kStyleReader, extension);
  return reader ? reader->shortId : std::string();
}

TransferResult PrepareTrack(const TrackEntry& entry, Device& device,
                            const TQuadrinInitStruct& options, const std::string& outputBase,
                            std::uint64_t landsAt,
                            const ProgressFunction& progress, WaitPoint wait,
                            PreparedFile* prepared, std::string* error) {
  const std::string_view source = FieldText(entry.sourcePath, sizeof entry.sourcePath);
  std::error_code failure;
  if (device.Form() == DeviceForm::kPlayerFiles && device.TakesAsIs(LowerExtension(source))) {
    prepared->path = ToHostPath(source);
    prepared->bytes = std::filesystem::file_size(prepared->path, failure);
    prepared->owned = false;
    if (failure) {
      *error = "cannot read it";
      return kTransferFailed;
    }
    progress(100);
    return kTransferCompleted;
  }

  ObjectPtr reader = MakeOwnedObject(ReaderIdFor(entry), error);
  if (!reader || reader->Style() != kStyleReader) {
    if (reader) *error = "its reader module is not a reader";
    return kTransferFailed;
  }
  auto& readerObject = static_cast<ReaderObject&>(*reader);
  if (readerObject.Open(entry) != kQuadrinOk) {
    *error = "its reader cannot open it";
    return kTransferFailed;
  }
  ObjectPtr writer = Own(nullptr);
  std::shared_ptr<CdFormSink> cdSink;
  if (device.Form() == DeviceForm::kCdAudio) {
    prepared->path = outputBase + ".pcm";
    prepared->offset = landsAt % kPageBytes;
    cdSink = std::make_shared<CdFormSink>(prepared->path, prepared->offset);
    readerObject.Connect(cdSink);
  } else {
    prepared->path = outputBase + ".mp3";
    std::optional<ModuleEntry> module = FindModuleForExtension(kStyleWriter, "mp3");
    if (module) writer = MakeOwnedObject(module->shortId, error);
    if (!writer || writer->Style() != kStyleWriter) {
      *error = "no MP3 writer module is registered";
      return kTransferFailed;
    }
    std::string target = Utf8ToAnsi(prepared->path);
    PcmFormat format = readerObject.Format();
    TQuadrinInitStruct settings = options;
    if (writer->Command(kCmdOpen, target.data()) != kQuadrinOk ||
        writer->Command(kCmdSetInputFormat, &format) != kQuadrinOk) {
      *error = "the MP3 writer cannot make " + target;
      return kTransferFailed;
    }
    writer->Command(kCmdSetOptions, &settings);
    readerObject.Connect(static_cast<WriterObject&>(*writer).Sink());
  }
  prepared->owned = true;

  Run run{wait};
  reader->SetNotifyCallback(&OnReaderNotification, &run);
  progress(0);
  if (readerObject.Start() != kQuadrinOk) {
    *error = "the conversion cannot start";
    std::remove(prepared->path.c_str());
    return kTransferFailed;
  }
  unsigned shown = 0;
  std::unique_lock lock(wait.lock);
  while (!run.ended) {
    wait.changed.wait(lock, [&] { return run.ended || wait.abort || run.percent != shown; });
    if (run.percent != shown && !run.ended) {
      shown = run.percent;
      lock.unlock();
      progress(shown);
      lock.lock();
    } else if (wait.abort && !run.ended) {
      // The reader's own stop ends the run right here.
      lock.unlock();
      readerObject.Abort();
      lock.lock();
    }
  }
  const TransferResult result = run.result;
  const std::string reason = run.reason;
  lock.unlock();
  reader.reset();
  writer.reset();
  if (result != kTransferCompleted) {
    if (result == kTransferFailed) {
      *error = reason.empty() ? "the conversion failed" : "the conversion failed: " + reason;
    }
    std::remove(prepared->path.c_str());
    return result;
  }
  if (!cdSink && !TagForPlayer(entry, prepared->path)) {
    *error = "the tags cannot be written into the MP3 file made of it";
    std::remove(prepared->path.c_str());
    return kTransferFailed;
  }
  prepared->bytes = cdSink ? cdSink->Bytes() : std::filesystem::file_size(prepared->path, failure);
  if (failure) {
    *error = "the prepared file is gone";
    return kTransferFailed;
  }
  progress(100);
  return kTransferCompleted;
}

}  // namespace quadrin
