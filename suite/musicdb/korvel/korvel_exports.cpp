// Korvel's factories and destroy functions: the database storage, playlists,
// and the group, sub-group, song and playlist containers.
#include <memory>

#include "shellfolder/music_db.h"
#include "suite/musicdb/core/database.h"
#include "suite/musicdb/core/storage.h"
#include "suite/musicdb/korvel/group.h"
#include "suite/musicdb/korvel/group_container.h"
#include "suite/musicdb/korvel/playlist.h"
#include "suite/musicdb/korvel/playlist_container.h"
#include "suite/musicdb/korvel/song_container.h"
#include "suite/musicdb/korvel/sub_group.h"

using qap::musicdb::SortSpec;

namespace {

SortSpec MakeSort(bool sorted, const CString& name, BOOL ascending) {
  return SortSpec{sorted, name, ascending != FALSE};
}

}  // namespace

// Opening the connection here lets a caller learn at once that the database
// cannot be used.
int CreateDbQAPStorage(IQAPStorage** storage) try {
  if (storage == nullptr) return 0;
  *storage = nullptr;
  auto& database = qap::musicdb::Database::Instance();
  auto lock = database.Lock();
  if (database.Connection() == nullptr) return 0;
  *storage = new IQAPStorage(IQAPStorage::Kind::kDatabase);
  return 1;
} catch (...) {
  return 0;
}

void DestroyDbQAPStorage(IQAPStorage* storage) { delete storage; }

int CreateDbQAPPlayList(IDbQAPPlayList** playlist, int id) try {
  if (playlist == nullptr) return 0;
  *playlist = new qap::musicdb::Playlist(id);
  return 1;
} catch (...) {
  return 0;
}

void DestroyDbQAPPlayList(IDbQAPPlayList* playlist) {
  delete static_cast<qap::musicdb::Playlist*>(playlist);
}

IGroupContainer* CreateIGroupContainer(int flag, const CString& sortName, BOOL ascending) try {
  return new qap::musicdb::GroupContainer(MakeSort(flag != 0, sortName, ascending));
} catch (...) {
  return nullptr;
}

void DestroyIGroupContainer(IGroupContainer* container) {
  delete static_cast<qap::musicdb::GroupContainer*>(container);
}

IPlaylistContainer* CreatePlayListContainer(int flag, const CString& sortName,
                                            BOOL ascending) try {
  return new qap::musicdb::PlaylistContainer(MakeSort(flag != 0, sortName, ascending));
} catch (...) {
  return nullptr;
}

void DestroyPlayListContainer(IPlaylistContainer* container) {
  delete static_cast<qap::musicdb::PlaylistContainer*>(container);
}

IGroup* CreateIGroup(const TGroupInfo& info, int flag, const CString& sortName,
                     BOOL ascending) try {
  auto group = std::make_unique<qap::musicdb::Group>(info, MakeSort(flag != 0, sortName, ascending));
  if (group->Refresh() == 0) return nullptr;
  return group.release();
} catch (...) {
  return nullptr;
}

void DestroyIGroup(IGroup* group) { delete static_cast<qap::musicdb::Group*>(group); }

ISubGroup* CreateISubGroup(const TSubGroupInfo& info, const CString& sortName,
                           BOOL ascending) try {
  return new qap::musicdb::SubGroup(info, MakeSort(true, sortName, ascending));
} catch (...) {
  return nullptr;
}

void DestroyISubGroup(ISubGroup* subGroup) {
  delete static_cast<qap::musicdb::SubGroup*>(subGroup);
}

ISongContainer* CreateISongContainer(const CString& sortName, BOOL ascending) try {
  return new qap::musicdb::SongContainer(MakeSort(true, sortName, ascending));
} catch (...) {
  return nullptr;
}

void DestroyISongContainer(ISongContainer* container) {
  delete static_cast<qap::musicdb::SongContainer*>(container);
}
