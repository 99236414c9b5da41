// The general group's values. Both position pairs live in the same two
// registry values, as stored settings and other programs expect: a load
// gives both pairs the stored numbers and a save leaves the second pair's
// there. A missing position is written as 162 or 82 but held as 0, so on
// the first load the second pair already reads the numbers the first pair
// has just written.
#include "options/general_option.h"

namespace qap::options {
namespace {

constexpr ValueRow kValues[] = {
    Number("XWndStartPosition", 0, 162).UsedWhenMissing(0),
    Number("YWndStartPosition", 1, 82).UsedWhenMissing(0),
    Flag("StartPlayingAfterAdd", 2, true),
    Number("XWndStartPosition", 3, 162).UsedWhenMissing(0),
    Number("YWndStartPosition", 4, 82).UsedWhenMissing(0),
};

}  // namespace

GeneralOption::GeneralOption() : OptionGroup("General", kValues) {}

}  // namespace qap::options
