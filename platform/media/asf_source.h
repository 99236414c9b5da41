// Reads an ASF file with FFmpeg: its outputs (one per audio or video
// stream; pictures in the header, such as album art, are metadata and no
// output), its header attributes, and its audio decoded to interleaved PCM
// one frame at a time. A file cut short or damaged in its data plays what
// there is and then says so. Used by one thread at a time.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/media/asf_header.h"
#include "platform/media/av_handles.h"
#include "platform/media/header_attributes.h"
#include "platform/media/media_type.h"

namespace qap::media {

struct DecodedBlock {
  DWORD output = 0;
  // 100-ns units from the first decoded sample: a decoder's start-up delay
  // is not a pause in the music.
  QWORD time = 0;
  QWORD duration = 0;  // 100-ns units
  DWORD length = 0;    // bytes
};

class AsfSource {
 public:
  // Gives room for bytes of PCM; null when memory runs out.
  using Reserve = std::function<BYTE*(DWORD bytes)>;

  static HRESULT Open(const std::string& hostPath, std::unique_ptr<AsfSource>* source);
  ~AsfSource();

  DWORD OutputCount() const { return static_cast<DWORD>(m_outputs.size()); }
  const MediaType& OutputType(DWORD output) const { return m_outputs[output].type; }
  const HeaderAttributes& Attributes() const { return m_attributes; }

  // Back to the first sample.
  HRESULT Rewind();
  // Decodes the next block of any audio output into memory from reserve:
  // S_OK with the block, S_FALSE at the end of a whole file, or once
  // everything there was is delivered, what was wrong: kMediaCutShort,
  // kMediaInvalidData for data that could not be decoded, or a read error.
  HRESULT Next(const Reserve& reserve, DecodedBlock* block);

 private:
  struct Output {
    int stream = -1;
    MediaType type;
    // Audio only:
    CodecContext decoder;
    Resampler resampler;
    AVSampleFormat format = AV_SAMPLE_FMT_S16;  // interleaved U8 or S16
    int channels = 0;
    int rate = 0;
    int blockAlign = 0;
    std::int64_t samplesOut = 0;  // delivered since the start
    // Where the packets handed to the decoder end, 100-ns units from the
    // first one, and the longest of them: audio that never came out of
    // them was lost to damage.
    std::int64_t firstPts = AV_NOPTS_VALUE;
    std::int64_t packetsEnd = 0;
    std::int64_t longestPacket = 0;
    bool drained = false;
  };

  AsfSource() = default;
  HRESULT AddAudioOutput(AVStream* stream);
  void ReadAttributes();
  int NextToDrain() const;
  // Keeps where the output's packets end.
  void CountPacket(Output& output, const AVPacket& packet);
  // Whether an output delivered clearly less than its packets held.
  bool LostAudio() const;
  HRESULT Convert(Output& output, DWORD index, const Reserve& reserve, DecodedBlock* block);

  InputContext m_input;
  std::vector<Output> m_outputs;
  std::vector<int> m_outputOfStream;  // -1 for streams without an audio output
  HeaderAttributes m_attributes;
  AsfFileProperties m_properties;
  Packet m_packet;
  Frame m_frame;
  int m_active = -1;  // the output whose decoder was fed last
  bool m_draining = false;
  bool m_damaged = false;         // a packet or frame could not be decoded
  HRESULT m_endResult = S_FALSE;  // of the last read: S_FALSE at the end of the file
};

}  // namespace qap::media
