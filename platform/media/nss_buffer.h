// INSSBuffer: one sample's bytes, reference counted, as the reader delivers
// them and the writer allocates them.
#pragma once

#include <memory>

#include "platform/com/com_object.h"
#include "platform/com/com_ptr.h"
#include "platform/media/wm_interfaces.h"

namespace qap::media {

class NssBuffer final : public ComObject<NssBuffer, INSSBuffer> {
 public:
  // A buffer of capacity bytes whose length is capacity; null when memory
  // runs out.
  static ComPtr<NssBuffer> Create(DWORD capacity);

  InterfaceTable Interfaces() { return {}; }
  HRESULT GetBufferAndLength(BYTE** buffer, DWORD* length) override;

  BYTE* Data() { return m_data.get(); }
  DWORD Length() const { return m_length; }
  DWORD Capacity() const { return m_capacity; }
  // length must not exceed the capacity.
  void SetLength(DWORD length) { m_length = length; }
  // True while somebody besides the first owner holds a reference.
  bool Shared() const { return ReferenceCount() > 1; }

 private:
  friend ComObject<NssBuffer, INSSBuffer>;
  ~NssBuffer() = default;
  NssBuffer(std::unique_ptr<BYTE[]> data, DWORD capacity)
      : m_data(std::move(data)), m_capacity(capacity), m_length(capacity) {}

  std::unique_ptr<BYTE[]> m_data;
  DWORD m_capacity;
  DWORD m_length;
};

}  // namespace qap::media
