// The layer's options record: the hosts' defaults, and the temporary folder
// the layer works in.
#pragma once

#include <string>

#include "drumlet/transfer_layer.h"

namespace quadrin {

// The defaults a host without options fills in (no temporary folder).
TQuadrinInitStruct DefaultInitStruct();
// $TMPDIR, else /tmp.
std::string DefaultTempFolder();
// The record's temporary folder, or the default one when it names none.
std::string TempFolderOf(const TQuadrinInitStruct& init);

}  // namespace quadrin
