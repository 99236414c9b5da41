// What the reader and writer objects share: the host file behind a URL and
// the one-time set-up of the FFmpeg libraries.
#pragma once

#include <string>

#include "platform/base/win_types.h"

namespace qap::media {

// UTF-16 program path to host path (through the drive table); empty when the
// path is empty or names an unmapped drive.
std::string HostPathOf(LPCWSTR url);

// FFmpeg reports through av_log; the SDK stand-in reports through result
// codes only, so the libraries are kept quiet.
void QuietenLibraries();

}  // namespace qap::media
