// Song paths to their stored form, and the move of a format 1 database to
// it.
#include "suite/musicdb/core/song_path.h"

#include <filesystem>
#include <map>
#include <vector>

#include "platform/base/codepage.h"
#include "platform/base/paths.h"
#include "platform/registry/sqlite_handle.h"
#include "suite/musicdb/core/text_codec.h"

namespace qap::musicdb {
namespace {

// Runs one statement that returns no rows; bind fills in its parameters.
template <typename Bind>
int Run(sqlite3* db, const char* sql, Bind&& bind) {
  sqlite3_stmt* raw = nullptr;
  int result = sqlite3_prepare_v2(db, sql, -1, &raw, nullptr);
  registry::SqliteStatement statement(raw);
  if (result != SQLITE_OK) return result;
  bind(raw);
  result = sqlite3_step(raw);
  return result == SQLITE_DONE ? SQLITE_OK : result;
}

}  // namespace

std::string StoredSongPath(std::string_view ansiPath) {
  const std::string host = ToHostPath(ansiPath);
  if (host.empty()) return TextCodec().ToDb(ansiPath);
  std::error_code failure;
  std::filesystem::path path(host);
  if (path.is_relative()) {
    std::filesystem::path absolute = std::filesystem::absolute(path, failure);
    if (!failure) path = std::move(absolute);
  }
  std::string normal = path.lexically_normal().string();
  while (normal.size() > 1 && normal.back() == '/') normal.pop_back();
  return normal;
}

CString CanonicalSongPath(const CString& path) {
  return TextCodec().FromDb(StoredSongPath(path.str()));
}

int MergeSongPaths(sqlite3* db) {
  struct Row {
    std::int64_t id;
    std::string stored;
  };
  std::map<std::string, std::vector<Row>> files;  // by stored form, oldest first
  {
    sqlite3_stmt* raw = nullptr;
    int result = sqlite3_prepare_v2(db, "SELECT id, path FROM songs ORDER BY id", -1, &raw, nullptr);
    registry::SqliteStatement statement(raw);
    if (result != SQLITE_OK) return result;
    const TextCodec codec;
    while ((result = sqlite3_step(raw)) == SQLITE_ROW) {
      const std::string stored(reinterpret_cast<const char*>(sqlite3_column_text(raw, 1)),
                               static_cast<std::size_t>(sqlite3_column_bytes(raw, 1)));
      const CString given = codec.FromDb(stored);
      // A path this process's code page cannot carry stays as it is.
      const std::string canonical =
          codec.ToDb(given.str()) == stored ? StoredSongPath(given.str()) : stored;
      files[canonical].push_back({sqlite3_column_int64(raw, 0), stored});
    }
    if (result != SQLITE_DONE) return result;
  }
  // Named, not structured, bindings: the lambdas below capture them, which
  // clang (the fuzz build's compiler) takes only from version 16 on.
  for (const auto& file : files) {
    const std::string& canonical = file.first;
    const auto& rows = file.second;
    const std::int64_t kept = rows.front().id;
    for (size_t i = 1; i < rows.size(); ++i) {
      const std::int64_t repeat = rows[i].id;
      int result = Run(db, "UPDATE playlist_songs SET song_id = ?2 WHERE song_id = ?1",
                       [&](sqlite3_stmt* statement) {
                         sqlite3_bind_int64(statement, 1, repeat);
                         sqlite3_bind_int64(statement, 2, kept);
                       });
      if (result == SQLITE_OK) {
        result = Run(db, "DELETE FROM songs WHERE id = ?1",
                     [&](sqlite3_stmt* statement) { sqlite3_bind_int64(statement, 1, repeat); });
      }
      if (result != SQLITE_OK) return result;
    }
    // Only after its repeats are gone: the column holds each path once.
    if (rows.front().stored != canonical) {
      const int result = Run(db, "UPDATE songs SET path = ?2 WHERE id = ?1",
                             [&](sqlite3_stmt* statement) {
                               sqlite3_bind_int64(statement, 1, kept);
                               sqlite3_bind_text64(statement, 2, canonical.data(), canonical.size(),
                                                   SQLITE_TRANSIENT, SQLITE_UTF8);
                             });
      if (result != SQLITE_OK) return result;
    }
  }
  return SQLITE_OK;
}

}  // namespace qap::musicdb
