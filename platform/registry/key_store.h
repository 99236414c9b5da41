// Keys and values by key id: the SQL behind every registry call. Callers
// hold the hive lock and have opened the hive.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/registry/hive.h"

namespace qap::registry {

struct ValueRow {
  std::string name;
  DWORD type = REG_NONE;
  std::string data;
};

struct KeyInfo {
  DWORD subKeys = 0;
  DWORD maxSubKeyLen = 0;
  DWORD values = 0;
  DWORD maxValueNameLen = 0;
  DWORD maxValueLen = 0;
};

class KeyStore {
 public:
  explicit KeyStore(Hive& hive) : m_hive(hive) {}

  // ERROR_KEY_DELETED for a key that no longer exists.
  LONG RequireExists(std::int64_t id);
  LONG FindChild(std::int64_t parent, std::string_view name, std::int64_t* child);
  LONG Resolve(std::int64_t start, std::string_view path, std::int64_t* id);
  // Creates the missing keys along path (inside a write batch); *created
  // tells whether the last one was new. Windows' limits hold: a name of up
  // to 255 characters, a tree of up to 512 levels (ERROR_INVALID_PARAMETER).
  LONG Create(std::int64_t start, std::string_view path, std::int64_t* id, bool* created);
  // The name as stored, with the case it was created with.
  LONG Name(std::int64_t id, std::string* name);
  LONG HasChildren(std::int64_t id, bool* hasChildren);
  // Removes the key's values and every key below it, and the key itself
  // unless keepTop.
  LONG DeleteTree(std::int64_t id, bool keepTop);

  // The value's type and its bytes as stored.
  LONG GetValue(std::int64_t key, std::string_view name, DWORD* type, std::string* data);
  LONG SetValue(std::int64_t key, std::string_view name, DWORD type, const void* data,
                std::size_t size);
  LONG DeleteValue(std::int64_t key, std::string_view name);

  LONG EnumKey(std::int64_t key, DWORD index, std::string* name);
  LONG EnumValue(std::int64_t key, DWORD index, ValueRow* value);
  LONG QueryInfo(std::int64_t key, KeyInfo* info);

  // Whole listings, for export.
  LONG Children(std::int64_t key, std::vector<std::pair<std::int64_t, std::string>>* children);
  LONG Values(std::int64_t key, std::vector<ValueRow>* values);

 private:
  LONG Step(StatementUse& use, bool* row);
  // Levels below the root: 0 for a root.
  LONG Depth(std::int64_t id, int* depth);

  Hive& m_hive;
};

}  // namespace qap::registry
