// One use of a statement on the shared connection: binds text and numbers,
// steps, reads columns, and resets the statement afterwards so that no read
// stays open between calls. The database keeps text as UTF-8 TEXT (so that
// it sorts and compares as text), which is why this binds text rather than
// the registry's blobs.
#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <string_view>

#include "platform/base/export.h"

namespace qap::musicdb {

class QAP_EXPORT Query {
 public:
  // A cached statement of the shared database; the caller holds its lock.
  explicit Query(std::string_view sql);
  ~Query();
  Query(const Query&) = delete;
  Query& operator=(const Query&) = delete;

  // False when the statement could not be prepared (the error is recorded).
  bool Ready() const { return m_statement != nullptr; }

  void Bind(int index, std::int64_t value) { sqlite3_bind_int64(m_statement, index, value); }
  void Bind(int index, std::string_view text) {
    sqlite3_bind_text64(m_statement, index, text.data(), text.size(), SQLITE_TRANSIENT,
                        SQLITE_UTF8);
  }

  // True with a row; false at the end or on failure (Failed() tells which,
  // and the error is recorded).
  bool Next();
  // Steps a statement that returns no rows; false on failure.
  bool Run();
  bool Failed() const { return m_failed; }

  std::int64_t Int(int column) const { return sqlite3_column_int64(m_statement, column); }
  std::string_view Text(int column) const {
    const unsigned char* text = sqlite3_column_text(m_statement, column);
    if (text == nullptr) return {};
    return {reinterpret_cast<const char*>(text),
            static_cast<std::size_t>(sqlite3_column_bytes(m_statement, column))};
  }

 private:
  sqlite3_stmt* m_statement = nullptr;
  bool m_failed = false;
};

}  // namespace qap::musicdb
