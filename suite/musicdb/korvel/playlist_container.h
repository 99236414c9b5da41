// IPlaylistContainer: the playlists with their song counts and totals.
#pragma once

#include <vector>

#include "shellfolder/music_db.h"
#include "suite/musicdb/core/sort_order.h"

namespace qap::musicdb {

class PlaylistContainer final : public IPlaylistContainer {
 public:
  explicit PlaylistContainer(SortSpec sort) : m_sort(std::move(sort)) {}

  int GetCount() override { return static_cast<int>(m_rows.size()); }
  IDbQAPPlayList* GetPlaylist(int index) override;
  IDbQAPPlayList* GetPlaylistById(int id) override;
  int CreatePlaylist(const CString& name) override;
  int DeletePlaylist(const CString& name) override;
  int Open() override;

 private:
  struct Row {
    int id = 0;
    CString name;
    int songCount = 0;
    int totalSeconds = 0;
  };
  IDbQAPPlayList* MakePlaylist(const Row& row) const;

  SortSpec m_sort;
  std::vector<Row> m_rows;
};

}  // namespace qap::musicdb
