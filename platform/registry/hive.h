// The process's one connection to the hive file: opening and checking it,
// batching writes into transactions, the background flusher that commits
// them, and the table of open key handles. One per process, behind a mutex.
#pragma once

#include <array>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <unordered_map>
#include <vector>

#include "platform/registry/registry.h"
#include "platform/registry/sqlite_handle.h"

namespace qap::registry {

// Statements prepared once per connection and kept.
enum class Sql : int {
  kFindChild,
  kInsertKey,
  kKeyExists,
  kHasChildren,
  kKeyRow,
  kGetValue,
  kUpsertValue,
  kDeleteValue,
  kDeleteTreeValues,
  kDeleteTreeKeys,
  kEnumKey,
  kEnumValue,
  kSubKeyInfo,
  kValueInfo,
  kListChildren,
  kListValues,
  kCount,
};

struct KeyHandle {
  std::int64_t keyId = 0;
  // The write batch this handle last wrote in; closing the handle commits
  // that batch if it is still open.
  std::uint64_t writeBatch = 0;
};

class Hive {
 public:
  static Hive& Instance();

  std::unique_lock<std::mutex> Lock() { return std::unique_lock<std::mutex>(m_mutex); }

  // --- Everything below expects the lock to be held. ---

  // ERROR_SUCCESS when the hive is open and usable, else ERROR_BADDB.
  LONG EnsureOpen();
  LONG Prepare(Sql id, sqlite3_stmt** statement);
  LONG Exec(const char* sql);
  // For undoing after a failure, when a second failure has nothing to add.
  void ExecQuietly(const char* sql);
  // Maps a failed SQLite result to a Win32 code; a damaged file marks the
  // whole hive unusable.
  LONG Fail(int sqliteResult);
  // A file whose content contradicts itself (what SQLite cannot see, such
  // as an index that makes a key its own descendant) is damaged as well:
  // marks the hive unusable the same way, and gives ERROR_BADDB.
  LONG Damaged(const std::string& what);

  // Joins the open write batch or opens one (BEGIN IMMEDIATE).
  LONG BeginWrite();
  // Called after every write: once the process is exiting there is no
  // flusher any more, so each write commits at once.
  LONG EndWrite(LONG result);
  LONG Commit();
  // The serial of the open write batch, 0 when none is open.
  std::uint64_t OpenBatch() const { return m_batchOpen ? m_batch : 0; }

  HKEY AddHandle(const KeyHandle& handle);
  // Predefined roots give a null *handle.
  LONG ResolveHandle(HKEY key, std::int64_t* keyId, KeyHandle** handle);
  bool RemoveHandle(HKEY key);

  const std::string& Path();
  const std::string& Error() const { return m_error; }

  // Commits, closes and forgets the hive and every handle.
  void Reset();
  // At process exit: commits, stops the flusher, closes the connection.
  void Shutdown();

 private:
  Hive();
  std::string OpenConnection();
  void DropConnection();
  void ReportError();
  void StartFlusher();
  void FlusherLoop();
  void BeforeFork();
  void AfterForkInParent();
  void AfterForkInChild();

  std::mutex m_mutex;
  // Behind a pointer so that a forked child can set aside the copy whose
  // bookkeeping still counts the parent's flusher as a waiter.
  std::unique_ptr<std::condition_variable> m_wake = std::make_unique<std::condition_variable>();
  std::string m_path;
  std::string m_error;
  bool m_errorReported = false;
  bool m_forkedWhileOpen = false;
  SqliteDb m_db;
  std::array<SqliteStatement, static_cast<int>(Sql::kCount)> m_statements;

  bool m_batchOpen = false;
  std::uint64_t m_batch = 0;
  std::chrono::steady_clock::time_point m_batchStart;
  bool m_exiting = false;
  bool m_stopFlusher = false;
  std::unique_ptr<std::thread> m_flusher;

  std::unordered_map<std::uintptr_t, KeyHandle> m_handles;
  std::uint64_t m_handleSerial = 0;

  // What a forked child inherited and must neither use nor free: SQLite
  // forbids touching a connection across fork(), and the flusher thread
  // does not exist in the child.
  std::vector<void*> m_forkOrphans;
};

// Groups the statements of one registry call so that a failure part way
// leaves nothing half done inside the open batch.
class Savepoint {
 public:
  explicit Savepoint(Hive& hive);
  ~Savepoint();
  Savepoint(const Savepoint&) = delete;
  Savepoint& operator=(const Savepoint&) = delete;

  LONG Started() const { return m_started; }
  LONG Release();

 private:
  Hive& m_hive;
  LONG m_started;
  bool m_done = false;
};

}  // namespace qap::registry
