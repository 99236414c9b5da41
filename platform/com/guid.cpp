// GUID text conversions.
#include "platform/com/guid.h"

#include <cctype>
#include <cstdio>

std::string GuidToString(REFGUID g) {
  char text[39];
  std::snprintf(text, sizeof text, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                g.Data1, g.Data2, g.Data3, g.Data4[0], g.Data4[1], g.Data4[2], g.Data4[3],
                g.Data4[4], g.Data4[5], g.Data4[6], g.Data4[7]);
  return text;
}

bool GuidFromString(const std::string& text, GUID* guid) {
  std::string bare = text;
  if (bare.size() == 38 && bare.front() == '{' && bare.back() == '}') {
    bare = bare.substr(1, 36);
  }
  if (bare.size() != 36) return false;
  for (size_t i = 0; i < bare.size(); ++i) {
    bool dash = i == 8 || i == 13 || i == 18 || i == 23;
    if (dash ? bare[i] != '-' : !std::isxdigit(static_cast<unsigned char>(bare[i]))) return false;
  }
  auto hex = [&](size_t at, size_t digits) {
    return std::stoul(bare.substr(at, digits), nullptr, 16);
  };
  GUID out{};
  out.Data1 = static_cast<std::uint32_t>(hex(0, 8));
  out.Data2 = static_cast<std::uint16_t>(hex(9, 4));
  out.Data3 = static_cast<std::uint16_t>(hex(14, 4));
  out.Data4[0] = static_cast<std::uint8_t>(hex(19, 2));
  out.Data4[1] = static_cast<std::uint8_t>(hex(21, 2));
  for (int k = 0; k < 6; ++k) out.Data4[2 + k] = static_cast<std::uint8_t>(hex(24 + 2 * k, 2));
  if (guid != nullptr) *guid = out;
  return true;
}
