// The version stamp in the settings' root ("Version" = "RELEASE:07.00").
// Group loads read the stamp the previous run left, to clean up settings of
// older versions, before LoadOptions stamps the current version.
#pragma once

#include <optional>

#include "platform/registry/registry.h"

namespace qap::options {

// The major number of the stored stamp, when GetOptVersion can read one.
std::optional<DWORD> StoredMajorVersion();
// Stamps this version into the (open) root key.
void WriteVersionStamp(HKEY root);

}  // namespace qap::options
