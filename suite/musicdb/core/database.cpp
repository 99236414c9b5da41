// The music database connection: where the file lives, how a file is
// recognised as ours, the schema, transactions, and what a failure says.
//
// Several processes (the shell and the player) use the file at once: WAL
// lets readers go on while one writes, writers queue behind each other for
// up to the busy timeout, and every change is one transaction, so nothing is
// lost or half applied when they meet.
#include "suite/musicdb/core/database.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <set>

#include "platform/base/runtime_files.h"
#include "suite/musicdb/core/query.h"
#include "suite/musicdb/core/song_path.h"

namespace qap::musicdb {
namespace {

constexpr const char* kMagic = "qap-music-db";
// Format 2 keeps each song's path in one form (song_path.h); format 1 kept
// paths as they were given and is moved to format 2 when opened.
constexpr int kFormat = 2;

// Ids are AUTOINCREMENT so that a deleted song's or playlist's id never comes
// back: shell items keep ids, and an old item must not find a newer object.
// Each distinct value of a grouped field gets a sub-group id of its own the
// first time a song carries it, and keeps it while the database lives. The
// indexes on (field, duration) serve the sub-group counts and totals without
// reading the song rows.
constexpr const char* kSchema = R"sql(
CREATE TABLE music_meta(name TEXT PRIMARY KEY, value TEXT NOT NULL) WITHOUT ROWID;
CREATE TABLE songs(
    id INTEGER PRIMARY KEY AUTOINCREMENT,
    path TEXT NOT NULL UNIQUE,
    title TEXT NOT NULL,
    artist TEXT NOT NULL,
    album TEXT NOT NULL,
    genre TEXT NOT NULL,
    track INTEGER NOT NULL,
    year INTEGER NOT NULL,
    duration INTEGER NOT NULL);
CREATE INDEX songs_by_album ON songs(album, duration);
CREATE INDEX songs_by_artist ON songs(artist, duration);
CREATE INDEX songs_by_genre ON songs(genre, duration);
CREATE TABLE groups(id INTEGER PRIMARY KEY, name TEXT NOT NULL, key TEXT NOT NULL UNIQUE);
INSERT INTO groups VALUES (1, 'Songs', ''), (2, 'Albums', 'album'), (3, 'Artists', 'artist'),
                          (4, 'Genres', 'genre');
CREATE TABLE subgroups(
    id INTEGER PRIMARY KEY AUTOINCREMENT,
    key TEXT NOT NULL,
    value TEXT NOT NULL,
    UNIQUE(key, value));
CREATE TABLE playlists(id INTEGER PRIMARY KEY AUTOINCREMENT, name TEXT NOT NULL);
CREATE TABLE playlist_songs(
    id INTEGER PRIMARY KEY AUTOINCREMENT,
    playlist_id INTEGER NOT NULL REFERENCES playlists(id) ON DELETE CASCADE,
    song_id INTEGER NOT NULL REFERENCES songs(id) ON DELETE CASCADE,
    position INTEGER NOT NULL);
CREATE INDEX playlist_songs_in_order ON playlist_songs(playlist_id, position);
CREATE INDEX playlist_songs_by_song ON playlist_songs(song_id);
INSERT INTO music_meta VALUES ('magic', 'qap-music-db'), ('format', '2');
)sql";

std::string Describe(sqlite3* db, int result) {
  const std::string detail = db != nullptr ? sqlite3_errmsg(db) : sqlite3_errstr(result);
  switch (result & 0xff) {
    case SQLITE_NOTADB:
      return "is not a music database (" + detail + ")";
    case SQLITE_CORRUPT:
      return "is damaged (" + detail + ")";
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
      return "is in use by another program for too long (" + detail + "); try again";
    case SQLITE_READONLY:
    case SQLITE_PERM:
      return "cannot be written (" + detail + ")";
    case SQLITE_CANTOPEN:
      return "cannot be opened (" + detail + ")";
    case SQLITE_FULL:
      return "cannot grow: the disk is full (" + detail + ")";
    default:
      return "cannot be used (" + detail + ")";
  }
}

enum class Shape { kEmpty, kOurs, kOlder, kForeign };

// What the file holds, without changing it. An SQLite file without tables
// is what a creation interrupted before its first commit leaves: empty.
int Inspect(sqlite3* db, Shape* shape, std::string* reason) {
  std::set<std::string> tables;
  {
    sqlite3_stmt* raw = nullptr;
    int result = sqlite3_prepare_v2(db, "SELECT name FROM sqlite_schema WHERE type = 'table'", -1,
                                    &raw, nullptr);
    registry::SqliteStatement statement(raw);
    if (result != SQLITE_OK) return result;
    while ((result = sqlite3_step(raw)) == SQLITE_ROW)
      tables.insert(reinterpret_cast<const char*>(sqlite3_column_text(raw, 0)));
    if (result != SQLITE_DONE) return result;
  }
  *shape = tables.empty() ? Shape::kEmpty : Shape::kForeign;
  if (tables.count("music_meta") == 0) return SQLITE_OK;
  sqlite3_stmt* raw = nullptr;
  int result = sqlite3_prepare_v2(db, "SELECT name, value FROM music_meta", -1, &raw, nullptr);
  registry::SqliteStatement statement(raw);
  if (result != SQLITE_OK) return result;
  std::string magic;
  int format = 0;
  while ((result = sqlite3_step(raw)) == SQLITE_ROW) {
    const std::string name = reinterpret_cast<const char*>(sqlite3_column_text(raw, 0));
    if (name == "magic") magic = reinterpret_cast<const char*>(sqlite3_column_text(raw, 1));
    if (name == "format") format = sqlite3_column_int(raw, 1);
  }
  if (result != SQLITE_DONE) return result;
  if (magic != kMagic) return SQLITE_OK;
  if (format > kFormat) {
    *reason = "is a music database of format " + std::to_string(format) +
              ", newer than this program reads";
    return SQLITE_OK;
  }
  *shape = format < kFormat ? Shape::kOlder : Shape::kOurs;
  return SQLITE_OK;
}

// Format 1 to format 2, once, by whichever process opens the file first.
int Upgrade(sqlite3* db, Shape* shape, std::string* reason) {
  int result = sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
  if (result == SQLITE_OK) result = Inspect(db, shape, reason);
  if (result == SQLITE_OK && *shape == Shape::kOlder) {
    result = MergeSongPaths(db);
    if (result == SQLITE_OK) {
      result = sqlite3_exec(db, "UPDATE music_meta SET value = '2' WHERE name = 'format'",
                            nullptr, nullptr, nullptr);
    }
    if (result == SQLITE_OK) *shape = Shape::kOurs;
  }
  if (result == SQLITE_OK) result = sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
  if (result != SQLITE_OK) sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
  return result;
}

// At exit the connection is closed, which checkpoints the WAL into the
// database file and removes it, so the file alone holds everything. The
// Database itself stays, so calls from other libraries' exit code still
// work (and open a connection of their own).
struct ExitCloser {
  ~ExitCloser() {
    Database& database = Database::Instance();
    auto lock = database.Lock();
    database.Reset();
  }
} exitCloser;

}  // namespace

Database& Database::Instance() {
  static Database* const database = new Database;
  return *database;
}

const std::string& Database::Path() {
  if (m_path.empty()) m_path = qap::MusicDatabasePath();
  return m_path;
}

sqlite3* Database::Connection() {
  if (!m_db && !Open()) return nullptr;
  return m_db.get();
}

bool Database::Open() {
  const std::string& path = Path();
  std::error_code ignored;
  const bool inMemory = !m_createMissing && !std::filesystem::exists(path, ignored);
  if (!inMemory) std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ignored);
  sqlite3* raw = nullptr;
  int result = sqlite3_open_v2(inMemory ? ":memory:" : path.c_str(), &raw,
                               SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
  registry::SqliteDb db(raw);
  auto fail = [&](int code, std::string reason = {}) {
    if (reason.empty()) reason = Describe(db.get(), code);
    m_error = "The music database " + path + " " + reason + ".";
    return false;
  };
  if (result != SQLITE_OK) return fail(result);
  sqlite3_busy_timeout(raw, m_busyTimeoutMs);
  sqlite3_extended_result_codes(raw, 1);
  // Look before changing anything: switching a file to WAL rewrites its
  // header, and a file that is not ours must stay as it is.
  Shape shape = Shape::kEmpty;
  std::string reason;
  if ((result = Inspect(raw, &shape, &reason)) != SQLITE_OK) return fail(result);
  if (shape == Shape::kEmpty || shape == Shape::kOurs || shape == Shape::kOlder) {
    result = sqlite3_exec(raw, "PRAGMA journal_mode = WAL", nullptr, nullptr, nullptr);
    if (result == SQLITE_OK)
      result = sqlite3_exec(raw, "PRAGMA synchronous = NORMAL; PRAGMA foreign_keys = ON", nullptr,
                            nullptr, nullptr);
    if (result != SQLITE_OK) return fail(result);
  }
  if (shape == Shape::kEmpty) {
    // Another process may be creating it too: decide again inside the
    // write transaction.
    if ((result = sqlite3_exec(raw, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr)) != SQLITE_OK)
      return fail(result);
    result = Inspect(raw, &shape, &reason);
    if (result == SQLITE_OK && shape == Shape::kEmpty) {
      result = sqlite3_exec(raw, kSchema, nullptr, nullptr, nullptr);
      if (result == SQLITE_OK) shape = Shape::kOurs;
    }
    if (result == SQLITE_OK && shape == Shape::kOurs)
      result = sqlite3_exec(raw, "COMMIT", nullptr, nullptr, nullptr);
    if (result != SQLITE_OK || shape != Shape::kOurs) {
      const int failure = result;
      const std::string detail = failure != SQLITE_OK ? Describe(raw, failure) : std::string();
      sqlite3_exec(raw, "ROLLBACK", nullptr, nullptr, nullptr);
      if (failure != SQLITE_OK) return fail(failure, detail);
    }
  }
  if (shape == Shape::kOlder && (result = Upgrade(raw, &shape, &reason)) != SQLITE_OK) {
    return fail(result);
  }
  if (shape != Shape::kOurs) {
    return fail(SQLITE_OK, !reason.empty() ? reason
                                           : "is an SQLite database of another program, not a "
                                             "music database");
  }
  m_db = std::move(db);
  m_error.clear();
  ++m_connections;
  return true;
}

std::optional<Database::Stamp> Database::ChangeStamp() {
  sqlite3* db = Connection();
  if (db == nullptr || sqlite3_txn_state(db, "main") == SQLITE_TXN_WRITE) return std::nullopt;
  sqlite3_stmt* version = Prepare("PRAGMA data_version");
  if (version == nullptr) return std::nullopt;
  std::optional<Stamp> stamp;
  if (sqlite3_step(version) == SQLITE_ROW) {
    stamp = Stamp{m_connections, sqlite3_column_int64(version, 0), sqlite3_total_changes64(db)};
  }
  sqlite3_reset(version);
  return stamp;
}

sqlite3_stmt* Database::Prepare(std::string_view sql) {
  sqlite3* db = Connection();
  if (db == nullptr) return nullptr;
  auto found = m_statements.find(std::string(sql));
  if (found != m_statements.end()) return found->second.get();
  sqlite3_stmt* raw = nullptr;
  const int result = sqlite3_prepare_v3(db, sql.data(), static_cast<int>(sql.size()),
                                        SQLITE_PREPARE_PERSISTENT, &raw, nullptr);
  if (result != SQLITE_OK) {
    sqlite3_finalize(raw);
    Fail(result);
    return nullptr;
  }
  m_statements.emplace(std::string(sql), registry::SqliteStatement(raw));
  return raw;
}

bool Database::Fail(int result) {
  m_error = "The music database " + Path() + " " + Describe(m_db.get(), result) + ".";
  return false;
}

void Database::Reset() {
  m_statements.clear();
  m_db.reset();
  m_path.clear();
  m_depth = 0;
}

void Database::SetBusyTimeout(int milliseconds) {
  m_busyTimeoutMs = milliseconds;
  if (m_db) sqlite3_busy_timeout(m_db.get(), milliseconds);
}

Transaction::Transaction(Kind kind) : m_lock(Database::Instance().Lock()) {
  Database& database = Database::Instance();
  m_db = database.Connection();
  if (m_db == nullptr) return;
  m_outermost = database.Depth() == 0;
  const char* begin = m_outermost ? (kind == Kind::kWrite ? "BEGIN IMMEDIATE" : "BEGIN")
                                  : "SAVEPOINT nested";
  const int result = sqlite3_exec(m_db, begin, nullptr, nullptr, nullptr);
  if (result != SQLITE_OK) {
    database.Fail(result);
    return;
  }
  ++database.Depth();
  m_started = true;
}

Transaction::~Transaction() {
  if (!m_started || m_done) return;
  --Database::Instance().Depth();
  sqlite3_exec(m_db, m_outermost ? "ROLLBACK" : "ROLLBACK TO nested; RELEASE nested", nullptr,
               nullptr, nullptr);
}

bool Transaction::Commit() {
  if (!m_started || m_done) return false;
  const int result =
      sqlite3_exec(m_db, m_outermost ? "COMMIT" : "RELEASE nested", nullptr, nullptr, nullptr);
  if (result != SQLITE_OK) return Database::Instance().Fail(result);
  m_done = true;
  --Database::Instance().Depth();
  return true;
}

std::string LastError() {
  Database& database = Database::Instance();
  auto lock = database.Lock();
  return database.Error();
}

}  // namespace qap::musicdb
