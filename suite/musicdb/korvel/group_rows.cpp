// Group and sub-group queries. Every song belongs to every keyed group once
// (songs without a value form their own sub-group), so a group's song count
// and total are those of the whole library.
#include "suite/musicdb/korvel/group_rows.h"

#include <cstdint>
#include <optional>
#include <string>

#include "suite/musicdb/core/database.h"
#include "suite/musicdb/core/query.h"
#include "suite/musicdb/core/songs.h"
#include "suite/musicdb/core/text_codec.h"

namespace qap::musicdb {
namespace {

// Column names as sort_order expects them: id, name, songs, seconds. The
// library's totals are bound (?2 .. ?6), so listing the groups reads only
// their own small table.
constexpr const char* kGroups =
    "SELECT * FROM (SELECT g.id AS id, g.name AS name, g.key AS key, ?2 AS songs, "
    "?3 AS seconds, CASE g.key WHEN 'album' THEN ?4 WHEN 'artist' THEN ?5 "
    "WHEN 'genre' THEN ?6 ELSE 0 END AS subgroups "
    "FROM groups g WHERE ?1 IS NULL OR g.key = ?1)";

struct LibraryTotals {
  std::int64_t songs = 0;
  std::int64_t seconds = 0;
  std::int64_t albums = 0;
  std::int64_t artists = 0;
  std::int64_t genres = 0;
};

// The totals every group shows. Counting the distinct values scans three
// indexes of the whole library, and one opening of a folder asks for the
// groups several times (its tree, its columns, its rows), so the totals are
// kept while the database's change stamp stays the same.
bool ReadTotals(LibraryTotals* totals) {
  static std::optional<Database::Stamp> cachedAt;
  static LibraryTotals cached;
  Database& database = Database::Instance();
  auto lock = database.Lock();
  const std::optional<Database::Stamp> now = database.ChangeStamp();
  if (now && cachedAt == now) {
    *totals = cached;
    return true;
  }
  Query query(
      "SELECT count(*), coalesce(sum(duration), 0), (SELECT count(DISTINCT album) FROM songs), "
      "(SELECT count(DISTINCT artist) FROM songs), (SELECT count(DISTINCT genre) FROM songs) "
      "FROM songs");
  if (!query.Next()) return false;
  *totals = {query.Int(0), query.Int(1), query.Int(2), query.Int(3), query.Int(4)};
  cached = *totals;
  cachedAt = now;
  return true;
}

// The groups' statement with the totals bound; key (when not null) picks one.
bool BindGroups(Query& query, const char* key) {
  LibraryTotals totals;
  if (!ReadTotals(&totals)) return false;
  if (key != nullptr) query.Bind(1, std::string_view(key));
  query.Bind(2, totals.songs);
  query.Bind(3, totals.seconds);
  query.Bind(4, totals.albums);
  query.Bind(5, totals.artists);
  query.Bind(6, totals.genres);
  return true;
}

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
  if (!BindGroups(query, nullptr)) return false;
  while (query.Next()) ReadGroupRow(query, codec, &groups->emplace_back());
  return !query.Failed();
}

bool ReadGroup(const CString& key, TGroupInfo* group) {
  const TextCodec codec;
  Query query(std::string(kGroups) + OrderBy(SortTarget::kGroups, {}));
  if (!BindGroups(query, codec.ToDb(key.str()).c_str())) return false;
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
