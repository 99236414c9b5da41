// Code page conversions through UTF-16, as the platform offers them.
#include "suite/quadrin/common/ansi_text.h"

#include <cstring>

#include "platform/base/codepage.h"
#include "platform/base/paths.h"

std::string AnsiToUtf8(std::string_view ansi) {
  if (GetACP() == CP_UTF8) return std::string(ansi);
  return WideToAnsi(AnsiToWide(ansi), CP_UTF8);
}

std::string Utf8ToAnsi(std::string_view utf8) {
  if (GetACP() == CP_UTF8) return std::string(utf8);
  return WideToAnsi(AnsiToWide(utf8, CP_UTF8));
}

std::string HostPathOfAnsi(std::string_view ansiPath) {
  return ToHostPath(AnsiToUtf8(ansiPath));
}

void CopyText(char* field, size_t size, std::string_view text) {
  if (size == 0) return;
  size_t length = text.size();
  if (length >= size) {
    length = size - 1;
    // A cut inside a UTF-8 sequence would leave half a character.
    if (GetACP() == CP_UTF8) {
      while (length > 0 && (static_cast<unsigned char>(text[length]) & 0xC0) == 0x80) --length;
    }
  }
  std::memcpy(field, text.data(), length);
  field[length] = '\0';
}

std::string_view FieldText(const char* field, size_t size) {
  return std::string_view(field, strnlen(field, size));
}
