// A playlist's songs for the list. The music database keeps a playlist in
// its own order and sorts none, so the view orders them itself, by the
// same rules the database sorts song lists with.
#pragma once

#include <vector>

#include "platform/base/cstring.h"
#include "shellfolder/music_db.h"

// The songs of the database playlist id, in playlist order; false when it
// cannot be read.
bool ReadPlaylistSongs(int id, std::vector<SongInfoPtr>* songs);
// Sorts by the column a sort name means ("Song", "Duration", "Album",
// "Artist", "Genre", "Location"): text without regard to ASCII case,
// durations as numbers; equal songs keep playlist order in either
// direction. An empty name keeps playlist order.
void OrderPlaylistSongs(std::vector<SongInfoPtr>* songs, const CString& sortName, bool ascending);
