// The WMA components as a user runs them, against the ffmpeg command, both
// sides as whole processes, in one run on a generated 300-second 44100 Hz
// stereo 16-bit tone: (a) "qap wma encode" at 128 kbit/s (Wentrix) against
// "ffmpeg -threads 1 -i in.wav -c:a wmav2 -b:a 128k", (b) "qap wma decode"
// into a WAV file (Lumbrix) against "ffmpeg -threads 1 -i in.wma out.wav".
// Medians of five runs each, taking turns. Goals: decoding at most 0.9 of
// ffmpeg's time, encoding at most 1.0, and a peak memory of qap under
// 64 MiB (nothing holds a whole file).

#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/bench_support.h"
#include "converters/wav_file.h"
#include "platform/base/module_path.h"

namespace {

using bench::Clock;
using bench::Median;
using bench::Seconds;

constexpr double kSeconds = 300;
constexpr int kRounds = 5;

struct Pair {
  std::vector<double> ours;
  std::vector<double> theirs;
  long oursSwitches = 0;  // context switches of our last run
};

// Runs of both sides taking turns, so that a busy moment of the machine
// falls on both alike.
bool TimePair(const std::vector<std::string>& ours, const std::vector<std::string>& ffmpegArgs,
              Pair* pair) {
  for (int round = 0; round < kRounds; ++round) {
    rusage usage{};
    auto start = Clock::now();
    if (!bench::RunQuietly(ours, "", &usage)) return false;
    pair->ours.push_back(Seconds(Clock::now() - start));
    pair->oursSwitches = usage.ru_nvcsw + usage.ru_nivcsw;
    start = Clock::now();
    if (!bench::Ffmpeg(ffmpegArgs)) return false;
    pair->theirs.push_back(Seconds(Clock::now() - start));
  }
  return true;
}

void Report(const char* what, const char* ours, const Pair& pair, double goal) {
  const double mine = Median(pair.ours);
  const double baseline = Median(pair.theirs);
  std::printf("  %-8s %s %.3f s   ffmpeg %.3f s   ratio %.2f  (goal <= %.1f)  %ld context switches\n",
              what, ours, mine, baseline, mine / baseline, goal, pair.oursSwitches);
}

}  // namespace

int main() {
  // qap runs with a registry and folders of its own.
  const bench::ScratchRun run("wma_bench");
  const std::string& folder = run.Folder();
  if (folder.empty()) return 1;
  const std::string qap =
      (std::filesystem::path(ExecutablePath()).parent_path() / "qap").string();

  const std::string wav = folder + "/tone.wav";
  const std::string wma = folder + "/tone.wma";
  std::string error;
  std::printf("Generating a %.0f-second 44100 Hz stereo 16-bit tone...\n", kSeconds);
  if (!WriteToneWav(wav, WavFormat{44100, 2, 16}, kSeconds, 440.0, &error)) {
    std::fprintf(stderr, "wma_bench: %s\n", error.c_str());
    return 1;
  }
  // The file both sides decode, made the way a user makes it; the only run
  // so far, so the children's peak memory is qap's.
  if (!bench::RunQuietly({qap, "wma", "encode", wav, wma})) {
    std::fprintf(stderr, "wma_bench: %s cannot encode the tone\n", qap.c_str());
    return 1;
  }
  rusage children{};
  getrusage(RUSAGE_CHILDREN, &children);
  const double encodeMiB = static_cast<double>(children.ru_maxrss) / 1024;

  Pair encode;
  Pair decode;
  const bool ran =
      TimePair({qap, "wma", "encode", wav, folder + "/ours.wma", "--force"},
               {"-i", wav, "-c:a", "wmav2", "-b:a", "128k", folder + "/theirs.wma"}, &encode) &&
      TimePair({qap, "wma", "decode", wma, folder + "/ours.wav", "--force"},
               {"-i", wma, folder + "/theirs.wav"}, &decode);
  if (!ran) {
    std::fprintf(stderr, "wma_bench: a run failed\n");
    return 1;
  }
  getrusage(RUSAGE_CHILDREN, &children);

  std::printf("Medians of %d runs each, %.0f s of audio, every run a process of its own:\n",
              kRounds, kSeconds);
  Report("encode", "qap wma encode", encode, 1.0);
  Report("decode", "qap wma decode", decode, 0.9);
  std::printf("  files: wav %.1f MiB, wma %.1f MiB\n",
              static_cast<double>(std::filesystem::file_size(wav)) / (1 << 20),
              static_cast<double>(std::filesystem::file_size(wma)) / (1 << 20));
  std::printf("  peak memory of qap wma encode %.1f MiB (goal < 64 MiB)\n", encodeMiB);
  return 0;
}
