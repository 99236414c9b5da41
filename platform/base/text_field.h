// Fixed-size text fields of the flat records that cross module boundaries
// (tag texts, names, paths): always terminated, never read or written past
// their size.
#pragma once

#include <cstddef>
#include <string_view>

#include "platform/base/export.h"

// Copies text into a field of size bytes, always terminated; text that does
// not fit is cut at a character boundary of the system code page, never
// inside a character.
QAP_EXPORT void CopyToField(char* field, std::size_t size, std::string_view text);
// A field's text up to its NUL, never past its size.
QAP_EXPORT std::string_view FieldText(const char* field, std::size_t size);
