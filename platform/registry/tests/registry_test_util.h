// Small readers and writers over the registry calls, so that the tests read
// as what they check rather than as buffer handling.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/registry/registry.h"

namespace qap::registry::testing {

inline LONG SetBytes(HKEY key, const char* name, DWORD type, std::string_view bytes) {
  return RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                        static_cast<DWORD>(bytes.size()));
}

// Text with its terminator, as the deliverables store it.
inline LONG SetText(HKEY key, const char* name, std::string_view text) {
  return SetBytes(key, name, REG_SZ, std::string(text) + '\0');
}

inline LONG SetDword(HKEY key, const char* name, DWORD value) {
  return RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                        sizeof value);
}

struct Value {
  LONG status = ERROR_SUCCESS;
  DWORD type = REG_NONE;
  std::string data;
};

inline Value Read(HKEY key, const char* name) {
  Value value;
  DWORD size = 0;
  value.status = RegQueryValueExA(key, name, nullptr, &value.type, nullptr, &size);
  if (value.status != ERROR_SUCCESS) return value;
  value.data.resize(size);
  value.status = RegQueryValueExA(key, name, nullptr, &value.type,
                                  reinterpret_cast<BYTE*>(value.data.data()), &size);
  value.data.resize(size);
  return value;
}

// Every subkey or value name in enumeration order; the status that ended
// the enumeration goes to *end.
template <typename EnumOne>
std::vector<std::string> EnumerateNames(EnumOne enumOne, LONG* end) {
  std::vector<std::string> names;
  for (DWORD index = 0;; ++index) {
    char name[256];
    DWORD size = sizeof name;
    const LONG status = enumOne(index, name, &size);
    if (status != ERROR_SUCCESS) {
      if (end != nullptr) *end = status;
      return names;
    }
    names.emplace_back(name, size);
  }
}

inline std::vector<std::string> SubKeys(HKEY key, LONG* end = nullptr) {
  return EnumerateNames(
      [key](DWORD index, char* name, DWORD* size) {
        return RegEnumKeyExA(key, index, name, size, nullptr, nullptr, nullptr, nullptr);
      },
      end);
}

inline std::vector<std::string> ValueNames(HKEY key, LONG* end = nullptr) {
  return EnumerateNames(
      [key](DWORD index, char* name, DWORD* size) {
        return RegEnumValueA(key, index, name, size, nullptr, nullptr, nullptr, nullptr);
      },
      end);
}

}  // namespace qap::registry::testing
