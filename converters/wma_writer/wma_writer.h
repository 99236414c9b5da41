// The WMA writer converter object (Wentrix): encodes the PCM blocks its
// host writes into a WMA file with the media layer's writer, choosing a
// system profile by the requested bit rate and storing three text tags.
#pragma once

#include "converters/converter_object.h"
#include "platform/com/com_ptr.h"
#include "platform/media/wm_interfaces.h"

#include <string>

class WmaWriter final : public ConverterObject {
 public:
  std::int32_t Destroy(DWORD ignored) override;
  std::int32_t Command(DWORD code, void* argument) override;
  std::int32_t Read(void*, DWORD*) override { return kConvSuccess; }
  std::int32_t Write(const void* source, const DWORD* length) override;

 private:
  ~WmaWriter() = default;
  std::int32_t Open(const char* path);
  // The result of ending the file that was being written (S_OK when none
  // was).
  HRESULT Close();
  void SetBitRate(const void* settings);
  std::int32_t SetInputFormat(const PcmFormat& format);
  void SetTags(const TagRecord& tags);
  void Start();

  std::u16string m_outputName;
  ComPtr<IWMWriter> m_writer;                // null while no file is open
  ComPtr<IWMInputMediaProps> m_inputProps;  // fetched by the bit rate command
  QWORD m_sampleTime = 0;                    // 100-ns units
  DWORD m_bitRate = 0;                       // 0: no profile chosen yet
  bool m_writing = false;                    // since a successful start
  // The format last accepted since the open; nAvgBytesPerSec 0 until then.
  WAVEFORMATEX m_inputFormat{};
};
