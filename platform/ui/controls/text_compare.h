// Text ordered as the common controls order it for sorted insertion (the
// linguistic order of lstrcmp: letters compared without regard to case,
// a difference in case only breaking a tie, lower case first), and the
// case-blind equality of their searches.
#pragma once

#include <string_view>

namespace ui::controls {

// <0, 0 or >0.
int CompareText(std::string_view a, std::string_view b);
// Whether a and b are equal without regard to case (as CompareNoCase of the
// standard controls).
bool SameTextNoCase(std::string_view a, std::string_view b);

}  // namespace ui::controls
