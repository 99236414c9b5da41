// RAII owners for the SQLite connection and its prepared statements, and a
// scoped use of a cached statement that always resets it afterwards, so that
// no read transaction stays open between registry calls.
#pragma once

#include <sqlite3.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

namespace qap::registry {

struct SqliteCloser {
  void operator()(sqlite3* db) const { sqlite3_close_v2(db); }
};
using SqliteDb = std::unique_ptr<sqlite3, SqliteCloser>;

struct StatementFinalizer {
  void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
};
using SqliteStatement = std::unique_ptr<sqlite3_stmt, StatementFinalizer>;

class StatementUse {
 public:
  explicit StatementUse(sqlite3_stmt* statement) : m_statement(statement) {}
  ~StatementUse() {
    sqlite3_reset(m_statement);
    sqlite3_clear_bindings(m_statement);
  }
  StatementUse(const StatementUse&) = delete;
  StatementUse& operator=(const StatementUse&) = delete;

  int Bind(int index, std::int64_t value) { return sqlite3_bind_int64(m_statement, index, value); }

  // Names and data are bound as blobs: names are code-page bytes that need
  // not be valid UTF-8, and a blob compares byte for byte. A zero-length
  // blob needs a non-null pointer, or SQLite would bind NULL.
  int BindBytes(int index, const void* data, std::size_t size) {
    static const unsigned char kNothing = 0;
    return sqlite3_bind_blob64(m_statement, index, size != 0 ? data : &kNothing, size,
                               SQLITE_TRANSIENT);
  }
  int BindBytes(int index, std::string_view text) {
    return BindBytes(index, text.data(), text.size());
  }

  int Step() { return sqlite3_step(m_statement); }

  std::int64_t Int64(int column) const { return sqlite3_column_int64(m_statement, column); }
  std::string_view Bytes(int column) const {
    const void* data = sqlite3_column_blob(m_statement, column);
    const int size = sqlite3_column_bytes(m_statement, column);
    if (data == nullptr || size <= 0) return {};
    return {static_cast<const char*>(data), static_cast<std::size_t>(size)};
  }

 private:
  sqlite3_stmt* m_statement;
};

}  // namespace qap::registry
