// IGroupContainer: the groups with their counts, in the order asked for.
#pragma once

#include <vector>

#include "shellfolder/music_db.h"
#include "suite/musicdb/core/sort_order.h"

namespace qap::musicdb {

class GroupContainer final : public IGroupContainer {
 public:
  explicit GroupContainer(SortSpec sort) : m_sort(std::move(sort)) {}

  int GetCount() override { return static_cast<int>(m_groups.size()); }
  IGroup* GetGroup(int index) override;
  IGroup* GetGroupById(int id) override;
  int Open() override;

 private:
  IGroup* MakeGroup(const TGroupInfo& info) const;

  SortSpec m_sort;
  std::vector<TGroupInfo> m_groups;
};

}  // namespace qap::musicdb
