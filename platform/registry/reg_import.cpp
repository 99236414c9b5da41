// Importing .reg text: parse everything first, then apply all the changes in
// one transaction, so that an import is either whole or not at all.
#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>
#include <new>

#include "platform/registry/hive.h"
#include "platform/registry/key_store.h"
#include "platform/registry/names.h"
#include "platform/registry/reg_parse.h"
#include "platform/registry/registry.h"

using namespace qap::registry;

namespace {

LONG ApplyChange(KeyStore& store, const RegChange& change, std::int64_t* current) {
  std::int64_t rootId = 0;
  switch (change.kind) {
    case RegChange::Kind::kOpenKey: {
      RootKeyId(change.root, &rootId);
      bool created = false;
      return store.Create(rootId, change.path, current, &created);
    }
    case RegChange::Kind::kDeleteKey: {
      RootKeyId(change.root, &rootId);
      std::int64_t id = 0;
      const LONG found = store.Resolve(rootId, change.path, &id);
      if (found == ERROR_FILE_NOT_FOUND) return ERROR_SUCCESS;
      return found != ERROR_SUCCESS ? found : store.DeleteTree(id, false);
    }
    case RegChange::Kind::kSetValue:
      return store.SetValue(*current, change.name, change.type, change.data.data(),
                            change.data.size());
    case RegChange::Kind::kDeleteValue: {
      const LONG deleted = store.DeleteValue(*current, change.name);
      return deleted == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : deleted;
    }
  }
  return ERROR_INVALID_PARAMETER;
}

LONG Apply(const std::vector<RegChange>& changes, std::string* error) {
  Hive& hive = Hive::Instance();
  const auto lock = hive.Lock();
  LONG status = hive.EnsureOpen();
  if (status == ERROR_SUCCESS) status = hive.BeginWrite();
  if (status != ERROR_SUCCESS) {
    *error = hive.Error().empty() ? "the hive could not be changed" : hive.Error();
    return status;
  }
  {
    Savepoint savepoint(hive);
    status = savepoint.Started();
    KeyStore store(hive);
    std::int64_t current = 0;
    for (std::size_t i = 0; i < changes.size() && status == ERROR_SUCCESS; ++i)
      status = ApplyChange(store, changes[i], &current);
    if (status == ERROR_SUCCESS) status = savepoint.Release();
  }
  // An import is a deliberate, whole change: it is made durable at once.
  status = status == ERROR_SUCCESS ? hive.Commit() : hive.EndWrite(status);
  if (status != ERROR_SUCCESS) {
    *error = !hive.Error().empty() ? hive.Error()
                                   : "the hive could not be changed (error " +
                                         std::to_string(status) + "); nothing was imported";
  }
  return status;
}

LONG Import(const std::string& text, std::string* error) {
  std::vector<RegChange> changes;
  if (!ParseRegText(text, &changes, error)) return ERROR_INVALID_DATA;
  return Apply(changes, error);
}

}  // namespace

LONG RegImportString(const std::string& text, std::string* error) {
  std::string ignored;
  std::string& message = error != nullptr ? *error : ignored;
  try {
    message.clear();
    return Import(text, &message);
  } catch (const std::bad_alloc&) {
    return ERROR_OUTOFMEMORY;
  } catch (...) {
    return ERROR_REGISTRY_IO_FAILED;
  }
}

LONG RegImportFile(const std::string& file, std::string* error) {
  std::string ignored;
  std::string& message = error != nullptr ? *error : ignored;
  try {
    message.clear();
    std::ifstream in(file, std::ios::binary);
    if (!in) {
      const int cause = errno;
      message = "cannot read '" + file + "': " + std::strerror(cause);
      return cause == ENOENT ? ERROR_FILE_NOT_FOUND : ERROR_CANTREAD;
    }
    const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (in.bad()) {
      message = "cannot read '" + file + "'";
      return ERROR_CANTREAD;
    }
    const LONG status = Import(text, &message);
    if (status == ERROR_INVALID_DATA) message = file + ": " + message;
    return status;
  } catch (const std::bad_alloc&) {
    return ERROR_OUTOFMEMORY;
  } catch (...) {
    return ERROR_REGISTRY_IO_FAILED;
  }
}
