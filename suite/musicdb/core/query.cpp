// Statement use on the shared connection.
#include "suite/musicdb/core/query.h"

#include "suite/musicdb/core/database.h"

namespace qap::musicdb {

Query::Query(std::string_view sql) : m_statement(Database::Instance().Prepare(sql)) {
  m_failed = m_statement == nullptr;
}

Query::~Query() {
  if (m_statement == nullptr) return;
  sqlite3_reset(m_statement);
  sqlite3_clear_bindings(m_statement);
}

bool Query::Next() {
  if (m_statement == nullptr) return false;
  const int result = sqlite3_step(m_statement);
  if (result == SQLITE_ROW) return true;
  if (result != SQLITE_DONE) {
    m_failed = true;
    Database::Instance().Fail(result);
  }
  return false;
}

bool Query::Run() {
  Next();
  return !m_failed;
}

}  // namespace qap::musicdb
