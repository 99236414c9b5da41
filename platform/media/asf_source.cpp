// ASF demuxing and audio decoding for the reader.
#include "platform/media/asf_source.h"

#include <algorithm>
#include <new>

#include "platform/base/codepage.h"
#include "platform/media/media_support.h"

namespace qap::media {
namespace {

constexpr AVRational kHundredNanoseconds{1, 10000000};
constexpr std::int64_t kHundredNsPerMs = 10000;

// The layout FFmpeg names for a plain channel count.
void LayoutOf(const AVChannelLayout& source, int channels, AVChannelLayout* layout) {
  if (source.order != AV_CHANNEL_ORDER_UNSPEC && source.nb_channels == channels) {
    av_channel_layout_copy(layout, &source);
  } else {
    av_channel_layout_default(layout, channels);
  }
}

}  // namespace

AsfSource::~AsfSource() = default;

HRESULT AsfSource::Open(const std::string& hostPath, std::unique_ptr<AsfSource>* source) {
  QuietenLibraries();
  if (hostPath.empty()) return HResultFromWin32(ERROR_PATH_NOT_FOUND);
  std::unique_ptr<AsfSource> self(new (std::nothrow) AsfSource);
  if (!self) return E_OUTOFMEMORY;
  // Only ASF is read, whatever else FFmpeg could make of the file.
  if (HRESULT hr = ReadAsfFileProperties(hostPath, &self->m_properties); FAILED(hr)) return hr;
  AVFormatContext* raw = nullptr;
  int error = avformat_open_input(&raw, hostPath.c_str(), av_find_input_format("asf"), nullptr);
  if (error < 0) return HResultFromAv(error);
  self->m_input.reset(raw);
  self->m_outputOfStream.assign(raw->nb_streams, -1);
  for (unsigned i = 0; i < raw->nb_streams; ++i) {
    AVStream* stream = raw->streams[i];
    // FFmpeg lists each picture of the header as a video stream of one
    // frame; the SDK sees header attributes there.
    if ((stream->disposition & AV_DISPOSITION_ATTACHED_PIC) != 0) {
      stream->discard = AVDISCARD_ALL;
      continue;
    }
    if (stream->codecpar->codec_type == AVMEDIA_TYPE_AUDIO) {
      self->m_outputOfStream[i] = static_cast<int>(self->m_outputs.size());
      if (HRESULT hr = self->AddAudioOutput(stream); FAILED(hr)) return hr;
      continue;
    }
    // Video streams count as outputs but are never decoded.
    stream->discard = AVDISCARD_ALL;
    if (stream->codecpar->codec_type == AVMEDIA_TYPE_VIDEO) {
      Output output;
      output.stream = static_cast<int>(i);
      output.type = MediaType::Video();
      self->m_outputs.push_back(std::move(output));
    }
  }
  self->m_packet.reset(av_packet_alloc());
  self->m_frame.reset(av_frame_alloc());
  if (!self->m_packet || !self->m_frame) return E_OUTOFMEMORY;
  self->ReadAttributes();
  *source = std::move(self);
  return S_OK;
}

HRESULT AsfSource::AddAudioOutput(AVStream* stream) {
  const AVCodecParameters* parameters = stream->codecpar;
  const AVCodec* codec = avcodec_find_decoder(parameters->codec_id);
  if (codec == nullptr) return kMediaUnsupported;
  Output output;
  output.stream = stream->index;
  output.decoder.reset(avcodec_alloc_context3(codec));
  if (!output.decoder) return E_OUTOFMEMORY;
  int error = avcodec_parameters_to_context(output.decoder.get(), parameters);
  if (error < 0) return HResultFromAv(error);
  output.decoder->pkt_timebase = stream->time_base;
  error = avcodec_open2(output.decoder.get(), codec, nullptr);
  if (error < 0) return error == AVERROR(ENOMEM) ? E_OUTOFMEMORY : kMediaInvalidData;

  const int channels = output.decoder->ch_layout.nb_channels;
  output.rate = output.decoder->sample_rate;
  if (channels <= 0 || output.rate <= 0) return kMediaInvalidData;
  // Uncompressed audio keeps its own container size (8 or 16 bits, and a
  // declared depth such as 12 bits inside 16); everything else becomes
  // 16-bit.
  const bool eightBit = av_get_packed_sample_fmt(output.decoder->sample_fmt) == AV_SAMPLE_FMT_U8;
  WORD bits = eightBit ? 8 : 16;
  if (parameters->codec_id == AV_CODEC_ID_PCM_S16LE && parameters->bits_per_coded_sample > 8 &&
      parameters->bits_per_coded_sample < 16) {
    bits = static_cast<WORD>(parameters->bits_per_coded_sample);
  }
  WAVEFORMATEX format{};
  format.wFormatTag = WAVE_FORMAT_PCM;
  format.nChannels = static_cast<WORD>(channels);
  format.nSamplesPerSec = static_cast<DWORD>(output.rate);
  format.nBlockAlign = static_cast<WORD>(channels * (eightBit ? 1 : 2));
  format.nAvgBytesPerSec = format.nSamplesPerSec * format.nBlockAlign;
  format.wBitsPerSample = bits;
  output.blockAlign = format.nBlockAlign;
  output.channels = channels;
  output.format = eightBit ? AV_SAMPLE_FMT_U8 : AV_SAMPLE_FMT_S16;
  output.type = MediaType::Pcm(format);
  m_outputs.push_back(std::move(output));
  return S_OK;
}

void AsfSource::ReadAttributes() {
  // FFmpeg files the content description under its own names.
  struct Text {
    const char16_t* name;
    const char* keys[2];
  };
  const Text texts[] = {
      {u"Title", {"title", nullptr}},
      {u"Author", {"artist", "author"}},
      {u"Description", {"comment", "description"}},
  };
  for (const Text& text : texts) {
    for (const char* key : text.keys) {
      const AVDictionaryEntry* entry =
          key != nullptr ? av_dict_get(m_input->metadata, key, nullptr, 0) : nullptr;
      if (entry != nullptr) {
        m_attributes.SetString(text.name, AnsiToWide(entry->value, CP_UTF8));
        break;
      }
    }
  }
  // The header's own figure holds also for a file cut short; FFmpeg's
  // estimate serves only where the header leaves it open.
  if (m_properties.durationKnown) {
    m_attributes.SetQword(u"Duration", m_properties.duration);
    return;
  }
  std::int64_t duration = -1;
  for (const Output& output : m_outputs) {
    const AVStream* stream = m_input->streams[output.stream];
    if (stream->duration != AV_NOPTS_VALUE && stream->duration > 0) {
      duration = std::max(duration, av_rescale_q(stream->duration, stream->time_base,
                                                 kHundredNanoseconds));
    }
  }
  if (duration < 0 && m_input->duration != AV_NOPTS_VALUE && m_input->duration > 0) {
    duration = av_rescale_q(m_input->duration, AV_TIME_BASE_Q, kHundredNanoseconds);
  }
  if (duration >= 0) m_attributes.SetQword(u"Duration", static_cast<QWORD>(duration));
}

HRESULT AsfSource::Rewind() {
  const int error = av_seek_frame(m_input.get(), -1, 0, AVSEEK_FLAG_BACKWARD);
  if (error < 0) return HResultFromAv(error);
  for (Output& output : m_outputs) {
    if (!output.decoder) continue;
    avcodec_flush_buffers(output.decoder.get());
    output.resampler.reset();
    output.samplesOut = 0;
    output.firstPts = AV_NOPTS_VALUE;
    output.packetsEnd = 0;
    output.longestPacket = 0;
    output.drained = false;
  }
  m_active = -1;
  m_draining = false;
  m_damaged = false;
  m_endResult = S_FALSE;
  return S_OK;
}

void AsfSource::CountPacket(Output& output, const AVPacket& packet) {
  if (packet.pts == AV_NOPTS_VALUE) return;
  const AVRational base = m_input->streams[output.stream]->time_base;
  if (output.firstPts == AV_NOPTS_VALUE) output.firstPts = packet.pts;
  const std::int64_t duration = av_rescale_q(packet.duration, base, kHundredNanoseconds);
  output.longestPacket = std::max(output.longestPacket, duration);
  output.packetsEnd = std::max(
      output.packetsEnd,
      av_rescale_q(packet.pts - output.firstPts, base, kHundredNanoseconds) + duration);
}

bool AsfSource::LostAudio() const {
  for (const Output& output : m_outputs) {
    if (!output.decoder) continue;
    const std::int64_t delivered = av_rescale(output.samplesOut, 10000000, output.rate);
    // A decoder holds back up to a packet at its start and its end.
    if (output.packetsEnd - delivered > 2 * output.longestPacket + kHundredNsPerMs * 10) return true;
  }
  return false;
}

int AsfSource::NextToDrain() const {
  for (size_t i = 0; i < m_outputs.size(); ++i) {
    if (m_outputs[i].decoder && !m_outputs[i].drained) return static_cast<int>(i);
  }
  return -1;
}

HRESULT AsfSource::Next(const Reserve& reserve, DecodedBlock* block) {
  for (;;) {
    if (m_active >= 0) {
      Output& output = m_outputs[m_active];
      const int received = avcodec_receive_frame(output.decoder.get(), m_frame.get());
      if (received == 0) {
        HRESULT hr = Convert(output, static_cast<DWORD>(m_active), reserve, block);
        if (hr != S_FALSE) return hr;
        continue;
      }
      if (received != AVERROR(EAGAIN) && received != AVERROR_EOF) m_damaged = true;
      // Anything but a frame ends this decoder's turn; while draining, for
      // good.
      if (m_draining) output.drained = true;
      m_active = -1;
    }
    if (m_draining) {
      m_active = NextToDrain();
      if (m_active >= 0) continue;
      // A read error is the worst news, then a file cut short, then data
      // that could not be decoded.
      if (m_endResult != S_FALSE) return m_endResult;
      if (m_properties.CutShort()) return kMediaCutShort;
      return m_damaged || LostAudio() ? kMediaInvalidData : S_FALSE;
    }
    const int error = av_read_frame(m_input.get(), m_packet.get());
    if (error < 0) {
      m_endResult = error == AVERROR_EOF ? S_FALSE : HResultFromAv(error);
      m_draining = true;
      for (Output& output : m_outputs) {
        if (output.decoder) avcodec_send_packet(output.decoder.get(), nullptr);
      }
      continue;
    }
    const int stream = m_packet->stream_index;
    const int index =
        stream >= 0 && stream < static_cast<int>(m_outputOfStream.size()) ? m_outputOfStream[stream] : -1;
    // A damaged packet is skipped, as a player would, and remembered.
    if (index >= 0) {
      CountPacket(m_outputs[index], *m_packet);
      if (avcodec_send_packet(m_outputs[index].decoder.get(), m_packet.get()) == 0) {
        m_active = index;
      } else {
        m_damaged = true;
      }
    }
    av_packet_unref(m_packet.get());
  }
}

HRESULT AsfSource::Convert(Output& output, DWORD index, const Reserve& reserve,
                           DecodedBlock* block) {
  AVFrame* frame = m_frame.get();
  struct Unref {
    AVFrame* frame;
    ~Unref() { av_frame_unref(frame); }
  } unref{frame};
  if (frame->nb_samples <= 0) return S_FALSE;

  if (!output.resampler) {
    AVChannelLayout in{};
    AVChannelLayout out{};
    LayoutOf(frame->ch_layout, frame->ch_layout.nb_channels, &in);
    LayoutOf(frame->ch_layout, output.channels, &out);
    SwrContext* resampler = nullptr;
    const int error = swr_alloc_set_opts2(&resampler, &out, output.format, output.rate, &in,
                                          static_cast<AVSampleFormat>(frame->format),
                                          frame->sample_rate, 0, nullptr);
    av_channel_layout_uninit(&in);
    av_channel_layout_uninit(&out);
    output.resampler.reset(resampler);
    if (error < 0 || swr_init(resampler) < 0) {
      output.resampler.reset();
      return kMediaInvalidData;
    }
  }
  const int capacity = swr_get_out_samples(output.resampler.get(), frame->nb_samples);
  if (capacity <= 0) return S_FALSE;
  BYTE* bytes = reserve(static_cast<DWORD>(capacity * output.blockAlign));
  if (bytes == nullptr) return E_OUTOFMEMORY;
  const int samples =
      swr_convert(output.resampler.get(), &bytes, capacity,
                  const_cast<const std::uint8_t**>(frame->extended_data), frame->nb_samples);
  // A frame the converter cannot take is skipped like a damaged packet.
  if (samples <= 0) return S_FALSE;
  block->output = index;
  block->time = static_cast<QWORD>(av_rescale(output.samplesOut, 10000000, output.rate));
  block->duration = static_cast<QWORD>(av_rescale(samples, 10000000, output.rate));
  block->length = static_cast<DWORD>(samples * output.blockAlign);
  output.samplesOut += samples;
  return S_OK;
}

}  // namespace qap::media
