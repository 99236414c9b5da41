// ISongContainer: every song of the library, in the order asked for.
#pragma once

#include <vector>

#include "shellfolder/music_db.h"
#include "suite/musicdb/core/song_record.h"
#include "suite/musicdb/core/sort_order.h"

namespace qap::musicdb {

class SongContainer final : public ISongContainer {
 public:
  explicit SongContainer(SortSpec sort) : m_sort(std::move(sort)) {}

  int GetCount() override { return static_cast<int>(m_songs.size()); }
  IQAPSongInfo* GetSong(int index) override;
  int FindSong(const CString& path, int songId) override;
  int Open() override;
  int DeleteSong(int index) override;

 private:
  SortSpec m_sort;
  std::vector<SongRecord> m_songs;
};

}  // namespace qap::musicdb
