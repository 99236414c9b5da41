// The one form a song's path is kept in, so that one file is one song: a
// program path ("Z:\music\a.mp3", "C:\music\a.mp3") and the host path of the
// same file all become that file's host path, absolute, without "." and
// ".." steps or doubled and trailing separators. A path on no mapped drive or
// share is kept as it was given.
#pragma once

#include <sqlite3.h>

#include <string>
#include <string_view>

#include "platform/base/cstring.h"
#include "platform/base/export.h"

namespace qap::musicdb {

// The stored form (UTF-8, as the database holds text) of a path in the
// system code page.
QAP_EXPORT std::string StoredSongPath(std::string_view ansiPath);
// The same, as the records hand paths out (system code page).
QAP_EXPORT CString CanonicalSongPath(const CString& path);

// Databases of format 1 kept paths as they were given: each becomes its
// stored form, and songs that turn out to be one file become one song (the
// oldest; its playlists' entries go to it). db is the open connection,
// inside a write transaction.
int MergeSongPaths(sqlite3* db);

}  // namespace qap::musicdb
