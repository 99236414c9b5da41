// What an ASF file's header declares about the whole file, read from the
// file itself: FFmpeg keeps the file properties to itself, and they are what
// tells a file cut short from a whole one.
#pragma once

#include <cstdint>
#include <string>

#include "platform/media/wm_types.h"

namespace qap::media {

struct AsfFileProperties {
  std::uint64_t declaredSize = 0;  // bytes; 0 when the header leaves it open
  std::uint64_t actualSize = 0;    // bytes on disk
  QWORD duration = 0;              // 100-ns units, the preroll taken off
  bool durationKnown = false;

  bool CutShort() const { return declaredSize != 0 && actualSize < declaredSize; }
};

// kMediaNotAsf for a file that does not begin with an ASF header,
// kMediaInvalidData for a header that is cut or broken, and the system's
// error for a file that cannot be read.
HRESULT ReadAsfFileProperties(const std::string& hostPath, AsfFileProperties* properties);

}  // namespace qap::media
