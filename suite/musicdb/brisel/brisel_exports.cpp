// Brisel's factory: a storage over a playlist file, read when made.
#include <memory>

#include "shellfolder/music_db.h"
#include "suite/musicdb/brisel/zpl_file.h"

int CreateZPLStorage(const CString& path, IQAPStorage** storage) try {
  if (storage == nullptr) return 0;
  *storage = nullptr;
  auto file = std::make_unique<IQAPStorage>(IQAPStorage::Kind::kPlaylistFile);
  if (!qap::musicdb::ReadZplFile(path, file.get())) return 0;
  *storage = file.release();
  return 1;
} catch (...) {
  return 0;
}

void DestroyZPLStorage(IQAPStorage* storage) { delete storage; }
