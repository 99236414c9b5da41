// Sample buffers.
#include "platform/media/nss_buffer.h"

#include <new>

namespace qap::media {

ComPtr<NssBuffer> NssBuffer::Create(DWORD capacity) {
  std::unique_ptr<BYTE[]> data(new (std::nothrow) BYTE[capacity == 0 ? 1 : capacity]);
  if (!data) return nullptr;
  return ComPtr<NssBuffer>::Attach(new (std::nothrow) NssBuffer(std::move(data), capacity));
}

HRESULT NssBuffer::QueryInterface(REFIID iid, void** object) {
  return QueryInterfaceFromTable(this, {{&IID_IUnknown, static_cast<IUnknown*>(this)}}, iid, object);
}

ULONG NssBuffer::Release() {
  ULONG left = m_refs.Decrement();
  if (left == 0) delete this;
  return left;
}

HRESULT NssBuffer::GetBufferAndLength(BYTE** buffer, DWORD* length) {
  if (buffer == nullptr || length == nullptr) return E_POINTER;
  *buffer = m_data.get();
  *length = m_length;
  return S_OK;
}

}  // namespace qap::media
