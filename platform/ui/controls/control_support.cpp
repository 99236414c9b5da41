// Shared pieces of the control files.
#include "platform/ui/controls/control_support.h"

#include <algorithm>
#include <cstring>

#include "platform/base/case_map.h"
#include "platform/base/codepage.h"
#include "platform/base/string_compare.h"
#include "platform/ui/dialog.h"
#include "platform/ui/message_api.h"
#include "platform/ui/window_api.h"

namespace ui::controls {

namespace {

bool Utf8() { return GetACP() == CP_UTF8; }

bool IsContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

bool IsAscii(std::string_view text) {
  return std::all_of(text.begin(), text.end(),
                     [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

char UpperAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

}  // namespace

void NotifyParent(HWND control, WORD code) {
  HWND parent = GetParent(control);
  if (parent == nullptr) return;
  SendMessageA(parent, WM_COMMAND,
               MAKEWPARAM(static_cast<WORD>(GetDlgCtrlID(control)), code),
               reinterpret_cast<LPARAM>(control));
}

TEXTMETRICA TextMetricsOf(HWND window) {
  HDC dc = GetDC(window);
  TEXTMETRICA metrics{};
  GetTextMetricsA(dc, &metrics);
  ReleaseDC(window, dc);
  return metrics;
}

int LineHeight(HWND window) {
  LONG height = TextMetricsOf(window).tmHeight;
  return height > 0 ? static_cast<int>(height) : 13;
}

LRESULT CopyText(const std::string& text, char* buffer, size_t size) {
  if (buffer == nullptr || size == 0) return 0;
  size_t length = std::min(text.size(), size - 1);
  std::memcpy(buffer, text.data(), length);
  buffer[length] = '\0';
  return static_cast<LRESULT>(length);
}

size_t LeadSize(unsigned char lead) {
  if (!Utf8() || lead < 0xC0) return 1;
  if (lead < 0xE0) return 2;
  if (lead < 0xF0) return 3;
  if (lead < 0xF8) return 4;
  return 1;
}

size_t CharSizeAt(std::string_view text, size_t at) {
  if (at >= text.size()) return 0;
  size_t size = LeadSize(static_cast<unsigned char>(text[at]));
  if (at + size > text.size()) return 1;
  for (size_t k = 1; k < size; ++k) {
    if (!IsContinuation(static_cast<unsigned char>(text[at + k]))) return 1;
  }
  return size;
}

size_t NextChar(std::string_view text, size_t at) {
  return at >= text.size() ? text.size() : at + CharSizeAt(text, at);
}

size_t CharStart(std::string_view text, size_t at) {
  if (at >= text.size()) return text.size();
  if (!Utf8() || !IsContinuation(static_cast<unsigned char>(text[at]))) return at;
  // A continuation byte belongs to the lead before it only when that lead's
  // sequence really reaches this far.
  for (size_t back = 1; back <= 3 && back <= at; ++back) {
    size_t lead = at - back;
    if (!IsContinuation(static_cast<unsigned char>(text[lead]))) {
      return CharSizeAt(text, lead) > back ? lead : at;
    }
  }
  return at;
}

size_t PreviousChar(std::string_view text, size_t at) {
  if (at == 0) return 0;
  at = std::min(at, text.size());
  return CharStart(text, at - 1);
}

size_t FittingPrefix(std::string_view text, size_t limit) {
  size_t end = 0;
  while (end < text.size()) {
    size_t next = NextChar(text, end);
    if (next > limit) break;
    end = next;
  }
  return end;
}

std::string ChangeCase(std::string_view text, bool upper) {
  if (IsAscii(text)) {
    std::string out(text);
    for (char& c : out) {
      if (upper) {
        c = UpperAscii(c);
      } else if (c >= 'A' && c <= 'Z') {
        c = static_cast<char>(c - 'A' + 'a');
      }
    }
    return out;
  }
  std::u16string wide = AnsiToWide(text);
  for (char16_t& c : wide) c = upper ? UpperCase16(c) : LowerCase16(c);
  return WideToAnsi(wide);
}

int CompareNoCase(std::string_view a, std::string_view b) {
  if (IsAscii(a) && IsAscii(b)) {
    size_t common = std::min(a.size(), b.size());
    for (size_t i = 0; i < common; ++i) {
      char x = UpperAscii(a[i]);
      char y = UpperAscii(b[i]);
      if (x != y) return static_cast<unsigned char>(x) < static_cast<unsigned char>(y) ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
  }
  std::u16string x = AnsiToWide(a);
  std::u16string y = AnsiToWide(b);
  int result = CompareStringOrdinal(x.c_str(), static_cast<int>(x.size()), y.c_str(),
                                    static_cast<int>(y.size()), TRUE);
  return result - CSTR_EQUAL;
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  if (prefix.size() > text.size()) return false;
  return CompareNoCase(text.substr(0, prefix.size()), prefix) == 0;
}

}  // namespace ui::controls
