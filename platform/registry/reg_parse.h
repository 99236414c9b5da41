// Reading the .reg text format into a list of changes. The whole text is
// checked before anything is applied, so a syntax error changes nothing.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/registry/registry.h"

namespace qap::registry {

struct RegChange {
  enum class Kind { kOpenKey, kDeleteKey, kSetValue, kDeleteValue };
  Kind kind = Kind::kOpenKey;
  // kOpenKey and kDeleteKey: the key. Value changes apply to the key of
  // the latest kOpenKey.
  HKEY root = nullptr;
  std::string path;  // names in the code page
  std::string name;
  DWORD type = REG_NONE;
  std::string data;  // texts in the hive's stored form
};

// On failure, *error reads "line N: what was wrong".
bool ParseRegText(std::string_view text, std::vector<RegChange>* changes, std::string* error);

}  // namespace qap::registry
