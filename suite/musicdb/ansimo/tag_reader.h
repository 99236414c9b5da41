// Reads a music file's tags and duration into a song record (TagLib).
#pragma once

#include "platform/base/cstring.h"
#include "suite/musicdb/core/song_record.h"

namespace qap::musicdb {

// False when the file cannot be read as audio. path is the program's path;
// the record gets it as its path, and the file's base name as title when
// the file has none.
bool ReadSongFile(const CString& path, SongRecord* song);

}  // namespace qap::musicdb
