// Encodes interleaved PCM into a constant-bit-rate MP3 file with FFmpeg
// (LAME), one frame at a time, so that memory stays small however long the
// file grows.
#pragma once

#include <memory>
#include <string>

#include "converters/wav_file.h"
#include "platform/media/av_handles.h"

class Mp3Encoder {
 public:
  // Creates the file and writes its header; null with a reason otherwise (a
  // file that could not be started is removed again).
  static std::unique_ptr<Mp3Encoder> Create(const std::string& hostPath, const WavFormat& input,
                                            int kbps, std::string* error);
  // An unfinished file is finished.
  ~Mp3Encoder();

  // Whole samples or not: a partial sample waits for the next block. False
  // from the first failure on.
  bool Write(const BYTE* pcm, size_t bytes);
  // Encodes what is left and completes the file; a file that could not be
  // completed is removed.
  bool Finish();
  // The Win32 code of the first failure (a full disk); 0 while none.
  DWORD Failure() const;

 private:
  Mp3Encoder() = default;
  bool Open(const std::string& hostPath, const WavFormat& input, int kbps, std::string* error);
  bool EncodeQueued(bool last);
  bool Send(AVFrame* frame);
  // Keeps the first failure (an FFmpeg error code); always false.
  bool Fail(int error);

  WavFormat m_input;
  qap::media::OutputContext m_output;
  qap::media::CodecContext m_encoder;
  qap::media::Resampler m_resampler;
  qap::media::AudioFifo m_fifo;
  qap::media::Packet m_packet;
  qap::media::Frame m_frame;
  std::string m_path;
  std::string m_partial;  // bytes of a sample not yet whole
  std::int64_t m_nextPts = 0;
  int m_error = 0;  // FFmpeg's code of the first failure
  bool m_finished = false;
};
