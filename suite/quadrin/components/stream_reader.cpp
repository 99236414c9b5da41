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

std::int32_t StreamReader::Command(DWORD code, void* argument) {
  return Guarded([&]() -> std::int32_t {
    switch (code) {
      case ConvOpen:
        if (argument == nullptr) return kConvArgumentMissing;
        return Open(static_cast<const char*>(argument));
      case ConvSetSink:
        m_sink = static_cast<Converter*>(argument);
        return kConvSuccess;
      case ConvGetKind:
        if (argument == nullptr) return kConvArgumentMissing;
        *static_cast<DWORD*>(argument) = kModuleStyleReader;
        return kConvSuccess;
      case ConvStart:
        return Start();
      case ConvStop:
        return Stop();
      case ConvGetTitle:
      case ConvGetAuthor:
      case ConvGetDescription: {
        if (argument == nullptr) return kConvArgumentMissing;
        if (m_path.empty()) return kConvSuccess;
        // A missing tag leaves the caller's buffer as it was.
        const std::string text = SourceTag(code);
        if (!text.empty()) CopyToField(static_cast<char*>(argument), kTagTextSize, text);
        return kConvSuccess;
      }
      case ConvGetFormat: {
        if (argument == nullptr) return kConvArgumentMissing;
        if (m_path.empty()) return kConvFailure;
        auto* format = static_cast<PcmFormat*>(argument);
        const WavFormat source = SourceFormat();
        if (DWORD value = PcmRateCode(source.rate)) format->rateCode = value;
        if (DWORD value = PcmBitsCode(source.bits)) format->sizeCode = value;
        if (DWORD value = PcmChannelsCode(source.channels)) format->channelCode = value;
        format->flags |= kPcmFormatFilled;
        return kConvSuccess;
      }
      case ConvGetDuration:
        if (argument == nullptr) return kConvArgumentMissing;
        if (m_path.empty()) return kConvFailure;
        *static_cast<DWORD*>(argument) = SourceDurationMs();
        return kConvSuccess;
      default:
        return kConvNotSupported;
    }
  });
}

std::int32_t StreamReader::Open(const char* path) {
  EndDelivery();
  if (m_delivery.joinable()) m_delivery.join();
  if (!m_path.empty()) CloseSource();
  m_path.clear();
  m_delivered = false;
  {
    std::lock_guard lock(m_blockLock);
    std::vector<BYTE>().swap(m_block);
  }
  std::string utf8 = AnsiToUtf8(path);
  if (utf8.empty() || !OpenSource(utf8)) return kConvFailure;
  m_path = std::move(utf8);
  return kConvSuccess;
}

std::int32_t StreamReader::Start() {
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

std::int32_t StreamReader::Stop() {
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
    {
      std::lock_guard lock(m_blockLock);
      m_block.assign(buffer.data(), buffer.data() + length);
    }
    const auto time = static_cast<DWORD>(delivered * 1000 / bytesPerSecond);
    delivered += static_cast<std::uint64_t>(length);
    SampleInfo info{static_cast<DWORD>(length), time, buffer.data()};
    Notify(kConverterEventData, &info);
    if (Converter* sink = m_sink; sink != nullptr && !m_stop) {
      SinkRecord record{static_cast<DWORD>(length), buffer.data(), time, this};
      sink->Write(buffer.data(), &record.length);
    }
  }
  if (!m_stop) DeliverEnd();
}

void StreamReader::DeliverEnd() {
  if (HasCallback()) {
    Notify(kConverterEventEnd, nullptr);
  } else if (Converter* sink = m_sink) {
    SinkRecord record{kSinkEndOfStream, nullptr, 0, this};
    sink->Write(nullptr, &record.length);
  }
}

std::int32_t StreamReader::Read(void* destination, DWORD* length) {
  return Guarded([&]() -> std::int32_t {
    if (m_path.empty() || destination == nullptr || length == nullptr) return kConvFailure;
    std::lock_guard lock(m_blockLock);
    if (!m_block.empty()) std::memcpy(destination, m_block.data(), m_block.size());
    *length = static_cast<DWORD>(m_block.size());
    return kConvSuccess;
  });
}
