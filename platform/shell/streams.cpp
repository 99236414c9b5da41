// One stream over a growable block of bytes; the registry stream is the same
// stream with a value to write itself back to.
#include "platform/shell/streams.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "platform/com/com_object.h"
#include "platform/registry/reg_key.h"

namespace {

struct RegistryValue {
  HKEY root;
  std::string subKey;
  std::string valueName;
};

class ByteStream final : public ComObject<ByteStream, IStream> {
 public:
  InterfaceTable Interfaces() {
    return {{&IID_IStream, static_cast<IStream*>(this)},
            {&IID_ISequentialStream, static_cast<ISequentialStream*>(this)}};
  }

  HRESULT Read(void* buffer, ULONG size, ULONG* read) override {
    if (buffer == nullptr && size != 0) return STG_E_INVALIDPOINTER;
    const size_t left = m_position < m_bytes.size() ? m_bytes.size() - m_position : 0;
    const size_t count = std::min<size_t>(size, left);
    if (count != 0) std::memcpy(buffer, m_bytes.data() + m_position, count);
    m_position += count;
    if (read != nullptr) *read = static_cast<ULONG>(count);
    return count == size ? S_OK : S_FALSE;
  }

  HRESULT Write(const void* buffer, ULONG size, ULONG* written) override try {
    if (written != nullptr) *written = 0;
    if (buffer == nullptr && size != 0) return STG_E_INVALIDPOINTER;
    if (!m_writable) return STG_E_ACCESSDENIED;
    // A write past the end fills the gap with zeros.
    if (m_position + size > m_bytes.size()) m_bytes.resize(m_position + size);
    if (size != 0) std::memcpy(m_bytes.data() + m_position, buffer, size);
    m_position += size;
    m_dirty = true;
    if (written != nullptr) *written = size;
    return S_OK;
  } catch (...) {
    return STG_E_MEDIUMFULL;
  }

  HRESULT Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* newPosition) override {
    LONGLONG base = 0;
    switch (origin) {
      case STREAM_SEEK_SET:
        break;
      case STREAM_SEEK_CUR:
        base = static_cast<LONGLONG>(m_position);
        break;
      case STREAM_SEEK_END:
        base = static_cast<LONGLONG>(m_bytes.size());
        break;
      default:
        return STG_E_INVALIDFUNCTION;
    }
    if ((move.QuadPart < 0 && base + move.QuadPart < 0) ||
        (move.QuadPart > 0 && base > std::numeric_limits<LONGLONG>::max() - move.QuadPart))
      return STG_E_INVALIDFUNCTION;
    const LONGLONG target = base + move.QuadPart;
    if (static_cast<ULONGLONG>(target) > kLimit) return STG_E_INVALIDFUNCTION;
    m_position = static_cast<size_t>(target);
    if (newPosition != nullptr) newPosition->QuadPart = m_position;
    return S_OK;
  }

  HRESULT SetSize(ULARGE_INTEGER newSize) override try {
    if (!m_writable) return STG_E_ACCESSDENIED;
    if (newSize.QuadPart > kLimit) return STG_E_MEDIUMFULL;
    m_bytes.resize(static_cast<size_t>(newSize.QuadPart));
    m_dirty = true;
    return S_OK;
  } catch (...) {
    return STG_E_MEDIUMFULL;
  }

  HRESULT CopyTo(IStream* target, ULARGE_INTEGER size, ULARGE_INTEGER* read,
                 ULARGE_INTEGER* written) override {
    if (target == nullptr) return STG_E_INVALIDPOINTER;
    const size_t left = m_position < m_bytes.size() ? m_bytes.size() - m_position : 0;
    const auto count =
        static_cast<ULONG>(std::min<ULONGLONG>({size.QuadPart, left, std::numeric_limits<ULONG>::max()}));
    ULONG done = 0;
    const HRESULT result =
        count == 0 ? S_OK : target->Write(m_bytes.data() + m_position, count, &done);
    m_position += count;
    if (read != nullptr) read->QuadPart = count;
    if (written != nullptr) written->QuadPart = done;
    return result;
  }

  HRESULT Commit(DWORD) override { return WriteBack(); }
  HRESULT Revert() override { return S_OK; }
  HRESULT LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override {
    return STG_E_INVALIDFUNCTION;
  }
  HRESULT UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override {
    return STG_E_INVALIDFUNCTION;
  }

  HRESULT Stat(STATSTG* status, DWORD) override {
    if (status == nullptr) return STG_E_INVALIDPOINTER;
    *status = STATSTG{};
    status->type = STGTY_STREAM;
    status->cbSize.QuadPart = m_bytes.size();
    status->grfMode = m_writable ? STGM_READWRITE : STGM_READ;
    return S_OK;
  }

  // A copy in memory that writes nowhere, at the same position.
  HRESULT Clone(IStream** copy) override {
    if (copy == nullptr) return STG_E_INVALIDPOINTER;
    return NewInstance(IID_IStream, reinterpret_cast<void**>(copy), m_bytes, m_position,
                       std::optional<RegistryValue>{}, true);
  }

 private:
  friend ComObject<ByteStream, IStream>;
  // Registry values hold a few megabytes at most; the position stays in
  // what a ULONG counts, as the stream calls count.
  static constexpr ULONGLONG kLimit = std::numeric_limits<ULONG>::max();

  ByteStream(std::vector<BYTE> bytes, size_t position, std::optional<RegistryValue> value,
             bool writable)
      : m_bytes(std::move(bytes)),
        m_position(position),
        m_value(std::move(value)),
        m_writable(writable) {}
  // The registry copy is written when the last reference goes, as the
  // shell's registry streams do; a failure then has nobody to tell.
  ~ByteStream() { WriteBack(); }

  HRESULT WriteBack() {
    if (!m_value || !m_dirty) return S_OK;
    RegKey key;
    if (key.Create(m_value->root, m_value->subKey.c_str()) != ERROR_SUCCESS) return STG_E_CANTSAVE;
    if (RegSetValueExA(key.Get(), m_value->valueName.c_str(), 0, REG_BINARY, m_bytes.data(),
                       static_cast<DWORD>(m_bytes.size())) != ERROR_SUCCESS)
      return STG_E_CANTSAVE;
    m_dirty = false;
    return S_OK;
  }

  std::vector<BYTE> m_bytes;
  size_t m_position;
  std::optional<RegistryValue> m_value;
  bool m_writable;
  bool m_dirty = false;
};

IStream* MakeStream(std::vector<BYTE> bytes, std::optional<RegistryValue> value, bool writable) {
  IStream* stream = nullptr;
  if (FAILED(ByteStream::NewInstance(IID_IStream, reinterpret_cast<void**>(&stream),
                                     std::move(bytes), size_t{0}, std::move(value), writable)))
    return nullptr;
  return stream;
}

// The value's bytes; nullopt when the key or the value is missing.
std::optional<std::vector<BYTE>> ReadValue(HKEY root, LPCSTR subKey, LPCSTR valueName) {
  RegKey key;
  if (key.Open(root, subKey) != ERROR_SUCCESS) return std::nullopt;
  DWORD type = 0;
  DWORD size = 0;
  if (RegQueryValueExA(key.Get(), valueName, nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
    return std::nullopt;
  std::vector<BYTE> bytes(size);
  if (RegQueryValueExA(key.Get(), valueName, nullptr, &type, bytes.data(), &size) != ERROR_SUCCESS)
    return std::nullopt;
  bytes.resize(size);
  return bytes;
}

}  // namespace

IStream* SHCreateMemStream(const BYTE* data, UINT size) try {
  std::vector<BYTE> bytes;
  if (data != nullptr) bytes.assign(data, data + size);
  return MakeStream(std::move(bytes), std::nullopt, true);
} catch (...) {
  return nullptr;
}

IStream* SHOpenRegStream2A(HKEY root, LPCSTR subKey, LPCSTR valueName, DWORD mode) try {
  if (subKey == nullptr) return nullptr;
  const DWORD access = mode & (STGM_WRITE | STGM_READWRITE);
  std::optional<std::vector<BYTE>> bytes;
  if (access != STGM_WRITE) {
    bytes = ReadValue(root, subKey, valueName);
    if (!bytes && access == STGM_READ) return nullptr;
  }
  if (!bytes) bytes.emplace();
  return MakeStream(std::move(*bytes),
                    RegistryValue{root, subKey, valueName != nullptr ? valueName : ""},
                    access != STGM_READ);
} catch (...) {
  return nullptr;
}
