// Completes an ASF file's content description (title, author, description)
// after the muxer has finished it: FFmpeg's muxer leaves the description
// field empty, TagLib writes all three where every reader looks for them.
#pragma once

#include <string>

#include "platform/media/wm_types.h"

namespace qap::media {

HRESULT WriteContentDescription(const std::string& hostPath, const std::u16string& title,
                                const std::u16string& author, const std::u16string& description);

}  // namespace qap::media
