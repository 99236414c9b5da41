// Owns an open registry key and closes it on every path.
#pragma once

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
