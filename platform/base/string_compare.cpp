// Ordinal comparison with the simple (one unit to one unit) upper-case
// mapping of the basic plane; surrogates compare as they are.
#include "platform/base/string_compare.h"

#include <algorithm>
#include <string_view>

#include "platform/base/case_map.h"
#include "platform/base/last_error.h"

namespace {

std::u16string_view View(LPCWSTR text, int length) {
  return length < 0 ? std::u16string_view(text)
                    : std::u16string_view(text, static_cast<size_t>(length));
}

}  // namespace

int CompareStringOrdinal(LPCWSTR first, int firstLength, LPCWSTR second, int secondLength,
                         BOOL ignoreCase) {
  if (first == nullptr || second == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  const std::u16string_view a = View(first, firstLength);
  const std::u16string_view b = View(second, secondLength);
  const size_t common = std::min(a.size(), b.size());
  for (size_t i = 0; i < common; ++i) {
    const char16_t x = ignoreCase ? UpperCase16(a[i]) : a[i];
    const char16_t y = ignoreCase ? UpperCase16(b[i]) : b[i];
    if (x != y) return x < y ? CSTR_LESS_THAN : CSTR_GREATER_THAN;
  }
  if (a.size() == b.size()) return CSTR_EQUAL;
  return a.size() < b.size() ? CSTR_LESS_THAN : CSTR_GREATER_THAN;
}
