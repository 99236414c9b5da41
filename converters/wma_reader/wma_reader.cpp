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

}  // namespace

WmaReader::WmaReader() : m_opened(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}

std::int32_t WmaReader::Destroy(DWORD) {
  Close();
  delete this;
  return kConvSuccess;
}

std::int32_t WmaReader::Command(DWORD code, void* argument) {
  return Guarded([&]() -> std::int32_t {
    switch (code) {
      case ConvOpen:
        if (argument == nullptr) return kConvArgumentMissing;
        return Open(static_cast<const char*>(argument));
      case ConvSetSink:
        m_sink = static_cast<Converter*>(argument);
        return kConvSuccess;
      case ConvGetKind:
        if (argument == nullptr) return kConvArgumentMissing;
        *static_cast<DWORD*>(argument) = kModuleStyleReader;
        return kConvSuccess;
      case ConvStart:
        return m_reader && SUCCEEDED(m_reader->Start(0, 0, 1.0f, nullptr)) ? kConvSuccess
                                                                          : kConvFailure;
      case ConvStop:
        return Stop();
      case ConvGetTitle:
      case ConvGetAuthor:
      case ConvGetDescription: {
        if (argument == nullptr) return kConvArgumentMissing;
        const char16_t* name = code == ConvGetTitle    ? u"Title"
                               : code == ConvGetAuthor ? u"Author"
                                                       : u"Description";
        GetTag(name, static_cast<char*>(argument));
        return kConvSuccess;
      }
      case ConvGetFormat:
        if (argument == nullptr) return kConvArgumentMissing;
        return GetFormat(static_cast<PcmFormat*>(argument));
      case ConvGetDuration:
        if (argument == nullptr) return kConvArgumentMissing;
        return GetDuration(static_cast<DWORD*>(argument));
      default:
        return kConvNotSupported;
    }
  });
}

std::int32_t WmaReader::Open(const char* path) {
  Close();
  const std::u16string url = AnsiToWide(path);
  IWMReader* reader = nullptr;
  if (FAILED(WMCreateReaderPriv(&reader))) return kConvFailure;
  m_reader = ComPtr<IWMReader>::Attach(reader);
  m_openStatus = S_OK;
  ResetEvent(m_opened.get());
  // A refused Open keeps the reader until the next close.
  if (FAILED(m_reader->Open(url.c_str(), &m_callback, nullptr))) return kConvFailure;
  // The media layer always reports the end of an open, success or failure.
  WaitForSingleObject(m_opened.get(), INFINITE);
  if (FAILED(m_openStatus.load())) {
    Close();
    return kConvFailure;
  }
  DWORD outputs = 0;
  if (SUCCEEDED(m_reader->GetOutputCount(&outputs)) && outputs == 1) return kConvSuccess;
  Close();
  return kConvFailure;
}

void WmaReader::Close() {
  if (m_reader) {
    m_reader->Stop();
    m_reader.Reset();
  }
  std::lock_guard lock(m_blockLock);
  std::vector<BYTE>().swap(m_block);
}

std::int32_t WmaReader::Stop() {
  const bool stopped = m_reader && SUCCEEDED(m_reader->Stop());
  // The host hears of the end whatever became of the stop.
  Notify(kConverterEventEnd, nullptr);
  return stopped ? kConvSuccess : kConvFailure;
}

void WmaReader::GetTag(const char16_t* name, char* buffer) {
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

std::int32_t WmaReader::GetFormat(PcmFormat* format) {
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

std::int32_t WmaReader::GetDuration(DWORD* milliseconds) {
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

std::int32_t WmaReader::Read(void* destination, DWORD* length) {
  return Guarded([&]() -> std::int32_t {
    if (!m_reader || destination == nullptr || length == nullptr) return kConvFailure;
    std::lock_guard lock(m_blockLock);
    if (!m_block.empty()) std::memcpy(destination, m_block.data(), m_block.size());
    *length = static_cast<DWORD>(m_block.size());
    return kConvSuccess;
  });
}

HRESULT WmaReader::OnSample(QWORD sampleTime, INSSBuffer* sample) {
  BYTE* data = nullptr;
  DWORD length = 0;
  {
    std::lock_guard lock(m_blockLock);
    m_block.clear();
    if (sample == nullptr || FAILED(sample->GetBufferAndLength(&data, &length))) {
      return E_UNEXPECTED;
    }
    m_block.assign(data, data + length);
  }
  const auto time = static_cast<DWORD>(sampleTime / kHundredNsPerMs);
  SampleInfo info{length, time, data};
  Notify(kConverterEventData, &info);
  if (Converter* sink = m_sink) {
    SinkRecord record{length, data, time, this};
    sink->Write(data, &record.length);
  }
  return S_OK;
}

void WmaReader::DeliverEnd() {
  if (HasCallback()) {
    Notify(kConverterEventEnd, nullptr);
  } else if (Converter* sink = m_sink) {
    SinkRecord record{kSinkEndOfStream, nullptr, 0, this};
    sink->Write(nullptr, &record.length);
  }
}

HRESULT WmaReader::ReaderCallback::QueryInterface(REFIID, void** object) {
  if (object != nullptr) *object = nullptr;
  return E_NOINTERFACE;
}

HRESULT WmaReader::ReaderCallback::OnStatus(WMT_STATUS status, HRESULT result, WMT_ATTR_DATATYPE,
                                            BYTE*, void*) {
  if (status == WMT_OPENED) {
    m_owner.m_openStatus = result;
    SetEvent(m_owner.m_opened.get());
  } else if (status == WMT_EOF) {
    m_owner.DeliverEnd();
  }
  return S_OK;
}

HRESULT WmaReader::ReaderCallback::OnSample(DWORD, QWORD sampleTime, QWORD, DWORD,
                                            INSSBuffer* sample, void*) {
  // Nothing thrown here may reach the media layer's thread.
  try {
    return m_owner.OnSample(sampleTime, sample);
  } catch (...) {
    return E_OUTOFMEMORY;
  }
}
