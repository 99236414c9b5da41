// Owns an open registry key and closes it on every path.
#pragma once

#include <algorithm>
#include <string>
#include <utility>

#include "platform/base/unique_owner.h"
#include "platform/registry/registry.h"

struct RegKeyTraits {
  using Handle = HKEY;
  static constexpr HKEY kNone = nullptr;
  static void Close(HKEY key) { RegCloseKey(key); }
};

class RegKey : public UniqueOwner<RegKeyTraits> {
 public:
  using UniqueOwner::UniqueOwner;

  LONG Open(HKEY parent, const char* subKey, REGSAM sam = KEY_READ) {
    return RegOpenKeyExA(parent, subKey, 0, sam, Out());
  }
  // created (may be null) tells whether the key is new.
  LONG Create(HKEY parent, const char* subKey, bool* created = nullptr) {
    DWORD disposition = 0;
    LONG result = RegCreateKeyExA(parent, subKey, 0, nullptr, REG_OPTION_NON_VOLATILE,
                                  KEY_ALL_ACCESS, nullptr, Out(), &disposition);
    if (created != nullptr) *created = result == ERROR_SUCCESS && disposition == REG_CREATED_NEW_KEY;
    return result;
  }

  // A REG_SZ value (null or "" for the default value) up to its first NUL;
  // false when it is missing or of another type.
  bool ReadString(const char* name, std::string* value) const {
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExA(Get(), name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        type != REG_SZ) {
      return false;
    }
    std::string text(size, '\0');
    if (RegQueryValueExA(Get(), name, nullptr, &type, reinterpret_cast<BYTE*>(text.data()),
                         &size) != ERROR_SUCCESS ||
        type != REG_SZ) {
      return false;
    }
    text.resize(std::min<size_t>(size, text.find('\0')));
    *value = std::move(text);
    return true;
  }
};
