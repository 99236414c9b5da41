// Texts between the calling process's code page and the hive's UTF-8.
#include "platform/registry/reg_text.h"

#include "platform/base/codepage.h"
#include "platform/registry/registry.h"

namespace qap::registry {

bool IsTextType(DWORD type) {
  return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ;
}

std::string StoredText(std::string_view ansi) { return AnsiToUtf8(ansi); }

std::string CallerText(std::string_view stored) {
  if (GetACP() == CP_UTF8 || !IsValidUtf8(stored)) return std::string(stored);
  return Utf8ToAnsi(stored);
}

std::string StoredToUtf16(std::string_view stored) {
  std::string bytes;
  for (const char16_t unit : AnsiToWide(stored, CP_UTF8)) {
    bytes.push_back(static_cast<char>(unit & 0xFF));
    bytes.push_back(static_cast<char>(unit >> 8));
  }
  return bytes;
}

std::string Utf16ToStored(std::string_view bytes) {
  std::u16string units;
  units.reserve(bytes.size() / 2);
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
    units.push_back(static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                          (static_cast<unsigned char>(bytes[i + 1]) << 8)));
  }
  return WideToAnsi(units, CP_UTF8);
}

}  // namespace qap::registry
