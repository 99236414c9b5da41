// What the converter tests share: the two components loaded as a host loads
// them, tone WAV files, fixture files made by the ffmpeg command, a look at
// encoded files through FFmpeg and TagLib, and whole-file runs through each
// component.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <mutex>
#include <optional>
#include <source_location>
#include <string>
#include <vector>

#include "converters/component_loader.h"
#include "converters/wav_file.h"
#include "platform/testing/scratch.h"

namespace converter_test {

// Failures inside a helper name the line of the test that called it.
class CallerTrace {
 public:
  explicit CallerTrace(const std::source_location& caller)
      : m_trace(caller.file_name(), static_cast<int>(caller.line()), "called from here") {}

 private:
  ::testing::ScopedTrace m_trace;
};

// One instance per test program: modules stay loaded for every test.
const ComponentModule& ReaderModule();
const ComponentModule& WriterModule();
ConverterPtr NewReader();
ConverterPtr NewWriter();

// A 440 Hz tone (amplitude 0.5): its PCM, and a WAV file of it.
std::vector<BYTE> TonePcm(const WavFormat& format, double seconds);
std::string MakeToneWav(const qap::testing::ScratchDir& dir, const std::string& name,
                        const WavFormat& format, double seconds,
                        std::source_location caller = std::source_location::current());

// Runs "ffmpeg -v error -nostdin -y args..."; true when it succeeded.
bool RunFfmpeg(const std::vector<std::string>& args);
// An ASF file with a sine tone made by ffmpeg; extra arguments go before the
// output name (codec, metadata).
std::string MakeAsf(const qap::testing::ScratchDir& dir, const std::string& name, int rate,
                    int channels, double seconds, const std::vector<std::string>& extra,
                    std::source_location caller = std::source_location::current());

// What FFmpeg sees in a file's first audio stream.
struct Probe {
  bool ok = false;
  std::string codec;
  std::int64_t bitRate = 0;
  int rate = 0;
  int channels = 0;
  double seconds = 0;
};
Probe ProbeFile(const std::string& path);

// The content description as TagLib reads it.
struct Tags {
  bool ok = false;
  std::string title;
  std::string artist;
  std::string comment;
};
Tags ReadTags(const std::string& path);

// Settings record for command 9 with the bit rate in kbit/s.
std::vector<BYTE> Settings(DWORD kbps);

// Encodes pcm through a writer: open, bit rate (kbps < 0: none), format,
// tags (when given), start, writes of 4096 bytes, destroy.
struct EncodeJob {
  DWORD rateCode = 6;
  DWORD sizeCode = 2;
  DWORD channelCode = 1;
  std::int64_t kbps = 128;
  const TagRecord* tags = nullptr;
};
void Encode(const std::string& path, const std::vector<BYTE>& pcm, const EncodeJob& job,
            std::source_location caller = std::source_location::current());

// Everything a reader delivers for a file, through its callback.
struct Decoded {
  std::int32_t openResult = -1;
  PcmFormat format{};
  DWORD durationMs = 0;
  std::vector<BYTE> pcm;
  std::vector<DWORD> times;  // of each block, milliseconds
  int endEvents = 0;
  std::optional<StreamDamage> damage;
};
Decoded DecodeFile(const std::string& path,
                   std::source_location caller = std::source_location::current());

// Root mean square of 16-bit samples, over [first, first + count) samples
// (all when count is 0).
double Rms16(const std::vector<BYTE>& pcm, size_t first = 0, size_t count = 0);

// Records what a converter's callback hears, for waiting on the end.
class EventLog {
 public:
  static void Callback(Converter* converter, DWORD event, void* data, ConverterUserData user);
  ConverterUserData UserData() { return reinterpret_cast<ConverterUserData>(this); }
  // Waits (bounded) until an end event came.
  bool WaitForEnd();
  int DataEvents();

  std::mutex mutex;
  Converter* converter = nullptr;
  std::vector<BYTE> pcm;
  std::vector<DWORD> times;
  int dataEvents = 0;
  int endEvents = 0;
  std::optional<StreamDamage> damage;  // what the end event told of the file
};

}  // namespace converter_test
