// Code page to UTF-8 and back, with the code page read once per batch.
#include "suite/musicdb/core/text_codec.h"

#include "platform/base/codepage.h"

namespace qap::musicdb {

TextCodec::TextCodec() : m_passThrough(GetACP() == CP_UTF8) {}

std::string TextCodec::ToDb(std::string_view ansi) const {
  if (m_passThrough) return std::string(ansi);
  return AnsiToUtf8(ansi);
}

CString TextCodec::FromDb(std::string_view utf8) const {
  if (m_passThrough) return CString(utf8);
  return CString(Utf8ToAnsi(utf8));
}

}  // namespace qap::musicdb
