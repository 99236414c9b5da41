// The WMA reader converter object (Lumbrix): opens a WMA file with the
// media layer's reader, reports its PCM format, duration and text tags, and
// hands each decoded block to the host's callback and sample sink from the
// delivery thread.
#pragma once

#include <atomic>

#include "converters/reader_object.h"
#include "platform/base/sync.h"
#include "platform/com/com_ptr.h"
#include "platform/media/wm_interfaces.h"

class WmaReader final : public ReaderObject {
 public:
  WmaReader();
  // False when the object could not be built completely.
  bool Valid() const { return static_cast<bool>(m_opened); }

  std::int32_t Destroy(DWORD ignored) override;

 private:
  // The media layer's view of this object: status and samples. Embedded,
  // with the object's own reference that is never given up.
  class ReaderCallback final : public IWMReaderCallback {
   public:
    explicit ReaderCallback(WmaReader& owner) : m_owner(owner) {}
    HRESULT QueryInterface(REFIID, void** object) override;
    ULONG AddRef() override { return ++m_refs; }
    ULONG Release() override { return --m_refs; }
    HRESULT OnStatus(WMT_STATUS status, HRESULT result, WMT_ATTR_DATATYPE type, BYTE* value,
                     void* context) override;
    HRESULT OnSample(DWORD outputNumber, QWORD sampleTime, QWORD sampleDuration, DWORD flags,
                     INSSBuffer* sample, void* context) override;

   private:
    WmaReader& m_owner;
    std::atomic<ULONG> m_refs{1};
  };

  ~WmaReader() = default;
  bool IsOpen() const override { return static_cast<bool>(m_reader); }
  std::int32_t OpenFile(const char* path) override;
  std::int32_t StartDelivery() override;
  std::int32_t StopDelivery() override;
  void CopyTag(DWORD code, char* buffer) override;
  std::int32_t FillFormat(PcmFormat* format) override;
  std::int32_t ReadDuration(DWORD* milliseconds) override;
  void Close();
  HRESULT OnSample(QWORD sampleTime, QWORD sampleDuration, INSSBuffer* sample);
  // The end of the file: whole, or with what cut it short.
  void OnEnd(HRESULT result);

  ReaderCallback m_callback{*this};
  ComPtr<IWMReader> m_reader;  // null while no file is open
  UniqueHandle m_opened;       // manual reset
  std::atomic<HRESULT> m_openStatus{S_OK};
  // Of the current delivery, kept on the delivery thread: 100-ns units.
  QWORD m_deliveredTime = 0;
  QWORD m_endTime = 0;
};
