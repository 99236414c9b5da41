// All songs, read in one query; deleting a song removes it from the
// database and from every playlist that holds it.
#include "suite/musicdb/korvel/song_container.h"

#include <string>

#include "suite/musicdb/core/database.h"
#include "suite/musicdb/core/query.h"
#include "suite/musicdb/core/songs.h"

namespace qap::musicdb {

IQAPSongInfo* SongContainer::GetSong(int index) {
  if (index < 0 || index >= static_cast<int>(m_songs.size())) return nullptr;
  return &m_songs[static_cast<size_t>(index)];
}

int SongContainer::FindSong(const CString& path, int songId) try {
  return FindSongIn(m_songs, path, songId);
} catch (...) {
  return -1;
}

int SongContainer::Open() try {
  Database& database = Database::Instance();
  auto lock = database.Lock();
  if (database.Connection() == nullptr) return 0;
  std::vector<SongRecord> songs;
  {
    // Sized at once: growing by doubling would leave up to half the
    // records' room unused for the container's life.
    Query count("SELECT count(*) FROM songs");
    if (count.Next()) songs.reserve(static_cast<size_t>(count.Int(0)));
  }
  Query query(std::string("SELECT ") + kSongColumns + " FROM songs s" +
              OrderBy(SortTarget::kSongs, m_sort));
  if (!ReadSongs(query, &songs)) return 0;
  m_songs = std::move(songs);
  return 1;
} catch (...) {
  return 0;
}

int SongContainer::DeleteSong(int index) try {
  if (index < 0 || index >= static_cast<int>(m_songs.size())) return 0;
  Database& database = Database::Instance();
  auto lock = database.Lock();
  if (!qap::musicdb::DeleteSong(m_songs[static_cast<size_t>(index)].GetId())) return 0;
  m_songs.erase(m_songs.begin() + index);
  return 1;
} catch (...) {
  return 0;
}

}  // namespace qap::musicdb
