// Text between the callers' system code page and the database's UTF-8. The
// database is shared by processes that may run with different code pages,
// so it always holds UTF-8; with the default UTF-8 code page the bytes pass
// unchanged (file names that are not valid UTF-8 still round-trip).
#pragma once

#include <string>
#include <string_view>

#include "platform/base/cstring.h"
#include "platform/base/export.h"

namespace qap::musicdb {

class QAP_EXPORT TextCodec {
 public:
  // Reads the code page once, for a whole batch of conversions.
  TextCodec();

  std::string ToDb(std::string_view ansi) const;
  CString FromDb(std::string_view utf8) const;

 private:
  bool m_passThrough;
};

}  // namespace qap::musicdb
