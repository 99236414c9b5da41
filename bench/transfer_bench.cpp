// The transfer layer against the tools a user would reach for, in one run:
// (a) a 300-second 44100 Hz stereo WAV converted to 128 kbit/s WMA through
// Quadrin (reader module feeding writer module) against
// "ffmpeg -threads 1 -i in.wav -c:a wmav2 -b:a 128k"; (b) an MP3 of the same
// length converted the same way against ffmpeg likewise; (c) ten prepared
// 2-minute tracks burned to an audio-CD image against "cp" of the image's
// bytes. Goals: (a) and (b) at most 1.1 times ffmpeg's time; (c) at least 0.8
// times cp's speed. Each side runs several times, the two alternating, and
// the best time of each counts, which keeps a busy machine's noise out.
#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <tuple>
#include <vector>

#include "bench/bench_support.h"
#include "bench/transfer_waiter.h"
#include "converters/converter.h"
#include "converters/wav_file.h"
#include "drumlet/transfer_layer.h"
#include "platform/registry/registry.h"
#include "suite/quadrin/module_admin.h"

namespace {

using bench::Clock;
using bench::Ffmpeg;
using bench::RunQuietly;
using bench::Seconds;

constexpr double kSeconds = 300;
constexpr int kRounds = 7;
constexpr DWORD kKbps = 128;
constexpr int kTracks = 10;
constexpr double kTrackSeconds = 120;

struct Side {
  std::function<bool()> setUp;  // not timed
  std::function<bool()> work;
  double best = 1e9;
};

// The best time of each side over kRounds alternating runs; false when a
// run failed.
bool Race(Side& ours, Side& theirs) {
  for (int round = 0; round < kRounds; ++round) {
    for (Side* side : {&ours, &theirs}) {
      if (!side->setUp()) return false;
      const Clock::time_point start = Clock::now();
      if (!side->work()) return false;
      side->best = std::min(side->best, Seconds(Clock::now() - start));
    }
  }
  return true;
}

using Object = CommunicationPtr;

Object Make(const char* shortId) {
  ICommunication* object = nullptr;
  CreateCommunicationObject(&object, shortId, nullptr);
  return Object(object);
}

// The conversion dialog's road through the layer.
bool Convert(const char* readerId, const std::string& source, const std::string& target) {
  Object reader = Make(readerId);
  Object writer = Make("WMAWriter");
  if (!reader || !writer) return false;
  TrackEntry entry{};
  std::snprintf(entry.sourcePath, sizeof entry.sourcePath, "%s", source.c_str());
  PcmFormat format{};
  DWORD length = 0;
  std::string output = target;
  TQuadrinInitStruct init{};
  init.bitRateKbps = kKbps;
  qap::bench::TransferWaiter waiter;
  if (reader->Command(kCmdOpen, &entry) != kQuadrinOk ||
      reader->Command(kCmdGetFormat, &format) != kQuadrinOk ||
      reader->Command(kCmdGetLength, &length) != kQuadrinOk ||
      writer->Command(kCmdOpen, output.data()) != kQuadrinOk ||
      writer->Command(kCmdSetInputFormat, &format) != kQuadrinOk) {
    return false;
  }
  writer->Command(kCmdSetOptions, &init);
  reader->SetNotifyCallback(&qap::bench::TransferWaiter::Callback, &waiter);
  if (reader->Command(kCmdConnect, writer.get()) != kQuadrinOk ||
      reader->Command(kCmdStart, nullptr) != kQuadrinOk) {
    return false;
  }
  return waiter.WaitFor(kNotifyEnd);
}

void Report(const char* what, double ours, const char* baseline, double theirs, double goal,
            bool speed) {
  const double ratio = speed ? theirs / ours : ours / theirs;
  std::printf("%-34s %7.3f s   %-24s %7.3f s   %s %.2f (goal %s %.1f)\n", what, ours, baseline,
              theirs, speed ? "speed ratio" : "time ratio", ratio, speed ? ">=" : "<=", goal);
}

}  // namespace

int main() {
  std::string pattern = bench::MakeScratchFolder("transfer_bench");
  if (pattern.empty()) return 1;
  const std::string dir = pattern;
  // A hive of the bench's own, with the suite's modules registered.
  setenv("QAP_REGISTRY", (dir + "/registry.db").c_str(), 1);
  RegResetHive();
  char error[1024] = "";
  if (RegisterBuiltinModules(error, sizeof error) != kQuadrinOk) {
    std::fprintf(stderr, "transfer_bench: %s\n", error);
    return 1;
  }
  const std::string wav = dir + "/in.wav";
  const std::string mp3 = dir + "/in.mp3";
  std::string why;
  if (!WriteToneWav(wav, WavFormat{44100, 2, 16}, kSeconds, 440.0, &why) ||
      !Ffmpeg({"-i", wav, "-c:a", "libmp3lame", "-b:a", "128k", mp3})) {
    std::fprintf(stderr, "transfer_bench: cannot make the sources %s\n", why.c_str());
    return 1;
  }
  std::printf("transfer_bench: %.0f-second 44100 Hz stereo sources, best of %d runs\n", kSeconds,
              kRounds);
  const std::string out = dir + "/out.wma";
  auto clean = [&] {
    std::filesystem::remove(out);
    return true;
  };
  bool ok = true;
  for (const auto& [source, reader, label] :
       {std::tuple{wav, "WAVReader", "WAV -> WMA 128k through Quadrin"},
        std::tuple{mp3, "MP3Reader", "MP3 -> WMA 128k through Quadrin"}}) {
    Side ours{clean, [&, source = source, reader = reader] { return Convert(reader, source, out); }};
    Side theirs{clean, [&, source = source] {
                  return Ffmpeg({"-i", source, "-c:a", "wmav2", "-b:a", "128k", out});
                }};
    if (!Race(ours, theirs)) {
      std::fprintf(stderr, "transfer_bench: %s failed\n", label);
      ok = false;
      continue;
    }
    Report(label, ours.best, "ffmpeg -threads 1", theirs.best, 1.1, false);
  }

  // The burn: ten tracks prepared once, then written to a fresh image each
  // round.
  std::vector<std::string> tracks;
  for (int i = 0; i < kTracks; ++i) {
    tracks.push_back(dir + "/track" + std::to_string(i) + ".wav");
    if (!WriteToneWav(tracks.back(), WavFormat{44100, 2, 16}, kTrackSeconds, 220.0 + 40 * i, &why)) {
      std::fprintf(stderr, "transfer_bench: %s\n", why.c_str());
      return 1;
    }
  }
  const std::string image = dir + "/disc.cdi";
  Object device = Make("QuadrinCDWriter");
  Object recorder = Make("QuadrinRecorder");
  qap::bench::TransferWaiter waiter;
  OpenParams params{};
  params.imagePath = image.c_str();
  std::snprintf(params.init.tempFolder, sizeof params.init.tempFolder, "%s", dir.c_str());
  if (!device || !recorder || device->Command(kCmdOpenDevice, &params) != kQuadrinOk) {
    std::fprintf(stderr, "transfer_bench: cannot open the disc image\n");
    return 1;
  }
  recorder->SetNotifyCallback(&qap::bench::TransferWaiter::Callback, &waiter);
  recorder->Command(kCmdConnect, device.get());
  for (int i = 0; i < kTracks; ++i) {
    TrackEntry entry{};
    std::snprintf(entry.sourcePath, sizeof entry.sourcePath, "%s", tracks[i].c_str());
    std::snprintf(entry.name, sizeof entry.name, "Track %d", i + 1);
    entry.position = static_cast<DWORD>(i);
    if (recorder->Command(kCmdQueueTrack, &entry) != kQuadrinOk) return 1;
  }
  if (recorder->Command(kCmdPrepare, nullptr) != kQuadrinOk || !waiter.WaitFor(kNotifyPrepared)) {
    std::fprintf(stderr, "transfer_bench: cannot prepare the tracks\n");
    return 1;
  }
  // Each round burns a fresh image, which cp then copies.
  const std::string copy = dir + "/copy.cdi";
  Side burn{[&] {
              return recorder->Command(kCmdEraseMedium, nullptr) == kQuadrinOk &&
                     waiter.WaitFor(kNotifyEraseDone);
            },
            [&] {
              return recorder->Command(kCmdStart, nullptr) == kQuadrinOk &&
                     waiter.WaitFor(kNotifyBurnDone);
            }};
  Side cp{[&] {
            std::filesystem::remove(copy);
            return true;
          },
          [&] { return RunQuietly({"cp", image, copy}); }};
  if (!Race(burn, cp)) {
    std::fprintf(stderr, "transfer_bench: the burn failed\n");
    ok = false;
  } else {
    const double bytes = static_cast<double>(std::filesystem::file_size(image));
    Report("burn 10 tracks to a CD image", burn.best, "cp of the image", cp.best, 0.8, true);
    std::printf("%-34s %.0f MB/s against %.0f MB/s\n", "", bytes / burn.best / 1e6,
                bytes / cp.best / 1e6);
  }
  recorder.reset();
  device.reset();
  std::filesystem::remove_all(dir);
  return ok ? 0 : 1;
}
