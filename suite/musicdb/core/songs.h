// The songs table: reading song rows into records, looking songs up,
// adding and deleting them. Callers hold the database lock.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "platform/base/export.h"
#include "suite/musicdb/core/query.h"
#include "suite/musicdb/core/song_record.h"
#include "suite/musicdb/core/text_codec.h"

namespace qap::musicdb {

// The song columns, in the order ReadSong expects them, of "songs AS s".
inline constexpr const char* kSongColumns =
    "s.id, s.path, s.title, s.artist, s.album, s.genre, s.track, s.year, s.duration";
inline constexpr int kSongColumnCount = 9;

// The song fields that groups group by; each is a column of songs.
QAP_EXPORT bool IsGroupKey(std::string_view key);

// Fills song from the kSongColumns that start at column first.
QAP_EXPORT void ReadSong(const Query& query, const TextCodec& codec, int first, SongRecord* song);
// Appends every row of query; false when stepping failed.
QAP_EXPORT bool ReadSongs(Query& query, std::vector<SongRecord>* songs);

// The index of the song with this id whose path names the same file, or -1.
QAP_EXPORT int FindSongIn(const std::vector<SongRecord>& songs, const CString& path, int songId);

enum class Found { kYes, kNo, kFailed };
QAP_EXPORT Found FindSongByPath(const CString& path, SongRecord* song);
QAP_EXPORT Found FindSongById(std::int64_t id, SongRecord* song);

// Stores the song unless one of the same file is there already (that one
// is left as it is); either way song then holds the stored song, its path in
// the stored form. False on a database failure.
QAP_EXPORT bool AddSong(SongRecord* song);
// False when no such song or on failure.
QAP_EXPORT bool DeleteSong(std::int64_t id);

}  // namespace qap::musicdb
