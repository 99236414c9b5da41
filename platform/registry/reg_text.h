// The hive keeps the registry's texts (REG_SZ, REG_EXPAND_SZ, REG_MULTI_SZ)
// in one encoding, UTF-8, whatever the code page of the process that wrote
// them, as Windows keeps them in Unicode: the ANSI calls convert with the
// calling process's code page. Names stay as they are given.
#pragma once

#include <string>
#include <string_view>

#include "platform/base/win_types.h"

namespace qap::registry {

bool IsTextType(DWORD type);
// The stored form of a text the calling process hands over.
std::string StoredText(std::string_view ansi);
// A stored text in the calling process's code page. Bytes that are no UTF-8
// were stored by a process of another code page before texts were kept in
// one encoding, and are handed back as they are.
std::string CallerText(std::string_view stored);
// A stored text as UTF-16LE bytes, and back (the wide calls, regedit's
// files).
std::string StoredToUtf16(std::string_view stored);
std::string Utf16ToStored(std::string_view bytes);

}  // namespace qap::registry
