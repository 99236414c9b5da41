// qap wma: reads and writes WMA files through the converter components, the
// way the transfer layer drives them: each module loaded with dlopen and
// reached only through its exports.
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "converters/component_loader.h"
#include "converters/stream_damage.h"
#include "converters/wav_file.h"
#include "platform/base/last_error.h"
#include "platform/base/partial_output.h"
#include "platform/base/paths.h"
#include "tools/qap/progress.h"
#include "tools/qap/verb.h"

namespace qap {
namespace {

int Run(const Args& args);

const Verb kVerb{
    "wma", "read and write WMA files through the converter components",
    "usage: qap wma info FILE\n"
    "       qap wma decode IN.wma OUT.wav [--force]\n"
    "       qap wma encode IN.wav OUT.wma [--kbps N] [--title T] [--author A]\n"
    "                                     [--description D] [--force]\n\n"
    "  info     the file's PCM format, duration and text tags, as the reader\n"
    "           component (Lumbrix) reports them\n"
    "  decode   the file's audio into a PCM WAV file\n"
    "  encode   a PCM WAV file (8 or 16 bits, mono or stereo, 8000, 11025,\n"
    "           16000, 22050, 32000, 44100 or 48000 Hz) into a WMA file through\n"
    "           the writer component (Wentrix)\n"
    "  --kbps N       the bit rate asked for; the writer takes the nearest\n"
    "                 profile: up to 79 -> 64 kbit/s, 80 to 111 -> 96,\n"
    "                 112 and more -> 128 (the default)\n"
    "  --title T, --author A, --description D\n"
    "                 text tags of the new file (up to 255 bytes each)\n"
    "  --force        replace OUT when it exists\n"
    "The components are loaded from $QAP_BIN_DIR, else from beside qap.\n",
    Run};
const VerbRegistrar kRegistrar(kVerb);

// Files shorter than this finish before progress would be worth showing.
constexpr DWORD kProgressAfterMs = 5000;
constexpr size_t kEncodeBlock = 64 * 1024;

struct Component {
  std::unique_ptr<ComponentModule> module;
  ConverterPtr object;
};

std::optional<Component> Load(const char* name, const char* role) {
  Component component;
  component.module = std::make_unique<ComponentModule>(ComponentPath(name));
  if (!component.module->Loaded()) {
    std::cerr << "qap wma: cannot load the " << role << " component: "
              << component.module->Error() << "\n";
    return std::nullopt;
  }
  component.object = component.module->Create();
  if (!component.object) {
    std::cerr << "qap wma: the " << role << " component could not make a converter\n";
    return std::nullopt;
  }
  return component;
}

bool Exists(const std::string& path) {
  std::error_code error;
  return std::filesystem::exists(ToHostPath(path), error);
}

// Refuses to replace a file unless asked to, and to write over the input.
bool MayWrite(const std::string& in, const std::string& out, bool force) {
  std::error_code error;
  if (std::filesystem::equivalent(ToHostPath(in), ToHostPath(out), error)) {
    std::cerr << "qap wma: " << out << " is the input file\n";
    return false;
  }
  if (!force && Exists(out)) {
    std::cerr << "qap wma: " << out << " exists; add --force to replace it\n";
    return false;
  }
  return true;
}

std::string Describe(const PcmFormat& format) {
  auto code = [](DWORD value) { return value == 0 ? std::string("?") : std::to_string(value); };
  const DWORD rate = PcmRateOfCode(format.rateCode);
  const DWORD bits = PcmBitsOfCode(format.sizeCode);
  const DWORD channels = PcmChannelsOfCode(format.channelCode);
  std::string text = (rate != 0 ? std::to_string(rate) + " Hz" : "unlisted rate") + ", " +
                     (bits != 0 ? std::to_string(bits) + "-bit" : "unlisted sample size") + ", " +
                     (channels == 2 ? "stereo" : channels == 1 ? "mono" : "unlisted channels");
  return text + " (codes " + code(format.rateCode) + ", " + code(format.sizeCode) + ", " +
         code(format.channelCode) + ")";
}

// The reader leaves the cause of a refusal in the thread's last error.
std::string RefusalReason(DWORD error) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
      return "it is missing";
    case ERROR_BAD_FORMAT:
      return "it is not a WMA file";
    case ERROR_FILE_CORRUPT:
      return "it is damaged";
    case ERROR_NOT_SUPPORTED:
      return "it holds more than one audio or video stream";
    default:
      return SystemMessage(error);
  }
}

bool OpenReader(Converter* reader, const std::string& path) {
  SetLastError(0);
  if (reader->Command(ConvOpen, const_cast<char*>(path.c_str())) == kConvSuccess) return true;
  std::cerr << "qap wma: cannot read " << path << ": " << RefusalReason(GetLastError()) << "\n";
  return false;
}


int Info(const std::string& path) {
  auto reader = Load("Lumbrix", "reader");
  if (!reader) return 1;
  if (!OpenReader(reader->object.get(), path)) return 1;
  Converter* object = reader->object.get();
  PcmFormat format{};
  const bool haveFormat = object->Command(ConvGetFormat, &format) == kConvSuccess;
  DWORD duration = 0;
  const bool haveDuration = object->Command(ConvGetDuration, &duration) == kConvSuccess;
  std::cout << "File:        " << path << "\n"
            << "Format:      " << (haveFormat ? Describe(format) : "not audio") << "\n"
            << "Duration:    " << (haveDuration ? std::to_string(duration) + " ms" : "unknown")
            << "\n";
  const std::pair<const char*, DWORD> tags[] = {
      {"Title:       ", ConvGetTitle}, {"Author:      ", ConvGetAuthor},
      {"Description: ", ConvGetDescription}};
  for (const auto& [label, code] : tags) {
    char text[kTagTextSize] = "";
    object->Command(code, text);
    std::cout << label << (text[0] != '\0' ? text : "(none)") << "\n";
  }
  return 0;
}

// What the reader's callback shares with the waiting command. The waiter
// is woken only by the end or a failure, not by every block.
struct Decoding {
  std::mutex mutex;
  std::condition_variable changed;
  WavWriter* wav = nullptr;
  ProgressLine* progress = nullptr;
  DWORD durationMs = 0;
  bool ended = false;
  bool failed = false;
  std::optional<StreamDamage> damage;
};

void OnReaderEvent(Converter*, DWORD event, void* data, ConverterUserData user) {
  auto* decoding = reinterpret_cast<Decoding*>(user);
  std::lock_guard lock(decoding->mutex);
  if (event == kConverterEventData && !decoding->failed) {
    const auto* info = static_cast<const SampleInfo*>(data);
    decoding->progress->Show("decoding", info->time, decoding->durationMs);
    if (decoding->wav->Write(info->data, info->length)) return;
    decoding->failed = true;
  } else if (event == kConverterEventEnd) {
    decoding->ended = true;
    if (data != nullptr) decoding->damage = *static_cast<const StreamDamage*>(data);
  } else {
    return;
  }
  decoding->changed.notify_all();
}

int Decode(const std::string& in, const std::string& out, bool force) {
  auto reader = Load("Lumbrix", "reader");
  if (!reader) return 1;
  Converter* object = reader->object.get();
  if (!OpenReader(object, in) || !MayWrite(in, out, force)) return 1;
  PcmFormat format{};
  if (object->Command(ConvGetFormat, &format) != kConvSuccess ||
      PcmRateOfCode(format.rateCode) == 0 || PcmBitsOfCode(format.sizeCode) == 0 ||
      PcmChannelsOfCode(format.channelCode) == 0) {
    std::cerr << "qap wma: " << in << " is not in a PCM format the converters list\n";
    return 1;
  }
  const WavFormat wavFormat{PcmRateOfCode(format.rateCode),
                            static_cast<WORD>(PcmChannelsOfCode(format.channelCode)),
                            static_cast<WORD>(PcmBitsOfCode(format.sizeCode))};
  WavWriter wav;
  std::string error;
  if (!wav.Create(out, wavFormat, &error)) {
    std::cerr << "qap wma: " << error << "\n";
    return 1;
  }
  Decoding decoding;
  object->Command(ConvGetDuration, &decoding.durationMs);
  ProgressLine progress(decoding.durationMs > kProgressAfterMs);
  decoding.wav = &wav;
  decoding.progress = &progress;
  object->SetNotifyCallback(&OnReaderEvent, reinterpret_cast<ConverterUserData>(&decoding));
  if (object->Command(ConvStart, nullptr) != kConvSuccess) {
    std::cerr << "qap wma: cannot start decoding " << in << "\n";
    return 1;
  }
  bool failed = false;
  {
    std::unique_lock lock(decoding.mutex);
    decoding.changed.wait(lock, [&] { return decoding.ended || decoding.failed; });
    failed = decoding.failed;
  }
  // A failed write stops the delivery; the stop's end event is not needed.
  if (failed) object->Command(ConvStop, nullptr);
  reader->object.reset();
  if (!failed && !decoding.damage) progress.Show("decoding", 100);
  progress.Done();
  if (decoding.damage) {
    // What came out of a damaged file is not the file's audio.
    std::cerr << "qap wma: cannot decode " << in << " whole: it is "
              << DescribeDamage(*decoding.damage) << "\n";
    return 1;
  }
  if (failed) {
    std::cerr << "qap wma: cannot write " << out << ": " << std::strerror(wav.Errno()) << "\n";
    return 1;
  }
  if (!wav.Finish(&error)) {
    std::cerr << "qap wma: " << error << "\n";
    return 1;
  }
  std::cout << "Decoded " << in << " (" << Describe(format) << ") into " << out << ", "
            << wav.DataBytes() << " bytes of audio\n";
  return 0;
}

struct EncodeOptions {
  DWORD kbps = 128;
  TagRecord tags{};
  bool haveTags = false;
  bool force = false;
};

int Encode(const std::string& in, const std::string& out, const EncodeOptions& options) {
  WavReader wav;
  std::string error;
  if (!wav.Open(in, &error)) {
    std::cerr << "qap wma: " << error << "\n";
    return 1;
  }
  if (!MayWrite(in, out, options.force)) return 1;
  const WavFormat& source = wav.Format();
  const PcmFormat format{PcmRateCode(source.rate), PcmBitsCode(source.bits),
                         PcmChannelsCode(source.channels), 0};
  if (format.rateCode == 0 || format.channelCode == 0) {
    std::cerr << "qap wma: " << in << " is " << source.rate << " Hz, " << source.channels
              << (source.channels == 1 ? " channel" : " channels") << "; WMA files are made from mono or stereo audio at 8000, 11025, "
                 "16000, 22050, 32000, 44100 or 48000 Hz\n";
    return 1;
  }
  auto writer = Load("Wentrix", "writer");
  if (!writer) return 1;
  Converter* object = writer->object.get();
  if (object->Command(ConvOpen, const_cast<char*>(out.c_str())) != kConvSuccess) {
    std::cerr << "qap wma: the writer cannot take the output name " << out << "\n";
    return 1;
  }
  // The transfer layer's settings record; the writer reads the bit rate.
  std::vector<BYTE> settings(406, 0);
  std::memcpy(settings.data() + kSettingsBitRateOffset, &options.kbps, sizeof options.kbps);
  object->Command(ConvSetBitRate, settings.data());
  if (object->Command(ConvSetInputFormat, const_cast<PcmFormat*>(&format)) != kConvSuccess) {
    std::cerr << "qap wma: the writer does not take the format of " << in << "\n";
    return 1;
  }
  if (options.haveTags) object->Command(ConvSetTags, const_cast<TagRecord*>(&options.tags));
  SetLastError(0);
  object->Command(ConvStart, nullptr);
  if (object->Command(ConvIsOpen, nullptr) != kConvSuccess) {
    std::cerr << "qap wma: cannot create " << out << Because(GetLastError()) << "\n";
    return 1;
  }
  const std::uint64_t total = wav.DataBytes();
  ProgressLine progress(total * 1000 / source.BytesPerSecond() > kProgressAfterMs);
  std::vector<BYTE> block(kEncodeBlock - kEncodeBlock % source.BlockAlign());
  std::uint64_t done = 0;
  while (const size_t got = wav.Read(block.data(), block.size())) {
    const auto length = static_cast<DWORD>(got);
    SetLastError(0);
    if (object->Write(block.data(), &length) != kConvSuccess) {
      const DWORD error = GetLastError();
      progress.Done();
      writer->object.reset();
      RemovePartialOutput(ToHostPath(out));
      std::cerr << "qap wma: cannot write " << out << Because(error) << "\n";
      return 1;
    }
    done += got;
    progress.Show("encoding", done, total);
  }
  // Destroy finishes the file, or says why it could not.
  SetLastError(0);
  const bool finished = DestroyConverter(writer->object) == kConvSuccess;
  const DWORD finishError = GetLastError();
  if (finished && done == total) progress.Show("encoding", 100);
  progress.Done();
  if (!finished) {
    RemovePartialOutput(ToHostPath(out));
    std::cerr << "qap wma: cannot write " << out << Because(finishError) << "\n";
    return 1;
  }
  if (done < total) {
    RemovePartialOutput(ToHostPath(out));
    std::cerr << "qap wma: " << in << " ended early: cannot read it\n";
    return 1;
  }
  std::cout << "Encoded " << in << " (" << Describe(format) << ") into " << out << "\n";
  return 0;
}

bool SetTag(char (&field)[kTagTextSize], const std::string& text, const char* option,
            std::string* error) {
  if (text.size() >= kTagTextSize) {
    *error = std::string(option) + " is longer than 255 bytes";
    return false;
  }
  std::memcpy(field, text.c_str(), text.size() + 1);
  return true;
}

int Run(const Args& args) {
  if (args.empty()) return UsageError(kVerb, "which of info, decode or encode?");
  const std::string& action = args[0];
  std::vector<std::string> files;
  EncodeOptions options;
  for (size_t i = 1; i < args.size(); ++i) {
    const std::string& arg = args[i];
    auto value = [&]() -> const std::string* { return i + 1 < args.size() ? &args[++i] : nullptr; };
    std::string error;
    if (arg == "--force") {
      options.force = true;
    } else if (action == "encode" && arg == "--kbps") {
      const std::string* text = value();
      char* end = nullptr;
      const unsigned long kbps = text != nullptr ? std::strtoul(text->c_str(), &end, 10) : 0;
      if (text == nullptr || text->empty() || *end != '\0' || kbps > 100000) {
        return UsageError(kVerb, "--kbps needs a number of kbit/s");
      }
      options.kbps = static_cast<DWORD>(kbps);
    } else if (action == "encode" &&
               (arg == "--title" || arg == "--author" || arg == "--description")) {
      const std::string* text = value();
      if (text == nullptr) return UsageError(kVerb, arg + " needs a text");
      auto& field = arg == "--title"    ? options.tags.title
                    : arg == "--author" ? options.tags.author
                                        : options.tags.description;
      if (!SetTag(field, *text, arg.c_str(), &error)) return UsageError(kVerb, error);
      options.haveTags = true;
    } else if (arg.size() > 1 && arg[0] == '-' && arg[1] == '-') {
      return UsageError(kVerb, "unknown option '" + arg + "'");
    } else {
      files.push_back(arg);
    }
  }
  if (action == "info") {
    if (files.size() != 1 || options.force) return UsageError(kVerb, "info takes one FILE");
    return Info(files[0]);
  }
  if (action == "decode" || action == "encode") {
    if (files.size() != 2) return UsageError(kVerb, action + " takes IN and OUT");
    return action == "decode" ? Decode(files[0], files[1], options.force)
                              : Encode(files[0], files[1], options);
  }
  return UsageError(kVerb, "unknown action '" + action + "'");
}

}  // namespace
}  // namespace qap
