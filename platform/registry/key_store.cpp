// The SQL behind the registry calls, one small query per operation on the
// statements the hive keeps prepared.
#include "platform/registry/key_store.h"

#include <cstring>
#include <limits>

#include "platform/registry/names.h"

namespace qap::registry {
namespace {

DWORD ClampToDword(std::size_t size) {
  return size > std::numeric_limits<DWORD>::max() ? std::numeric_limits<DWORD>::max()
                                                  : static_cast<DWORD>(size);
}

DWORD ClampToDword(std::int64_t size) {
  return size < 0 ? 0 : ClampToDword(static_cast<std::size_t>(size));
}

}  // namespace

LONG KeyStore::Step(StatementUse& use, bool* row) {
  const int result = use.Step();
  *row = result == SQLITE_ROW;
  if (result == SQLITE_ROW || result == SQLITE_DONE) return ERROR_SUCCESS;
  return m_hive.Fail(result);
}

LONG KeyStore::RequireExists(std::int64_t id) {
  if (IsRootId(id)) return ERROR_SUCCESS;
  sqlite3_stmt* statement = nullptr;
  LONG result = m_hive.Prepare(Sql::kKeyExists, &statement);
  if (result != ERROR_SUCCESS) return result;
  StatementUse use(statement);
  use.Bind(1, id);
  bool row = false;
  result = Step(use, &row);
  if (result != ERROR_SUCCESS) return result;
  return row ? ERROR_SUCCESS : ERROR_KEY_DELETED;
}

LONG KeyStore::FindChild(std::int64_t parent, std::string_view name, std::int64_t* child) {
  sqlite3_stmt* statement = nullptr;
  LONG result = m_hive.Prepare(Sql::kFindChild, &statement);
  if (result != ERROR_SUCCESS) return result;
  StatementUse use(statement);
  use.Bind(1, parent);
  use.BindBytes(2, FoldName(name));
  bool row = false;
  result = Step(use, &row);
  if (result != ERROR_SUCCESS) return result;
  if (!row) return ERROR_FILE_NOT_FOUND;
  *child = use.Int64(0);
  return ERROR_SUCCESS;
}

LONG KeyStore::Resolve(std::int64_t start, std::string_view path, std::int64_t* id) {
  std::int64_t current = start;
  const LONG result = ForEachComponent(path, [&](std::string_view name, bool) {
    if (!NameFits(name, kMaxKeyNameChars)) return ERROR_INVALID_PARAMETER;
    return FindChild(current, name, &current);
  });
  if (result == ERROR_SUCCESS) *id = current;
  return result;
}

LONG KeyStore::Depth(std::int64_t id, int* depth) {
  *depth = 0;
  while (!IsRootId(id)) {
    sqlite3_stmt* statement = nullptr;
    LONG result = m_hive.Prepare(Sql::kKeyRow, &statement);
    if (result != ERROR_SUCCESS) return result;
    StatementUse use(statement);
    use.Bind(1, id);
    bool row = false;
    result = Step(use, &row);
    if (result != ERROR_SUCCESS) return result;
    if (!row) return ERROR_KEY_DELETED;
    id = use.Int64(0);
    // No tree is deeper; parents that go round in a circle are damage.
    if (++*depth > kMaxKeyDepth) return m_hive.Damaged("a key is its own ancestor");
  }
  return ERROR_SUCCESS;
}

LONG KeyStore::Create(std::int64_t start, std::string_view path, std::int64_t* id, bool* created) {
  LONG result = RequireExists(start);
  if (result != ERROR_SUCCESS) return result;
  std::int64_t current = start;
  bool madeLast = false;
  int depth = -1;  // of current, counted once a key is to be made
  int below = 0;   // levels from start to current
  result = ForEachComponent(path, [&](std::string_view name, bool) {
    madeLast = false;
    if (!NameFits(name, kMaxKeyNameChars)) return ERROR_INVALID_PARAMETER;
    ++below;
    LONG found = FindChild(current, name, &current);
    if (found != ERROR_FILE_NOT_FOUND) return found;
    if (depth < 0) {
      if (LONG counted = Depth(start, &depth); counted != ERROR_SUCCESS) return counted;
    }
    if (depth + below > kMaxKeyDepth) return ERROR_INVALID_PARAMETER;
    sqlite3_stmt* statement = nullptr;
    found = m_hive.Prepare(Sql::kInsertKey, &statement);
    if (found != ERROR_SUCCESS) return found;
    StatementUse use(statement);
    use.Bind(1, current);
    use.BindBytes(2, name);
    use.BindBytes(3, FoldName(name));
    bool row = false;
    found = Step(use, &row);
    if (found != ERROR_SUCCESS) return found;
    current = sqlite3_last_insert_rowid(sqlite3_db_handle(statement));
    madeLast = true;
    return ERROR_SUCCESS;
  });
  if (result != ERROR_SUCCESS) return result;
  *id = current;
  *created = madeLast;
  return ERROR_SUCCESS;
}

LONG KeyStore::Name(std::int64_t id, std::string* name) {
  sqlite3_stmt* statement = nullptr;
  LONG result = m_hive.Prepare(Sql::kKeyRow, &statement);
  if (result != ERROR_SUCCESS) return result;
  StatementUse use(statement);
  use.Bind(1, id);
  bool row = false;
  result = Step(use, &row);
  if (result != ERROR_SUCCESS) return result;
  if (!row) return ERROR_FILE_NOT_FOUND;
  name->assign(use.Bytes(1));
  return ERROR_SUCCESS;
}

LONG KeyStore::HasChildren(std::int64_t id, bool* hasChildren) {
  sqlite3_stmt* statement = nullptr;
  const LONG result = m_hive.Prepare(Sql::kHasChildren, &statement);
  if (result != ERROR_SUCCESS) return result;
  StatementUse use(statement);
  use.Bind(1, id);
  return Step(use, hasChildren);
}

LONG KeyStore::DeleteTree(std::int64_t id, bool keepTop) {
  Savepoint savepoint(m_hive);
  if (savepoint.Started() != ERROR_SUCCESS) return savepoint.Started();
  for (const Sql sql : {Sql::kDeleteTreeValues, Sql::kDeleteTreeKeys}) {
    sqlite3_stmt* statement = nullptr;
    LONG result = m_hive.Prepare(sql, &statement);
    if (result != ERROR_SUCCESS) return result;
    StatementUse use(statement);
    use.Bind(1, id);
    if (sql == Sql::kDeleteTreeKeys) use.Bind(2, keepTop ? id : 0);
    bool row = false;
    result = Step(use, &row);
    if (result != ERROR_SUCCESS) return result;
  }
  return savepoint.Release();
}

LONG KeyStore::GetValue(std::int64_t key, std::string_view name, DWORD* type, std::string* data) {
  sqlite3_stmt* statement = nullptr;
  LONG result = m_hive.Prepare(Sql::kGetValue, &statement);
  if (result != ERROR_SUCCESS) return result;
  StatementUse use(statement);
  use.Bind(1, key);
  use.BindBytes(2, FoldName(name));
  bool row = false;
  result = Step(use, &row);
  if (result != ERROR_SUCCESS) return result;
  if (!row) return ERROR_FILE_NOT_FOUND;
  *type = static_cast<DWORD>(use.Int64(0));
  data->assign(use.Bytes(1));
  return ERROR_SUCCESS;
}

LONG KeyStore::SetValue(std::int64_t key, std::string_view name, DWORD type, const void* data,
                        std::size_t size) {
  sqlite3_stmt* statement = nullptr;
  LONG result = m_hive.Prepare(Sql::kUpsertValue, &statement);
  if (result != ERROR_SUCCESS) return result;
  StatementUse use(statement);
  use.Bind(1, key);
  use.BindBytes(2, name);
  use.BindBytes(3, FoldName(name));
  use.Bind(4, static_cast<std::int64_t>(type));
  use.BindBytes(5, data, size);
  bool row = false;
  return Step(use, &row);
}

LONG KeyStore::DeleteValue(std::int64_t key, std::string_view name) {
  sqlite3_stmt* statement = nullptr;
  LONG result = m_hive.Prepare(Sql::kDeleteValue, &statement);
  if (result != ERROR_SUCCESS) return result;
  StatementUse use(statement);
  use.Bind(1, key);
  use.BindBytes(2, FoldName(name));
  bool row = false;
  result = Step(use, &row);
  if (result != ERROR_SUCCESS) return result;
  return sqlite3_changes(sqlite3_db_handle(statement)) > 0 ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
}

LONG KeyStore::EnumKey(std::int64_t key, DWORD index, std::string* name) {
  sqlite3_stmt* statement = nullptr;
  LONG result = m_hive.Prepare(Sql::kEnumKey, &statement);
  if (result != ERROR_SUCCESS) return result;
  StatementUse use(statement);
  use.Bind(1, key);
  use.Bind(2, static_cast<std::int64_t>(index));
  bool row = false;
  result = Step(use, &row);
  if (result != ERROR_SUCCESS) return result;
  if (!row) return ERROR_NO_MORE_ITEMS;
  name->assign(use.Bytes(0));
  return ERROR_SUCCESS;
}

LONG KeyStore::EnumValue(std::int64_t key, DWORD index, ValueRow* value) {
  sqlite3_stmt* statement = nullptr;
  LONG result = m_hive.Prepare(Sql::kEnumValue, &statement);
  if (result != ERROR_SUCCESS) return result;
  StatementUse use(statement);
  use.Bind(1, key);
  use.Bind(2, static_cast<std::int64_t>(index));
  bool row = false;
  result = Step(use, &row);
  if (result != ERROR_SUCCESS) return result;
  if (!row) return ERROR_NO_MORE_ITEMS;
  value->name.assign(use.Bytes(0));
  value->type = static_cast<DWORD>(use.Int64(1));
  value->data.assign(use.Bytes(2));
  return ERROR_SUCCESS;
}

LONG KeyStore::QueryInfo(std::int64_t key, KeyInfo* info) {
  for (const Sql sql : {Sql::kSubKeyInfo, Sql::kValueInfo}) {
    sqlite3_stmt* statement = nullptr;
    LONG result = m_hive.Prepare(sql, &statement);
    if (result != ERROR_SUCCESS) return result;
    StatementUse use(statement);
    use.Bind(1, key);
    bool row = false;
    result = Step(use, &row);
    if (result != ERROR_SUCCESS) return result;
    if (sql == Sql::kSubKeyInfo) {
      info->subKeys = ClampToDword(use.Int64(0));
      info->maxSubKeyLen = ClampToDword(use.Int64(1));
    } else {
      info->values = ClampToDword(use.Int64(0));
      info->maxValueNameLen = ClampToDword(use.Int64(1));
      info->maxValueLen = ClampToDword(use.Int64(2));
    }
  }
  return ERROR_SUCCESS;
}

LONG KeyStore::Children(std::int64_t key,
                        std::vector<std::pair<std::int64_t, std::string>>* children) {
  sqlite3_stmt* statement = nullptr;
  LONG result = m_hive.Prepare(Sql::kListChildren, &statement);
  if (result != ERROR_SUCCESS) return result;
  StatementUse use(statement);
  use.Bind(1, key);
  bool row = true;
  while ((result = Step(use, &row)) == ERROR_SUCCESS && row)
    children->emplace_back(use.Int64(0), std::string(use.Bytes(1)));
  return result;
}

LONG KeyStore::Values(std::int64_t key, std::vector<ValueRow>* values) {
  sqlite3_stmt* statement = nullptr;
  LONG result = m_hive.Prepare(Sql::kListValues, &statement);
  if (result != ERROR_SUCCESS) return result;
  StatementUse use(statement);
  use.Bind(1, key);
  bool row = true;
  while ((result = Step(use, &row)) == ERROR_SUCCESS && row)
    values->push_back(ValueRow{std::string(use.Bytes(0)), static_cast<DWORD>(use.Int64(1)),
                               std::string(use.Bytes(2))});
  return result;
}

}  // namespace qap::registry
