// The process's one connection to the music database, shared by Korvel,
// Ansimo and Brisel: where the file lives, opening and checking it, cached
// statements, transactions and the last error. Every use holds the lock.
#pragma once

#include <sqlite3.h>

#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

#include "platform/base/export.h"
#include "platform/registry/sqlite_handle.h"

namespace qap::musicdb {

class QAP_EXPORT Database {
 public:
  static Database& Instance();

  // Recursive: a transaction holds it while the calls inside it take it too.
  std::unique_lock<std::recursive_mutex> Lock() {
    return std::unique_lock<std::recursive_mutex>(m_mutex);
  }

  // --- Everything below expects the lock to be held. ---

  // The open connection, opened on first use; null when the database cannot
  // be used (Error() says why).
  sqlite3* Connection();
  // A statement kept for the life of the connection; null on failure.
  sqlite3_stmt* Prepare(std::string_view sql);
  // Records what went wrong with result; always false, for "return Fail(...)".
  bool Fail(int result);
  void SetError(std::string error) { m_error = std::move(error); }
  const std::string& Error() const { return m_error; }
  const std::string& Path();

  // Moves whenever the library may have changed: another connection's
  // commit (data_version), a change made through this one, a new
  // connection. A summary read at one stamp holds while the stamp stays.
  struct Stamp {
    long long connection = -1;
    long long dataVersion = -1;
    long long ownChanges = -1;
    bool operator==(const Stamp&) const = default;
  };
  // The stamp now; none while this connection has a write transaction open
  // (what it changed may yet be undone) or when it cannot be read.
  std::optional<Stamp> ChangeStamp();

  // Transaction depth, kept by Transaction.
  int& Depth() { return m_depth; }

  // Closes the connection; the next use opens the file that $QAP_MUSIC_DB
  // names then.
  void Reset();
  // With false, a database file that does not exist is not made: the
  // connection is to an empty library in memory (for a process that only
  // reads). True by default.
  void SetCreateMissing(bool create) { m_createMissing = create; }
  // How long a write waits for another process's write to end.
  void SetBusyTimeout(int milliseconds);

 private:
  Database() = default;
  bool Open();

  std::recursive_mutex m_mutex;
  std::string m_path;
  std::string m_error;
  int m_busyTimeoutMs = 5000;
  int m_depth = 0;
  long long m_connections = 0;
  bool m_createMissing = true;
  registry::SqliteDb m_db;
  std::unordered_map<std::string, registry::SqliteStatement> m_statements;
};

// A transaction on the shared connection; inside another it becomes a
// savepoint, so a failure undoes only its own part. Holds the lock for its
// whole life. Not committed = rolled back.
class QAP_EXPORT Transaction {
 public:
  enum class Kind { kRead, kWrite };
  explicit Transaction(Kind kind);
  ~Transaction();
  Transaction(const Transaction&) = delete;
  Transaction& operator=(const Transaction&) = delete;

  // False when the database cannot be used or the transaction could not
  // begin (another process writing for longer than the busy timeout).
  bool Started() const { return m_started; }
  sqlite3* Connection() const { return m_db; }
  bool Commit();

 private:
  std::unique_lock<std::recursive_mutex> m_lock;
  sqlite3* m_db = nullptr;
  bool m_started = false;
  bool m_outermost = false;
  bool m_done = false;
};

// The reason the last call failed, for messages.
QAP_EXPORT std::string LastError();

}  // namespace qap::musicdb
