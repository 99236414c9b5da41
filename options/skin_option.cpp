// The skin group's values.
#include "options/skin_option.h"

namespace qap::options {
namespace {

constexpr ValueRow kValues[] = {
    Text("SkinPath", 0, 260),
    Text("SkinsRoot", 1, 260),
};

}  // namespace

SkinOption::SkinOption() : OptionGroup("Skins", kValues) {}

}  // namespace qap::options
