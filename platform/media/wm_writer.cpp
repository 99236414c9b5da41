// The writer object: profile, input format, output file and header
// attributes, then samples encoded in the order they come.
#include <mutex>
#include <new>

#include "platform/base/partial_output.h"
#include "platform/com/com_object.h"
#include "platform/media/asf_tags.h"
#include "platform/media/header_attributes.h"
#include "platform/media/media_support.h"
#include "platform/media/media_type.h"
#include "platform/media/nss_buffer.h"
#include "platform/media/wma_encoder.h"

namespace qap::media {
namespace {

int BitRateOfProfile(REFGUID profile) {
  if (IsEqualGUID(profile, WMProfile_V40_64Audio)) return 64000;
  if (IsEqualGUID(profile, WMProfile_V40_96Audio)) return 96000;
  if (IsEqualGUID(profile, WMProfile_V40_128Audio)) return 128000;
  return 0;
}

// What input 0 takes until SetInputProps says otherwise: CD audio.
constexpr WAVEFORMATEX kDefaultInput{WAVE_FORMAT_PCM, 2, 44100, 176400, 4, 16, 0};

class WMWriter final : public ComObject<WMWriter, IWMWriter, IWMHeaderInfo> {
 public:
  InterfaceTable Interfaces() {
    return {{&IID_IWMHeaderInfo, static_cast<IWMHeaderInfo*>(this)}};
  }

  HRESULT SetProfileByID(REFGUID profile) override;
  HRESULT SetOutputFilename(LPCWSTR fileName) override;
  HRESULT GetInputProps(DWORD inputNumber, IWMInputMediaProps** input) override;
  HRESULT SetInputProps(DWORD inputNumber, IWMInputMediaProps* input) override;
  HRESULT BeginWriting() override;
  HRESULT EndWriting() override;
  HRESULT AllocateSample(DWORD size, INSSBuffer** sample) override;
  HRESULT WriteSample(DWORD inputNumber, QWORD sampleTime, DWORD flags,
                      INSSBuffer* sample) override;
  HRESULT Flush() override { return S_OK; }

  HRESULT GetAttributeByName(WORD* streamNumber, LPCWSTR name, WMT_ATTR_DATATYPE* type,
                             BYTE* value, WORD* length) override;
  HRESULT SetAttribute(WORD streamNumber, LPCWSTR name, WMT_ATTR_DATATYPE type, const BYTE* value,
                       WORD length) override;

 private:
  friend ComObject<WMWriter, IWMWriter, IWMHeaderInfo>;
  ~WMWriter();

  HRESULT EndWritingLocked();

  std::mutex m_mutex;
  int m_bitRate = 0;  // 0 until a profile is chosen
  WAVEFORMATEX m_input = kDefaultInput;
  std::u16string m_fileName;
  HeaderAttributes m_attributes;
  std::string m_hostPath;                  // of the file being written
  std::unique_ptr<WmaEncoder> m_encoder;  // present while writing
};

WMWriter::~WMWriter() {
  // A writer let go while writing still leaves a complete file (or none).
  std::lock_guard lock(m_mutex);
  if (m_encoder) EndWritingLocked();
}

HRESULT WMWriter::SetProfileByID(REFGUID profile) {
  std::lock_guard lock(m_mutex);
  if (m_encoder) return NS_E_INVALID_REQUEST;
  const int bitRate = BitRateOfProfile(profile);
  if (bitRate == 0) return E_INVALIDARG;
  m_bitRate = bitRate;
  return S_OK;
}

HRESULT WMWriter::SetOutputFilename(LPCWSTR fileName) {
  if (fileName == nullptr) return E_POINTER;
  std::lock_guard lock(m_mutex);
  if (m_encoder) return NS_E_INVALID_REQUEST;
  m_fileName = fileName;
  return S_OK;
}

HRESULT WMWriter::GetInputProps(DWORD inputNumber, IWMInputMediaProps** input) {
  if (input == nullptr) return E_POINTER;
  *input = nullptr;
  if (inputNumber != 0) return E_INVALIDARG;
  std::lock_guard lock(m_mutex);
  // Inputs come from the profile.
  if (m_bitRate == 0) return NS_E_INVALID_REQUEST;
  *input = MediaProps<IWMInputMediaProps>::Create(MediaType::Pcm(m_input)).Detach();
  return *input != nullptr ? S_OK : E_OUTOFMEMORY;
}

HRESULT WMWriter::SetInputProps(DWORD inputNumber, IWMInputMediaProps* input) {
  if (input == nullptr) return E_POINTER;
  if (inputNumber != 0) return E_INVALIDARG;
  MediaType type;
  if (HRESULT hr = MediaType::Of(input, &type); FAILED(hr)) return hr;
  WAVEFORMATEX format{};
  if (!type.WaveFormat(&format) || !WmaEncoder::Accepts(format)) return E_INVALIDARG;
  std::lock_guard lock(m_mutex);
  if (m_encoder || m_bitRate == 0) return NS_E_INVALID_REQUEST;
  m_input = format;
  return S_OK;
}

HRESULT WMWriter::BeginWriting() {
  std::lock_guard lock(m_mutex);
  if (m_encoder || m_bitRate == 0) return NS_E_INVALID_REQUEST;
  if (m_fileName.empty()) return E_INVALIDARG;
  const std::string hostPath = HostPathOf(m_fileName.c_str());
  HRESULT hr = WmaEncoder::Create(hostPath, m_input, m_bitRate, &m_encoder);
  if (SUCCEEDED(hr)) m_hostPath = hostPath;
  return hr;
}

HRESULT WMWriter::EndWriting() {
  std::lock_guard lock(m_mutex);
  if (!m_encoder) return NS_E_INVALID_REQUEST;
  return EndWritingLocked();
}

HRESULT WMWriter::EndWritingLocked() {
  HRESULT hr = m_encoder->Finish();
  m_encoder.reset();
  const auto title = m_attributes.String(u"Title");
  const auto author = m_attributes.String(u"Author");
  const auto description = m_attributes.String(u"Description");
  if (SUCCEEDED(hr) && (title || author || description)) {
    hr = WriteContentDescription(m_hostPath, title.value_or(u""), author.value_or(u""),
                                 description.value_or(u""));
  }
  // A file that could not be completed is no file: a full disk must not
  // leave a cut file behind that looks finished.
  if (FAILED(hr)) RemovePartialOutput(m_hostPath);
  return hr;
}

HRESULT WMWriter::AllocateSample(DWORD size, INSSBuffer** sample) {
  if (sample == nullptr) return E_POINTER;
  *sample = NssBuffer::Create(size).Detach();
  return *sample != nullptr ? S_OK : E_OUTOFMEMORY;
}

HRESULT WMWriter::WriteSample(DWORD inputNumber, QWORD sampleTime, DWORD, INSSBuffer* sample) {
  if (sample == nullptr) return E_POINTER;
  if (inputNumber != 0) return E_INVALIDARG;
  BYTE* data = nullptr;
  DWORD length = 0;
  if (HRESULT hr = sample->GetBufferAndLength(&data, &length); FAILED(hr)) return hr;
  std::lock_guard lock(m_mutex);
  if (!m_encoder) return NS_E_INVALID_REQUEST;
  return m_encoder->Write(data, length, sampleTime);
}

HRESULT WMWriter::GetAttributeByName(WORD* streamNumber, LPCWSTR name, WMT_ATTR_DATATYPE* type,
                                     BYTE* value, WORD* length) {
  std::lock_guard lock(m_mutex);
  return m_attributes.Get(streamNumber, name, type, value, length);
}

HRESULT WMWriter::SetAttribute(WORD streamNumber, LPCWSTR name, WMT_ATTR_DATATYPE type,
                               const BYTE* value, WORD length) {
  std::lock_guard lock(m_mutex);
  // The header is on disk once writing has begun.
  if (m_encoder) return NS_E_INVALID_REQUEST;
  return m_attributes.Set(streamNumber, name, type, value, length);
}

}  // namespace
}  // namespace qap::media

HRESULT WMCreateWriterPriv(IWMWriter** writer) {
  if (writer == nullptr) return E_POINTER;
  *writer = new (std::nothrow) qap::media::WMWriter;
  return *writer != nullptr ? S_OK : E_OUTOFMEMORY;
}
