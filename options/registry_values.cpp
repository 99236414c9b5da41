// Registry access shared by the option groups.
#include "options/registry_values.h"

#include <climits>
#include <cstdlib>
#include <cstring>

namespace qap::options {

LONG OpenKey(HKEY parent, const char* path, RegKey* key) {
  return key->Open(parent, path, kKeyAccess);
}

LONG CreateKey(HKEY parent, const char* path, RegKey* key) {
  return RegCreateKeyExA(parent, path, 0, nullptr, REG_OPTION_NON_VOLATILE, kKeyAccess, nullptr,
                         key->Out(), nullptr);
}

LONG OpenOrCreateKey(HKEY parent, const char* path, RegKey* key) {
  const LONG opened = OpenKey(parent, path, key);
  return opened == ERROR_SUCCESS ? opened : CreateKey(parent, path, key);
}

LONG OpenSoftware(RegKey* key) { return OpenKey(HKEY_CURRENT_USER, "SOFTWARE", key); }

std::string GroupKeyPath(const char* group) { return std::string(kRootKey) + "\\" + group; }

bool ReadNumber(HKEY key, const char* name, DWORD* value) {
  DWORD number = 0;
  DWORD size = sizeof number;
  if (RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(&number), &size) !=
      ERROR_SUCCESS) {
    return false;
  }
  *value = number;
  return true;
}

bool ReadText(HKEY key, const char* name, DWORD bufferSize, CString* text) {
  char buffer[kMaxTextBuffer];
  if (bufferSize > sizeof buffer) bufferSize = sizeof buffer;
  DWORD type = REG_NONE;
  DWORD size = bufferSize;
  if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size) !=
          ERROR_SUCCESS ||
      (type != REG_SZ && type != REG_EXPAND_SZ)) {
    return false;
  }
  // Stored data need not end in a terminator; the text must still leave
  // room for one in the buffer.
  const size_t length = strnlen(buffer, size);
  if (length >= bufferSize) return false;
  *text = CString(buffer, static_cast<int>(length));
  return true;
}

bool WriteNumber(HKEY key, const char* name, DWORD value) {
  return RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                        sizeof value) == ERROR_SUCCESS;
}

bool WriteText(HKEY key, const char* name, const char* text) {
  return RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                        static_cast<DWORD>(std::strlen(text) + 1)) == ERROR_SUCCESS;
}

int DecimalValue(const char* text) {
  const long value = std::strtol(text, nullptr, 10);
  if (value > INT_MAX) return INT_MAX;
  if (value < INT_MIN) return INT_MIN;
  return static_cast<int>(value);
}

}  // namespace qap::options
