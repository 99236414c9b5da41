// The playlist container. Creating or deleting a playlist reads the list
// again, so that it stays in the order asked for and shows what other
// processes changed.
#include "suite/musicdb/korvel/playlist_container.h"

#include <string>

#include "suite/musicdb/core/database.h"
#include "suite/musicdb/core/query.h"
#include "suite/musicdb/core/text_codec.h"
#include "suite/musicdb/korvel/playlist.h"

namespace qap::musicdb {

int PlaylistContainer::Open() try {
  Database& database = Database::Instance();
  auto lock = database.Lock();
  if (database.Connection() == nullptr) return 0;
  const TextCodec codec;
  // Column names as sort_order expects them: id, name, songs, seconds.
  Query query(
      "SELECT * FROM (SELECT p.id AS id, p.name AS name, count(s.id) AS songs, "
      "coalesce(sum(s.duration), 0) AS seconds FROM playlists p "
      "LEFT JOIN playlist_songs e ON e.playlist_id = p.id LEFT JOIN songs s ON s.id = e.song_id "
      "GROUP BY p.id)" +
      OrderBy(SortTarget::kPlaylists, m_sort));
  std::vector<Row> rows;
  while (query.Next()) {
    Row& row = rows.emplace_back();
    row.id = static_cast<int>(query.Int(0));
    row.name = codec.FromDb(query.Text(1));
    row.songCount = static_cast<int>(query.Int(2));
    row.totalSeconds = static_cast<int>(query.Int(3));
  }
  if (query.Failed()) return 0;
  m_rows = std::move(rows);
  return 1;
} catch (...) {
  return 0;
}

IDbQAPPlayList* PlaylistContainer::MakePlaylist(const Row& row) const try {
  return new Playlist(row.id, row.name, row.songCount, row.totalSeconds);
} catch (...) {
  return nullptr;
}

IDbQAPPlayList* PlaylistContainer::GetPlaylist(int index) {
  if (index < 0 || index >= static_cast<int>(m_rows.size())) return nullptr;
  return MakePlaylist(m_rows[static_cast<size_t>(index)]);
}

IDbQAPPlayList* PlaylistContainer::GetPlaylistById(int id) {
  for (const Row& row : m_rows) {
    if (row.id == id) return MakePlaylist(row);
  }
  return nullptr;
}

int PlaylistContainer::CreatePlaylist(const CString& name) try {
  if (name.IsEmpty()) return 0;
  int id = 0;
  {
    Transaction transaction(Transaction::Kind::kWrite);
    if (!transaction.Started()) return 0;
    {
      Query insert("INSERT INTO playlists(name) VALUES(?1)");
      insert.Bind(1, TextCodec().ToDb(name.str()));
      if (!insert.Run()) return 0;
    }
    id = static_cast<int>(sqlite3_last_insert_rowid(transaction.Connection()));
    if (!transaction.Commit()) return 0;
  }
  // The playlist exists even if the list cannot be read again now.
  Open();
  return id;
} catch (...) {
  return 0;
}

int PlaylistContainer::DeletePlaylist(const CString& name) try {
  {
    Transaction transaction(Transaction::Kind::kWrite);
    if (!transaction.Started()) return 0;
    {
      Query remove(
          "DELETE FROM playlists WHERE id = (SELECT min(id) FROM playlists WHERE name = ?1)");
      remove.Bind(1, TextCodec().ToDb(name.str()));
      if (!remove.Run()) return 0;
      if (sqlite3_changes(transaction.Connection()) == 0) {
        Database::Instance().SetError("There is no playlist named " + name.str() + ".");
        return 0;
      }
    }
    if (!transaction.Commit()) return 0;
  }
  Open();
  return 1;
} catch (...) {
  return 0;
}

}  // namespace qap::musicdb
