// The folders' view-state slots in the registry and their streams.
#include "platform/shell/view_state_streams.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "platform/registry/reg_key.h"
#include "platform/shell/streams.h"

namespace {

constexpr DWORD kEndOfList = 0xFFFFFFFF;
constexpr char kStreamValue[] = "ViewView";

std::string MruKey() { return std::string(kExplorerKey) + "\\StreamMRU"; }
std::string StreamKey(DWORD slot) {
  return std::string(kExplorerKey) + "\\Streams\\" + std::to_string(slot);
}

std::vector<BYTE> ReadBinary(HKEY key, const char* name) {
  DWORD type = 0;
  DWORD size = 0;
  if (RegQueryValueExA(key, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
      type != REG_BINARY)
    return {};
  std::vector<BYTE> bytes(size);
  if (RegQueryValueExA(key, name, nullptr, &type, bytes.data(), &size) != ERROR_SUCCESS) return {};
  bytes.resize(size);
  return bytes;
}

// MRUListEx's slot numbers, most recent first; numbers out of range or
// repeated (a damaged list) are dropped.
std::vector<DWORD> ReadOrder(HKEY key) {
  const std::vector<BYTE> bytes = ReadBinary(key, "MRUListEx");
  std::vector<DWORD> order;
  for (size_t at = 0; at + sizeof(DWORD) <= bytes.size(); at += sizeof(DWORD)) {
    DWORD slot;
    std::memcpy(&slot, bytes.data() + at, sizeof slot);
    if (slot == kEndOfList) break;
    if (slot < kViewStateSlots && std::find(order.begin(), order.end(), slot) == order.end())
      order.push_back(slot);
  }
  return order;
}

LONG WriteOrder(HKEY key, const std::vector<DWORD>& order) {
  std::vector<DWORD> values(order);
  values.push_back(kEndOfList);
  return RegSetValueExA(key, "MRUListEx", 0, REG_BINARY, reinterpret_cast<const BYTE*>(values.data()),
                        static_cast<DWORD>(values.size() * sizeof(DWORD)));
}

// The folder's slot; with create, a new (or the least recently used) slot
// when it has none. The slot found moves to the front of the order.
bool FindSlot(LPCITEMIDLIST folder, bool create, DWORD* slot) {
  RegKey key;
  if (create ? key.Create(HKEY_CURRENT_USER, MruKey().c_str()) != ERROR_SUCCESS
             : key.Open(HKEY_CURRENT_USER, MruKey().c_str(), KEY_READ | KEY_WRITE) != ERROR_SUCCESS)
    return false;
  std::vector<DWORD> order = ReadOrder(key.Get());
  const auto* bytes = reinterpret_cast<const BYTE*>(folder);
  const std::vector<BYTE> wanted(bytes, bytes + ILGetSize(folder));
  auto found = std::find_if(order.begin(), order.end(), [&](DWORD candidate) {
    return ReadBinary(key.Get(), std::to_string(candidate).c_str()) == wanted;
  });
  if (found == order.end()) {
    if (!create) return false;
    if (order.size() < kViewStateSlots) {
      DWORD free = 0;
      while (std::find(order.begin(), order.end(), free) != order.end()) ++free;
      order.push_back(free);
    } else {
      // The least recently used folder gives up its slot and its state.
      RegDeleteTreeA(HKEY_CURRENT_USER, StreamKey(order.back()).c_str());
    }
    found = order.end() - 1;
    if (RegSetValueExA(key.Get(), std::to_string(*found).c_str(), 0, REG_BINARY, wanted.data(),
                       static_cast<DWORD>(wanted.size())) != ERROR_SUCCESS)
      return false;
  }
  *slot = *found;
  std::rotate(order.begin(), found, found + 1);
  WriteOrder(key.Get(), order);
  return true;
}

}  // namespace

HRESULT OpenViewStateStream(LPCITEMIDLIST folder, DWORD mode, IStream** stream) try {
  if (stream == nullptr) return E_POINTER;
  *stream = nullptr;
  if (folder == nullptr) return E_INVALIDARG;
  const bool reading = (mode & (STGM_WRITE | STGM_READWRITE)) == STGM_READ;
  DWORD slot = 0;
  if (!FindSlot(folder, !reading, &slot)) return reading ? STG_E_FILENOTFOUND : STG_E_CANTSAVE;
  *stream = SHOpenRegStream2A(HKEY_CURRENT_USER, StreamKey(slot).c_str(), kStreamValue, mode);
  if (*stream != nullptr) return S_OK;
  return reading ? STG_E_FILENOTFOUND : E_OUTOFMEMORY;
} catch (...) {
  return E_OUTOFMEMORY;
}
