// Ansimo's factories: song records, empty or read from a music file.
#include <memory>

#include "shellfolder/music_db.h"
#include "suite/musicdb/ansimo/tag_reader.h"
#include "suite/musicdb/core/song_record.h"

int CreateQAPSongInfo(IQAPSongInfo** song) try {
  if (song == nullptr) return 0;
  *song = new qap::musicdb::SongRecord;
  return 1;
} catch (...) {
  return 0;
}

int CreateQAPSongInfoFromFile(const CString& path, IQAPSongInfo** song) try {
  if (song == nullptr) return 0;
  *song = nullptr;
  auto record = std::make_unique<qap::musicdb::SongRecord>();
  if (!qap::musicdb::ReadSongFile(path, record.get())) return 0;
  *song = record.release();
  return 1;
} catch (...) {
  return 0;
}

void DestroyQAPSongInfo(IQAPSongInfo* song) { delete static_cast<qap::musicdb::SongRecord*>(song); }
