// Reading groups and sub-groups with their song counts and totals. Callers
// hold the database lock (ideally inside one read transaction).
#pragma once

#include <vector>

#include "shellfolder/music_db.h"
#include "suite/musicdb/core/sort_order.h"

namespace qap::musicdb {

// Every group, in the order sort asks for.
bool ReadGroups(const SortSpec& sort, std::vector<TGroupInfo>* groups);
// The group with this key; false when there is none or on failure.
bool ReadGroup(const CString& key, TGroupInfo* group);
// The sub-groups of a group (none for the all-songs group).
bool ReadSubGroups(const TGroupInfo& group, const SortSpec& sort,
                   std::vector<TSubGroupInfo>* subGroups);
// What a sub-group is called: its value, or for songs without one
// "Unknown" and the group's singular name.
CString SubGroupName(const CString& value, const CString& groupName);

}  // namespace qap::musicdb
