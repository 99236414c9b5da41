// Sample buffers.
#include "platform/media/nss_buffer.h"

#include <new>

namespace qap::media {

ComPtr<NssBuffer> NssBuffer::Create(DWORD capacity) {
  std::unique_ptr<BYTE[]> data(new (std::nothrow) BYTE[capacity == 0 ? 1 : capacity]);
  if (!data) return nullptr;
  return ComPtr<NssBuffer>::Attach(new (std::nothrow) NssBuffer(std::move(data), capacity));
}

HRESULT NssBuffer::GetBufferAndLength(BYTE** buffer, DWORD* length) {
  if (buffer == nullptr || length == nullptr) return E_POINTER;
  *buffer = m_data.get();
  *length = m_length;
  return S_OK;
}

}  // namespace qap::media
