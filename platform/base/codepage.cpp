// Hand-written UTF-8 and Windows-1252 codecs: both are small, and owning them
// keeps the replacement rules identical on every machine.
#include "platform/base/codepage.h"

#include <cstdlib>
#include <cstring>

#include "platform/base/last_error.h"

namespace {

constexpr char32_t kReplacement = 0xFFFD;

// 0x80-0x9F of Windows-1252. The five bytes Windows leaves undefined (0x81,
// 0x8D, 0x8F, 0x90, 0x9D) map to the C1 controls of the same value, as
// MultiByteToWideChar does, so that every byte round-trips.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

UINT ResolveCodePage(UINT codePage) { return codePage == CP_ACP ? GetACP() : codePage; }

// Decodes one UTF-8 sequence at text[i]; advances i. Overlong forms,
// surrogates, values past U+10FFFF and truncated sequences give U+FFFD and
// consume one byte, so a bad byte never swallows the good ones after it.
char32_t DecodeUtf8(const unsigned char* text, size_t length, size_t& i) {
  unsigned char lead = text[i];
  if (lead < 0x80) {
    ++i;
    return lead;
  }
  int extra;
  char32_t value;
  char32_t minimum;
  if ((lead & 0xE0) == 0xC0) {
    extra = 1, value = lead & 0x1F, minimum = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    extra = 2, value = lead & 0x0F, minimum = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    extra = 3, value = lead & 0x07, minimum = 0x10000;
  } else {
    ++i;
    return kReplacement;
  }
  for (int k = 1; k <= extra; ++k) {
    if (i + k >= length || (text[i + k] & 0xC0) != 0x80) {
      ++i;
      return kReplacement;
    }
    value = (value << 6) | (text[i + k] & 0x3F);
  }
  if (value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
    ++i;
    return kReplacement;
  }
  i += extra + 1;
  return value;
}

void AppendUtf16(std::u16string& out, char32_t c) {
  if (c < 0x10000) {
    out.push_back(static_cast<char16_t>(c));
  } else {
    c -= 0x10000;
    out.push_back(static_cast<char16_t>(0xD800 + (c >> 10)));
    out.push_back(static_cast<char16_t>(0xDC00 + (c & 0x3FF)));
  }
}

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out.push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (c >> 6)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else if (c < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (c >> 12)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (c >> 18)));
    out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

// Returns the 1252 byte for c, or 0 when c has none (0 itself is handled by
// the caller).
unsigned char EncodeCp1252(char32_t c) {
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<unsigned char>(c);
  for (int k = 0; k < 32; ++k) {
    if (kCp1252High[k] == c) return static_cast<unsigned char>(0x80 + k);
  }
  return 0;
}

bool DecodeInto(UINT codePage, std::string_view text, std::u16string& out) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
  if (codePage == CP_UTF8) {
    size_t i = 0;
    while (i < text.size()) AppendUtf16(out, DecodeUtf8(bytes, text.size(), i));
    return true;
  }
  if (codePage == CP_1252) {
    for (unsigned char b : text) {
      out.push_back(b >= 0x80 && b < 0xA0 ? kCp1252High[b - 0x80] : static_cast<char16_t>(b));
    }
    return true;
  }
  return false;
}

bool EncodeInto(UINT codePage, std::u16string_view text, std::string& out, char defaultChar,
                bool& usedDefault) {
  if (codePage != CP_UTF8 && codePage != CP_1252) return false;
  for (size_t i = 0; i < text.size(); ++i) {
    char32_t c = text[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
        text[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      ++i;
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      c = kReplacement;  // a lone surrogate
      usedDefault = true;
    }
    if (codePage == CP_UTF8) {
      AppendUtf8(out, c);
    } else {
      unsigned char b = EncodeCp1252(c);
      if (b == 0 && c != 0) {
        out.push_back(defaultChar);
        usedDefault = true;
      } else {
        out.push_back(static_cast<char>(b));
      }
    }
  }
  return true;
}

}  // namespace

UINT GetACP() {
  const char* acp = std::getenv("QAP_ACP");
  return acp != nullptr && std::strcmp(acp, "1252") == 0 ? CP_1252 : CP_UTF8;
}

int MultiByteToWideChar(UINT codePage, DWORD, const char* src, int srcLen, char16_t* dst,
                        int dstLen) {
  if (src == nullptr || srcLen < -1 || dstLen < 0 || (dstLen > 0 && dst == nullptr)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  size_t length = srcLen == -1 ? std::strlen(src) + 1 : static_cast<size_t>(srcLen);
  std::u16string out;
  if (!DecodeInto(ResolveCodePage(codePage), std::string_view(src, length), out)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  if (dstLen == 0) return static_cast<int>(out.size());
  if (out.size() > static_cast<size_t>(dstLen)) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return 0;
  }
  std::memcpy(dst, out.data(), out.size() * sizeof(char16_t));
  return static_cast<int>(out.size());
}

int WideCharToMultiByte(UINT codePage, DWORD, const char16_t* src, int srcLen, char* dst,
                        int dstLen, const char* defaultChar, BOOL* usedDefaultChar) {
  if (src == nullptr || srcLen < -1 || dstLen < 0 || (dstLen > 0 && dst == nullptr)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  size_t length = static_cast<size_t>(srcLen);
  if (srcLen == -1) {
    length = 0;
    while (src[length] != 0) ++length;
    ++length;
  }
  std::string out;
  bool usedDefault = false;
  char fallback = defaultChar != nullptr ? *defaultChar : '?';
  if (!EncodeInto(ResolveCodePage(codePage), std::u16string_view(src, length), out, fallback,
                  usedDefault)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  if (usedDefaultChar != nullptr) *usedDefaultChar = usedDefault ? TRUE : FALSE;
  if (dstLen == 0) return static_cast<int>(out.size());
  if (out.size() > static_cast<size_t>(dstLen)) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return 0;
  }
  std::memcpy(dst, out.data(), out.size());
  return static_cast<int>(out.size());
}

std::u16string AnsiToWide(std::string_view text, UINT codePage) {
  std::u16string out;
  out.reserve(text.size());
  DecodeInto(ResolveCodePage(codePage), text, out);
  return out;
}

std::string WideToAnsi(std::u16string_view text, UINT codePage) {
  std::string out;
  out.reserve(text.size());
  bool usedDefault = false;
  EncodeInto(ResolveCodePage(codePage), text, out, '?', usedDefault);
  return out;
}

std::string AnsiToUtf8(std::string_view ansi) {
  if (GetACP() == CP_UTF8) return std::string(ansi);
  return WideToAnsi(AnsiToWide(ansi), CP_UTF8);
}

std::string Utf8ToAnsi(std::string_view utf8) {
  if (GetACP() == CP_UTF8) return std::string(utf8);
  return WideToAnsi(AnsiToWide(utf8, CP_UTF8));
}

bool IsValidUtf8(std::string_view text) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
  for (size_t i = 0; i < text.size();) {
    const size_t at = i;
    // A replacement that was really in the text takes three bytes.
    if (DecodeUtf8(bytes, text.size(), i) == kReplacement && i == at + 1) return false;
  }
  return true;
}
