// IDbQAPPlayList: a playlist of the database (every change stored at once)
// or one read from a playlist file or made in memory.
#pragma once

#include <cstdint>
#include <vector>

#include "shellfolder/music_db.h"
#include "suite/musicdb/core/song_record.h"

namespace qap::musicdb {

class Playlist final : public IDbQAPPlayList {
 public:
  explicit Playlist(int id) : m_id(id) {}
  // A playlist of the database as its container listed it; its songs are
  // read on first use.
  Playlist(int id, const CString& name, int songCount, int totalSeconds);

  int Open(IQAPStorage* storage) override;
  int SetName(const CString& name) override;
  const CString& GetName() const override { return m_name; }
  int GetSongCount() override;
  int GetSong(int index, IQAPSongInfo* song) override;
  int FindSong(const CString& path, int songId) override;
  int AddSong(const IQAPSongInfo* song) override;
  int RemoveSong(int index) override;
  int Load(IQAPStorage* storage, int id) override;
  int GetDetails(TPlayListInfo* info) override;
  void SetId(int id) override;

 private:
  enum class Source { kNone, kDatabase, kFile };
  struct Entry {
    std::int64_t rowId = 0;  // in playlist_songs; 0 when not stored
    SongRecord song;
  };

  bool Stored() const { return m_source == Source::kDatabase && m_id != 0; }
  bool EnsureLoaded();
  bool LoadFromDatabase(int id);
  void LoadFromFile(const IQAPStorage& file);

  int m_id;
  CString m_name;
  Source m_source = Source::kNone;
  const IQAPStorage* m_file = nullptr;
  bool m_loaded = false;
  std::vector<Entry> m_entries;
  // What the container said, until the songs are read.
  bool m_listed = false;
  int m_listedSongs = 0;
  int m_listedSeconds = 0;
};

}  // namespace qap::musicdb
