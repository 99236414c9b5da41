// The hive connection: where the file lives, how a file is recognised as a
// hive, how writes are batched and committed, and what happens at fork and
// at exit.
//
// Durability works like Windows' lazy registry writer: writes collect in one
// open transaction that is committed when a handle that wrote is closed, on
// RegFlushKey, after kBatchWindow, at RegResetHive and at process exit. A
// process killed before the commit loses only the writes not yet committed;
// with WAL and synchronous=NORMAL the hive file is never left broken or
// half-applied by a crash of the process.
#include "platform/registry/hive.h"

#include <pthread.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <set>

#include "platform/base/runtime_files.h"
#include "platform/registry/names.h"

namespace qap::registry {
namespace {

constexpr auto kBatchWindow = std::chrono::milliseconds(50);
constexpr int kBusyTimeoutMs = 10000;
constexpr const char* kMagic = "qap-registry-hive";
constexpr int kFormat = 1;
// Handle values are serials in a range no real pointer occupies (not
// canonical on x86-64), so a stale pointer passed as a key is never mistaken
// for a live handle, and a closed handle's value is never given out again.
constexpr std::uintptr_t kHandleBase = 0x4B45'5900'0000'0000u;
static_assert(sizeof(std::uintptr_t) == 8, "handle values need 64-bit pointers");

constexpr std::array<const char*, static_cast<int>(Sql::kCount)> kSql = {
    "SELECT id FROM hive_keys WHERE parent = ?1 AND fold = ?2",
    "INSERT INTO hive_keys(parent, name, fold) VALUES(?1, ?2, ?3)",
    "SELECT 1 FROM hive_keys WHERE id = ?1",
    "SELECT 1 FROM hive_keys WHERE parent = ?1 LIMIT 1",
    "SELECT parent, name FROM hive_keys WHERE id = ?1",
    "SELECT type, data FROM hive_values WHERE key = ?1 AND fold = ?2",
    // The upsert keeps the row, so an updated value keeps its place in the
    // enumeration and the case its name was first written with.
    "INSERT INTO hive_values(key, name, fold, type, data) VALUES(?1, ?2, ?3, ?4, ?5) "
    "ON CONFLICT(key, fold) DO UPDATE SET type = excluded.type, data = excluded.data",
    "DELETE FROM hive_values WHERE key = ?1 AND fold = ?2",
    // UNION, not UNION ALL: a damaged file whose index makes a key its own
    // descendant must not make the walk endless.
    "WITH RECURSIVE tree(id) AS (SELECT ?1 UNION "
    "SELECT k.id FROM hive_keys k JOIN tree ON k.parent = tree.id) "
    "DELETE FROM hive_values WHERE key IN tree",
    "WITH RECURSIVE tree(id) AS (SELECT ?1 UNION "
    "SELECT k.id FROM hive_keys k JOIN tree ON k.parent = tree.id) "
    "DELETE FROM hive_keys WHERE id IN tree AND id <> ?2",
    "SELECT name FROM hive_keys WHERE parent = ?1 ORDER BY fold LIMIT 1 OFFSET ?2",
    "SELECT name, type, data FROM hive_values WHERE key = ?1 ORDER BY id LIMIT 1 OFFSET ?2",
    "SELECT count(*), coalesce(max(length(name)), 0) FROM hive_keys WHERE parent = ?1",
    "SELECT count(*), coalesce(max(length(name)), 0), coalesce(max(length(data)), 0) "
    "FROM hive_values WHERE key = ?1",
    "SELECT id, name FROM hive_keys WHERE parent = ?1 ORDER BY fold",
    "SELECT name, type, data FROM hive_values WHERE key = ?1 ORDER BY id",
};

// Values get an explicit INTEGER PRIMARY KEY because VACUUM may renumber a
// plain rowid, and the id is what keeps values in the order first set.
// Key ids are AUTOINCREMENT so that a deleted key's id never comes back and a
// handle to a deleted key can never reach a newer one.
constexpr const char* kSchema = R"sql(
CREATE TABLE hive_meta(name TEXT PRIMARY KEY, value TEXT NOT NULL) WITHOUT ROWID;
CREATE TABLE hive_keys(
    id INTEGER PRIMARY KEY AUTOINCREMENT,
    parent INTEGER NOT NULL,
    name BLOB NOT NULL,
    fold BLOB NOT NULL,
    UNIQUE(parent, fold));
CREATE TABLE hive_values(
    id INTEGER PRIMARY KEY,
    key INTEGER NOT NULL,
    name BLOB NOT NULL,
    fold BLOB NOT NULL,
    type INTEGER NOT NULL,
    data BLOB NOT NULL,
    UNIQUE(key, fold));
INSERT INTO hive_meta VALUES('magic', 'qap-registry-hive'), ('format', '1');
INSERT INTO hive_keys(id, parent, name, fold) VALUES
    (1, 0, CAST('HKEY_CLASSES_ROOT' AS BLOB), CAST('HKEY_CLASSES_ROOT' AS BLOB)),
    (2, 0, CAST('HKEY_CURRENT_USER' AS BLOB), CAST('HKEY_CURRENT_USER' AS BLOB)),
    (3, 0, CAST('HKEY_LOCAL_MACHINE' AS BLOB), CAST('HKEY_LOCAL_MACHINE' AS BLOB));
)sql";

std::string DescribeFailure(sqlite3* db, int result) {
  const std::string message = db != nullptr ? sqlite3_errmsg(db) : sqlite3_errstr(result);
  switch (result & 0xff) {
    case SQLITE_NOTADB:
      return "is not a registry hive (" + message + ")";
    case SQLITE_CORRUPT:
      return "is damaged (" + message + ")";
    default:
      return "cannot be used (" + message + ")";
  }
}

enum class Shape { kEmpty, kHive, kForeign };

std::string ColumnString(sqlite3_stmt* statement, int column) {
  const unsigned char* text = sqlite3_column_text(statement, column);
  return text != nullptr ? reinterpret_cast<const char*>(text) : std::string();
}

// Reads what the file holds without changing it. An SQLite file with no
// tables at all counts as empty: it is what a hive creation interrupted
// before its first commit leaves behind.
std::string Inspect(sqlite3* db, Shape* shape) {
  sqlite3_stmt* raw = nullptr;
  int result = sqlite3_prepare_v2(db, "SELECT name FROM sqlite_schema WHERE type = 'table'", -1,
                                  &raw, nullptr);
  SqliteStatement tables(raw);
  if (result != SQLITE_OK) return DescribeFailure(db, result);
  std::set<std::string> names;
  while ((result = sqlite3_step(raw)) == SQLITE_ROW) names.insert(ColumnString(raw, 0));
  if (result != SQLITE_DONE) return DescribeFailure(db, result);
  if (names.empty()) {
    *shape = Shape::kEmpty;
    return {};
  }
  *shape = Shape::kForeign;
  if (names.count("hive_meta") == 0 || names.count("hive_keys") == 0 ||
      names.count("hive_values") == 0)
    return {};
  result = sqlite3_prepare_v2(db, "SELECT name, value FROM hive_meta", -1, &raw, nullptr);
  SqliteStatement meta(raw);
  if (result != SQLITE_OK) return DescribeFailure(db, result);
  std::string magic;
  int format = 0;
  while ((result = sqlite3_step(raw)) == SQLITE_ROW) {
    const std::string name = ColumnString(raw, 0);
    if (name == "magic")
      magic = ColumnString(raw, 1);
    else if (name == "format")
      format = sqlite3_column_int(raw, 1);
  }
  if (result != SQLITE_DONE) return DescribeFailure(db, result);
  if (magic != kMagic) return {};
  if (format > kFormat)
    return "is a registry hive of format " + std::to_string(format) +
           ", newer than this program reads";
  *shape = Shape::kHive;
  return {};
}

std::string Initialize(sqlite3* db) {
  int result = sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
  if (result != SQLITE_OK) return DescribeFailure(db, result);
  // Another process may have created the hive while this one waited.
  Shape shape = Shape::kEmpty;
  std::string reason = Inspect(db, &shape);
  if (reason.empty() && shape == Shape::kEmpty) {
    result = sqlite3_exec(db, kSchema, nullptr, nullptr, nullptr);
    if (result != SQLITE_OK) reason = DescribeFailure(db, result);
  } else if (reason.empty() && shape == Shape::kForeign) {
    reason = "is not a registry hive (an SQLite database without the registry's tables)";
  }
  if (reason.empty()) {
    result = sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    if (result != SQLITE_OK) reason = DescribeFailure(db, result);
  }
  if (!reason.empty() && sqlite3_get_autocommit(db) == 0)
    sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
  return reason;
}

// Pending writes are committed when the library is unloaded or the process
// exits. The Hive itself is never destroyed, so registry calls made by other
// libraries' exit code still find it (and then commit one by one).
struct ExitCommitter {
  ~ExitCommitter() { Hive::Instance().Shutdown(); }
} exitCommitter;

}  // namespace

Hive& Hive::Instance() {
  static Hive* const hive = new Hive;
  return *hive;
}

Hive::Hive() {
  pthread_atfork([] { Instance().BeforeFork(); }, [] { Instance().AfterForkInParent(); },
                 [] { Instance().AfterForkInChild(); });
}

const std::string& Hive::Path() {
  if (m_path.empty()) m_path = qap::RegistryHivePath();
  return m_path;
}

LONG Hive::EnsureOpen() {
  if (!m_error.empty()) {
    DropConnection();
    ReportError();
    return ERROR_BADDB;
  }
  if (m_db) return ERROR_SUCCESS;
  const std::string reason = OpenConnection();
  if (reason.empty()) return ERROR_SUCCESS;
  m_error = "registry: '" + Path() + "' " + reason;
  ReportError();
  return ERROR_BADDB;
}

std::string Hive::OpenConnection() {
  const std::filesystem::path file(Path());
  std::error_code ignored;
  if (file.has_parent_path()) std::filesystem::create_directories(file.parent_path(), ignored);

  sqlite3* raw = nullptr;
  int result =
      sqlite3_open_v2(m_path.c_str(), &raw,
                      SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, nullptr);
  SqliteDb db(raw);
  if (result != SQLITE_OK)
    return "cannot be opened (" + std::string(raw ? sqlite3_errmsg(raw) : sqlite3_errstr(result)) +
           ")";
  sqlite3_busy_timeout(raw, kBusyTimeoutMs);

  // Look before changing anything, so that a file that is not ours is left
  // exactly as it was.
  Shape shape = Shape::kEmpty;
  std::string reason = Inspect(raw, &shape);
  if (!reason.empty()) return reason;
  if (shape == Shape::kForeign)
    return "is not a registry hive (an SQLite database without the registry's tables)";
  result = sqlite3_exec(raw, "PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL", nullptr, nullptr,
                        nullptr);
  if (result != SQLITE_OK) return DescribeFailure(raw, result);
  if (shape == Shape::kEmpty) {
    reason = Initialize(raw);
    if (!reason.empty()) return reason;
  }
  m_db = std::move(db);
  return {};
}

void Hive::DropConnection() {
  if (m_db && m_batchOpen) ExecQuietly("ROLLBACK");
  m_batchOpen = false;
  for (SqliteStatement& statement : m_statements) statement.reset();
  m_db.reset();
}

void Hive::ReportError() {
  if (m_errorReported) return;
  m_errorReported = true;
  std::fprintf(stderr, "%s\n", m_error.c_str());
}

LONG Hive::Prepare(Sql id, sqlite3_stmt** statement) {
  SqliteStatement& slot = m_statements[static_cast<int>(id)];
  if (!slot) {
    sqlite3_stmt* raw = nullptr;
    const int result = sqlite3_prepare_v3(m_db.get(), kSql[static_cast<int>(id)], -1,
                                          SQLITE_PREPARE_PERSISTENT, &raw, nullptr);
    if (result != SQLITE_OK) {
      sqlite3_finalize(raw);
      return Fail(result);
    }
    slot.reset(raw);
  }
  *statement = slot.get();
  return ERROR_SUCCESS;
}

LONG Hive::Exec(const char* sql) {
  const int result = sqlite3_exec(m_db.get(), sql, nullptr, nullptr, nullptr);
  return result == SQLITE_OK ? ERROR_SUCCESS : Fail(result);
}

void Hive::ExecQuietly(const char* sql) {
  sqlite3_exec(m_db.get(), sql, nullptr, nullptr, nullptr);
}

LONG Hive::Fail(int sqliteResult) {
  const int primary = sqliteResult & 0xff;
  if (primary == SQLITE_NOMEM) return ERROR_OUTOFMEMORY;
  if (primary == SQLITE_CORRUPT || primary == SQLITE_NOTADB) {
    // The connection is dropped at the start of the next call, when no
    // statement of this one is still in use.
    if (m_error.empty())
      m_error = "registry: '" + Path() + "' " + DescribeFailure(m_db.get(), sqliteResult);
    ReportError();
    return ERROR_BADDB;
  }
  std::fprintf(stderr, "registry: '%s': %s\n", Path().c_str(),
               m_db ? sqlite3_errmsg(m_db.get()) : sqlite3_errstr(sqliteResult));
  // I/O errors and the like may roll the whole open transaction back.
  if (m_batchOpen && sqlite3_get_autocommit(m_db.get()) != 0) {
    m_batchOpen = false;
    std::fprintf(stderr, "registry: '%s': unsaved changes were lost\n", Path().c_str());
  }
  return ERROR_REGISTRY_IO_FAILED;
}

LONG Hive::Damaged(const std::string& what) {
  if (m_error.empty()) m_error = "registry: '" + Path() + "' is damaged (" + what + ")";
  ReportError();
  return ERROR_BADDB;
}

LONG Hive::BeginWrite() {
  if (m_batchOpen) return ERROR_SUCCESS;
  const LONG result = Exec("BEGIN IMMEDIATE");
  if (result != ERROR_SUCCESS) return result;
  m_batchOpen = true;
  ++m_batch;
  m_batchStart = std::chrono::steady_clock::now();
  if (!m_exiting) {
    StartFlusher();
    m_wake->notify_one();
  }
  return ERROR_SUCCESS;
}

LONG Hive::EndWrite(LONG result) {
  if (!m_exiting) return result;
  const LONG committed = Commit();
  return result != ERROR_SUCCESS ? result : committed;
}

LONG Hive::Commit() {
  if (!m_batchOpen || !m_db) return ERROR_SUCCESS;
  m_batchOpen = false;
  const int result = sqlite3_exec(m_db.get(), "COMMIT", nullptr, nullptr, nullptr);
  if (result == SQLITE_OK) return ERROR_SUCCESS;
  const LONG error = Fail(result);
  if (sqlite3_get_autocommit(m_db.get()) == 0) ExecQuietly("ROLLBACK");
  std::fprintf(stderr, "registry: '%s': unsaved changes were lost\n", Path().c_str());
  return error;
}

void Hive::StartFlusher() {
  if (m_flusher) return;
  try {
    m_flusher = std::make_unique<std::thread>([this] { FlusherLoop(); });
  } catch (...) {
    // Without a flusher, batches still commit on close, flush and exit.
  }
}

void Hive::FlusherLoop() {
  std::unique_lock<std::mutex> lock(m_mutex);
  while (!m_stopFlusher) {
    if (!m_batchOpen) {
      m_wake->wait(lock);
      continue;
    }
    const auto due = m_batchStart + kBatchWindow;
    if (std::chrono::steady_clock::now() >= due)
      Commit();
    else
      m_wake->wait_until(lock, due);
  }
}

HKEY Hive::AddHandle(const KeyHandle& handle) {
  const std::uintptr_t value = kHandleBase + (++m_handleSerial) * 8;
  m_handles.emplace(value, handle);
  return reinterpret_cast<HKEY>(value);
}

LONG Hive::ResolveHandle(HKEY key, std::int64_t* keyId, KeyHandle** handle) {
  *handle = nullptr;
  if (RootKeyId(key, keyId)) return ERROR_SUCCESS;
  const auto found = m_handles.find(reinterpret_cast<std::uintptr_t>(key));
  if (found == m_handles.end()) return ERROR_INVALID_HANDLE;
  *keyId = found->second.keyId;
  *handle = &found->second;
  return ERROR_SUCCESS;
}

bool Hive::RemoveHandle(HKEY key) {
  return m_handles.erase(reinterpret_cast<std::uintptr_t>(key)) != 0;
}

void Hive::Reset() {
  if (m_error.empty()) Commit();
  DropConnection();
  m_handles.clear();
  m_path.clear();
  m_error.clear();
  m_errorReported = false;
  if (m_forkedWhileOpen)
    m_error = "registry: '" + Path() +
              "' was open when this process was forked from its parent; a forked child must "
              "exec before it uses the registry";
}

void Hive::Shutdown() {
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_error.empty()) Commit();
    m_exiting = true;
    m_stopFlusher = true;
  }
  m_wake->notify_all();
  if (m_flusher && m_flusher->joinable()) m_flusher->join();
  std::lock_guard<std::mutex> lock(m_mutex);
  m_flusher.reset();
  DropConnection();
}

void Hive::BeforeFork() { m_mutex.lock(); }

void Hive::AfterForkInParent() { m_mutex.unlock(); }

void Hive::AfterForkInChild() {
  // SQLite keeps per-process lock bookkeeping for each open file; the
  // child inherits it without the locks themselves, so neither the
  // inherited connection nor a new one to the same file is safe here.
  if (m_db) {
    for (SqliteStatement& statement : m_statements) m_forkOrphans.push_back(statement.release());
    m_forkOrphans.push_back(m_db.release());
    m_batchOpen = false;
    m_forkedWhileOpen = true;
    m_error.clear();
    m_errorReported = false;
    m_handles.clear();
    Reset();
  }
  if (m_flusher) {
    m_forkOrphans.push_back(m_flusher.release());
    m_forkOrphans.push_back(m_wake.release());
    m_wake = std::make_unique<std::condition_variable>();
  }
  m_mutex.unlock();
}

Savepoint::Savepoint(Hive& hive) : m_hive(hive), m_started(hive.Exec("SAVEPOINT registry_call")) {}

Savepoint::~Savepoint() {
  if (m_started == ERROR_SUCCESS && !m_done) {
    m_hive.ExecQuietly("ROLLBACK TO registry_call");
    m_hive.ExecQuietly("RELEASE registry_call");
  }
}

LONG Savepoint::Release() {
  m_done = true;
  return m_hive.Exec("RELEASE registry_call");
}

}  // namespace qap::registry
