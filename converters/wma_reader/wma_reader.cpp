// Lumbrix's converter object.
#include "converters/wma_reader/wma_reader.h"

#include <cstring>
#include <string>

#include "platform/base/codepage.h"
#include "platform/base/text_field.h"

namespace {

constexpr DWORD kTagBufferBytes = 2048;
constexpr DWORD kMediaTypeBufferBytes = 1024;
constexpr QWORD kHundredNsPerMs = 10000;

// What a host can tell of a refused file: missing, not WMA, damaged; the
// media layer's other reasons as they are.
DWORD OpenError(HRESULT status) {
  if (status == kMediaUnsupported) return ERROR_BAD_FORMAT;  // audio no WMA decoder reads
  const DWORD code = Win32ErrorOfHResult(status);
  if (code == 0 || code == static_cast<DWORD>(ERROR_INVALID_DATA)) return ERROR_FILE_CORRUPT;
  return code;
}

}  // namespace

WmaReader::WmaReader() : m_opened(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}

std::int32_t WmaReader::Destroy(DWORD) {
  Close();
  delete this;
  return kConvSuccess;
}

std::int32_t WmaReader::OpenFile(const char* path) {
  Close();
  const std::u16string url = AnsiToWide(path);
  IWMReader* reader = nullptr;
  if (FAILED(WMCreateReaderPriv(&reader))) return kConvFailure;
  m_reader = ComPtr<IWMReader>::Attach(reader);
  m_openStatus = S_OK;
  ResetEvent(m_opened.Get());
  // A refused Open keeps the reader until the next close.
  if (const HRESULT hr = m_reader->Open(url.c_str(), &m_callback, nullptr); FAILED(hr)) {
    return FailWith(OpenError(hr));
  }
  // The media layer always reports the end of an open, success or failure.
  WaitForSingleObject(m_opened.Get(), INFINITE);
  if (const HRESULT status = m_openStatus.load(); FAILED(status)) {
    Close();
    return FailWith(OpenError(status));
  }
  DWORD outputs = 0;
  if (SUCCEEDED(m_reader->GetOutputCount(&outputs)) && outputs == 1) return kConvSuccess;
  // More than one audio or video stream: the contract has one output.
  Close();
  return FailWith(ERROR_NOT_SUPPORTED);
}

void WmaReader::Close() {
  if (m_reader) {
    m_reader->Stop();
    m_reader.Reset();
  }
  ForgetBlock();
}

std::int32_t WmaReader::StartDelivery() {
  if (!m_reader) return kConvFailure;
  // The delivery thread starts after these, and is the only one to touch
  // them until it ends.
  m_deliveredTime = 0;
  m_endTime = 0;
  return SUCCEEDED(m_reader->Start(0, 0, 1.0f, nullptr)) ? kConvSuccess : kConvFailure;
}

std::int32_t WmaReader::StopDelivery() {
  const bool stopped = m_reader && SUCCEEDED(m_reader->Stop());
  // The host hears of the end whatever became of the stop.
  Notify(kConverterEventEnd, nullptr);
  return stopped ? kConvSuccess : kConvFailure;
}

void WmaReader::CopyTag(DWORD code, char* buffer) {
  const char16_t* name = code == ConvGetTitle    ? u"Title"
                         : code == ConvGetAuthor ? u"Author"
                                                 : u"Description";
  ComPtr<IWMHeaderInfo> info;
  if (!m_reader || FAILED(m_reader->QueryInterface(IID_IWMHeaderInfo, info.OutVoid()))) return;
  char16_t value[kTagBufferBytes / sizeof(char16_t)];
  WORD stream = 0;
  WMT_ATTR_DATATYPE type = WMT_TYPE_STRING;
  WORD length = kTagBufferBytes;
  const HRESULT hr =
      info->GetAttributeByName(&stream, name, &type, reinterpret_cast<BYTE*>(value), &length);
  info.Reset();
  if (FAILED(hr)) return;
  std::u16string_view text(value, length / sizeof(char16_t));
  text = text.substr(0, text.find(u'\0'));
  CopyToField(buffer, kTagTextSize, WideToAnsi(text));
}

std::int32_t WmaReader::FillFormat(PcmFormat* format) {
  if (!m_reader) return kConvFailure;
  ComPtr<IWMOutputMediaProps> props;
  if (FAILED(m_reader->GetOutputProps(0, props.Out()))) return kConvFailure;
  alignas(WM_MEDIA_TYPE) BYTE buffer[kMediaTypeBufferBytes];
  auto* type = reinterpret_cast<WM_MEDIA_TYPE*>(buffer);
  DWORD size = sizeof buffer;
  const HRESULT hr = props->GetMediaType(type, &size);
  props.Reset();
  if (FAILED(hr) || !IsEqualGUID(type->majortype, WMMEDIATYPE_Audio)) return kConvFailure;
  if (type->pbFormat == nullptr || type->cbFormat < sizeof(WAVEFORMATEX)) return kConvFailure;
  WAVEFORMATEX wave;
  std::memcpy(&wave, type->pbFormat, sizeof wave);
  // A value outside the lists leaves the caller's field as it was.
  if (DWORD code = PcmChannelsCode(wave.nChannels)) format->channelCode = code;
  if (DWORD code = PcmRateCode(wave.nSamplesPerSec)) format->rateCode = code;
  if (DWORD code = PcmBitsCode(wave.wBitsPerSample)) format->sizeCode = code;
  format->flags |= kPcmFormatFilled;
  return kConvSuccess;
}

std::int32_t WmaReader::ReadDuration(DWORD* milliseconds) {
  ComPtr<IWMHeaderInfo> info;
  if (!m_reader || FAILED(m_reader->QueryInterface(IID_IWMHeaderInfo, info.OutVoid()))) {
    return kConvFailure;
  }
  QWORD value = 0;
  WORD stream = 0;
  WMT_ATTR_DATATYPE type = WMT_TYPE_QWORD;
  WORD length = sizeof value;
  if (FAILED(info->GetAttributeByName(&stream, u"Duration", &type,
                                      reinterpret_cast<BYTE*>(&value), &length))) {
    *milliseconds = 0;
    return kConvFailure;
  }
  *milliseconds = static_cast<DWORD>(value / kHundredNsPerMs);
  return kConvSuccess;
}

HRESULT WmaReader::OnSample(QWORD sampleTime, QWORD sampleDuration, INSSBuffer* sample) {
  BYTE* data = nullptr;
  DWORD length = 0;
  if (sample == nullptr || FAILED(sample->GetBufferAndLength(&data, &length))) {
    ForgetBlock();
    return E_UNEXPECTED;
  }
  m_deliveredTime += sampleDuration;
  m_endTime = sampleTime + sampleDuration;
  DeliverBlock(data, length, static_cast<DWORD>(sampleTime / kHundredNsPerMs));
  return S_OK;
}

void WmaReader::OnEnd(HRESULT result) {
  if (SUCCEEDED(result)) {
    DeliverEnd();
    return;
  }
  StreamDamage damage{};
  const DWORD code = Win32ErrorOfHResult(result);
  damage.error = code == 0 || code == static_cast<DWORD>(ERROR_INVALID_DATA)
                     ? static_cast<DWORD>(ERROR_FILE_CORRUPT)
                     : code;
  damage.stoppedAtMs = static_cast<DWORD>(m_endTime / kHundredNsPerMs);
  damage.deliveredMs = static_cast<DWORD>(m_deliveredTime / kHundredNsPerMs);
  DWORD duration = 0;
  if (ReadDuration(&duration) == kConvSuccess) damage.durationMs = duration;
  DeliverEnd(&damage);
}

HRESULT WmaReader::ReaderCallback::QueryInterface(REFIID, void** object) {
  if (object != nullptr) *object = nullptr;
  return E_NOINTERFACE;
}

HRESULT WmaReader::ReaderCallback::OnStatus(WMT_STATUS status, HRESULT result, WMT_ATTR_DATATYPE,
                                            BYTE*, void*) {
  if (status == WMT_OPENED) {
    m_owner.m_openStatus = result;
    SetEvent(m_owner.m_opened.Get());
  } else if (status == WMT_EOF) {
    m_owner.OnEnd(result);
  }
  return S_OK;
}

HRESULT WmaReader::ReaderCallback::OnSample(DWORD, QWORD sampleTime, QWORD sampleDuration, DWORD,
                                            INSSBuffer* sample, void*) {
  // Nothing thrown here may reach the media layer's thread.
  try {
    return m_owner.OnSample(sampleTime, sampleDuration, sample);
  } catch (...) {
    return E_OUTOFMEMORY;
  }
}
