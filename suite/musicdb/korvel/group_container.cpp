// The group container. Groups it hands out read their sub-groups only when
// asked, so listing the groups costs one query whatever the library's size.
#include "suite/musicdb/korvel/group_container.h"

#include "suite/musicdb/core/database.h"
#include "suite/musicdb/korvel/group.h"
#include "suite/musicdb/korvel/group_rows.h"

namespace qap::musicdb {

int GroupContainer::Open() try {
  Transaction transaction(Transaction::Kind::kRead);
  if (!transaction.Started()) return 0;
  std::vector<TGroupInfo> groups;
  if (!ReadGroups(m_sort, &groups)) return 0;
  m_groups = std::move(groups);
  return 1;
} catch (...) {
  return 0;
}

IGroup* GroupContainer::MakeGroup(const TGroupInfo& info) const try {
  // Sub-groups of a group handed out here keep database order.
  return new Group(info, SortSpec{});
} catch (...) {
  return nullptr;
}

IGroup* GroupContainer::GetGroup(int index) {
  if (index < 0 || index >= static_cast<int>(m_groups.size())) return nullptr;
  return MakeGroup(m_groups[static_cast<size_t>(index)]);
}

IGroup* GroupContainer::GetGroupById(int id) {
  for (const TGroupInfo& group : m_groups) {
    if (group.id == id) return MakeGroup(group);
  }
  return nullptr;
}

}  // namespace qap::musicdb
