// Encodes interleaved PCM to Windows Media Audio 2 in an ASF file with
// FFmpeg, one frame at a time, so that memory stays small however long the
// file grows.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/media/av_handles.h"

namespace qap::media {

class WmaEncoder {
 public:
  // Whether the encoder takes this PCM format as its input.
  static bool Accepts(const WAVEFORMATEX& format);
  // Creates the file and writes its header; a file that could not be
  // started is removed again.
  static HRESULT Create(const std::string& hostPath, const WAVEFORMATEX& input, int bitRate,
                        std::unique_ptr<WmaEncoder>* encoder);
  // An unfinished file is finished.
  ~WmaEncoder();

  // time is the sample's presentation time in 100-ns units. Once encoding
  // or writing the file has failed, every later write fails the same way.
  HRESULT Write(const BYTE* data, DWORD length, QWORD time);
  // Encodes what is left and completes the file; the first failure of the
  // whole encoding, if any.
  HRESULT Finish();

 private:
  WmaEncoder() = default;
  HRESULT Open(const std::string& hostPath, const WAVEFORMATEX& input, int bitRate);
  // A block of the caller's PCM, after gap samples of silence.
  HRESULT Encode(const BYTE* data, DWORD length, std::int64_t gap);
  // Whole samples of input PCM.
  HRESULT Queue(const BYTE* pcm, int samples);
  HRESULT QueueSilence(std::int64_t samples);
  // Encodes every whole frame waiting in the queue (and, at the end, the
  // last partial one).
  HRESULT EncodeQueued(bool last);
  HRESULT WritePackets();

  std::string m_path;
  WAVEFORMATEX m_input{};
  OutputContext m_output;
  CodecContext m_encoder;
  Resampler m_resampler;
  AudioFifo m_fifo;
  Packet m_packet;
  Frame m_frame;
  std::vector<std::vector<float>> m_planes;  // conversion space, one per channel
  std::vector<BYTE> m_partial;               // bytes of a sample not yet whole
  std::int64_t m_samplesQueued = 0;
  std::int64_t m_nextPts = 0;
  HRESULT m_failure = S_OK;  // of the file, kept from the first
  bool m_finished = false;
};

}  // namespace qap::media
