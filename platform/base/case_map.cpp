// Case mapping through glibc's built-in C.UTF-8 locale, which carries the
// full Unicode case tables whatever locale the process itself runs in.
#include "platform/base/case_map.h"

#include <locale.h>

#include <cwctype>

namespace {

locale_t CaseLocale() {
  static locale_t locale = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(0));
  return locale;
}

char16_t Map(char16_t c, bool upper) {
  if (c < 0x80) {
    if (upper) return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - 0x20) : c;
    return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 0x20) : c;
  }
  locale_t locale = CaseLocale();
  if (locale == static_cast<locale_t>(0) || (c >= 0xD800 && c <= 0xDFFF)) return c;
  wint_t mapped = upper ? towupper_l(c, locale) : towlower_l(c, locale);
  return mapped <= 0xFFFF ? static_cast<char16_t>(mapped) : c;
}

}  // namespace

char16_t UpperCase16(char16_t c) { return Map(c, true); }

char16_t LowerCase16(char16_t c) { return Map(c, false); }
