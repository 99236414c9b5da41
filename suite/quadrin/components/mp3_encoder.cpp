// The LAME encoder behind FFmpeg's MP3 muxer; input PCM is converted to the
// encoder's planar format and queued until a whole frame is there.
#include "suite/quadrin/components/mp3_encoder.h"

#include <algorithm>
#include <vector>

#include "platform/base/partial_output.h"
#include "suite/quadrin/components/quiet_ffmpeg.h"

using namespace qap::media;

namespace {

// The MPEG-1 layer III rates; LAME takes the nearest its sample rate allows.
constexpr int kRates[] = {32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320};
constexpr int kDefaultKbps = 128;

int ListedKbps(int kbps) {
  if (kbps <= 0) return kDefaultKbps;
  int chosen = kRates[0];
  for (int rate : kRates) {
    if (rate <= kbps) chosen = rate;
  }
  return chosen;
}

std::string AvError(int error) {
  char text[AV_ERROR_MAX_STRING_SIZE] = {};
  av_strerror(error, text, sizeof text);
  return text;
}

}  // namespace

std::unique_ptr<Mp3Encoder> Mp3Encoder::Create(const std::string& hostPath, const WavFormat& input,
                                               int kbps, std::string* error) {
  std::unique_ptr<Mp3Encoder> encoder(new Mp3Encoder);
  if (!encoder->Open(hostPath, input, kbps, error)) {
    encoder->m_finished = true;
    encoder.reset();
    RemovePartialOutput(hostPath);
    return nullptr;
  }
  return encoder;
}

Mp3Encoder::~Mp3Encoder() {
  if (!m_finished) Finish();
}

bool Mp3Encoder::Fail(int error) {
  if (m_error == 0) m_error = error < 0 ? error : AVERROR(EIO);
  return false;
}

DWORD Mp3Encoder::Failure() const {
  if (m_error == 0) return 0;
  const DWORD code = Win32ErrorOfHResult(HResultFromAv(m_error));
  return code != 0 ? code : ERROR_WRITE_FAULT;
}

bool Mp3Encoder::Open(const std::string& hostPath, const WavFormat& input, int kbps,
                      std::string* error) {
  QuietenFfmpeg();
  m_path = hostPath;
  m_input = input;
  const AVCodec* codec = avcodec_find_encoder_by_name("libmp3lame");
  if (codec == nullptr) codec = avcodec_find_encoder(AV_CODEC_ID_MP3);
  if (codec == nullptr) {
    *error = "this FFmpeg has no MP3 encoder";
    return false;
  }
  AVFormatContext* raw = nullptr;
  if (avformat_alloc_output_context2(&raw, nullptr, "mp3", hostPath.c_str()) < 0) {
    *error = "cannot make an MP3 file";
    return false;
  }
  m_output.reset(raw);
  AVStream* stream = avformat_new_stream(m_output.get(), nullptr);
  m_encoder.reset(avcodec_alloc_context3(codec));
  if (stream == nullptr || !m_encoder) {
    *error = "out of memory";
    return false;
  }
  // LAME's planar formats, 16-bit first: the input is 16 or 8 bits.
  AVSampleFormat format = codec->sample_fmts != nullptr ? codec->sample_fmts[0] : AV_SAMPLE_FMT_S16P;
  for (const AVSampleFormat* f = codec->sample_fmts; f != nullptr && *f != AV_SAMPLE_FMT_NONE; ++f) {
    if (*f == AV_SAMPLE_FMT_S16P) format = *f;
  }
  m_encoder->sample_fmt = format;
  m_encoder->sample_rate = static_cast<int>(input.rate);
  av_channel_layout_default(&m_encoder->ch_layout, input.channels);
  m_encoder->bit_rate = static_cast<std::int64_t>(ListedKbps(kbps)) * 1000;
  m_encoder->time_base = AVRational{1, static_cast<int>(input.rate)};
  int result = avcodec_open2(m_encoder.get(), codec, nullptr);
  if (result < 0) {
    *error = "the MP3 encoder refuses " + std::to_string(input.rate) + " Hz: " + AvError(result);
    return false;
  }
  avcodec_parameters_from_context(stream->codecpar, m_encoder.get());
  stream->time_base = m_encoder->time_base;

  SwrContext* swr = nullptr;
  result = swr_alloc_set_opts2(&swr, &m_encoder->ch_layout, format, m_encoder->sample_rate,
                               &m_encoder->ch_layout,
                               input.bits == 8 ? AV_SAMPLE_FMT_U8 : AV_SAMPLE_FMT_S16,
                               m_encoder->sample_rate, 0, nullptr);
  m_resampler.reset(swr);
  m_fifo.reset(av_audio_fifo_alloc(format, input.channels, m_encoder->frame_size * 4));
  m_packet.reset(av_packet_alloc());
  m_frame.reset(av_frame_alloc());
  if (result < 0 || swr_init(m_resampler.get()) < 0 || !m_fifo || !m_packet || !m_frame) {
    *error = "out of memory";
    return false;
  }
  if ((result = avio_open(&m_output->pb, hostPath.c_str(), AVIO_FLAG_WRITE)) < 0) {
    *error = "cannot create the file: " + AvError(result);
    return false;
  }
  if ((result = avformat_write_header(m_output.get(), nullptr)) < 0) {
    *error = "cannot write the file: " + AvError(result);
    return false;
  }
  return true;
}

bool Mp3Encoder::Write(const BYTE* pcm, size_t bytes) {
  if (m_error != 0 || m_finished) return false;
  const size_t blockAlign = m_input.BlockAlign();
  m_partial.append(reinterpret_cast<const char*>(pcm), bytes);
  const int samples = static_cast<int>(m_partial.size() / blockAlign);
  if (samples == 0) return true;
  // Converted straight into the queue's free room.
  if (av_audio_fifo_realloc(m_fifo.get(), av_audio_fifo_size(m_fifo.get()) + samples) < 0) {
    return Fail(AVERROR(ENOMEM));
  }
  std::vector<uint8_t*> planes(m_input.channels);
  std::vector<std::vector<uint8_t>> storage(m_input.channels);
  for (size_t c = 0; c < planes.size(); ++c) {
    storage[c].resize(static_cast<size_t>(samples) * av_get_bytes_per_sample(m_encoder->sample_fmt));
    planes[c] = storage[c].data();
  }
  const auto* in = reinterpret_cast<const uint8_t*>(m_partial.data());
  const int converted = swr_convert(m_resampler.get(), planes.data(), samples, &in, samples);
  m_partial.erase(0, static_cast<size_t>(samples) * blockAlign);
  if (converted < 0) return Fail(converted);
  if (av_audio_fifo_write(m_fifo.get(), reinterpret_cast<void**>(planes.data()), converted) <
      converted) {
    return Fail(AVERROR(ENOMEM));
  }
  return EncodeQueued(false);
}

bool Mp3Encoder::EncodeQueued(bool last) {
  const int frameSize = m_encoder->frame_size;
  while (av_audio_fifo_size(m_fifo.get()) >= frameSize ||
         (last && av_audio_fifo_size(m_fifo.get()) > 0)) {
    const int samples = std::min(frameSize, av_audio_fifo_size(m_fifo.get()));
    av_frame_unref(m_frame.get());
    m_frame->nb_samples = samples;
    m_frame->format = m_encoder->sample_fmt;
    m_frame->sample_rate = m_encoder->sample_rate;
    av_channel_layout_copy(&m_frame->ch_layout, &m_encoder->ch_layout);
    if (av_frame_get_buffer(m_frame.get(), 0) < 0 ||
        av_audio_fifo_read(m_fifo.get(), reinterpret_cast<void**>(m_frame->data), samples) <
            samples) {
      return Fail(AVERROR(ENOMEM));
    }
    m_frame->pts = m_nextPts;
    m_nextPts += samples;
    if (!Send(m_frame.get())) return false;
  }
  return true;
}

bool Mp3Encoder::Send(AVFrame* frame) {
  if (const int sent = avcodec_send_frame(m_encoder.get(), frame); sent < 0) return Fail(sent);
  for (;;) {
    const int got = avcodec_receive_packet(m_encoder.get(), m_packet.get());
    if (got == AVERROR(EAGAIN) || got == AVERROR_EOF) return true;
    if (got < 0) return Fail(got);
    m_packet->stream_index = 0;
    av_packet_rescale_ts(m_packet.get(), m_encoder->time_base, m_output->streams[0]->time_base);
    if (const int written = av_write_frame(m_output.get(), m_packet.get()); written < 0) {
      return Fail(written);
    }
  }
}

bool Mp3Encoder::Finish() {
  if (m_finished) return m_error == 0;
  m_finished = true;
  if (m_error == 0 && EncodeQueued(true) && Send(nullptr)) {
    if (const int trailer = av_write_trailer(m_output.get()); trailer < 0) Fail(trailer);
  }
  // What the file's buffer still holds is written by the close.
  if (const int closed = avio_closep(&m_output->pb); closed < 0) Fail(closed);
  if (m_error == 0) return true;
  RemovePartialOutput(m_path);
  return false;
}
