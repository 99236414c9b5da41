// RIFF WAVE: a "fmt " chunk with PCM (plain or extensible) and a "data"
// chunk; other chunks are skipped.
#include "converters/wav_file.h"

#include <cerrno>
#include <cstdio>
#include <cmath>
#include <cstring>
#include <algorithm>

#include "platform/base/paths.h"
#include "platform/base/partial_output.h"

namespace {

constexpr WORD kFormatPcm = 1;
constexpr WORD kFormatExtensible = 0xFFFE;
// A RIFF file's sizes are 32-bit.
constexpr std::uint64_t kMaxDataBytes = 0xFFFFFFFFull - 36;

DWORD Le32(const unsigned char* bytes) {
  return bytes[0] | bytes[1] << 8 | bytes[2] << 16 | static_cast<DWORD>(bytes[3]) << 24;
}
WORD Le16(const unsigned char* bytes) { return static_cast<WORD>(bytes[0] | bytes[1] << 8); }

void PutLe32(unsigned char* bytes, DWORD value) {
  for (int i = 0; i < 4; ++i) bytes[i] = static_cast<unsigned char>(value >> (8 * i));
}
void PutLe16(unsigned char* bytes, WORD value) {
  bytes[0] = static_cast<unsigned char>(value);
  bytes[1] = static_cast<unsigned char>(value >> 8);
}

std::uint64_t FileSize(std::FILE* file) {
  const long here = std::ftell(file);
  if (here < 0 || std::fseek(file, 0, SEEK_END) != 0) return 0;
  const long size = std::ftell(file);
  std::fseek(file, here, SEEK_SET);
  return size < 0 ? 0 : static_cast<std::uint64_t>(size);
}

}  // namespace

bool WavReader::Open(const std::string& path, std::string* error) {
  const std::string host = ToHostPath(path);
  m_file.reset(host.empty() ? nullptr : std::fopen(host.c_str(), "rb"));
  if (!m_file) {
    *error = "cannot open " + path + ": " + (host.empty() ? "no such drive" : std::strerror(errno));
    return false;
  }
  const std::uint64_t fileSize = FileSize(m_file.get());
  unsigned char header[12];
  if (std::fread(header, 1, sizeof header, m_file.get()) != sizeof header ||
      std::memcmp(header, "RIFF", 4) != 0 || std::memcmp(header + 8, "WAVE", 4) != 0) {
    *error = path + " is not a WAV file";
    return false;
  }
  bool haveFormat = false;
  for (;;) {
    unsigned char chunk[8];
    if (std::fread(chunk, 1, sizeof chunk, m_file.get()) != sizeof chunk) {
      *error = path + " has no audio data";
      return false;
    }
    const DWORD size = Le32(chunk + 4);
    if (std::memcmp(chunk, "fmt ", 4) == 0) {
      unsigned char fmt[40] = {};
      if (size < 16 || std::fread(fmt, 1, std::min<DWORD>(size, sizeof fmt), m_file.get()) !=
                           std::min<DWORD>(size, sizeof fmt)) {
        *error = path + " has a damaged format chunk";
        return false;
      }
      WORD tag = Le16(fmt);
      // The extensible form names its real format in the sub-format GUID.
      if (tag == kFormatExtensible && size >= 40) tag = Le16(fmt + 24);
      m_format.channels = Le16(fmt + 2);
      m_format.rate = Le32(fmt + 4);
      m_format.bits = Le16(fmt + 14);
      if (tag != kFormatPcm || (m_format.bits != 8 && m_format.bits != 16) ||
          m_format.channels == 0 || m_format.rate == 0) {
        *error = path + " is not 8-bit or 16-bit PCM audio";
        return false;
      }
      haveFormat = true;
      if (size > sizeof fmt) std::fseek(m_file.get(), static_cast<long>(size - sizeof fmt), SEEK_CUR);
    } else if (std::memcmp(chunk, "data", 4) == 0) {
      if (!haveFormat) {
        *error = path + " has its audio before its format";
        return false;
      }
      // Streamed WAV files carry a placeholder size; the file's end counts.
      const long here = std::ftell(m_file.get());
      const std::uint64_t available = here < 0 ? 0 : fileSize - static_cast<std::uint64_t>(here);
      std::uint64_t bytes = std::min<std::uint64_t>(size, available);
      bytes -= bytes % m_format.BlockAlign();
      m_dataBytes = m_left = bytes;
      return true;
    } else {
      std::fseek(m_file.get(), static_cast<long>(size + (size & 1)), SEEK_CUR);
    }
  }
}

size_t WavReader::Read(void* buffer, size_t size) {
  if (!m_file) return 0;
  const size_t want = static_cast<size_t>(std::min<std::uint64_t>(size, m_left));
  const size_t got = std::fread(buffer, 1, want, m_file.get());
  m_left -= got;
  return got;
}

WavWriter::~WavWriter() {
  if (m_file) Remove();
}

bool WavWriter::Fail(int error) {
  if (m_errno == 0) m_errno = error != 0 ? error : EIO;
  return false;
}

void WavWriter::Remove() {
  m_file.reset();
  RemovePartialOutput(m_host);
}

bool WavWriter::Create(const std::string& path, const WavFormat& format, std::string* error) {
  m_path = path;
  m_host = ToHostPath(path);
  m_file.reset(m_host.empty() ? nullptr : std::fopen(m_host.c_str(), "wb"));
  if (!m_file) {
    *error = "cannot create " + path + ": " + (m_host.empty() ? "no such drive" : std::strerror(errno));
    return false;
  }
  unsigned char header[44] = {};
  std::memcpy(header, "RIFF", 4);
  std::memcpy(header + 8, "WAVEfmt ", 8);
  PutLe32(header + 16, 16);
  PutLe16(header + 20, kFormatPcm);
  PutLe16(header + 22, format.channels);
  PutLe32(header + 24, format.rate);
  PutLe32(header + 28, format.BytesPerSecond());
  PutLe16(header + 32, static_cast<WORD>(format.BlockAlign()));
  PutLe16(header + 34, format.bits);
  std::memcpy(header + 36, "data", 4);
  if (std::fwrite(header, 1, sizeof header, m_file.get()) != sizeof header) {
    *error = "cannot write " + path + ": " + std::strerror(errno);
    Remove();
    return false;
  }
  return true;
}

bool WavWriter::Write(const void* data, size_t size) {
  if (!m_file || m_errno != 0) return false;
  // RIFF sizes are 32-bit: a file that grows past them is too large.
  if (m_dataBytes + size > kMaxDataBytes) return Fail(EFBIG);
  if (std::fwrite(data, 1, size, m_file.get()) != size) return Fail(errno);
  m_dataBytes += size;
  return true;
}

bool WavWriter::Finish(std::string* error) {
  if (!m_file) return false;
  unsigned char sizes[4];
  bool ok = m_errno == 0;
  if (ok && (m_dataBytes & 1) != 0 && std::fputc(0, m_file.get()) == EOF) ok = Fail(errno);
  PutLe32(sizes, static_cast<DWORD>(36 + m_dataBytes + (m_dataBytes & 1)));
  if (ok && (std::fseek(m_file.get(), 4, SEEK_SET) != 0 ||
             std::fwrite(sizes, 1, 4, m_file.get()) != 4)) {
    ok = Fail(errno);
  }
  PutLe32(sizes, static_cast<DWORD>(m_dataBytes));
  if (ok && (std::fseek(m_file.get(), 40, SEEK_SET) != 0 ||
             std::fwrite(sizes, 1, 4, m_file.get()) != 4)) {
    ok = Fail(errno);
  }
  // What stdio still buffers reaches the disk only here.
  if (std::fclose(m_file.release()) != 0 && ok) ok = Fail(errno);
  if (ok) return true;
  *error = "cannot write " + m_path + ": " + std::strerror(m_errno);
  RemovePartialOutput(m_host);
  return false;
}

std::vector<BYTE> TonePcm(const WavFormat& format, std::uint64_t firstFrame, std::uint64_t frames,
                          double frequency) {
  constexpr double kTwoPi = 6.28318530717958647692;
  std::vector<BYTE> pcm;
  pcm.reserve(frames * format.BlockAlign());
  for (std::uint64_t i = firstFrame; i < firstFrame + frames; ++i) {
    // The phase is taken modulo a period so that long tones stay exact.
    const double cycles = std::fmod(frequency * static_cast<double>(i) / format.rate, 1.0);
    const double value = 0.5 * std::sin(kTwoPi * cycles);
    for (WORD channel = 0; channel < format.channels; ++channel) {
      if (format.bits == 8) {
        pcm.push_back(static_cast<BYTE>(128 + std::lround(value * 127)));
      } else {
        const auto sample = static_cast<std::uint16_t>(std::lround(value * 32767));
        pcm.push_back(static_cast<BYTE>(sample & 0xFF));
        pcm.push_back(static_cast<BYTE>(sample >> 8));
      }
    }
  }
  return pcm;
}

bool WriteToneWav(const std::string& path, const WavFormat& format, double seconds,
                  double frequency, std::string* error) {
  WavWriter writer;
  if (!writer.Create(path, format, error)) return false;
  const auto frames = static_cast<std::uint64_t>(seconds * format.rate);
  constexpr std::uint64_t kSlice = 65536;
  for (std::uint64_t done = 0; done < frames; done += kSlice) {
    const std::vector<BYTE> pcm = TonePcm(format, done, std::min(kSlice, frames - done), frequency);
    if (!writer.Write(pcm.data(), pcm.size())) {
      *error = "cannot write " + path + ": " + std::strerror(writer.Errno());
      return false;
    }
  }
  return writer.Finish(error);
}
