// Sort names (the views' column names) to ORDER BY clauses. Each kind of
// list is read from a query with fixed column names (id, name, songs,
// seconds; or the song columns), so one clause fits every query of a kind.
#pragma once

#include <string>

#include "platform/base/cstring.h"
#include "platform/base/export.h"

namespace qap::musicdb {

enum class SortTarget { kGroups, kSubGroups, kSongs, kPlaylists };

struct SortSpec {
  bool sorted = false;  // false: database order
  CString name;
  bool ascending = true;
};

// " ORDER BY ..." ending in the id tie-break, ascending in either direction.
// Songs are named by the song table's alias "s". Reads the group names for
// songs (a group's singular name sorts songs by that group's field), so the
// caller holds the database lock.
QAP_EXPORT std::string OrderBy(SortTarget target, const SortSpec& sort);

}  // namespace qap::musicdb
