// Code page to UTF-8 and back, through UTF-16.
#include "suite/musicdb/core/text_codec.h"

#include "platform/base/codepage.h"

namespace qap::musicdb {

TextCodec::TextCodec() : m_passThrough(GetACP() == CP_UTF8) {}

std::string TextCodec::ToDb(std::string_view ansi) const {
  if (m_passThrough) return std::string(ansi);
  return WideToAnsi(AnsiToWide(ansi), CP_UTF8);
}

CString TextCodec::FromDb(std::string_view utf8) const {
  if (m_passThrough) return CString(utf8);
  return CString(WideToAnsi(AnsiToWide(utf8, CP_UTF8)));
}

}  // namespace qap::musicdb
