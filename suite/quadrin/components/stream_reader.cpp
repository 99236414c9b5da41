// The reader commands and the delivery thread.
#include "suite/quadrin/components/stream_reader.h"

#include <cstring>

#include "platform/base/codepage.h"
#include "platform/base/text_field.h"

std::int32_t StreamReader::Destroy(DWORD) {
  EndDelivery();
  if (m_delivery.joinable()) m_delivery.detach();
  if (!m_path.empty()) CloseSource();
  delete this;
  return kConvSuccess;
}

void StreamReader::CopyTag(DWORD code, char* buffer) {
  const std::string text = SourceTag(code);
  if (!text.empty()) CopyToField(buffer, kTagTextSize, text);
}

std::int32_t StreamReader::FillFormat(PcmFormat* format) {
  const WavFormat source = SourceFormat();
  if (DWORD value = PcmRateCode(source.rate)) format->rateCode = value;
  if (DWORD value = PcmBitsCode(source.bits)) format->sizeCode = value;
  if (DWORD value = PcmChannelsCode(source.channels)) format->channelCode = value;
  format->flags |= kPcmFormatFilled;
  return kConvSuccess;
}

std::int32_t StreamReader::ReadDuration(DWORD* milliseconds) {
  *milliseconds = SourceDurationMs();
  return kConvSuccess;
}

std::int32_t StreamReader::OpenFile(const char* path) {
  EndDelivery();
  if (m_delivery.joinable()) m_delivery.join();
  if (!m_path.empty()) CloseSource();
  m_path.clear();
  m_delivered = false;
  ForgetBlock();
  std::string utf8 = AnsiToUtf8(path);
  if (utf8.empty() || !OpenSource(utf8)) return kConvFailure;
  m_path = std::move(utf8);
  return kConvSuccess;
}

std::int32_t StreamReader::StartDelivery() {
  if (m_path.empty()) return kConvFailure;
  // A restart from inside a delivery would have to wait for itself.
  if (m_delivery.joinable() && m_delivery.get_id() == std::this_thread::get_id()) {
    return kConvFailure;
  }
  EndDelivery();
  if (m_delivery.joinable()) m_delivery.join();
  if (m_delivered) {
    CloseSource();
    if (!OpenSource(m_path)) {
      m_path.clear();
      return kConvFailure;
    }
  }
  m_delivered = true;
  m_stop = false;
  m_delivery = std::thread(&StreamReader::Deliver, this);
  return kConvSuccess;
}

std::int32_t StreamReader::StopDelivery() {
  const bool open = !m_path.empty();
  EndDelivery();
  // The host hears of the end whatever became of the stop.
  Notify(kConverterEventEnd, nullptr);
  return open ? kConvSuccess : kConvFailure;
}

void StreamReader::EndDelivery() {
  m_stop = true;
  if (m_delivery.joinable() && m_delivery.get_id() != std::this_thread::get_id()) {
    m_delivery.join();
  }
}

void StreamReader::Deliver() {
  const WavFormat format = SourceFormat();
  const std::uint64_t bytesPerSecond = format.BytesPerSecond();
  std::uint64_t delivered = 0;
  std::vector<BYTE> buffer;
  while (!m_stop) {
    const long length = NextBlock(&buffer);
    if (length <= 0) break;
    const auto time = static_cast<DWORD>(delivered * 1000 / bytesPerSecond);
    delivered += static_cast<std::uint64_t>(length);
    NotifyBlock(buffer.data(), static_cast<DWORD>(length), time);
    // A stop asked for during the callback keeps the block from the sink.
    if (!m_stop) PassToSink(buffer.data(), static_cast<DWORD>(length), time);
  }
  if (!m_stop) DeliverEnd();
}

