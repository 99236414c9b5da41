// CWMRegUtil: the hosts' read-only view of the module registry, rooted where
// the layer keeps it (HKEY_CURRENT_USER\SOFTWARE\ZelVar).
#include <algorithm>
#include <cstring>
#include <string>

#include "drumlet/transfer_layer.h"
#include "suite/quadrin/module_registry.h"

CWMRegUtil::CWMRegUtil() = default;
CWMRegUtil::~CWMRegUtil() = default;

BOOL CWMRegUtil::Open() {
  m_current.Reset();
  return m_root.Open(HKEY_CURRENT_USER, quadrin::kRegistryRoot) == ERROR_SUCCESS ? TRUE : FALSE;
}

int CWMRegUtil::EnumSubItems(const char* key, char* buffer, int maxItems, int itemSize) {
  if (!m_root || key == nullptr || buffer == nullptr || maxItems <= 0 || itemSize <= 0) return 0;
  RegKey parent;
  if (parent.Open(m_root.Get(), key) != ERROR_SUCCESS) return 0;
  int count = 0;
  for (DWORD index = 0; count < maxItems; ++index) {
    char* slot = buffer + static_cast<size_t>(count) * static_cast<size_t>(itemSize);
    DWORD size = static_cast<DWORD>(itemSize);
    const LONG result =
        RegEnumKeyExA(parent.Get(), index, slot, &size, nullptr, nullptr, nullptr, nullptr);
    if (result == ERROR_NO_MORE_ITEMS) break;
    // A name longer than a slot cannot be handed on; it is left out.
    if (result == ERROR_SUCCESS) ++count;
  }
  return count;
}

BOOL CWMRegUtil::SetPath(const char* key, const char* subKey) {
  m_current.Reset();
  if (!m_root || key == nullptr || subKey == nullptr) return FALSE;
  const std::string path = std::string(key) + "\\" + subKey;
  return m_current.Open(m_root.Get(), path.c_str()) == ERROR_SUCCESS ? TRUE : FALSE;
}

BOOL CWMRegUtil::GetValue(const char* name, void* buffer, DWORD size) {
  if (!m_current || name == nullptr || buffer == nullptr || size == 0) return FALSE;
  DWORD type = 0;
  DWORD needed = 0;
  if (RegQueryValueExA(m_current.Get(), name, nullptr, &type, nullptr, &needed) != ERROR_SUCCESS) {
    return FALSE;
  }
  std::string value(needed, '\0');
  if (RegQueryValueExA(m_current.Get(), name, nullptr, &type,
                       reinterpret_cast<BYTE*>(value.data()), &needed) != ERROR_SUCCESS) {
    return FALSE;
  }
  if (type == REG_SZ) {
    // Text is cut to the buffer and always terminated.
    const size_t length = std::min<size_t>(value.find('\0'), size - 1);
    std::memcpy(buffer, value.data(), length);
    static_cast<char*>(buffer)[length] = '\0';
    return TRUE;
  }
  if (needed > size) return FALSE;
  std::memcpy(buffer, value.data(), needed);
  return TRUE;
}
