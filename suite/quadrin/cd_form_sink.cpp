// Resampling and channel mixing with libswresample; CD audio passes as it is.
#include "suite/quadrin/cd_form_sink.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>

#include "platform/base/last_error.h"

namespace quadrin {
namespace {

constexpr int kCdRate = 44100;
constexpr int kCdChannels = 2;
constexpr int kCdBlockAlign = 4;
// The file reaches the kernel in writes this large rather than stdio's
// page-sized ones: the page cache then holds it in large folios, which the
// burn copies onto the medium about a third faster.
constexpr size_t kWriteBufferBytes = 1 << 20;

}  // namespace

bool CdFormSink::Begin(const PcmFormat& format) {
  m_input = WavFormat{PcmRateOfCode(format.rateCode),
                      static_cast<WORD>(PcmChannelsOfCode(format.channelCode)),
                      static_cast<WORD>(PcmBitsOfCode(format.sizeCode))};
  if (m_input.rate == 0 || m_input.channels == 0 || m_input.bits == 0) return false;
  if (m_input.rate != kCdRate || m_input.channels != kCdChannels || m_input.bits != 16) {
    AVChannelLayout in;
    AVChannelLayout out;
    av_channel_layout_default(&in, m_input.channels);
    av_channel_layout_default(&out, kCdChannels);
    SwrContext* swr = nullptr;
    const int error = swr_alloc_set_opts2(
        &swr, &out, AV_SAMPLE_FMT_S16, kCdRate, &in,
        m_input.bits == 8 ? AV_SAMPLE_FMT_U8 : AV_SAMPLE_FMT_S16, static_cast<int>(m_input.rate),
        0, nullptr);
    m_resampler.reset(swr);
    if (error < 0 || swr_init(m_resampler.get()) < 0) return false;
  }
  m_file.reset(std::fopen(m_path.c_str(), "wb"));
  if (m_file == nullptr) return Fail(Win32ErrorOfErrno(errno));
  m_writeBuffer.resize(kWriteBufferBytes);
  std::setvbuf(m_file.get(), m_writeBuffer.data(), _IOFBF, m_writeBuffer.size());
  // Written, not skipped: stdio's writes then fall on whole megabytes of
  // the file, which the page cache keeps in its largest folios.
  const std::vector<char> zeros(m_lead, '\0');
  if (!zeros.empty() && std::fwrite(zeros.data(), 1, zeros.size(), m_file.get()) != zeros.size()) {
    return Fail(Win32ErrorOfErrno(errno));
  }
  return true;
}

bool CdFormSink::Fail(DWORD failure) {
  if (m_failure == 0) m_failure = failure;
  m_failed = true;
  return false;
}

bool CdFormSink::Write(const BYTE* data, DWORD length) {
  if (m_failed || !m_file) return false;
  if (!m_resampler) return Put(data, length);
  const size_t blockAlign = m_input.BlockAlign();
  m_partial.append(reinterpret_cast<const char*>(data), length);
  const size_t samples = m_partial.size() / blockAlign;
  const bool ok = Convert(reinterpret_cast<const BYTE*>(m_partial.data()), static_cast<int>(samples));
  m_partial.erase(0, samples * blockAlign);
  return ok;
}

bool CdFormSink::Convert(const BYTE* data, int samples) {
  const int room = swr_get_out_samples(m_resampler.get(), samples);
  m_converted.resize(static_cast<size_t>(std::max(room, 0)) * kCdBlockAlign);
  uint8_t* out = m_converted.data();
  const uint8_t* in = data;
  const int converted =
      room < 0 ? room
               : swr_convert(m_resampler.get(), &out, room, data != nullptr ? &in : nullptr, samples);
  if (converted < 0) return Fail(ERROR_INVALID_DATA);
  return Put(m_converted.data(), static_cast<size_t>(converted) * kCdBlockAlign);
}

bool CdFormSink::Put(const BYTE* data, size_t bytes) {
  if (bytes != 0 && std::fwrite(data, 1, bytes, m_file.get()) != bytes) {
    return Fail(Win32ErrorOfErrno(errno));
  }
  m_bytes += bytes;
  return true;
}

bool CdFormSink::Finish(bool complete) {
  if (!m_file) return false;
  // What the resampler still holds ends the audio.
  if (complete && m_resampler && !m_failed) Convert(nullptr, 0);
  // What stdio still buffers reaches the disk only here.
  if (std::fclose(m_file.release()) != 0) Fail(Win32ErrorOfErrno(errno));
  if (!m_failed) return true;
  std::remove(m_path.c_str());
  return false;
}

}  // namespace quadrin
