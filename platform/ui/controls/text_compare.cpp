// The common controls' text order. Case is folded for ASCII letters only;
// other bytes of the code page compare by value, which keeps the order
// total and stable for any text.
#include "platform/ui/controls/text_compare.h"

#include "platform/ui/controls/control_support.h"

#include <algorithm>

namespace ui::controls {

namespace {

unsigned char Fold(unsigned char c) { return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c + 32) : c; }

bool IsUpper(unsigned char c) { return c >= 'A' && c <= 'Z'; }

}  // namespace

int CompareText(std::string_view a, std::string_view b) {
  size_t common = std::min(a.size(), b.size());
  int tie = 0;
  for (size_t i = 0; i < common; ++i) {
    auto ca = static_cast<unsigned char>(a[i]);
    auto cb = static_cast<unsigned char>(b[i]);
    if (ca == cb) continue;
    unsigned char fa = Fold(ca);
    unsigned char fb = Fold(cb);
    if (fa != fb) return fa < fb ? -1 : 1;
    // The first difference in case decides when nothing else does.
    if (tie == 0) tie = IsUpper(ca) ? 1 : -1;
  }
  if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
  return tie;
}

bool SameTextNoCase(std::string_view a, std::string_view b) { return CompareNoCase(a, b) == 0; }

}  // namespace ui::controls
