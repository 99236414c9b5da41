// Owns an open registry key and closes it on every path.
#pragma once

#include <algorithm>
#include <string>
#include <utility>

#include "platform/registry/registry.h"

class RegKey {
 public:
  RegKey() = default;
  RegKey(const RegKey&) = delete;
  RegKey& operator=(const RegKey&) = delete;
  RegKey(RegKey&& other) noexcept : m_key(other.Release()) {}
  RegKey& operator=(RegKey&& other) noexcept {
    Reset(other.Release());
    return *this;
  }
  ~RegKey() { Reset(); }

  LONG Open(HKEY parent, const char* subKey, REGSAM sam = KEY_READ) {
    Reset();
    return RegOpenKeyExA(parent, subKey, 0, sam, &m_key);
  }
  // created (may be null) tells whether the key is new.
  LONG Create(HKEY parent, const char* subKey, bool* created = nullptr) {
    Reset();
    DWORD disposition = 0;
    LONG result = RegCreateKeyExA(parent, subKey, 0, nullptr, REG_OPTION_NON_VOLATILE,
                                  KEY_ALL_ACCESS, nullptr, &m_key, &disposition);
    if (created != nullptr) *created = result == ERROR_SUCCESS && disposition == REG_CREATED_NEW_KEY;
    return result;
  }

  // A REG_SZ value (null or "" for the default value) up to its first NUL;
  // false when it is missing or of another type.
  bool ReadString(const char* name, std::string* value) const {
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExA(m_key, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        type != REG_SZ) {
      return false;
    }
    std::string text(size, '\0');
    if (RegQueryValueExA(m_key, name, nullptr, &type, reinterpret_cast<BYTE*>(text.data()),
                         &size) != ERROR_SUCCESS ||
        type != REG_SZ) {
      return false;
    }
    text.resize(std::min<size_t>(size, text.find('\0')));
    *value = std::move(text);
    return true;
  }

  HKEY Get() const { return m_key; }
  HKEY* Out() {
    Reset();
    return &m_key;
  }
  explicit operator bool() const { return m_key != nullptr; }
  HKEY Release() {
    HKEY key = m_key;
    m_key = nullptr;
    return key;
  }
  void Reset(HKEY key = nullptr) {
    if (m_key != nullptr) RegCloseKey(m_key);
    m_key = key;
  }

 private:
  HKEY m_key = nullptr;
};
