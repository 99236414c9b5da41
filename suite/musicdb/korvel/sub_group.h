// ISubGroup: the songs of one value of a group's key.
#pragma once

#include <vector>

#include "shellfolder/music_db.h"
#include "suite/musicdb/core/song_record.h"
#include "suite/musicdb/core/sort_order.h"

namespace qap::musicdb {

class SubGroup final : public ISubGroup {
 public:
  SubGroup(const TSubGroupInfo& info, SortSpec sort) : m_info(info), m_sort(std::move(sort)) {}

  int FindSong(const CString& path, int songId) override;
  int GetInfo(TSubGroupInfo* info) override;
  int GetSongCount() override { return static_cast<int>(m_songs.size()); }
  IQAPSongInfo* GetSong(int index) override;
  IQAPSongInfo* GetSongById(int songId) override;
  int Open() override;

 private:
  TSubGroupInfo m_info;
  SortSpec m_sort;
  std::vector<SongRecord> m_songs;
};

}  // namespace qap::musicdb
