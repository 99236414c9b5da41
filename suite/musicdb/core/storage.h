// What lies behind the opaque IQAPStorage: the music database (whose
// connection is the process's one, so the storage only names it) or a
// playlist file read into memory.
#pragma once

#include <string>
#include <vector>

#include "platform/base/cstring.h"

class IQAPStorage {
 public:
  enum class Kind { kDatabase, kPlaylistFile };

  explicit IQAPStorage(Kind kind) : kind(kind) {}

  const Kind kind;
  // Playlist file: its base name, and its song paths in file order.
  CString name;
  std::vector<CString> paths;
};

namespace qap::musicdb {

inline bool IsDatabase(const IQAPStorage* storage) {
  return storage != nullptr && storage->kind == IQAPStorage::Kind::kDatabase;
}

}  // namespace qap::musicdb
