// Group and sub-group queries. Every song belongs to every keyed group once
// (songs without a value form their own sub-group), so a group's song count
// and total are those of the whole library.
#include "suite/musicdb/korvel/group_rows.h"

#include <string>

#include "suite/musicdb/core/query.h"
#include "suite/musicdb/core/songs.h"
#include "suite/musicdb/core/text_codec.h"

namespace qap::musicdb {
namespace {

// Column names as sort_order expects them: id, name, songs, seconds.
constexpr const char* kGroups =
    "SELECT * FROM (SELECT g.id AS id, g.name AS name, g.key AS key, t.songs AS songs, "
    "t.seconds AS seconds, CASE g.key "
    "WHEN 'album' THEN (SELECT count(DISTINCT album) FROM songs) "
    "WHEN 'artist' THEN (SELECT count(DISTINCT artist) FROM songs) "
    "WHEN 'genre' THEN (SELECT count(DISTINCT genre) FROM songs) ELSE 0 END AS subgroups "
    "FROM groups g, (SELECT count(*) AS songs, coalesce(sum(duration), 0) AS seconds "
    "FROM songs) t WHERE ?1 IS NULL OR g.key = ?1)";

void ReadGroupRow(const Query& query, const TextCodec& codec, TGroupInfo* group) {
  group->id = static_cast<int>(query.Int(0));
  group->name = codec.FromDb(query.Text(1));
  group->key = codec.FromDb(query.Text(2));
  group->songCount = static_cast<int>(query.Int(3));
  group->totalSeconds = static_cast<int>(query.Int(4));
  group->subGroupCount = static_cast<int>(query.Int(5));
}

}  // namespace

bool ReadGroups(const SortSpec& sort, std::vector<TGroupInfo>* groups) {
  const TextCodec codec;
  Query query(kGroups + OrderBy(SortTarget::kGroups, sort));
  groups->clear();
  while (query.Next()) ReadGroupRow(query, codec, &groups->emplace_back());
  return !query.Failed();
}

bool ReadGroup(const CString& key, TGroupInfo* group) {
  const TextCodec codec;
  Query query(std::string(kGroups) + OrderBy(SortTarget::kGroups, {}));
  query.Bind(1, codec.ToDb(key.str()));
  if (!query.Next()) return false;
  ReadGroupRow(query, codec, group);
  return true;
}

bool ReadSubGroups(const TGroupInfo& group, const SortSpec& sort,
                   std::vector<TSubGroupInfo>* subGroups) {
  subGroups->clear();
  const TextCodec codec;
  const std::string key = codec.ToDb(group.key.str());
  if (key.empty()) return true;
  if (!IsGroupKey(key)) return false;
  // The key is one of the song columns (checked above), so it can be part
  // of the statement's text.
  Query query(
      "SELECT * FROM (SELECT v.id AS id, v.value AS name, c.songs AS songs, c.seconds AS seconds "
      "FROM (SELECT " + key + " AS value, count(*) AS songs, sum(duration) AS seconds "
      "FROM songs GROUP BY " + key + ") c JOIN subgroups v ON v.key = ?1 AND v.value = c.value)" +
      OrderBy(SortTarget::kSubGroups, sort));
  query.Bind(1, key);
  while (query.Next()) {
    TSubGroupInfo& subGroup = subGroups->emplace_back();
    subGroup.id = static_cast<int>(query.Int(0));
    subGroup.name = SubGroupName(codec.FromDb(query.Text(1)), group.name);
    subGroup.extra = group.key;
    subGroup.songCount = static_cast<int>(query.Int(2));
    subGroup.totalSeconds = static_cast<int>(query.Int(3));
  }
  return !query.Failed();
}

CString SubGroupName(const CString& value, const CString& groupName) {
  if (!value.IsEmpty()) return value;
  return "Unknown " + groupName.Left(groupName.GetLength() - 1);
}

}  // namespace qap::musicdb
