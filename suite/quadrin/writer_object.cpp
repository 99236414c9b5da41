// The writer's commands, with the format kept across the options, and its
// side as a reader's sink.
#include "suite/quadrin/writer_object.h"

#include "platform/base/last_error.h"
#include "platform/base/text_field.h"
#include "suite/quadrin/init_struct.h"

namespace quadrin {

WriterSink::WriterSink(std::shared_ptr<ComponentModule> module, ConverterPtr converter)
    : m_module(std::move(module)), m_converter(std::move(converter)) {}

std::int32_t WriterSink::Command(DWORD code, void* data) {
  std::lock_guard lock(m_lock);
  if (!m_converter) return kQuadrinFailed;
  if (code == kCmdOpen) {
    m_optionsTaken = false;
    m_pendingFormat.reset();
    m_formatApplied = false;
    m_started = false;
  }
  return m_converter->Command(code, data);
}

std::int32_t WriterSink::SetInputFormat(const PcmFormat& format) {
  std::lock_guard lock(m_lock);
  if (!m_converter || m_started) return kQuadrinFailed;
  const std::int32_t result = m_converter->Command(ConvSetInputFormat, const_cast<PcmFormat*>(&format));
  if (result == kConvSuccess) {
    m_formatApplied = true;
    m_pendingFormat.reset();
    return kQuadrinOk;
  }
  if (m_optionsTaken) return result;
  m_pendingFormat = format;
  return kQuadrinOk;
}

std::int32_t WriterSink::SetOptions(const TQuadrinInitStruct& options) {
  std::lock_guard lock(m_lock);
  if (!m_converter) return kQuadrinFailed;
  const std::int32_t result =
      m_converter->Command(ConvSetBitRate, const_cast<TQuadrinInitStruct*>(&options));
  m_optionsTaken = true;
  if (m_pendingFormat) {
    m_formatApplied =
        m_converter->Command(ConvSetInputFormat, &*m_pendingFormat) == kConvSuccess;
    if (m_formatApplied) m_pendingFormat.reset();
  }
  return result;
}

std::int32_t WriterSink::SetTags(const TagBlock* tags) {
  std::lock_guard lock(m_lock);
  if (!m_converter) return kQuadrinFailed;
  if (tags == nullptr) return m_converter->Command(ConvSetTags, nullptr);
  // The components take title, author and description.
  TagRecord record{};
  CopyToField(record.title, sizeof record.title, FieldText(tags->title, sizeof tags->title));
  CopyToField(record.author, sizeof record.author, FieldText(tags->artist, sizeof tags->artist));
  return m_converter->Command(ConvSetTags, &record);
}

bool WriterSink::StartLocked(const PcmFormat* readerFormat) {
  if (!m_converter) return false;
  if (m_started) return true;
  if (!m_formatApplied) {
    if (!m_pendingFormat && readerFormat != nullptr) m_pendingFormat = *readerFormat;
    if (!m_pendingFormat) return false;
    if (!m_optionsTaken) {
      TQuadrinInitStruct defaults = DefaultInitStruct();
      m_converter->Command(ConvSetBitRate, &defaults);
      m_optionsTaken = true;
    }
    if (m_converter->Command(ConvSetInputFormat, &*m_pendingFormat) != kConvSuccess) return false;
    m_formatApplied = true;
    m_pendingFormat.reset();
  }
  SetLastError(0);
  m_converter->Command(ConvStart, nullptr);
  // A writer that could not start its output shows as closed.
  if (m_converter->Command(ConvIsOpen, nullptr) != kConvSuccess) {
    KeepFailure();
    return false;
  }
  m_started = true;
  return true;
}

void WriterSink::KeepFailure() {
  if (m_failure == 0) m_failure = GetLastError();
}

DWORD WriterSink::Failure() const {
  std::lock_guard lock(m_lock);
  return m_failure;
}

bool WriterSink::StartForHost() {
  std::lock_guard lock(m_lock);
  return StartLocked(nullptr);
}

bool WriterSink::Begin(const PcmFormat& format) {
  std::lock_guard lock(m_lock);
  return StartLocked(&format);
}

bool WriterSink::Write(const BYTE* data, DWORD length) {
  std::lock_guard lock(m_lock);
  if (!m_converter || !m_started) return false;
  SetLastError(0);
  if (m_converter->Write(data, &length) == kConvSuccess) return true;
  KeepFailure();
  return false;
}

std::int32_t WriterSink::WriteBlock(const void* source, const DWORD* length) {
  std::lock_guard lock(m_lock);
  if (!m_converter || !m_started) return kQuadrinFailed;
  return m_converter->Write(source, length);
}

bool WriterSink::Finish(bool) { return Close(); }

bool WriterSink::Close() {
  ConverterPtr converter;
  {
    std::lock_guard lock(m_lock);
    converter = std::move(m_converter);
    m_started = false;
  }
  // Destroying the component completes its file, or reports why it could
  // not.
  SetLastError(0);
  if (DestroyConverter(converter) == kConvSuccess) return true;
  std::lock_guard lock(m_lock);
  KeepFailure();
  return false;
}

WriterObject::WriterObject(std::shared_ptr<ComponentModule> module, ConverterPtr converter)
    : m_sink(std::make_shared<WriterSink>(std::move(module), std::move(converter))) {}

std::int32_t WriterObject::Handle(DWORD code, void* data) {
  switch (code) {
    case kCmdSetInputFormat:
      if (data == nullptr) return kQuadrinFailed;
      return m_sink->SetInputFormat(*static_cast<const PcmFormat*>(data));
    case kCmdSetOptions:
      if (data == nullptr) return kQuadrinFailed;
      return m_sink->SetOptions(*static_cast<const TQuadrinInitStruct*>(data));
    case kCmdSetTags:
      return m_sink->SetTags(static_cast<const TagBlock*>(data));
    case kCmdStart:
      return m_sink->StartForHost() ? kQuadrinOk : kQuadrinFailed;
    default:
      return m_sink->Command(code, data);
  }
}

std::int32_t WriterObject::Write(const void* source, const DWORD* length) {
  try {
    return m_sink->WriteBlock(source, length);
  } catch (...) {
    return kQuadrinFailed;
  }
}

void WriterObject::Shutdown() { m_sink->Close(); }

}  // namespace quadrin
