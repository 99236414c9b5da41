// What every reader component shares: the contract's reader commands with
// their argument checks, the most recent block that a host may Read again,
// and the delivery of a block or of the end of the stream to the host's
// callback and sample sink. A component supplies the actions.
#pragma once

#include <atomic>
#include <mutex>
#include <vector>

#include "converters/converter_object.h"

class ReaderObject : public ConverterObject {
 public:
  std::int32_t Command(DWORD code, void* argument) final;
  std::int32_t Read(void* destination, DWORD* length) final;
  std::int32_t Write(const void*, const DWORD*) final { return kConvSuccess; }

 protected:
  ReaderObject() = default;
  ~ReaderObject() = default;

  // The component's part of the commands; arguments are checked already.
  virtual bool IsOpen() const = 0;
  virtual std::int32_t OpenFile(const char* path) = 0;
  virtual std::int32_t StartDelivery() = 0;
  // The host hears of the end from the component, whatever became of the stop.
  virtual std::int32_t StopDelivery() = 0;
  // code is ConvGetTitle, ConvGetAuthor or ConvGetDescription; a missing tag
  // leaves the caller's buffer as it was.
  virtual void CopyTag(DWORD code, char* buffer) = 0;
  // Fields outside the contract's lists are left as they were.
  virtual std::int32_t FillFormat(PcmFormat* format) = 0;
  virtual std::int32_t ReadDuration(DWORD* milliseconds) = 0;

  // From the delivery thread: NotifyBlock keeps the block for Read and tells
  // the callback, PassToSink hands it to the sample sink; DeliverBlock does
  // both.
  void DeliverBlock(const BYTE* data, DWORD length, DWORD timeMs);
  void NotifyBlock(const BYTE* data, DWORD length, DWORD timeMs);
  void PassToSink(const BYTE* data, DWORD length, DWORD timeMs);
  // The end of the stream: to the callback when there is one (with what
  // was wrong with the file, if anything), else to the sink as its
  // end-of-stream record.
  void DeliverEnd(const StreamDamage* damage = nullptr);
  void ForgetBlock();

 private:
  std::atomic<Converter*> m_sink{nullptr};
  // Read may come from another thread than the delivery.
  std::mutex m_blockLock;
  std::vector<BYTE> m_block;
};
