// A writer module's communication object: a converter component that makes
// the output file, reached by the host through commands and by a reader
// object as its sink.
//
// Hosts send the input format (4) before the options (9), while a component
// may take a format only after its options (the WMA writer applies it to the
// input of the profile that the options choose). The object therefore keeps
// a format the component refuses before any options came, and hands it on
// right after the component has taken them; a writer that is started without
// ever getting options gets the layer's defaults first.
#pragma once

#include <memory>
#include <mutex>
#include <optional>

#include "converters/component_loader.h"
#include "suite/quadrin/block_sink.h"
#include "suite/quadrin/communication_object.h"

namespace quadrin {

class WriterSink final : public BlockSink {
 public:
  WriterSink(std::shared_ptr<ComponentModule> module, ConverterPtr converter);

  std::int32_t Command(DWORD code, void* data);
  std::int32_t SetInputFormat(const PcmFormat& format);
  std::int32_t SetOptions(const TQuadrinInitStruct& options);
  std::int32_t SetTags(const TagBlock* tags);
  std::int32_t WriteBlock(const void* source, const DWORD* length);
  // Finishes the output file and lets the component go; false when the
  // file could not be completed (Failure() says why).
  bool Close();

  // Starts the output for a host that writes the blocks itself.
  bool StartForHost();

  bool Begin(const PcmFormat& format) override;
  bool Write(const BYTE* data, DWORD length) override;
  bool Finish(bool complete) override;
  DWORD Failure() const override;

 private:
  bool StartLocked(const PcmFormat* readerFormat);
  // The component's reason for the failure it just reported.
  void KeepFailure();

  mutable std::mutex m_lock;
  // The module goes after the converter it made.
  std::shared_ptr<ComponentModule> m_module;
  ConverterPtr m_converter;  // null once closed
  bool m_optionsTaken = false;
  std::optional<PcmFormat> m_pendingFormat;  // kept until the options come
  bool m_formatApplied = false;
  bool m_started = false;
  DWORD m_failure = 0;
};

class WriterObject final : public CommunicationObject {
 public:
  WriterObject(std::shared_ptr<ComponentModule> module, ConverterPtr converter);

  ModuleStyle Style() const override { return kStyleWriter; }
  std::int32_t Write(const void* source, const DWORD* length) override;
  const std::shared_ptr<WriterSink>& Sink() const { return m_sink; }

 protected:
  std::int32_t Handle(DWORD code, void* data) override;
  void Shutdown() override;

 private:
  std::shared_ptr<WriterSink> m_sink;
};

}  // namespace quadrin
