// The reader commands and the delivery every reader component shares.
#include "converters/reader_object.h"

#include <cstring>

std::int32_t ReaderObject::Command(DWORD code, void* argument) {
  return Guarded([&]() -> std::int32_t {
    switch (code) {
      case ConvOpen:
        if (argument == nullptr) return kConvArgumentMissing;
        return OpenFile(static_cast<const char*>(argument));
      case ConvSetSink:
        m_sink = static_cast<Converter*>(argument);
        return kConvSuccess;
      case ConvGetKind:
        if (argument == nullptr) return kConvArgumentMissing;
        *static_cast<DWORD*>(argument) = kModuleStyleReader;
        return kConvSuccess;
      case ConvStart:
        return StartDelivery();
      case ConvStop:
        return StopDelivery();
      case ConvGetTitle:
      case ConvGetAuthor:
      case ConvGetDescription:
        if (argument == nullptr) return kConvArgumentMissing;
        if (IsOpen()) CopyTag(code, static_cast<char*>(argument));
        return kConvSuccess;
      case ConvGetFormat:
        if (argument == nullptr) return kConvArgumentMissing;
        return IsOpen() ? FillFormat(static_cast<PcmFormat*>(argument)) : kConvFailure;
      case ConvGetDuration:
        if (argument == nullptr) return kConvArgumentMissing;
        return IsOpen() ? ReadDuration(static_cast<DWORD*>(argument)) : kConvFailure;
      default:
        return kConvNotSupported;
    }
  });
}

std::int32_t ReaderObject::Read(void* destination, DWORD* length) {
  return Guarded([&]() -> std::int32_t {
    if (!IsOpen() || destination == nullptr || length == nullptr) return kConvFailure;
    std::lock_guard lock(m_blockLock);
    if (!m_block.empty()) std::memcpy(destination, m_block.data(), m_block.size());
    *length = static_cast<DWORD>(m_block.size());
    return kConvSuccess;
  });
}

void ReaderObject::DeliverBlock(const BYTE* data, DWORD length, DWORD timeMs) {
  NotifyBlock(data, length, timeMs);
  PassToSink(data, length, timeMs);
}

void ReaderObject::NotifyBlock(const BYTE* data, DWORD length, DWORD timeMs) {
  {
    std::lock_guard lock(m_blockLock);
    m_block.assign(data, data + length);
  }
  SampleInfo info{length, timeMs, data};
  Notify(kConverterEventData, &info);
}

void ReaderObject::PassToSink(const BYTE* data, DWORD length, DWORD timeMs) {
  if (Converter* sink = m_sink) {
    SinkRecord record{length, data, timeMs, this};
    sink->Write(data, &record.length);
  }
}

void ReaderObject::DeliverEnd(const StreamDamage* damage) {
  if (HasCallback()) {
    Notify(kConverterEventEnd, const_cast<StreamDamage*>(damage));
  } else if (Converter* sink = m_sink) {
    SinkRecord record{kSinkEndOfStream, nullptr, 0, this};
    sink->Write(nullptr, &record.length);
  }
}

void ReaderObject::ForgetBlock() {
  std::lock_guard lock(m_blockLock);
  std::vector<BYTE>().swap(m_block);
}
