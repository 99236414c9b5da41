// Which column each sort name means, per kind of list.
#include "suite/musicdb/core/sort_order.h"

#include <string_view>

#include "suite/musicdb/core/query.h"
#include "suite/musicdb/core/songs.h"

namespace qap::musicdb {
namespace {

struct Column {
  std::string expression;
  bool text;
};

// For songs, "Album", "Artist" and "Genre" are not listed: they come from
// the groups table like any group's singular name.
Column SongColumn(const CString& name) {
  if (name == "Duration") return {"s.duration", false};
  if (name == "Location") return {"s.path", true};
  if (name == "Name" || name == "Song") return {"s.title", true};
  Query groups("SELECT name, key FROM groups ORDER BY id");
  while (groups.Next()) {
    const std::string_view group = groups.Text(0);
    const std::string_view key = groups.Text(1);
    if (!group.empty() && IsGroupKey(key) && group.substr(0, group.size() - 1) == name.str())
      return {"s." + std::string(key), true};
  }
  return {"s.title", true};
}

// Groups, sub-groups and playlists: every other name, the singular group
// name of a group's own sub-groups among them, means the name column.
Column SummaryColumn(const CString& name) {
  if (name == "Songs") return {"songs", false};
  if (name == "Duration") return {"seconds", false};
  return {"name", true};
}

}  // namespace

std::string OrderBy(SortTarget target, const SortSpec& sort) {
  const std::string id = target == SortTarget::kSongs ? "s.id" : "id";
  if (!sort.sorted || sort.name.IsEmpty()) return " ORDER BY " + id;
  const Column column = target == SortTarget::kSongs ? SongColumn(sort.name) : SummaryColumn(sort.name);
  std::string clause = " ORDER BY " + column.expression;
  if (column.text) clause += " COLLATE NOCASE";
  clause += sort.ascending ? " ASC, " : " DESC, ";
  return clause + id;
}

}  // namespace qap::musicdb
