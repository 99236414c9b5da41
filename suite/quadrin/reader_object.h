// A reader module's communication object: a converter component that
// decodes a source, whose blocks the object passes on to its sink (the
// writer of the conversion) while it reports progress to the host.
#pragma once

#include <atomic>
#include <memory>
#include <mutex>
#include <string>

#include "converters/component_loader.h"
#include "suite/quadrin/block_sink.h"
#include "suite/quadrin/communication_object.h"

namespace quadrin {

class ReaderObject final : public CommunicationObject {
 public:
  ReaderObject(std::shared_ptr<ComponentModule> module, ConverterPtr converter);

  ModuleStyle Style() const override { return kStyleReader; }
  std::int32_t Read(void* destination, DWORD* length) override;

  // The layer's own use: the source's format and length once opened, and a
  // sink of the layer's own instead of a writer object.
  std::int32_t Open(const TrackEntry& entry);
  const PcmFormat& Format() const { return m_format; }
  DWORD LengthMs() const { return m_lengthMs; }
  void Connect(std::shared_ptr<BlockSink> sink) { m_sink = std::move(sink); }
  std::int32_t Start();
  void Abort();

 protected:
  std::int32_t Handle(DWORD code, void* data) override;
  void Shutdown() override;

 private:
  static void OnEvent(Converter* converter, DWORD event, void* data, ConverterUserData user);
  void OnBlock(const SampleInfo& block);
  void EndRun(TransferResult result);
  // The first reason a run failed for, told with its end.
  void KeepReason(const std::string& reason);

  // The module goes after the converter it made.
  std::shared_ptr<ComponentModule> m_module;
  ConverterPtr m_converter;
  std::shared_ptr<BlockSink> m_sink;
  bool m_open = false;
  PcmFormat m_format{};
  DWORD m_lengthMs = 0;
  DWORD m_bytesPerSecond = 0;  // 0 when the format is not one the contract lists
  // A run: from a successful start to its one end notification.
  std::atomic<bool> m_running{false};
  std::atomic<bool> m_ended{true};
  std::atomic<bool> m_failed{false};
  std::atomic<bool> m_aborting{false};
  std::uint64_t m_bytesDone = 0;  // the delivery thread's
  std::mutex m_reasonLock;        // an abort ends the run on the host's thread
  std::string m_reason;
};

}  // namespace quadrin
