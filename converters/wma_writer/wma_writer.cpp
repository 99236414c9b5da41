// Wentrix's converter object.
#include "converters/wma_writer/wma_writer.h"

#include <cstring>

#include "platform/base/codepage.h"

namespace {

// The output name's room, terminator included.
constexpr size_t kOutputNameCharacters = 1024;

const GUID& ProfileFor(std::uint64_t bitsPerSecond, DWORD* chosen) {
  if (bitsPerSecond <= 79999) {
    *chosen = 64000;
    return WMProfile_V40_64Audio;
  }
  if (bitsPerSecond >= 112000) {
    *chosen = 128000;
    return WMProfile_V40_128Audio;
  }
  *chosen = 96000;
  return WMProfile_V40_96Audio;
}

// The Win32 code a host can put in words for a failed write.
DWORD WriteError(HRESULT hr) {
  const DWORD code = Win32ErrorOfHResult(hr);
  return code != 0 ? code : ERROR_WRITE_FAULT;
}

}  // namespace

std::int32_t WmaWriter::Destroy(DWORD) {
  const HRESULT ended = Close();
  delete this;
  return SUCCEEDED(ended) ? kConvSuccess : FailWith(WriteError(ended));
}

std::int32_t WmaWriter::Command(DWORD code, void* argument) {
  return Guarded([&]() -> std::int32_t {
    switch (code) {
      case ConvOpen:
        if (argument == nullptr) return kConvArgumentMissing;
        return Open(static_cast<const char*>(argument));
      case ConvIsOpen:
        return m_writer ? kConvSuccess : kConvFailure;
      case ConvSetInputFormat:
        if (argument == nullptr) return kConvArgumentMissing;
        return SetInputFormat(*static_cast<const PcmFormat*>(argument));
      case ConvGetKind:
        if (argument == nullptr) return kConvArgumentMissing;
        *static_cast<DWORD*>(argument) = kModuleStyleWriter;
        return kConvSuccess;
      case ConvStart:
        Start();
        return kConvSuccess;
      case ConvSetBitRate:
        if (argument == nullptr) return kConvArgumentMissing;
        SetBitRate(argument);
        return kConvSuccess;
      case ConvSetTags:
        if (argument == nullptr) return kConvArgumentMissing;
        SetTags(*static_cast<const TagRecord*>(argument));
        return kConvSuccess;
      default:
        return kConvNotSupported;
    }
  });
}

HRESULT WmaWriter::Close() {
  const HRESULT ended = m_writer ? m_writer->EndWriting() : S_OK;
  m_inputProps.Reset();
  if (m_writer) {
    m_writer->Flush();
    m_writer.Reset();
  }
  const bool wasWriting = m_writing;
  m_writing = false;
  m_sampleTime = 0;
  m_bitRate = 0;
  m_inputFormat = WAVEFORMATEX{};
  return wasWriting ? ended : S_OK;
}

std::int32_t WmaWriter::Open(const char* path) {
  Close();
  std::u16string name = AnsiToWide(path);
  // A name cut to fit would write some other file.
  if (name.size() + 1 > kOutputNameCharacters) return kConvFailure;
  IWMWriter* writer = nullptr;
  if (FAILED(WMCreateWriterPriv(&writer))) return kConvFailure;
  m_writer = ComPtr<IWMWriter>::Attach(writer);
  m_outputName = std::move(name);
  return kConvSuccess;
}

void WmaWriter::SetBitRate(const void* settings) {
  if (!m_writer) return;
  DWORD kbps = 0;
  std::memcpy(&kbps, static_cast<const BYTE*>(settings) + kSettingsBitRateOffset, sizeof kbps);
  DWORD chosen = 0;
  const HRESULT hr =
      m_writer->SetProfileByID(ProfileFor(static_cast<std::uint64_t>(kbps) * 1000, &chosen));
  m_writer->GetInputProps(0, m_inputProps.Out());
  if (SUCCEEDED(hr)) m_bitRate = chosen;
}

std::int32_t WmaWriter::SetInputFormat(const PcmFormat& format) {
  // Without the input properties of a bit rate command there is nothing to
  // apply the format to; the transfer layer sends the bit rate first.
  if (!m_writer || !m_inputProps) return kConvFailure;
  const DWORD channels = PcmChannelsOfCode(format.channelCode);
  const DWORD rate = PcmRateOfCode(format.rateCode);
  const DWORD bits = PcmBitsOfCode(format.sizeCode);
  WAVEFORMATEX wave{};
  wave.wFormatTag = WAVE_FORMAT_PCM;
  wave.nChannels = static_cast<WORD>(channels);
  wave.nSamplesPerSec = rate;
  wave.nAvgBytesPerSec = channels * rate * bits / 8;
  wave.nBlockAlign = static_cast<WORD>(channels * bits / 8);
  wave.wBitsPerSample = static_cast<WORD>(bits);
  wave.cbSize = 0;
  WM_MEDIA_TYPE type{};
  type.majortype = WMMEDIATYPE_Audio;
  type.subtype = WMMEDIASUBTYPE_PCM;
  type.bFixedSizeSamples = TRUE;
  type.bTemporalCompression = FALSE;
  type.lSampleSize = 0;
  type.formattype = WMFORMAT_WaveFormatEx;
  type.pUnk = nullptr;
  type.cbFormat = sizeof wave;
  type.pbFormat = reinterpret_cast<BYTE*>(&wave);
  m_inputProps->SetMediaType(&type);
  if (FAILED(m_writer->SetInputProps(0, m_inputProps.Get()))) return kConvFailure;
  m_inputFormat = wave;
  return kConvSuccess;
}

void WmaWriter::SetTags(const TagRecord& tags) {
  if (!m_writer) return;
  ComPtr<IWMHeaderInfo> info;
  if (FAILED(m_writer->QueryInterface(IID_IWMHeaderInfo, info.OutVoid()))) return;
  const std::pair<const char16_t*, const char*> fields[] = {
      {u"Title", tags.title}, {u"Author", tags.author}, {u"Description", tags.description}};
  for (const auto& [name, text] : fields) {
    const std::u16string wide = AnsiToWide(std::string_view(text, strnlen(text, kTagTextSize)));
    info->SetAttribute(0, name, WMT_TYPE_STRING, reinterpret_cast<const BYTE*>(wide.c_str()),
                       static_cast<WORD>((wide.size() + 1) * sizeof(char16_t)));
  }
}

void WmaWriter::Start() {
  if (!m_writer) return;
  if (m_bitRate == 0) {
    m_writer->SetProfileByID(WMProfile_V40_128Audio);
    m_bitRate = 128000;
  }
  // A writer that cannot start is closed, which command 3 then shows; the
  // reason stays in the last error.
  HRESULT hr = m_writer->SetOutputFilename(m_outputName.c_str());
  if (SUCCEEDED(hr)) hr = m_writer->BeginWriting();
  if (FAILED(hr)) {
    Close();
    SetLastError(WriteError(hr));
    return;
  }
  m_writing = true;
}

std::int32_t WmaWriter::Write(const void* source, const DWORD* length) {
  return Guarded([&]() -> std::int32_t {
    // A null source is also how a reader without a callback marks the end
    // of its stream; there is nothing to encode in it.
    if (!m_writer || source == nullptr || length == nullptr) return kConvFailure;
    // No byte rate yet, so no time for the block.
    if (m_inputFormat.nAvgBytesPerSec == 0) return kConvFailure;
    const DWORD bytes = *length;
    ComPtr<INSSBuffer> sample;
    if (FAILED(m_writer->AllocateSample(bytes, sample.Out()))) return kConvFailure;
    BYTE* buffer = nullptr;
    DWORD capacity = 0;
    if (FAILED(sample->GetBufferAndLength(&buffer, &capacity))) return kConvFailure;
    std::memcpy(buffer, source, bytes);
    // Refused before a successful start, and the time moves on all the
    // same; once writing, a refused block is audio lost from the file.
    const HRESULT written = m_writer->WriteSample(0, m_sampleTime, 0, sample.Get());
    if (m_writing && FAILED(written)) return FailWith(WriteError(written));
    m_sampleTime += static_cast<QWORD>(static_cast<double>(bytes) /
                                       m_inputFormat.nAvgBytesPerSec * 10000000.0);
    return kConvSuccess;
  });
}
