// qap convert: converts audio files through the transfer layer exactly as
// the conversion dialog does: a reader and a writer module per file, the
// reader's format handed to the writer, the tags to the writer (or, for an
// MP3 output that the writer cannot tag, to the tag library afterwards), the
// reader feeding the writer, progress from the reader's notifications.
#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <condition_variable>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <mutex>

#include "converters/converter.h"
#include "platform/base/partial_output.h"
#include "platform/base/last_error.h"
#include "platform/base/paths.h"
#include "platform/base/text_field.h"
#include "suite/hobrin/tag_block.h"
#include "tools/qap/transfer_host.h"
#include "tools/qap/verb.h"

namespace qap {
namespace {

int Run(const Args& args);

const Verb kVerb{
    "convert", "convert audio files between formats through the transfer layer",
    "usage: qap convert FILE... --to EXT [--kbps N] [--dest DIR]\n\n"
    "Converts each FILE with the reader module registered for its extension and\n"
    "the writer module for EXT (wav, wma, mp3 with the suite's own modules),\n"
    "carrying the file's tags over. The output is named after the file, in DIR\n"
    "(default: the file's own folder); an output that exists is never replaced.\n"
    "  --kbps N   bit rate of compressed output in kbit/s (default: the\n"
    "             recording setting, \"WMA_KBPS\" for WMA and \"CBR_KBPS\" for\n"
    "             MP3; WMA takes 64, 96 or 128, MP3 32 to 320)\n"
    "Prints the result per file; the exit code is 1 when any file failed.\n",
    Run};
const VerbRegistrar kRegistrar(kVerb);

struct Options {
  std::vector<std::string> files;
  std::string to;
  std::string dest;
  long kbps = -1;
};

// What the reader's notifications share with the waiting command.
struct Conversion {
  std::mutex lock;
  std::condition_variable changed;
  DWORD doneMs = 0;
  DWORD totalMs = 0;
  bool ended = false;
  TransferResult result = kTransferFailed;
  std::string reason;  // of a failed conversion, when the layer told one
};

DWORD OnReader(DWORD value, DWORD code, void* data, void* context) {
  auto* conversion = static_cast<Conversion*>(context);
  std::lock_guard lock(conversion->lock);
  if (code == kNotifyProgress && data != nullptr) {
    conversion->doneMs = static_cast<const ReaderProgress*>(data)->doneMs;
  } else if (code == kNotifyEnd) {
    conversion->ended = true;
    conversion->result = value;
    if (data != nullptr) conversion->reason = static_cast<const char*>(data);
  }
  conversion->changed.notify_all();
  return 0;
}

bool EndsWithMp3(const std::string& path) {
  std::string extension = ExtensionOf(path);
  for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return extension == "mp3";
}

// A host path is shown, and named to the writer, with '/': a folder given
// as "out" would otherwise get a '\' appended. Program paths keep theirs.
std::string HostForm(std::string path) {
  const bool unc = path.size() >= 2 && IsPathSeparator(path[0]) && IsPathSeparator(path[1]);
  if (DriveLetterOf(path) == 0 && !unc) std::replace(path.begin(), path.end(), '\\', '/');
  return path;
}

// A module lists its extensions separated by '\'; the first names its files.
std::string FirstExtension(const char* extensions) {
  const std::string list(extensions);
  return list.substr(0, list.find('\\'));
}

// Returns an error message; empty when the file was converted.
std::string ConvertOne(const std::string& file, const ModuleInfo& writer,
                       const std::vector<ModuleInfo>& readers, const std::string& destFolder,
                       const TQuadrinInitStruct& init, ProgressLine& progress,
                       std::string* output) {
  const ModuleInfo* reader = ModuleForExtension(readers, ExtensionOf(file));
  if (reader == nullptr) return "no reader module takes ." + ExtensionOf(file) + " files";
  const PathParts parts = SplitPath(file);
  const std::string folder = destFolder.empty() ? parts.folder : AppendSeparator(destFolder);
  *output = HostForm(folder + parts.baseName + "." + FirstExtension(writer.extensions));
  std::error_code failure;
  if (std::filesystem::exists(ToHostPath(*output), failure)) {
    return "File \"" + *output + "\" already exists";
  }

  TrackEntry entry{};
  CopyToField(entry.sourcePath, sizeof entry.sourcePath, file);
  CopyToField(entry.readerId, sizeof entry.readerId, reader->shortId);
  ReadTags(file, &entry);
  const std::string_view title = FieldText(entry.tags.title, sizeof entry.tags.title);
  CopyToField(entry.name, sizeof entry.name, title.empty() ? parts.baseName : std::string(title));
  CopyToField(entry.destination, sizeof entry.destination, *output);
  struct stat status {};
  if (stat(ToHostPath(file).c_str(), &status) == 0) entry.size = static_cast<DWORD>(status.st_size);

  TransferObject readerObject = CreateObject(reader->shortId);
  TransferObject writerObject = CreateObject(writer.shortId);
  if (!readerObject || !writerObject) return "cannot make the engine's objects";
  PcmFormat format{};
  Conversion conversion;
  SetLastError(0);
  if (readerObject->Command(kCmdOpen, &entry) != kQuadrinOk) return "cannot read it" + Because(GetLastError());
  readerObject->Command(kCmdGetFormat, &format);
  readerObject->Command(kCmdGetLength, &conversion.totalMs);
  std::string target = *output;
  TQuadrinInitStruct options = init;
  if (writerObject->Command(kCmdOpen, target.data()) != kQuadrinOk ||
      writerObject->Command(kCmdSetInputFormat, &format) != kQuadrinOk ||
      writerObject->Command(kCmdIsOpen, &format) != kQuadrinOk) {
    return "Cannot initialize the engine for the current type of song";
  }
  // Results ignored: a module without options answers "not supported".
  writerObject->Command(kCmdSetOptions, &options);
  readerObject->Command(kCmdSetOptions, &options);
  const bool tagsByLibrary =
      writerObject->Command(kCmdSetTags, &entry.tags) != kQuadrinOk && EndsWithMp3(*output);
  readerObject->SetNotifyCallback(&OnReader, &conversion);
  if (readerObject->Command(kCmdConnect, writerObject.get()) != kQuadrinOk ||
      readerObject->Command(kCmdStart, nullptr) != kQuadrinOk) {
    RemovePartialOutput(ToHostPath(*output));
    return "Cannot initialize the engine for the current type of song";
  }
  const std::string label = std::string(FieldText(entry.name, sizeof entry.name));
  {
    std::unique_lock lock(conversion.lock);
    DWORD shown = ~DWORD{0};
    while (!conversion.ended) {
      if (conversion.totalMs != 0 && conversion.doneMs != shown) {
        shown = conversion.doneMs;
        progress.Show(label, static_cast<unsigned>(
                                 std::min<std::uint64_t>(std::uint64_t{shown} * 100 / conversion.totalMs, 100)));
      }
      conversion.changed.wait(lock);
    }
  }
  progress.Done();
  readerObject.reset();
  writerObject.reset();
  if (conversion.result != kTransferCompleted) {
    RemovePartialOutput(ToHostPath(*output));
    if (conversion.result == kTransferAborted) return "Processing was stopped";
    return conversion.reason.empty() ? "the conversion failed"
                                     : "the conversion failed: " + conversion.reason;
  }
  if (tagsByLibrary && (entry.flags & kTrackTagsRead) != 0 && !WriteTagBlock(output->c_str(), entry.tags)) {
    return "converted, but the tags could not be written";
  }
  return {};
}

int Run(const Args& args) {
  Options options;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    const bool hasValue = i + 1 < args.size();
    if (arg == "--to") {
      if (!hasValue) return UsageError(kVerb, "--to needs an extension");
      options.to = args[++i];
      if (!options.to.empty() && options.to[0] == '.') options.to.erase(0, 1);
    } else if (arg == "--dest") {
      if (!hasValue) return UsageError(kVerb, "--dest needs a folder");
      options.dest = args[++i];
    } else if (arg == "--kbps") {
      char* end = nullptr;
      options.kbps = hasValue ? std::strtol(args[++i].c_str(), &end, 10) : -1;
      if (end == nullptr || *end != '\0' || options.kbps <= 0 || options.kbps > 320) {
        return UsageError(kVerb, "--kbps needs a number of kbit/s from 1 to 320");
      }
    } else if (arg.size() > 1 && arg[0] == '-') {
      return UsageError(kVerb, "unknown option '" + arg + "'");
    } else {
      options.files.push_back(arg);
    }
  }
  if (options.files.empty()) return UsageError(kVerb, "which files?");
  if (options.to.empty()) return UsageError(kVerb, "convert to what? (--to EXT)");
  const std::vector<ModuleInfo> writers = ListModules(kStyleWriter);
  const ModuleInfo* writer = ModuleForExtension(writers, options.to);
  if (writer == nullptr) {
    std::cerr << "qap convert: no writer module writes ." << options.to
              << " files (\"qap modules list\" shows the registered ones)\n";
    return 1;
  }
  std::error_code failure;
  if (!options.dest.empty() && !std::filesystem::is_directory(ToHostPath(options.dest), failure)) {
    std::cerr << "qap convert: " << options.dest << " is not a folder\n";
    return 1;
  }
  TQuadrinInitStruct init{};
  if (!LoadTransferOptions(&init)) {
    std::cerr << "qap convert: cannot read the recording options\n";
    return 1;
  }
  if (options.kbps > 0) {
    init.bitRateKbps = static_cast<DWORD>(options.kbps);
    init.mp3BitRateKbps = static_cast<DWORD>(options.kbps);
  }
  const std::vector<ModuleInfo> readers = ListModules(kStyleReader);
  ProgressLine progress;
  int failed = 0;
  for (const std::string& file : options.files) {
    std::string output;
    const std::string error = ConvertOne(file, *writer, readers, options.dest, init, progress, &output);
    if (error.empty()) {
      std::cout << file << " -> " << output << "\n";
    } else {
      std::cerr << "qap convert: " << file << ": " << error << "\n";
      ++failed;
    }
  }
  return failed == 0 ? 0 : 1;
}

}  // namespace
}  // namespace qap
