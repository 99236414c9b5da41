// Binding a song record to the database, and copying records.
#include "suite/musicdb/core/song_record.h"

#include "suite/musicdb/core/database.h"
#include "suite/musicdb/core/songs.h"
#include "suite/musicdb/core/storage.h"

namespace qap::musicdb {

int SongRecord::Bind(IQAPStorage* storage, int add) try {
  if (!IsDatabase(storage) || m_path.IsEmpty()) return 0;
  Database& database = Database::Instance();
  auto lock = database.Lock();
  if (database.Connection() == nullptr) return 0;
  if (add != 0) return AddSong(this) ? 1 : 0;
  return FindSongByPath(m_path, this) == Found::kYes ? 1 : 0;
} catch (...) {
  return 0;
}

void SongRecord::Assign(const IQAPSongInfo& other) {
  m_path = other.GetPath();
  m_title = other.GetTitle();
  m_artist = other.GetArtist();
  m_album = other.GetAlbum();
  m_genre = other.GetGenre();
  m_track = other.GetTrackNumber();
  m_year = other.GetYear();
  m_duration = other.GetDuration();
  m_id = other.GetId();
}

void SongRecord::CopyTo(IQAPSongInfo* other) const {
  other->SetPath(m_path);
  other->SetTitle(m_title);
  other->SetArtist(m_artist);
  other->SetAlbum(m_album);
  other->SetGenre(m_genre);
  other->SetTrackNumber(m_track);
  other->SetYear(m_year);
  other->SetDuration(m_duration);
  other->SetId(m_id);
}

}  // namespace qap::musicdb
