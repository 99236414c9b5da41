// The visual-effect group's one value; unlike most groups, a save that
// cannot write it fails.
#include "options/visual_effect_option.h"

namespace qap::options {
namespace {

constexpr ValueRow kValues[] = {
    Text("DefaultEffect", 0, 260).Required(),
};

}  // namespace

VisualEffectOption::VisualEffectOption() : OptionGroup("VisualEffects", kValues) {}

}  // namespace qap::options
