// The tagging group's values. The year follows the calendar; "Auto" is kept
// as the settings have always been kept: written as 0 when missing, yet held
// as true, so that a later save writes 1.
#include "options/tagging_option.h"

namespace qap::options {
namespace {

DWORD CurrentYear() { return static_cast<DWORD>(CTime::GetCurrentTime().GetYear()); }

// A year of 0 or one still to come is not a recording year.
DWORD PlausibleYear(DWORD stored) {
  const DWORD year = CurrentYear();
  return stored == 0 || stored > year ? year : stored;
}

constexpr ValueRow kValues[] = {
    Text("Title", 0, 256),
    Text("Artist", 1, 256),
    Text("Album", 2, 256),
    Number("Year", 3, 0).ComputedDefault(&CurrentYear).Bound(&PlausibleYear),
    Flag("Auto", 4, false).UsedWhenMissing(1).Before(1),
};

}  // namespace

TaggingOption::TaggingOption() : OptionGroup("Tagging", kValues) {}

}  // namespace qap::options
