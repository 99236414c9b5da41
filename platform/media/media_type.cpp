// Media type values: building, copying out in the SDK's one-buffer layout,
// and reading back a PCM wave format.
#include "platform/media/media_type.h"

#include <cstring>

namespace qap::media {

MediaType MediaType::Pcm(const WAVEFORMATEX& format) {
  MediaType type;
  type.m_type.majortype = WMMEDIATYPE_Audio;
  type.m_type.subtype = WMMEDIASUBTYPE_PCM;
  type.m_type.bFixedSizeSamples = TRUE;
  type.m_type.bTemporalCompression = FALSE;
  type.m_type.lSampleSize = format.nBlockAlign;
  type.m_type.formattype = WMFORMAT_WaveFormatEx;
  type.m_type.cbFormat = sizeof(WAVEFORMATEX);
  const auto* bytes = reinterpret_cast<const BYTE*>(&format);
  type.m_format.assign(bytes, bytes + sizeof(WAVEFORMATEX));
  return type;
}

MediaType MediaType::Video() {
  MediaType type;
  type.m_type.majortype = WMMEDIATYPE_Video;
  type.m_type.bTemporalCompression = TRUE;
  return type;
}

bool MediaType::From(const WM_MEDIA_TYPE* type, MediaType* out) {
  if (type == nullptr || (type->cbFormat != 0 && type->pbFormat == nullptr)) return false;
  MediaType copy;
  copy.m_type = *type;
  copy.m_type.pUnk = nullptr;
  copy.m_type.pbFormat = nullptr;
  copy.m_format.assign(type->pbFormat, type->pbFormat + type->cbFormat);
  *out = std::move(copy);
  return true;
}

HRESULT MediaType::Of(IWMMediaProps* props, MediaType* out) {
  if (props == nullptr) return E_POINTER;
  DWORD size = 0;
  HRESULT hr = props->GetMediaType(nullptr, &size);
  if (FAILED(hr)) return hr;
  if (size < sizeof(WM_MEDIA_TYPE)) return E_UNEXPECTED;
  // WM_MEDIA_TYPE holds pointers, so the buffer is aligned for them.
  std::vector<std::uint64_t> buffer((size + 7) / 8);
  auto* type = reinterpret_cast<WM_MEDIA_TYPE*>(buffer.data());
  hr = props->GetMediaType(type, &size);
  if (FAILED(hr)) return hr;
  return From(type, out) ? S_OK : E_UNEXPECTED;
}

HRESULT MediaType::CopyTo(WM_MEDIA_TYPE* type, DWORD* size) const {
  if (size == nullptr) return E_POINTER;
  const DWORD needed = static_cast<DWORD>(sizeof(WM_MEDIA_TYPE) + m_format.size());
  if (type == nullptr) {
    *size = needed;
    return S_OK;
  }
  if (*size < needed) {
    *size = needed;
    return kMediaBufferTooSmall;
  }
  *type = m_type;
  auto* format = reinterpret_cast<BYTE*>(type) + sizeof(WM_MEDIA_TYPE);
  if (!m_format.empty()) std::memcpy(format, m_format.data(), m_format.size());
  type->pbFormat = m_format.empty() ? nullptr : format;
  type->cbFormat = static_cast<ULONG>(m_format.size());
  *size = needed;
  return S_OK;
}

bool MediaType::WaveFormat(WAVEFORMATEX* format) const {
  if (!IsEqualGUID(m_type.majortype, WMMEDIATYPE_Audio) ||
      !IsEqualGUID(m_type.subtype, WMMEDIASUBTYPE_PCM) ||
      !IsEqualGUID(m_type.formattype, WMFORMAT_WaveFormatEx) ||
      m_format.size() < sizeof(WAVEFORMATEX)) {
    return false;
  }
  std::memcpy(format, m_format.data(), sizeof(WAVEFORMATEX));
  return format->wFormatTag == WAVE_FORMAT_PCM;
}

}  // namespace qap::media
