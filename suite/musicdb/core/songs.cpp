// Song rows: reading, lookup, adding (with the sub-group ids of the new
// values) and deleting.
#include "suite/musicdb/core/songs.h"

#include <string>

#include "suite/musicdb/core/database.h"
#include "suite/musicdb/core/song_path.h"

namespace qap::musicdb {
namespace {

const std::string kByPath = std::string("SELECT ") + kSongColumns + " FROM songs s WHERE s.path = ?1";
const std::string kById = std::string("SELECT ") + kSongColumns + " FROM songs s WHERE s.id = ?1";

}  // namespace

bool IsGroupKey(std::string_view key) {
  return key == "album" || key == "artist" || key == "genre";
}

void ReadSong(const Query& query, const TextCodec& codec, int first, SongRecord* song) {
  song->SetId(static_cast<int>(query.Int(first)));
  song->SetPath(codec.FromDb(query.Text(first + 1)));
  song->SetTitle(codec.FromDb(query.Text(first + 2)));
  song->SetArtist(codec.FromDb(query.Text(first + 3)));
  song->SetAlbum(codec.FromDb(query.Text(first + 4)));
  song->SetGenre(codec.FromDb(query.Text(first + 5)));
  song->SetTrackNumber(static_cast<int>(query.Int(first + 6)));
  song->SetYear(static_cast<int>(query.Int(first + 7)));
  song->SetDuration(static_cast<int>(query.Int(first + 8)));
}

bool ReadSongs(Query& query, std::vector<SongRecord>* songs) {
  const TextCodec codec;
  while (query.Next()) ReadSong(query, codec, 0, &songs->emplace_back());
  return !query.Failed();
}

int FindSongIn(const std::vector<SongRecord>& songs, const CString& path, int songId) {
  const CString stored = CanonicalSongPath(path);
  for (size_t i = 0; i < songs.size(); ++i) {
    if (songs[i].GetId() == songId && songs[i].GetPath() == stored) return static_cast<int>(i);
  }
  return -1;
}

Found FindSongByPath(const CString& path, SongRecord* song) {
  const TextCodec codec;
  Query query(kByPath);
  query.Bind(1, StoredSongPath(path.str()));
  if (query.Next()) {
    ReadSong(query, codec, 0, song);
    return Found::kYes;
  }
  return query.Failed() ? Found::kFailed : Found::kNo;
}

Found FindSongById(std::int64_t id, SongRecord* song) {
  const TextCodec codec;
  Query query(kById);
  query.Bind(1, id);
  if (query.Next()) {
    ReadSong(query, codec, 0, song);
    return Found::kYes;
  }
  return query.Failed() ? Found::kFailed : Found::kNo;
}

bool AddSong(SongRecord* song) {
  Transaction transaction(Transaction::Kind::kWrite);
  if (!transaction.Started()) return false;
  const TextCodec codec;
  const std::string path = StoredSongPath(song->GetPath().str());
  const std::string artist = codec.ToDb(song->GetArtist().str());
  const std::string album = codec.ToDb(song->GetAlbum().str());
  const std::string genre = codec.ToDb(song->GetGenre().str());
  {
    Query insert(
        "INSERT INTO songs(path, title, artist, album, genre, track, year, duration) "
        "VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8) ON CONFLICT(path) DO NOTHING");
    insert.Bind(1, path);
    insert.Bind(2, codec.ToDb(song->GetTitle().str()));
    insert.Bind(3, artist);
    insert.Bind(4, album);
    insert.Bind(5, genre);
    insert.Bind(6, song->GetTrackNumber());
    insert.Bind(7, song->GetYear());
    insert.Bind(8, song->GetDuration());
    if (!insert.Run()) return false;
  }
  if (sqlite3_changes(transaction.Connection()) > 0) {
    const std::pair<const char*, const std::string*> values[] = {
        {"album", &album}, {"artist", &artist}, {"genre", &genre}};
    for (const auto& [key, value] : values) {
      Query insert("INSERT INTO subgroups(key, value) VALUES(?1, ?2) ON CONFLICT DO NOTHING");
      insert.Bind(1, key);
      insert.Bind(2, *value);
      if (!insert.Run()) return false;
    }
  }
  if (FindSongByPath(song->GetPath(), song) != Found::kYes) return false;
  return transaction.Commit();
}

bool DeleteSong(std::int64_t id) {
  Transaction transaction(Transaction::Kind::kWrite);
  if (!transaction.Started()) return false;
  {
    Query remove("DELETE FROM songs WHERE id = ?1");
    remove.Bind(1, id);
    if (!remove.Run() || sqlite3_changes(transaction.Connection()) == 0) return false;
  }
  return transaction.Commit();
}

}  // namespace qap::musicdb
