// Playlists. A playlist of the database keeps the row id of each entry, so
// removing an entry removes exactly that one even when another process has
// changed the playlist meanwhile.
#include "suite/musicdb/korvel/playlist.h"

#include <string>

#include "platform/base/paths.h"
#include "suite/musicdb/core/database.h"
#include "suite/musicdb/core/query.h"
#include "suite/musicdb/core/song_path.h"
#include "suite/musicdb/core/songs.h"
#include "suite/musicdb/core/storage.h"
#include "suite/musicdb/core/text_codec.h"

namespace qap::musicdb {

Playlist::Playlist(int id, const CString& name, int songCount, int totalSeconds)
    : m_id(id),
      m_name(name),
      m_source(Source::kDatabase),
      m_listed(true),
      m_listedSongs(songCount),
      m_listedSeconds(totalSeconds) {}

int Playlist::Open(IQAPStorage* storage) {
  if (storage == nullptr) return 0;
  m_file = IsDatabase(storage) ? nullptr : storage;
  m_source = IsDatabase(storage) ? Source::kDatabase : Source::kFile;
  m_loaded = false;
  return 1;
}

int Playlist::Load(IQAPStorage* storage, int id) try {
  const IQAPStorage* source = storage;
  if (source == nullptr) {
    if (m_source == Source::kDatabase) return LoadFromDatabase(id != 0 ? id : m_id) ? 1 : 0;
    if (m_source != Source::kFile || m_file == nullptr) return 0;
    source = m_file;
  }
  if (IsDatabase(source)) return LoadFromDatabase(id != 0 ? id : m_id) ? 1 : 0;
  LoadFromFile(*source);
  return 1;
} catch (...) {
  return 0;
}

bool Playlist::LoadFromDatabase(int id) {
  if (id == 0) return false;
  Transaction transaction(Transaction::Kind::kRead);
  if (!transaction.Started()) return false;
  const TextCodec codec;
  CString name;
  {
    Query find("SELECT name FROM playlists WHERE id = ?1");
    find.Bind(1, id);
    if (!find.Next()) return false;
    name = codec.FromDb(find.Text(0));
  }
  std::vector<Entry> entries;
  Query songs(std::string("SELECT e.id, ") + kSongColumns +
              " FROM playlist_songs e JOIN songs s ON s.id = e.song_id "
              "WHERE e.playlist_id = ?1 ORDER BY e.position, e.id");
  songs.Bind(1, id);
  while (songs.Next()) {
    Entry& entry = entries.emplace_back();
    entry.rowId = songs.Int(0);
    ReadSong(songs, codec, 1, &entry.song);
  }
  if (songs.Failed()) return false;
  m_id = id;
  m_name = std::move(name);
  m_entries = std::move(entries);
  m_source = Source::kDatabase;
  m_file = nullptr;
  m_loaded = true;
  return true;
}

void Playlist::LoadFromFile(const IQAPStorage& file) {
  std::vector<Entry> entries;
  for (const CString& path : file.paths) {
    Entry& entry = entries.emplace_back();
    entry.song.SetPath(path);
    entry.song.SetTitle(CString(SplitPath(path.str()).baseName));
  }
  m_name = file.name;
  m_entries = std::move(entries);
  m_source = Source::kFile;
  m_file = &file;
  m_loaded = true;
}

bool Playlist::EnsureLoaded() {
  if (m_loaded) return true;
  if (Stored()) return LoadFromDatabase(m_id);
  if (m_source == Source::kFile && m_file != nullptr) {
    LoadFromFile(*m_file);
    return true;
  }
  m_loaded = true;  // nothing to read: a list in memory
  return true;
}

int Playlist::SetName(const CString& name) try {
  if (name.IsEmpty()) return 0;
  if (Stored()) {
    Transaction transaction(Transaction::Kind::kWrite);
    if (!transaction.Started()) return 0;
    {
      Query rename("UPDATE playlists SET name = ?2 WHERE id = ?1");
      rename.Bind(1, m_id);
      rename.Bind(2, TextCodec().ToDb(name.str()));
      if (!rename.Run() || sqlite3_changes(transaction.Connection()) == 0) return 0;
    }
    if (!transaction.Commit()) return 0;
  }
  m_name = name;
  return 1;
} catch (...) {
  return 0;
}

int Playlist::GetSongCount() try {
  return EnsureLoaded() ? static_cast<int>(m_entries.size()) : 0;
} catch (...) {
  return 0;
}

int Playlist::GetSong(int index, IQAPSongInfo* song) try {
  if (song == nullptr || !EnsureLoaded()) return 0;
  if (index < 0 || index >= static_cast<int>(m_entries.size())) return 0;
  m_entries[static_cast<size_t>(index)].song.CopyTo(song);
  return 1;
} catch (...) {
  return 0;
}

int Playlist::FindSong(const CString& path, int songId) try {
  if (!EnsureLoaded()) return -1;
  // The database's songs carry their paths in the stored form; a playlist
  // file's entries are as the file has them.
  const CString wanted = Stored() ? CanonicalSongPath(path) : path;
  for (size_t i = 0; i < m_entries.size(); ++i) {
    const SongRecord& song = m_entries[i].song;
    if (song.GetId() == songId && song.GetPath() == wanted) return static_cast<int>(i);
  }
  return -1;
} catch (...) {
  return -1;
}

int Playlist::AddSong(const IQAPSongInfo* song) try {
  if (song == nullptr || !EnsureLoaded()) return 0;
  Entry entry;
  if (!Stored()) {
    entry.song.Assign(*song);
    m_entries.push_back(std::move(entry));
    return 1;
  }
  Transaction transaction(Transaction::Kind::kWrite);
  if (!transaction.Started()) return 0;
  const Found found = song->GetId() != 0 ? FindSongById(song->GetId(), &entry.song)
                                         : FindSongByPath(song->GetPath(), &entry.song);
  if (found != Found::kYes) {
    if (found == Found::kNo)
      Database::Instance().SetError("The song " + song->GetPath().str() +
                                    " is not in the music database.");
    return 0;
  }
  {
    // Fails on the foreign key when another process deleted the playlist.
    Query insert(
        "INSERT INTO playlist_songs(playlist_id, song_id, position) VALUES(?1, ?2, "
        "(SELECT coalesce(max(position), 0) + 1 FROM playlist_songs WHERE playlist_id = ?1))");
    insert.Bind(1, m_id);
    insert.Bind(2, entry.song.GetId());
    if (!insert.Run()) return 0;
  }
  entry.rowId = sqlite3_last_insert_rowid(transaction.Connection());
  if (!transaction.Commit()) return 0;
  m_entries.push_back(std::move(entry));
  return 1;
} catch (...) {
  return 0;
}

int Playlist::RemoveSong(int index) try {
  if (!EnsureLoaded() || index < 0 || index >= static_cast<int>(m_entries.size())) return 0;
  if (Stored()) {
    Transaction transaction(Transaction::Kind::kWrite);
    if (!transaction.Started()) return 0;
    {
      Query remove("DELETE FROM playlist_songs WHERE id = ?1 AND playlist_id = ?2");
      remove.Bind(1, m_entries[static_cast<size_t>(index)].rowId);
      remove.Bind(2, m_id);
      if (!remove.Run() || sqlite3_changes(transaction.Connection()) == 0) return 0;
    }
    if (!transaction.Commit()) return 0;
  }
  m_entries.erase(m_entries.begin() + index);
  return 1;
} catch (...) {
  return 0;
}

int Playlist::GetDetails(TPlayListInfo* info) try {
  if (info == nullptr) return 0;
  info->id = m_id;
  if (!m_loaded && m_listed) {
    info->songCount = m_listedSongs;
    info->totalSeconds = m_listedSeconds;
    return 1;
  }
  if (!EnsureLoaded()) return 0;
  info->songCount = static_cast<int>(m_entries.size());
  info->totalSeconds = 0;
  for (const Entry& entry : m_entries) info->totalSeconds += entry.song.GetDuration();
  return 1;
} catch (...) {
  return 0;
}

void Playlist::SetId(int id) {
  m_id = id;
  // Songs read for another id, or listed for it, are not this playlist's.
  if (m_source == Source::kDatabase) m_loaded = false;
  m_listed = false;
}

}  // namespace qap::musicdb
