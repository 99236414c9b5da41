// The built-in genre and theme tables: what the genre-preference and theme
// groups hold before their first load and write for entries that are
// missing. The texts are the product's own and are kept byte for byte.
#pragma once

#include "platform/base/cstring.h"
#include "platform/base/win_types.h"

namespace qap::options {

constexpr DWORD kBuiltInGenreCount = 12;
constexpr DWORD kBuiltInThemeCount = 13;

// Empty past the end of the table.
CString BuiltInGenreName(DWORD index);
CString BuiltInThemeName(DWORD index);
// In the system code page (one description holds a dash outside ASCII).
CString BuiltInThemeDescription(DWORD index);

}  // namespace qap::options
