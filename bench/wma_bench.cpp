// The WMA components against the ffmpeg command, in one run on a generated
// 300-second 44100 Hz stereo 16-bit tone: (a) encoding through Wentrix at
// 128 kbit/s against "ffmpeg -threads 1 -i in.wav -c:a wmav2 -b:a 128k",
// (b) decoding through Lumbrix, every block delivered to a callback, against
// "ffmpeg -threads 1 -i in.wma -f null -". Goals: each ratio at most 1.0,
// and a peak memory under 64 MiB (nothing holds a whole file).

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <string>
#include <vector>

#include "bench/bench_support.h"
#include "converters/component_loader.h"
#include "converters/wav_file.h"

namespace {

using bench::Clock;
using bench::PeakMiB;
using bench::Seconds;

constexpr double kSeconds = 300;
constexpr int kRounds = 5;
constexpr DWORD kKbps = 128;
constexpr size_t kBlock = 64 * 1024;

bool EncodeWithWentrix(const ComponentModule& module, const std::string& wavPath,
                       const std::string& out) {
  WavReader wav;
  std::string error;
  if (!wav.Open(wavPath, &error)) {
    std::fprintf(stderr, "wma_bench: %s\n", error.c_str());
    return false;
  }
  ConverterPtr writer = module.Create();
  if (!writer || writer->Command(ConvOpen, const_cast<char*>(out.c_str())) != kConvSuccess) {
    return false;
  }
  std::vector<BYTE> settings(406, 0);
  std::memcpy(settings.data() + kSettingsBitRateOffset, &kKbps, sizeof kKbps);
  writer->Command(ConvSetBitRate, settings.data());
  PcmFormat format{PcmRateCode(wav.Format().rate), PcmBitsCode(wav.Format().bits),
                   PcmChannelsCode(wav.Format().channels), 0};
  if (writer->Command(ConvSetInputFormat, &format) != kConvSuccess) return false;
  writer->Command(ConvStart, nullptr);
  std::vector<BYTE> block(kBlock);
  while (const size_t got = wav.Read(block.data(), block.size())) {
    const auto length = static_cast<DWORD>(got);
    if (writer->Write(block.data(), &length) != kConvSuccess) return false;
  }
  return true;
}

struct Delivery {
  std::mutex mutex;
  std::condition_variable ended;
  bool done = false;
  std::uint64_t bytes = 0;
  std::uint32_t checksum = 0;
};

void OnEvent(Converter*, DWORD event, void* data, ConverterUserData user) {
  auto* delivery = reinterpret_cast<Delivery*>(user);
  if (event == kConverterEventData) {
    // Every block is looked at, as a sink would copy it.
    const auto* info = static_cast<const SampleInfo*>(data);
    std::uint32_t sum = 0;
    for (DWORD i = 0; i < info->length; i += 64) sum += info->data[i];
    delivery->bytes += info->length;
    delivery->checksum += sum;
    return;
  }
  std::lock_guard lock(delivery->mutex);
  delivery->done = true;
  delivery->ended.notify_all();
}

bool DecodeWithLumbrix(const ComponentModule& module, const std::string& path,
                       std::uint64_t* bytes) {
  ConverterPtr reader = module.Create();
  if (!reader || reader->Command(ConvOpen, const_cast<char*>(path.c_str())) != kConvSuccess) {
    return false;
  }
  Delivery delivery;
  reader->SetNotifyCallback(&OnEvent, reinterpret_cast<ConverterUserData>(&delivery));
  if (reader->Command(ConvStart, nullptr) != kConvSuccess) return false;
  std::unique_lock lock(delivery.mutex);
  delivery.ended.wait(lock, [&] { return delivery.done; });
  *bytes = delivery.bytes;
  return true;
}

struct Pair {
  double ours = 1e9;
  double theirs = 1e9;
};

// Best times of both sides, their runs taking turns so that a busy moment
// of the machine falls on both alike.
template <typename Ours, typename Theirs>
bool TimePair(Ours ours, Theirs theirs, Pair* pair) {
  for (int round = 0; round < kRounds; ++round) {
    auto start = Clock::now();
    if (!ours()) return false;
    pair->ours = std::min(pair->ours, Seconds(Clock::now() - start));
    start = Clock::now();
    if (!theirs()) return false;
    pair->theirs = std::min(pair->theirs, Seconds(Clock::now() - start));
  }
  return true;
}

}  // namespace

int main() {
  std::string folder = bench::MakeScratchFolder("wma_bench");
  if (folder.empty()) return 1;
  struct Cleanup {
    std::string folder;
    ~Cleanup() {
      std::error_code ignored;
      std::filesystem::remove_all(folder, ignored);
    }
  } cleanup{folder};

  ComponentModule writerModule(ComponentPath("Wentrix"));
  ComponentModule readerModule(ComponentPath("Lumbrix"));
  if (!writerModule.Loaded() || !readerModule.Loaded()) {
    std::fprintf(stderr, "wma_bench: cannot load the components: %s %s\n",
                 writerModule.Error().c_str(), readerModule.Error().c_str());
    return 1;
  }
  const std::string wav = folder + "/tone.wav";
  const std::string ours = folder + "/wentrix.wma";
  const std::string theirs = folder + "/ffmpeg.wma";
  std::string error;
  std::printf("Generating a %.0f-second 44100 Hz stereo 16-bit tone...\n", kSeconds);
  if (!WriteToneWav(wav, WavFormat{44100, 2, 16}, kSeconds, 440.0, &error)) {
    std::fprintf(stderr, "wma_bench: %s\n", error.c_str());
    return 1;
  }
  const double baseMiB = PeakMiB();

  Pair encode;
  Pair decode;
  std::uint64_t decodedBytes = 0;
  const bool ran =
      TimePair([&] { return EncodeWithWentrix(writerModule, wav, ours); },
               [&] { return bench::Ffmpeg({"-i", wav, "-c:a", "wmav2", "-b:a", "128k", theirs}); },
               &encode) &&
      TimePair([&] { return DecodeWithLumbrix(readerModule, ours, &decodedBytes); },
               [&] { return bench::Ffmpeg({"-i", ours, "-f", "null", "-"}); }, &decode);
  if (!ran) {
    std::fprintf(stderr, "wma_bench: a run failed\n");
    return 1;
  }
  const double peakMiB = PeakMiB();

  std::printf("Best of %d runs each, %.0f s of audio:\n", kRounds, kSeconds);
  std::printf("  (a) encode 128 kbit/s  Wentrix %.3f s   ffmpeg %.3f s   ratio %.2f  (goal <= 1.0)\n",
              encode.ours, encode.theirs, encode.ours / encode.theirs);
  std::printf("  (b) decode             Lumbrix %.3f s   ffmpeg %.3f s   ratio %.2f  (goal <= 1.0)\n",
              decode.ours, decode.theirs, decode.ours / decode.theirs);
  std::printf("  decoded %.1f s of audio; files: wav %.1f MiB, wma %.1f MiB\n",
              static_cast<double>(decodedBytes) / (44100 * 4),
              static_cast<double>(std::filesystem::file_size(wav)) / (1 << 20),
              static_cast<double>(std::filesystem::file_size(ours)) / (1 << 20));
  std::printf("  peak memory %.1f MiB (%.1f MiB before the runs; goal < 64 MiB)\n", peakMiB,
              baseMiB);
  return 0;
}
