// The dialog "Downloading to clients": when several client programs are
// registered, the person picks the one that receives the file.
#pragma once

#include <cstddef>
#include <optional>
#include <vector>

#include "platform/base/cstring.h"

// Shows the dialog modally on the calling thread, owned by its active
// window, with names in list order; the index of the chosen name, or none
// (Cancel, the close box, or nobody there to answer).
std::optional<size_t> ChooseClient(const std::vector<CString>& names);
