// The recorder dialog's road as a user runs it, in one run: ten tracks (WAV,
// MP3 and WMA mixed, about 200 MB of CD audio) prepared and burned to an
// audio-CD image by "qap burn" (the dialog library's recorder dialog,
// headless, driven by its script), against "cp" of the image it wrote for
// the burn phase, and against the transfer layer preparing and burning the
// same tracks directly for the whole run. Each road is a program of its own
// (this one, with --direct, for the layer), so that both start and load the
// layer's modules as a user's run does. Medians of five runs each, taking
// turns. Goals: the burn at least 0.85 of cp's speed; the whole run at most
// 1.1 of the direct road's time.
#include <stdlib.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/bench_support.h"
#include "bench/transfer_waiter.h"
#include "converters/wav_file.h"
#include "drumlet/transfer_layer.h"
#include "platform/base/module_path.h"
#include "platform/registry/registry.h"

namespace {

using bench::Clock;
using bench::Median;
using bench::Seconds;

constexpr int kTracks = 10;
constexpr double kTrackSeconds = 113;  // ten of them: about 200 MB of CD audio
constexpr int kRounds = 5;

CommunicationPtr Make(const char* shortId) {
  ICommunication* object = nullptr;
  CreateCommunicationObject(&object, shortId, nullptr);
  return CommunicationPtr(object);
}

// The layer alone, as the dialog drives it: open, queue, prepare, burn.
bool BurnDirectly(const std::vector<std::string>& tracks, const std::string& image, const std::string& temp,
                  double* burnSeconds) {
  std::filesystem::remove(image);
  std::filesystem::remove(image + ".cue");
  CommunicationPtr device = Make("QuadrinCDWriter");
  CommunicationPtr recorder = Make("QuadrinRecorder");
  qap::bench::TransferWaiter waiter;
  OpenParams params{};
  params.imagePath = image.c_str();
  std::snprintf(params.init.tempFolder, sizeof params.init.tempFolder, "%s", temp.c_str());
  if (!device || !recorder || device->Command(kCmdOpenDevice, &params) != kQuadrinOk) return false;
  recorder->SetNotifyCallback(&qap::bench::TransferWaiter::Callback, &waiter);
  recorder->Command(kCmdConnect, device.get());
  for (size_t i = 0; i < tracks.size(); ++i) {
    TrackEntry entry{};
    std::snprintf(entry.sourcePath, sizeof entry.sourcePath, "%s", tracks[i].c_str());
    std::snprintf(entry.name, sizeof entry.name, "track%zu", i);
    entry.position = static_cast<DWORD>(i);
    if (recorder->Command(kCmdQueueTrack, &entry) != kQuadrinOk) return false;
  }
  if (recorder->Command(kCmdPrepare, nullptr) != kQuadrinOk || !waiter.WaitFor(kNotifyPrepared)) return false;
  const Clock::time_point start = Clock::now();
  const bool burned = recorder->Command(kCmdStart, nullptr) == kQuadrinOk && waiter.WaitFor(kNotifyBurnDone);
  *burnSeconds = Seconds(Clock::now() - start);
  return burned;
}

// Runs argv, reading its burn phase from the line it prints; false unless it
// ended with 0 and printed the line.
bool RunTimed(const std::vector<std::string>& argv, double* burnSeconds) {
  std::string command;
  for (const std::string& word : argv) command += "'" + word + "' ";
  FILE* output = popen(command.c_str(), "r");
  if (output == nullptr) return false;
  char line[512];
  bool found = false;
  while (std::fgets(line, sizeof line, output) != nullptr) {
    const char* burned = std::strstr(line, "burned in ");
    if (burned != nullptr && std::sscanf(burned, "burned in %lf s", burnSeconds) == 1) found = true;
  }
  return pclose(output) == 0 && found;
}

// The child's part of the direct road: --direct IMAGE TEMP TRACK...
int DirectChild(int argc, char** argv) {
  if (argc < 5) return 2;
  double burn = 0;
  if (!BurnDirectly(std::vector<std::string>(argv + 4, argv + argc), argv[2], argv[3], &burn)) return 1;
  std::printf("burned in %f s\n", burn);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1 && std::string(argv[1]) == "--direct") return DirectChild(argc, argv);
  const bench::ScratchRun run("burn_bench");
  const std::string& folder = run.Folder();
  if (folder.empty()) return 1;
  setenv("QAP_UI", "headless", 1);
  setenv("TMPDIR", folder.c_str(), 1);
  RegResetHive();
  const std::string qap = (std::filesystem::path(ExecutablePath()).parent_path() / "qap").string();
  if (!bench::RunQuietly({qap, "modules", "register", "--builtin"}) ||
      !bench::RunQuietly({qap, "regsvr", "libSkinControls.so"})) {
    std::fprintf(stderr, "burn_bench: %s cannot register the suite's modules\n", qap.c_str());
    return 1;
  }
  std::printf("Generating %d %.0f-second tracks (WAV, MP3, WMA)...\n", kTracks, kTrackSeconds);
  std::vector<std::string> tracks;
  for (int i = 0; i < kTracks; ++i) {
    const std::string wav = folder + "/track" + std::to_string(i) + ".wav";
    std::string error;
    if (!WriteToneWav(wav, WavFormat{44100, 2, 16}, kTrackSeconds, 220.0 + 40.0 * i, &error)) {
      std::fprintf(stderr, "burn_bench: %s\n", error.c_str());
      return 1;
    }
    const char* kind = i % 3 == 1 ? "mp3" : i % 3 == 2 ? "wma" : nullptr;
    if (kind == nullptr) {
      tracks.push_back(wav);
      continue;
    }
    const std::string coded = folder + "/track" + std::to_string(i) + "." + kind;
    if (!bench::Ffmpeg({"-i", wav, "-c:a", i % 3 == 1 ? "libmp3lame" : "wmav2", "-b:a", "128k", coded})) {
      std::fprintf(stderr, "burn_bench: cannot make %s\n", coded.c_str());
      return 1;
    }
    tracks.push_back(coded);
  }
  const std::string dialogFolder = folder + "/dialog";
  const std::string directFolder = folder + "/direct";
  std::filesystem::create_directories(dialogFolder);
  std::filesystem::create_directories(directFolder);
  const std::string image = dialogFolder + "/image.cdi";
  std::vector<double> dialog, burns, copies, direct, directBurns;
  for (int round = 0; round < kRounds; ++round) {
    double burn = 0;
    std::vector<std::string> dialogRun = {qap, "burn"};
    dialogRun.insert(dialogRun.end(), tracks.begin(), tracks.end());
    dialogRun.insert(dialogRun.end(), {"--device", "Audio CD image", "--image", image, "--times"});
    auto start = Clock::now();
    if (!RunTimed(dialogRun, &burn)) {
      std::fprintf(stderr, "burn_bench: qap burn failed\n");
      return 1;
    }
    dialog.push_back(Seconds(Clock::now() - start));
    burns.push_back(burn);
    const std::string copy = folder + "/copy.cdi";
    std::filesystem::remove(copy);
    start = Clock::now();
    if (!bench::RunQuietly({"cp", image, copy})) return 1;
    copies.push_back(Seconds(Clock::now() - start));
    std::vector<std::string> directRun = {ExecutablePath(), "--direct", directFolder + "/image.cdi", folder};
    directRun.insert(directRun.end(), tracks.begin(), tracks.end());
    start = Clock::now();
    double directBurn = 0;
    if (!RunTimed(directRun, &directBurn)) {
      std::fprintf(stderr, "burn_bench: the transfer layer's own burn failed\n");
      return 1;
    }
    direct.push_back(Seconds(Clock::now() - start));
    directBurns.push_back(directBurn);
  }
  const double bytes = static_cast<double>(std::filesystem::file_size(image));
  const double burn = Median(burns);
  const double cp = Median(copies);
  std::printf("Medians of %d runs, %.0f MB of CD audio in %d tracks:\n", kRounds, bytes / 1e6, kTracks);
  std::printf("  burn phase through the dialog %.3f s (%.0f MB/s)   cp of the image %.3f s (%.0f MB/s)\n", burn,
              bytes / burn / 1e6, cp, bytes / cp / 1e6);
  std::printf("  speed ratio %.2f  (goal >= 0.85)\n", cp / burn);
  std::printf("  (the transfer layer's own burn phase %.3f s, %.0f MB/s)\n", Median(directBurns),
              bytes / Median(directBurns) / 1e6);
  std::printf("  qap burn, whole run %.3f s   the transfer layer directly %.3f s\n", Median(dialog),
              Median(direct));
  std::printf("  time ratio %.2f  (goal <= 1.1)\n", Median(dialog) / Median(direct));
  return 0;
}
