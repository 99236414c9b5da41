// Fixed-size text fields.
#include "platform/base/text_field.h"

#include <cstring>

#include "platform/base/codepage.h"

void CopyToField(char* field, std::size_t size, std::string_view text) {
  if (field == nullptr || size == 0) return;
  std::size_t length = text.size();
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

std::string_view FieldText(const char* field, std::size_t size) {
  return field == nullptr ? std::string_view() : std::string_view(field, strnlen(field, size));
}
