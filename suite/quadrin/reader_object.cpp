// A conversion's run: the component delivers on its own thread; each block
// goes to the sink and becomes a progress notification; the component's end
// (of the source, or of a stop) finishes the sink and becomes the one end
// notification.
#include "suite/quadrin/reader_object.h"

#include "converters/stream_damage.h"
#include "platform/base/last_error.h"
#include "platform/base/text_field.h"
#include "suite/quadrin/writer_object.h"

namespace quadrin {

ReaderObject::ReaderObject(std::shared_ptr<ComponentModule> module, ConverterPtr converter)
    : m_module(std::move(module)), m_converter(std::move(converter)) {}

std::int32_t ReaderObject::Handle(DWORD code, void* data) {
  switch (code) {
    case kCmdOpen:
      if (data == nullptr) return kQuadrinFailed;
      return Open(*static_cast<const TrackEntry*>(data));
    case kCmdConnect: {
      if (data == nullptr) {
        m_sink.reset();
        return kQuadrinOk;
      }
      CommunicationObject* writer = FromHost(static_cast<ICommunication*>(data));
      std::shared_ptr<BlockSink> sink =
          writer != nullptr && writer->Style() == kStyleWriter
              ? static_cast<WriterObject*>(writer)->Sink()
              : nullptr;
      if (!sink || m_running) return kQuadrinFailed;
      m_sink = std::move(sink);
      return kQuadrinOk;
    }
    case kCmdStart:
      return Start();
    case kCmdAbort:
      Abort();
      return kQuadrinOk;
    default:
      // Format, length, tags, options: the component's own answers.
      return m_converter->Command(code, data);
  }
}

std::int32_t ReaderObject::Open(const TrackEntry& entry) {
  if (m_running) return kQuadrinFailed;
  m_open = false;
  std::string path(FieldText(entry.sourcePath, sizeof entry.sourcePath));
  const std::int32_t result = m_converter->Command(ConvOpen, path.data());
  if (result != kConvSuccess) return result;
  m_format = PcmFormat{};
  m_lengthMs = 0;
  m_converter->Command(ConvGetFormat, &m_format);
  m_converter->Command(ConvGetDuration, &m_lengthMs);
  m_bytesPerSecond = PcmRateOfCode(m_format.rateCode) * PcmChannelsOfCode(m_format.channelCode) *
                     PcmBitsOfCode(m_format.sizeCode) / 8;
  m_open = true;
  return kQuadrinOk;
}

std::int32_t ReaderObject::Start() {
  if (!m_open || !m_sink || m_running) return kQuadrinFailed;
  if (!m_sink->Begin(m_format)) return kQuadrinFailed;
  m_bytesDone = 0;
  m_failed = false;
  m_aborting = false;
  {
    std::lock_guard lock(m_reasonLock);
    m_reason.clear();
  }
  m_ended = false;
  m_running = true;
  m_converter->SetNotifyCallback(&ReaderObject::OnEvent, reinterpret_cast<ConverterUserData>(this));
  if (m_converter->Command(ConvStart, nullptr) != kConvSuccess) {
    m_running = false;
    m_ended = true;
    m_sink->Finish(false);
    return kQuadrinFailed;
  }
  return kQuadrinOk;
}

void ReaderObject::Abort() {
  if (!m_running || m_ended) return;
  m_aborting = true;
  // The component ends its delivery and reports the end right here.
  m_converter->Command(ConvStop, nullptr);
  EndRun(kTransferAborted);
}

void ReaderObject::OnEvent(Converter*, DWORD event, void* data, ConverterUserData user) {
  auto* self = reinterpret_cast<ReaderObject*>(user);
  // Nothing thrown here may reach the component's delivery thread.
  try {
    if (event == kConverterEventData && data != nullptr) {
      self->OnBlock(*static_cast<const SampleInfo*>(data));
    } else if (event == kConverterEventEnd) {
      // A source that its damage cut short is no complete conversion.
      if (data != nullptr && !self->m_failed) {
        self->KeepReason("the source is " + DescribeDamage(*static_cast<const StreamDamage*>(data)));
        self->m_failed = true;
      }
      self->EndRun(self->m_failed ? kTransferFailed
                   : self->m_aborting ? kTransferAborted
                                      : kTransferCompleted);
    }
  } catch (...) {
    // The run goes on to its end, as failed.
    self->m_failed = true;
    if (event == kConverterEventEnd) self->Notifications()->Send(kTransferFailed, kNotifyEnd, nullptr);
  }
}

void ReaderObject::OnBlock(const SampleInfo& block) {
  if (m_ended || m_failed) return;
  if (!m_sink->Write(block.data, block.length)) {
    // The output cannot take more (a full disk, a closed writer): the run
    // stops; the stop's end event ends it as failed.
    if (const DWORD failure = m_sink->Failure()) KeepReason(SystemMessage(failure));
    m_failed = true;
    m_converter->Command(ConvStop, nullptr);
    return;
  }
  m_bytesDone += block.length;
  ReaderProgress progress{block.length, block.time, m_lengthMs};
  if (m_bytesPerSecond != 0) {
    progress.doneMs = static_cast<DWORD>(m_bytesDone * 1000 / m_bytesPerSecond);
  }
  Notifications()->Send(0, kNotifyProgress, &progress);
}

void ReaderObject::KeepReason(const std::string& reason) {
  std::lock_guard lock(m_reasonLock);
  if (m_reason.empty()) m_reason = reason;
}

void ReaderObject::EndRun(TransferResult result) {
  if (m_ended.exchange(true)) return;
  if (!m_sink->Finish(result == kTransferCompleted) && result == kTransferCompleted) {
    result = kTransferFailed;
    const DWORD failure = m_sink->Failure();
    KeepReason(failure != 0 ? SystemMessage(failure) : "the output could not be completed");
  }
  m_running = false;
  std::string reason;
  if (result == kTransferFailed) {
    std::lock_guard lock(m_reasonLock);
    reason = m_reason;
  }
  Notifications()->Send(result, kNotifyEnd, reason.empty() ? nullptr : reason.data());
}

std::int32_t ReaderObject::Read(void* destination, DWORD* length) {
  try {
    return m_converter->Read(destination, length);
  } catch (...) {
    return kQuadrinFailed;
  }
}

void ReaderObject::Shutdown() {
  Abort();
  m_converter.reset();
}

}  // namespace quadrin
