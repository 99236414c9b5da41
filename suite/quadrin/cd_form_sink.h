// The recorder's sink for a CD: whatever PCM the reader delivers becomes raw
// CD-DA (44100 Hz, 16 bits, stereo, little-endian) in a file.
#pragma once

#include <string>
#include <vector>

#include "converters/wav_file.h"
#include "platform/media/av_handles.h"
#include "suite/quadrin/block_sink.h"

namespace quadrin {

class CdFormSink final : public BlockSink {
 public:
  // The audio begins lead bytes into the file (zeros before it).
  CdFormSink(std::string hostPath, std::uint64_t lead)
      : m_path(std::move(hostPath)), m_lead(lead) {}

  bool Begin(const PcmFormat& format) override;
  bool Write(const BYTE* data, DWORD length) override;
  bool Finish(bool complete) override;
  DWORD Failure() const override { return m_failure; }
  std::uint64_t Bytes() const { return m_bytes; }

 private:
  bool Put(const BYTE* data, size_t bytes);
  bool Convert(const BYTE* data, int samples);
  // Keeps the first failure; always false.
  bool Fail(DWORD failure);

  std::string m_path;
  std::uint64_t m_lead;
  // Declared before the file, which may flush into it as it closes.
  std::vector<char> m_writeBuffer;
  UniqueFile m_file;
  WavFormat m_input;
  qap::media::Resampler m_resampler;  // null when the input is CD audio already
  std::string m_partial;               // bytes of a sample not yet whole
  std::vector<BYTE> m_converted;
  std::uint64_t m_bytes = 0;
  DWORD m_failure = 0;
  bool m_failed = false;
};

}  // namespace quadrin
