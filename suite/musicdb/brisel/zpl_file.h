// Reading a playlist file (the format is described in shellfolder/music_db.h)
// into a playlist-file storage.
#pragma once

#include <string_view>

#include "platform/base/cstring.h"
#include "suite/musicdb/core/storage.h"

namespace qap::musicdb {

// False when the file cannot be read.
bool ReadZplFile(const CString& path, IQAPStorage* storage);

// The program path of one line of a playlist file at zplPath: absolute
// lines as they are, relative ones against the file's folder. entry is
// not empty.
CString ResolveZplEntry(std::string_view zplPath, std::string_view entry);

}  // namespace qap::musicdb
