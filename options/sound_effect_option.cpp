// The sound-effect group's one value; any number is accepted.
#include "options/sound_effect_option.h"

namespace qap::options {
namespace {

constexpr ValueRow kValues[] = {
    Number("Quality", 0, 0),
};

}  // namespace

SoundEffectOption::SoundEffectOption() : OptionGroup("SoundEffectsSettings", kValues) {}

}  // namespace qap::options
