// IGroup: one group with its sub-groups, read on first use.
#pragma once

#include <vector>

#include "shellfolder/music_db.h"
#include "suite/musicdb/core/sort_order.h"

namespace qap::musicdb {

class Group final : public IGroup {
 public:
  Group(const TGroupInfo& info, SortSpec sort) : m_info(info), m_sort(std::move(sort)) {}

  int Refresh() override;
  int GetInfo(TGroupInfo* info) override;
  int GetSubGroupCount() override;
  ISubGroup* GetSubGroup(int index) override;
  ISubGroup* GetSubGroupById(int id) override;

 private:
  bool EnsureRead();
  ISubGroup* MakeSubGroup(const TSubGroupInfo& info) const;

  TGroupInfo m_info;
  SortSpec m_sort;
  bool m_read = false;
  std::vector<TSubGroupInfo> m_subGroups;
};

}  // namespace qap::musicdb
