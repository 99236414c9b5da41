// What the control files share: notifying the parent, mouse points, and
// text of the system code page handled a character at a time.
#pragma once

#include <string>
#include <string_view>

#include "platform/ui/gdi.h"
#include "platform/ui/messages.h"

namespace ui::controls {

// WM_COMMAND (control id, code) to the control's parent, as every standard
// control notifies.
void NotifyParent(HWND control, WORD code);

inline POINT PointOf(LPARAM lParam) {
  return POINT{static_cast<SHORT>(LOWORD(static_cast<WPARAM>(lParam))),
               static_cast<SHORT>(HIWORD(static_cast<WPARAM>(lParam)))};
}
inline LPARAM LParamOf(POINT point) {
  return MAKELPARAM(static_cast<WORD>(point.x), static_cast<WORD>(point.y));
}

// The metrics of the window's font, and the height of one line of it.
TEXTMETRICA TextMetricsOf(HWND window);
int LineHeight(HWND window);

// Copies text into a caller's buffer of size bytes, terminated, and answers
// the length copied (WM_GETTEXT's contract).
LRESULT CopyText(const std::string& text, char* buffer, size_t size);

// Characters of the system code page: with UTF-8 a character spans one to
// four bytes; with 1252 always one. A byte that cannot start a character
// counts as a character of its own, so bad input never stalls an edit.
size_t CharSizeAt(std::string_view text, size_t at);
size_t NextChar(std::string_view text, size_t at);
size_t PreviousChar(std::string_view text, size_t at);
// at moved back to the start of the character it falls in.
size_t CharStart(std::string_view text, size_t at);
// How many bytes a character starting with lead has (1 when lead cannot
// start a longer one).
size_t LeadSize(unsigned char lead);
// The longest prefix of text, at most limit bytes, that ends on a
// character boundary.
size_t FittingPrefix(std::string_view text, size_t limit);

// Upper or lower case of text in the system code page, as CharUpperBuff.
std::string ChangeCase(std::string_view text, bool upper);
// Text compared without regard to case, as the sorted lists compare.
int CompareNoCase(std::string_view a, std::string_view b);
bool StartsWithNoCase(std::string_view text, std::string_view prefix);

}  // namespace ui::controls
