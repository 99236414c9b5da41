// Streaming reader and writer of PCM WAV files, for hosts that feed a
// writer component or keep what a reader component delivers. Paths are
// program paths (mapped through the drive table); nothing holds a whole
// file.
#pragma once

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "platform/base/win_types.h"

struct WavFormat {
  DWORD rate = 0;
  WORD channels = 0;
  WORD bits = 0;  // 8 (unsigned) or 16 (signed)

  DWORD BlockAlign() const { return static_cast<DWORD>(channels) * bits / 8; }
  DWORD BytesPerSecond() const { return rate * BlockAlign(); }
};

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using UniqueFile = std::unique_ptr<std::FILE, FileCloser>;

class WavReader {
 public:
  // Reads the header up to the audio; false with a message that says what
  // is wrong (missing file, not WAV, not 8- or 16-bit PCM).
  bool Open(const std::string& path, std::string* error);
  const WavFormat& Format() const { return m_format; }
  // Bytes of audio (whole samples) in the file.
  std::uint64_t DataBytes() const { return m_dataBytes; }
  // Up to size bytes of audio; 0 at the end.
  size_t Read(void* buffer, size_t size);

 private:
  UniqueFile m_file;
  WavFormat m_format;
  std::uint64_t m_dataBytes = 0;
  std::uint64_t m_left = 0;
};

// The file is a WAV file only once Finish succeeded: a writer that fails or
// is let go before that removes what it wrote.
class WavWriter {
 public:
  WavWriter() = default;
  ~WavWriter();
  WavWriter(const WavWriter&) = delete;
  WavWriter& operator=(const WavWriter&) = delete;

  // Creates (or replaces) the file and writes a header whose sizes Finish
  // fills in.
  bool Create(const std::string& path, const WavFormat& format, std::string* error);
  // False from the first failed write on (a full disk, a file grown past
  // what RIFF sizes hold).
  bool Write(const void* data, size_t size);
  // Messages carry the system's reason.
  bool Finish(std::string* error);
  std::uint64_t DataBytes() const { return m_dataBytes; }
  // The errno of the first failure; 0 while there is none.
  int Errno() const { return m_errno; }

 private:
  bool Fail(int error);
  void Remove();

  std::string m_path;  // as given, for messages
  std::string m_host;
  UniqueFile m_file;
  std::uint64_t m_dataBytes = 0;
  int m_errno = 0;
};

// A test tone: a sine of the given frequency at half of full scale, frames
// [firstFrame, firstFrame + frames) of it, the same on every channel.
std::vector<BYTE> TonePcm(const WavFormat& format, std::uint64_t firstFrame, std::uint64_t frames,
                          double frequency);
// Writes seconds of that tone as a WAV file, a slice at a time.
bool WriteToneWav(const std::string& path, const WavFormat& format, double seconds,
                  double frequency, std::string* error);
