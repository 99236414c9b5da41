// The writer's encoding pipeline: PCM -> planar float -> frame queue ->
// wmav2 -> ASF.
#include "platform/media/wma_encoder.h"

#include <algorithm>
#include <new>

#include "platform/base/partial_output.h"
#include "platform/media/media_support.h"

namespace qap::media {
namespace {

// Input is converted in slices of this many samples, whatever size the
// caller's sample has.
constexpr int kSliceSamples = 8192;
// A gap in the time stamps shorter than this is rounding, not silence.
constexpr int kGapToleranceMs = 1;
// Guards against a corrupt time stamp turning into hours of silence.
constexpr std::int64_t kMaxGapSeconds = 3600;

}  // namespace

bool WmaEncoder::Accepts(const WAVEFORMATEX& format) {
  const bool shape = format.wFormatTag == WAVE_FORMAT_PCM &&
                     (format.nChannels == 1 || format.nChannels == 2) &&
                     (format.wBitsPerSample == 8 || format.wBitsPerSample == 16) &&
                     format.nSamplesPerSec >= 8000 && format.nSamplesPerSec <= 48000;
  return shape && format.nBlockAlign == format.nChannels * format.wBitsPerSample / 8 &&
         format.nAvgBytesPerSec == format.nSamplesPerSec * format.nBlockAlign;
}

HRESULT WmaEncoder::Create(const std::string& hostPath, const WAVEFORMATEX& input, int bitRate,
                           std::unique_ptr<WmaEncoder>* encoder) {
  QuietenLibraries();
  if (!Accepts(input) || bitRate <= 0) return E_INVALIDARG;
  if (hostPath.empty()) return HResultFromWin32(ERROR_PATH_NOT_FOUND);
  std::unique_ptr<WmaEncoder> self(new (std::nothrow) WmaEncoder);
  if (!self) return E_OUTOFMEMORY;
  const HRESULT hr = self->Open(hostPath, input, bitRate);
  if (FAILED(hr)) {
    const bool created = self->m_output && self->m_output->pb != nullptr;
    self->m_finished = true;
    self.reset();
    if (created) RemovePartialOutput(hostPath);
    return hr;
  }
  *encoder = std::move(self);
  return S_OK;
}

HRESULT WmaEncoder::Open(const std::string& hostPath, const WAVEFORMATEX& input, int bitRate) {
  m_path = hostPath;
  m_input = input;
  const int channels = input.nChannels;
  const int rate = static_cast<int>(input.nSamplesPerSec);

  AVFormatContext* raw = nullptr;
  if (avformat_alloc_output_context2(&raw, av_guess_format("asf", nullptr, nullptr), nullptr,
                                     hostPath.c_str()) < 0) {
    return E_OUTOFMEMORY;
  }
  m_output.reset(raw);
  // No encoder tag in the header: the file describes the music, not us.
  m_output->flags |= AVFMT_FLAG_BITEXACT;

  const AVCodec* codec = avcodec_find_encoder(AV_CODEC_ID_WMAV2);
  if (codec == nullptr) return kMediaUnsupported;
  m_encoder.reset(avcodec_alloc_context3(codec));
  if (!m_encoder) return E_OUTOFMEMORY;
  m_encoder->sample_fmt = AV_SAMPLE_FMT_FLTP;
  m_encoder->sample_rate = rate;
  av_channel_layout_default(&m_encoder->ch_layout, channels);
  m_encoder->bit_rate = bitRate;
  m_encoder->time_base = AVRational{1, rate};
  if (m_output->oformat->flags & AVFMT_GLOBALHEADER) {
    m_encoder->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
  }
  int error = avcodec_open2(m_encoder.get(), codec, nullptr);
  if (error < 0) return error == AVERROR(ENOMEM) ? E_OUTOFMEMORY : E_INVALIDARG;

  AVStream* stream = avformat_new_stream(m_output.get(), nullptr);
  if (stream == nullptr) return E_OUTOFMEMORY;
  error = avcodec_parameters_from_context(stream->codecpar, m_encoder.get());
  if (error < 0) return HResultFromAv(error);
  stream->time_base = m_encoder->time_base;

  SwrContext* resampler = nullptr;
  const AVSampleFormat pcm = input.wBitsPerSample == 8 ? AV_SAMPLE_FMT_U8 : AV_SAMPLE_FMT_S16;
  error = swr_alloc_set_opts2(&resampler, &m_encoder->ch_layout, AV_SAMPLE_FMT_FLTP, rate,
                              &m_encoder->ch_layout, pcm, rate, 0, nullptr);
  m_resampler.reset(resampler);
  if (error < 0 || swr_init(resampler) < 0) return E_OUTOFMEMORY;
  m_fifo.reset(av_audio_fifo_alloc(AV_SAMPLE_FMT_FLTP, channels, m_encoder->frame_size));
  m_packet.reset(av_packet_alloc());
  m_frame.reset(av_frame_alloc());
  if (!m_fifo || !m_packet || !m_frame) return E_OUTOFMEMORY;
  m_planes.assign(channels, std::vector<float>(kSliceSamples));

  error = avio_open(&m_output->pb, hostPath.c_str(), AVIO_FLAG_WRITE);
  if (error < 0) return HResultFromAv(error);
  error = avformat_write_header(m_output.get(), nullptr);
  if (error < 0) return HResultFromAv(error);
  return S_OK;
}

WmaEncoder::~WmaEncoder() {
  if (!m_finished) Finish();
}

HRESULT WmaEncoder::Write(const BYTE* data, DWORD length, QWORD time) {
  if (m_finished) return NS_E_INVALID_REQUEST;
  if (FAILED(m_failure)) return m_failure;
  if (data == nullptr && length != 0) return E_POINTER;
  const int rate = static_cast<int>(m_input.nSamplesPerSec);
  const std::int64_t position = av_rescale(static_cast<std::int64_t>(time), rate, 10000000);
  const std::int64_t gap = position - m_samplesQueued;
  if (gap > kMaxGapSeconds * rate) return E_INVALIDARG;
  m_failure = Encode(data, length, gap);
  return m_failure;
}

HRESULT WmaEncoder::Encode(const BYTE* data, DWORD length, std::int64_t gap) {
  const int rate = static_cast<int>(m_input.nSamplesPerSec);
  if (gap > static_cast<std::int64_t>(rate) * kGapToleranceMs / 1000) {
    // Half a sample cannot be joined to what comes after the silence.
    m_partial.clear();
    if (HRESULT hr = QueueSilence(gap); FAILED(hr)) return hr;
  }
  const DWORD blockAlign = m_input.nBlockAlign;
  if (!m_partial.empty()) {
    const DWORD take = std::min<DWORD>(length, blockAlign - static_cast<DWORD>(m_partial.size()));
    m_partial.insert(m_partial.end(), data, data + take);
    data += take;
    length -= take;
    if (m_partial.size() < blockAlign) return S_OK;
    if (HRESULT hr = Queue(m_partial.data(), 1); FAILED(hr)) return hr;
    m_partial.clear();
  }
  const DWORD whole = length / blockAlign;
  for (DWORD done = 0; done < whole;) {
    const int slice = static_cast<int>(std::min<DWORD>(whole - done, kSliceSamples));
    if (HRESULT hr = Queue(data + static_cast<size_t>(done) * blockAlign, slice); FAILED(hr)) {
      return hr;
    }
    done += static_cast<DWORD>(slice);
  }
  m_partial.assign(data + static_cast<size_t>(whole) * blockAlign, data + length);
  return S_OK;
}

HRESULT WmaEncoder::Queue(const BYTE* pcm, int samples) {
  std::vector<std::uint8_t*> planes;
  for (auto& plane : m_planes) planes.push_back(reinterpret_cast<std::uint8_t*>(plane.data()));
  for (int done = 0; done < samples;) {
    const int slice = std::min(samples - done, kSliceSamples);
    const std::uint8_t* in = pcm + static_cast<size_t>(done) * m_input.nBlockAlign;
    const int converted = swr_convert(m_resampler.get(), planes.data(), kSliceSamples, &in, slice);
    if (converted < 0) return E_FAIL;
    if (av_audio_fifo_write(m_fifo.get(), reinterpret_cast<void**>(planes.data()), converted) <
        converted) {
      return E_OUTOFMEMORY;
    }
    m_samplesQueued += slice;
    done += slice;
    if (HRESULT hr = EncodeQueued(false); FAILED(hr)) return hr;
  }
  return S_OK;
}

HRESULT WmaEncoder::QueueSilence(std::int64_t samples) {
  std::vector<std::uint8_t*> planes;
  for (auto& plane : m_planes) {
    std::fill(plane.begin(), plane.end(), 0.0f);
    planes.push_back(reinterpret_cast<std::uint8_t*>(plane.data()));
  }
  while (samples > 0) {
    const int slice = static_cast<int>(std::min<std::int64_t>(samples, kSliceSamples));
    if (av_audio_fifo_write(m_fifo.get(), reinterpret_cast<void**>(planes.data()), slice) < slice) {
      return E_OUTOFMEMORY;
    }
    m_samplesQueued += slice;
    samples -= slice;
    if (HRESULT hr = EncodeQueued(false); FAILED(hr)) return hr;
  }
  return S_OK;
}

HRESULT WmaEncoder::EncodeQueued(bool last) {
  const int frameSize = m_encoder->frame_size;
  while (av_audio_fifo_size(m_fifo.get()) >= frameSize ||
         (last && av_audio_fifo_size(m_fifo.get()) > 0)) {
    AVFrame* frame = m_frame.get();
    av_frame_unref(frame);
    frame->nb_samples = std::min(frameSize, av_audio_fifo_size(m_fifo.get()));
    frame->format = m_encoder->sample_fmt;
    frame->sample_rate = m_encoder->sample_rate;
    if (av_channel_layout_copy(&frame->ch_layout, &m_encoder->ch_layout) < 0 ||
        av_frame_get_buffer(frame, 0) < 0) {
      return E_OUTOFMEMORY;
    }
    if (av_audio_fifo_read(m_fifo.get(), reinterpret_cast<void**>(frame->data), frame->nb_samples) <
        frame->nb_samples) {
      return E_FAIL;
    }
    frame->pts = m_nextPts;
    m_nextPts += frame->nb_samples;
    // The codec pads a short last frame itself.
    int error = avcodec_send_frame(m_encoder.get(), frame);
    if (error < 0) return HResultFromAv(error);
    if (HRESULT hr = WritePackets(); FAILED(hr)) return hr;
  }
  return S_OK;
}

HRESULT WmaEncoder::WritePackets() {
  AVPacket* packet = m_packet.get();
  for (;;) {
    const int error = avcodec_receive_packet(m_encoder.get(), packet);
    if (error == AVERROR(EAGAIN) || error == AVERROR_EOF) return S_OK;
    if (error < 0) return HResultFromAv(error);
    av_packet_rescale_ts(packet, m_encoder->time_base, m_output->streams[0]->time_base);
    packet->stream_index = 0;
    const int written = av_write_frame(m_output.get(), packet);
    av_packet_unref(packet);
    if (written < 0) return HResultFromAv(written);
  }
}

HRESULT WmaEncoder::Finish() {
  if (m_finished) return m_failure;
  m_finished = true;
  HRESULT hr = m_failure;
  if (SUCCEEDED(hr)) hr = EncodeQueued(true);
  if (SUCCEEDED(hr)) {
    const int error = avcodec_send_frame(m_encoder.get(), nullptr);
    hr = error < 0 ? HResultFromAv(error) : WritePackets();
  }
  if (SUCCEEDED(hr)) hr = HResultFromAv(av_write_trailer(m_output.get()));
  // Whatever stayed in the file's buffer is written by the close, whose
  // failure is as much a failure of the file as any write's.
  const int closed = avio_closep(&m_output->pb);
  if (SUCCEEDED(hr)) hr = HResultFromAv(closed);
  m_failure = hr;
  return hr;
}

}  // namespace qap::media
