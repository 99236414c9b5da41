// A group and its sub-groups. The group's own counts are read again with its
// sub-groups, in one read transaction, so that they always agree.
#include "suite/musicdb/korvel/group.h"

#include "suite/musicdb/core/database.h"
#include "suite/musicdb/korvel/group_rows.h"
#include "suite/musicdb/korvel/sub_group.h"

namespace qap::musicdb {

int Group::Refresh() try {
  Transaction transaction(Transaction::Kind::kRead);
  if (!transaction.Started()) return 0;
  TGroupInfo info;
  std::vector<TSubGroupInfo> subGroups;
  if (!ReadGroup(m_info.key, &info) || !ReadSubGroups(info, m_sort, &subGroups)) return 0;
  m_info = std::move(info);
  m_subGroups = std::move(subGroups);
  m_read = true;
  return 1;
} catch (...) {
  return 0;
}

bool Group::EnsureRead() { return m_read || Refresh() != 0; }

int Group::GetInfo(TGroupInfo* info) try {
  if (info == nullptr) return 0;
  *info = m_info;
  return 1;
} catch (...) {
  return 0;
}

int Group::GetSubGroupCount() {
  return EnsureRead() ? static_cast<int>(m_subGroups.size()) : 0;
}

ISubGroup* Group::MakeSubGroup(const TSubGroupInfo& info) const try {
  // Songs of a sub-group handed out here keep database order.
  return new SubGroup(info, SortSpec{});
} catch (...) {
  return nullptr;
}

ISubGroup* Group::GetSubGroup(int index) {
  if (!EnsureRead() || index < 0 || index >= static_cast<int>(m_subGroups.size())) return nullptr;
  return MakeSubGroup(m_subGroups[static_cast<size_t>(index)]);
}

ISubGroup* Group::GetSubGroupById(int id) {
  if (!EnsureRead()) return nullptr;
  for (const TSubGroupInfo& subGroup : m_subGroups) {
    if (subGroup.id == id) return MakeSubGroup(subGroup);
  }
  return nullptr;
}

}  // namespace qap::musicdb
