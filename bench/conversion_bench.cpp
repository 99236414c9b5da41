// The conversion dialog's road as a user runs it, against the ffmpeg command,
// in one run: ten 30-second 44100 Hz stereo 16-bit WAV files converted to
// WMA at 128 kbit/s by one "qap convert" (the dialog library's conversion
// dialog, headless, driven by its script: one reader and one writer module
// per track, one track after the other), against "ffmpeg -threads 1"
// converting the same ten files one after another. Medians of three runs
// each, taking turns. Goal: at most 1.0 of ffmpeg's time.

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

constexpr int kFiles = 10;
constexpr double kSeconds = 30;
constexpr int kRounds = 3;

}  // namespace

int main() {
  // qap runs headless, with a registry and folders of its own.
  const bench::ScratchRun run("conversion_bench");
  const std::string& folder = run.Folder();
  if (folder.empty()) return 1;
  setenv("QAP_UI", "headless", 1);
  const std::string qap = (std::filesystem::path(ExecutablePath()).parent_path() / "qap").string();
  // As set-up does: the transfer layer's modules, and the skin controls the
  // dialog embeds.
  if (!bench::RunQuietly({qap, "modules", "register", "--builtin"}) ||
      !bench::RunQuietly({qap, "regsvr", "libSkinControls.so"})) {
    std::fprintf(stderr, "conversion_bench: %s cannot register the suite's modules\n", qap.c_str());
    return 1;
  }

  std::printf("Generating %d %.0f-second 44100 Hz stereo 16-bit tones...\n", kFiles, kSeconds);
  std::vector<std::string> sources;
  for (int i = 0; i < kFiles; ++i) {
    const std::string wav = folder + "/tone" + std::to_string(i) + ".wav";
    std::string error;
    if (!WriteToneWav(wav, WavFormat{44100, 2, 16}, kSeconds, 220.0 + 55.0 * i, &error)) {
      std::fprintf(stderr, "conversion_bench: %s\n", error.c_str());
      return 1;
    }
    sources.push_back(wav);
  }

  std::vector<double> ours;
  std::vector<double> theirs;
  for (int round = 0; round < kRounds; ++round) {
    // Each side writes into a folder of its own: an output that exists is
    // never replaced.
    const std::string oursOut = folder + "/ours" + std::to_string(round);
    const std::string theirsOut = folder + "/theirs" + std::to_string(round);
    std::filesystem::create_directories(oursOut);
    std::filesystem::create_directories(theirsOut);
    std::vector<std::string> convert = {qap, "convert"};
    convert.insert(convert.end(), sources.begin(), sources.end());
    convert.insert(convert.end(), {"--to", "wma", "--kbps", "128", "--dest", oursOut});
    auto start = Clock::now();
    if (!bench::RunQuietly(convert)) {
      std::fprintf(stderr, "conversion_bench: qap convert failed\n");
      return 1;
    }
    ours.push_back(Seconds(Clock::now() - start));
    start = Clock::now();
    for (const std::string& source : sources) {
      const std::string out = theirsOut + "/" + std::filesystem::path(source).stem().string() + ".wma";
      if (!bench::Ffmpeg({"-i", source, "-c:a", "wmav2", "-b:a", "128k", out})) {
        std::fprintf(stderr, "conversion_bench: ffmpeg failed on %s\n", source.c_str());
        return 1;
      }
    }
    theirs.push_back(Seconds(Clock::now() - start));
    size_t made = 0;
    for (const auto& entry : std::filesystem::directory_iterator(oursOut)) made += entry.is_regular_file();
    if (made != sources.size()) {
      std::fprintf(stderr, "conversion_bench: qap convert made %zu of %zu files\n", made, sources.size());
      return 1;
    }
  }
  const double mine = Median(ours);
  const double baseline = Median(theirs);
  std::printf("Medians of %d runs each, %d files of %.0f s of audio:\n", kRounds, kFiles, kSeconds);
  std::printf("  qap convert (the conversion dialog) %.3f s   ffmpeg -threads 1, one file after another %.3f s\n",
              mine, baseline);
  std::printf("  ratio %.2f  (goal <= 1.0)\n", mine / baseline);
  return 0;
}
