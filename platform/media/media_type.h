// Media types as values, and the media properties objects that hand them
// across the SDK's interfaces.
#pragma once

#include <new>
#include <vector>

#include "platform/com/com_object.h"
#include "platform/com/com_ptr.h"
#include "platform/media/wm_interfaces.h"

namespace qap::media {

class MediaType {
 public:
  MediaType() = default;
  // Uncompressed PCM audio described by format.
  static MediaType Pcm(const WAVEFORMATEX& format);
  static MediaType Video();
  // A copy of a caller's record and its format block; false when either is
  // missing.
  static bool From(const WM_MEDIA_TYPE* type, MediaType* out);
  // Reads the media type of a properties object.
  static HRESULT Of(IWMMediaProps* props, MediaType* out);

  // IWMMediaProps::GetMediaType's contract.
  HRESULT CopyTo(WM_MEDIA_TYPE* type, DWORD* size) const;
  const GUID& Major() const { return m_type.majortype; }
  // The wave format, when this is PCM audio described by a complete one.
  bool WaveFormat(WAVEFORMATEX* format) const;

 private:
  WM_MEDIA_TYPE m_type{};  // pUnk and pbFormat stay null here
  std::vector<BYTE> m_format;
};

// IWMInputMediaProps and IWMOutputMediaProps: a media type that the holder
// may read and change.
template <typename Interface>
class MediaProps final : public ComObject<MediaProps<Interface>, Interface> {
 public:
  static ComPtr<Interface> Create(const MediaType& type) {
    auto* props = new (std::nothrow) MediaProps(type);
    return ComPtr<Interface>::Attach(props);
  }

  // Only IUnknown besides the interface it was made as, which has no IID here.
  InterfaceTable Interfaces() { return {}; }
  HRESULT GetMediaType(WM_MEDIA_TYPE* type, DWORD* size) override {
    return m_type.CopyTo(type, size);
  }
  HRESULT SetMediaType(const WM_MEDIA_TYPE* type) override {
    if (type == nullptr) return E_POINTER;
    return MediaType::From(type, &m_type) ? S_OK : E_INVALIDARG;
  }

 private:
  friend ComObject<MediaProps<Interface>, Interface>;
  explicit MediaProps(const MediaType& type) : m_type(type) {}
  ~MediaProps() = default;

  MediaType m_type;
};

}  // namespace qap::media
