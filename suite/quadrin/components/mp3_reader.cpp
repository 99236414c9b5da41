// The MP3 reader component (short name "MP3Reader"): MPEG audio decoded with
// FFmpeg into 16-bit PCM, mono or stereo, at a rate the converter contract
// lists (the nearest listed rate above an unlisted one).

#include "converters/converter.h"
#include "platform/base/codepage.h"
#include "platform/base/export.h"
#include "platform/base/paths.h"
#include "platform/media/av_handles.h"
#include "suite/quadrin/components/quiet_ffmpeg.h"
#include "suite/quadrin/components/stream_reader.h"

namespace {

using namespace qap::media;

const ConverterDescription kDescription{"MP3Reader",
                                        "MP3 file format convertor - FFmpeg Reader module"};

constexpr size_t kBlockBytes = 64 * 1024;

int ListedRateFor(int rate) {
  for (DWORD listed : kPcmRates) {
    if (static_cast<int>(listed) >= rate) return static_cast<int>(listed);
  }
  return static_cast<int>(kPcmRates[std::size(kPcmRates) - 1]);
}

class Mp3FileReader final : public StreamReader {
 protected:
  bool OpenSource(const std::string& path) override {
    CloseSource();
    QuietenFfmpeg();
    const std::string host = ToHostPath(path);
    AVFormatContext* raw = nullptr;
    if (host.empty() ||
        avformat_open_input(&raw, host.c_str(), av_find_input_format("mp3"), nullptr) < 0) {
      return false;
    }
    m_input.reset(raw);
    if (avformat_find_stream_info(m_input.get(), nullptr) < 0) return Fail();
    const AVCodec* codec = nullptr;
    m_stream = av_find_best_stream(m_input.get(), AVMEDIA_TYPE_AUDIO, -1, -1, &codec, 0);
    if (m_stream < 0 || codec == nullptr) return Fail();
    const AVStream* stream = m_input->streams[m_stream];
    m_decoder.reset(avcodec_alloc_context3(codec));
    if (!m_decoder || avcodec_parameters_to_context(m_decoder.get(), stream->codecpar) < 0 ||
        avcodec_open2(m_decoder.get(), codec, nullptr) < 0) {
      return Fail();
    }
    const int channels = m_decoder->ch_layout.nb_channels;
    if (channels <= 0 || m_decoder->sample_rate <= 0) return Fail();
    m_format = WavFormat{static_cast<DWORD>(ListedRateFor(m_decoder->sample_rate)),
                         static_cast<WORD>(channels >= 2 ? 2 : 1), 16};
    if (!ResampleFrom(m_decoder->ch_layout, m_decoder->sample_rate, m_decoder->sample_fmt, nullptr))
      return Fail();
    m_packet.reset(av_packet_alloc());
    m_frame.reset(av_frame_alloc());
    if (!m_packet || !m_frame) return Fail();
    ReadDuration(*stream);
    ReadTags();
    m_draining = false;
    m_flushed = false;
    return true;
  }

  void CloseSource() override {
    m_frame.reset();
    m_packet.reset();
    m_resampler.reset();
    av_channel_layout_uninit(&m_inLayout);
    m_decoder.reset();
    m_input.reset();
  }

  long NextBlock(std::vector<BYTE>* block) override {
    block->clear();
    while (block->size() < kBlockBytes && !m_flushed) {
      const int got = avcodec_receive_frame(m_decoder.get(), m_frame.get());
      if (got == 0) {
        if (!Convert(m_frame.get(), block)) return -1;
        av_frame_unref(m_frame.get());
        continue;
      }
      if (got == AVERROR_EOF) {
        // What the resampler still holds ends the audio.
        if (!Convert(nullptr, block)) return -1;
        m_flushed = true;
        break;
      }
      if (got != AVERROR(EAGAIN)) return -1;
      if (!Feed()) return -1;
    }
    return static_cast<long>(block->size());
  }

  WavFormat SourceFormat() const override { return m_format; }
  DWORD SourceDurationMs() const override { return m_durationMs; }

  std::string SourceTag(DWORD code) const override {
    return code == ConvGetTitle ? m_title : code == ConvGetAuthor ? m_author : m_description;
  }

 private:
  bool Fail() {
    CloseSource();
    return false;
  }

  // One packet into the decoder, or the end of the stream once the file is
  // read; damaged packets are skipped as players skip them.
  bool Feed() {
    if (m_draining) return true;
    for (;;) {
      const int read = av_read_frame(m_input.get(), m_packet.get());
      if (read == AVERROR_EOF) {
        m_draining = true;
        return avcodec_send_packet(m_decoder.get(), nullptr) >= 0;
      }
      if (read < 0) return false;
      const bool ours = m_packet->stream_index == m_stream;
      const int sent = ours ? avcodec_send_packet(m_decoder.get(), m_packet.get()) : 0;
      av_packet_unref(m_packet.get());
      if (ours && (sent >= 0 || sent == AVERROR_INVALIDDATA)) return true;
      if (sent < 0 && sent != AVERROR_INVALIDDATA) return false;
    }
  }

  // A resampler from frames of this layout, rate and sample format to the
  // output format. An MPEG stream may change them from one frame to the next
  // (a damaged header, files joined together), and a resampler reads as many
  // planes as it was made for, so a frame unlike the one before gets a new
  // one; what the old one still holds goes into block first.
  bool ResampleFrom(const AVChannelLayout& layout, int rate, AVSampleFormat format,
                    std::vector<BYTE>* block) {
    if (m_resampler && av_channel_layout_compare(&m_inLayout, &layout) == 0 && m_inRate == rate &&
        m_inFormat == format) {
      return true;
    }
    if (m_resampler && !Convert(nullptr, block)) return false;
    m_resampler.reset();
    av_channel_layout_uninit(&m_inLayout);
    if (av_channel_layout_copy(&m_inLayout, &layout) < 0) return false;
    AVChannelLayout outLayout;
    av_channel_layout_default(&outLayout, m_format.channels);
    SwrContext* swr = nullptr;
    const int error = swr_alloc_set_opts2(&swr, &outLayout, AV_SAMPLE_FMT_S16,
                                          static_cast<int>(m_format.rate), &m_inLayout, format,
                                          rate, 0, nullptr);
    m_resampler.reset(swr);
    if (error < 0 || swr_init(m_resampler.get()) < 0) {
      m_resampler.reset();
      return false;
    }
    m_inRate = rate;
    m_inFormat = format;
    return true;
  }

  // Appends a frame (or, with null, the resampler's remainder) as PCM.
  bool Convert(const AVFrame* frame, std::vector<BYTE>* block) {
    if (frame != nullptr &&
        !ResampleFrom(frame->ch_layout, frame->sample_rate,
                      static_cast<AVSampleFormat>(frame->format), block)) {
      return false;
    }
    const int inSamples = frame != nullptr ? frame->nb_samples : 0;
    const int room = swr_get_out_samples(m_resampler.get(), inSamples);
    if (room < 0) return false;
    const size_t blockAlign = m_format.BlockAlign();
    const size_t start = block->size();
    block->resize(start + static_cast<size_t>(room) * blockAlign);
    uint8_t* out = block->data() + start;
    const int converted =
        swr_convert(m_resampler.get(), &out, room,
                    frame != nullptr ? const_cast<const uint8_t**>(frame->extended_data) : nullptr,
                    inSamples);
    if (converted < 0) return false;
    block->resize(start + static_cast<size_t>(converted) * blockAlign);
    return true;
  }

  void ReadDuration(const AVStream& stream) {
    std::int64_t ms = -1;
    if (stream.duration != AV_NOPTS_VALUE && stream.duration > 0) {
      ms = av_rescale_q(stream.duration, stream.time_base, AVRational{1, 1000});
    } else if (m_input->duration != AV_NOPTS_VALUE && m_input->duration > 0) {
      ms = av_rescale_q(m_input->duration, AV_TIME_BASE_Q, AVRational{1, 1000});
    }
    m_durationMs = ms > 0 ? static_cast<DWORD>(ms) : 0;
  }

  void ReadTags() {
    auto tag = [this](const char* key) -> std::string {
      const AVDictionaryEntry* entry = av_dict_get(m_input->metadata, key, nullptr, 0);
      return entry != nullptr ? Utf8ToAnsi(entry->value) : std::string();
    };
    m_title = tag("title");
    m_author = tag("artist");
    m_description = tag("comment");
  }

  InputContext m_input;
  CodecContext m_decoder;
  Resampler m_resampler;
  // What m_resampler takes.
  AVChannelLayout m_inLayout{};
  int m_inRate = 0;
  AVSampleFormat m_inFormat = AV_SAMPLE_FMT_NONE;
  Packet m_packet;
  Frame m_frame;
  int m_stream = -1;
  WavFormat m_format;
  DWORD m_durationMs = 0;
  std::string m_title;
  std::string m_author;
  std::string m_description;
  bool m_draining = false;  // the decoder has been told the file ended
  bool m_flushed = false;   // everything is delivered
};

}  // namespace

extern "C" {

QAP_EXPORT std::int32_t CreateObject(Converter** object) {
  return CreateConverter<Mp3FileReader>(object);
}

QAP_EXPORT const ConverterDescription* GetDescription() { return &kDescription; }

QAP_EXPORT const char* GetExtensions() { return "mp3"; }

}  // extern "C"
