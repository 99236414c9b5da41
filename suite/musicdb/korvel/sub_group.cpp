// A sub-group found again from its id and extra text (the group's key), and
// its songs.
#include "suite/musicdb/korvel/sub_group.h"

#include <string>

#include "suite/musicdb/core/database.h"
#include "suite/musicdb/core/query.h"
#include "suite/musicdb/core/songs.h"
#include "suite/musicdb/core/text_codec.h"
#include "suite/musicdb/korvel/group_rows.h"

namespace qap::musicdb {

int SubGroup::FindSong(const CString& path, int songId) try {
  return FindSongIn(m_songs, path, songId);
} catch (...) {
  return -1;
}

int SubGroup::GetInfo(TSubGroupInfo* info) try {
  if (info == nullptr) return 0;
  *info = m_info;
  return 1;
} catch (...) {
  return 0;
}

IQAPSongInfo* SubGroup::GetSong(int index) {
  if (index < 0 || index >= static_cast<int>(m_songs.size())) return nullptr;
  return &m_songs[static_cast<size_t>(index)];
}

IQAPSongInfo* SubGroup::GetSongById(int songId) {
  for (SongRecord& song : m_songs) {
    if (song.GetId() == songId) return &song;
  }
  return nullptr;
}

int SubGroup::Open() try {
  Transaction transaction(Transaction::Kind::kRead);
  if (!transaction.Started()) return 0;
  const TextCodec codec;
  std::string key;
  std::string value;
  CString groupName;
  {
    Query find(
        "SELECT v.key, v.value, g.name FROM subgroups v JOIN groups g ON g.key = v.key "
        "WHERE v.id = ?1");
    find.Bind(1, m_info.id);
    if (!find.Next()) return 0;
    key = find.Text(0);
    value = find.Text(1);
    groupName = codec.FromDb(find.Text(2));
  }
  if (!IsGroupKey(key) || (!m_info.extra.IsEmpty() && codec.ToDb(m_info.extra.str()) != key))
    return 0;
  std::vector<SongRecord> songs;
  {
    // The key is one of the song columns (checked above).
    Query query(std::string("SELECT ") + kSongColumns + " FROM songs s WHERE s." + key + " = ?1" +
                OrderBy(SortTarget::kSongs, m_sort));
    query.Bind(1, value);
    if (!ReadSongs(query, &songs)) return 0;
  }
  m_songs = std::move(songs);
  m_info.name = SubGroupName(codec.FromDb(value), groupName);
  m_info.extra = codec.FromDb(key);
  m_info.songCount = static_cast<int>(m_songs.size());
  m_info.totalSeconds = 0;
  for (const SongRecord& song : m_songs) m_info.totalSeconds += song.GetDuration();
  return 1;
} catch (...) {
  return 0;
}

}  // namespace qap::musicdb
