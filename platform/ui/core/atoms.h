// The atom table behind registered window messages, clipboard formats and
// class atoms: one name (compared without regard to case), one number from
// 0xC000 to 0xFFFF, for the life of the process.
#pragma once

#include <string>

#include "platform/ui/ui_types.h"

namespace ui::core {

// 0 when the name is empty or the table is full.
ATOM AddAtom(const std::string& name);
// 0 when the name was never added.
ATOM FindAtom(const std::string& name);
// Empty for a number that is no atom.
std::string AtomName(ATOM atom);

}  // namespace ui::core
