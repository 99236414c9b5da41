// Building the music folder's items: the fixed top folders, and groups,
// sub-groups, playlists and songs from the music database. Texts from the
// database are in the system code page and are widened with it.
#include <cstring>

#include "platform/base/codepage.h"
#include "shellfolder/item_id_manager.h"

namespace {

const char16_t kMusicName[] = u"Music";
const char16_t kGroupsCategory[] = u"Groups";
const char16_t kSongsText[] = u"Songs";
const char16_t kPlayListsName[] = u"Play Lists";
const char16_t kPlaylistsCategory[] = u"Playlists";

struct Folder {
  DWORD kind;
  DWORD attributes;
  DWORD icon;
  std::u16string_view category;
  int id;
  std::u16string_view name;
  std::u16string_view extra = {};
};

// The longest path a song item can carry: its count must fit 16 bits.
constexpr size_t kMaxPathUnits = (0xFFFF - kSongItemBaseSize - 2) / 2;

void Stamp(MusicItem* item) {
  item->version = kMusicItemVersion;
  std::memcpy(item->signature, kMusicItemSignature, sizeof kMusicItemSignature);
}

HRESULT MakeFolder(const ItemIdManager& manager, const Folder& folder, LPITEMIDLIST* out) {
  if (out == nullptr) return E_POINTER;
  *out = manager.Create(kFolderItemSize);
  if (*out == nullptr) return E_OUTOFMEMORY;
  MusicItem* item = AsMusicItem(*out);
  Stamp(item);
  item->attributes = folder.attributes;
  item->icon = folder.icon;
  item->kind = folder.kind;
  item->id = folder.id;
  WriteItemText(item, offsetof(MusicItem, category), kShortTextUnits, folder.category);
  WriteItemText(item, offsetof(MusicItem, extra), kShortTextUnits, folder.extra);
  WriteItemText(item, offsetof(MusicItem, name), kNameUnits, folder.name);
  return S_OK;
}

Folder AllSongs() {
  return {kKindSongList, kAttributesAllSongs, kIconAllSongs, kSongsText, kAllSongsId, kSongsText};
}

}  // namespace

HRESULT ItemIdManager::MakeTopFolder(DWORD kind, LPITEMIDLIST* item) const {
  if (kind == kKindMusic) {
    return MakeFolder(
        *this, {kKindMusic, kAttributesTopFolder, kIconMusic, kGroupsCategory, 0, kMusicName},
        item);
  }
  if (kind == kKindPlayLists) {
    return MakeFolder(*this,
                      {kKindPlayLists, kAttributesTopFolder, kIconPlayLists, kPlaylistsCategory, 0,
                       kPlayListsName},
                      item);
  }
  return E_INVALIDARG;
}

HRESULT ItemIdManager::MakeGroup(const TGroupInfo& info, LPITEMIDLIST* item) const try {
  if (info.key.IsEmpty()) return MakeFolder(*this, AllSongs(), item);
  const std::u16string key = AnsiToWide(info.key.str());
  const std::u16string name = AnsiToWide(info.name.str());
  return MakeFolder(*this, {kKindGroup, kAttributesGroup, kIconGroup, key, info.id, name}, item);
} catch (...) {
  return E_OUTOFMEMORY;
}

HRESULT ItemIdManager::MakeSubGroup(const TSubGroupInfo& info, LPITEMIDLIST* item) const try {
  const std::u16string name = AnsiToWide(info.name.str());
  const std::u16string extra = AnsiToWide(info.extra.str());
  return MakeFolder(
      *this, {kKindSongList, kAttributesSubGroup, kIconSubGroup, kSongsText, info.id, name, extra},
      item);
} catch (...) {
  return E_OUTOFMEMORY;
}

HRESULT ItemIdManager::MakePlaylist(IDbQAPPlayList& playlist, LPITEMIDLIST* item) const try {
  // The id comes from the details record, the name from the playlist.
  TPlayListInfo details{};
  if (!playlist.GetDetails(&details)) return E_FAIL;
  const std::u16string name = AnsiToWide(playlist.GetName().str());
  return MakeFolder(
      *this,
      {kKindPlaylist, kAttributesPlaylist, kIconPlaylist, kPlaylistsCategory, details.id, name},
      item);
} catch (...) {
  return E_OUTOFMEMORY;
}

HRESULT ItemIdManager::MakeSong(DWORD kind, int songId, std::u16string_view path,
                                LPITEMIDLIST* item) const {
  if (item == nullptr) return E_POINTER;
  *item = nullptr;
  if (kind != kKindListSong && kind != kKindPlaylistSong) return E_INVALIDARG;
  // A longer path would wrap the item's 16-bit count.
  if (path.size() > kMaxPathUnits) return E_INVALIDARG;
  *item = Create(kSongItemBaseSize + 2 * path.size());
  if (*item == nullptr) return E_OUTOFMEMORY;
  MusicItem* song = AsMusicItem(*item);
  Stamp(song);
  song->kind = kind;
  song->songId = static_cast<DWORD>(songId);
  if (!path.empty())
    std::memcpy(reinterpret_cast<BYTE*>(song) + kPathOffset, path.data(),
                path.size() * sizeof(char16_t));
  return S_OK;
}

HRESULT ItemIdManager::MakeBlank(LPITEMIDLIST* item) const {
  if (item == nullptr) return E_POINTER;
  *item = Create(kFolderItemSize);
  if (*item == nullptr) return E_OUTOFMEMORY;
  Stamp(AsMusicItem(*item));
  return S_OK;
}

HRESULT ItemIdManager::MakeItem(DWORD parentKind, const MusicItem* parent, int id, const char* path,
                                LPITEMIDLIST* item) const try {
  if (item == nullptr) return E_POINTER;
  *item = nullptr;
  switch (parentKind) {
    case kKindRoot:
      if (id == 0) return MakeTopFolder(kKindMusic, item);
      if (id == 1) return MakeTopFolder(kKindPlayLists, item);
      return E_INVALIDARG;
    case kKindMusic: {
      if (id == kAllSongsId) return MakeFolder(*this, AllSongs(), item);
      GroupContainerPtr groups(CreateIGroupContainer(0, "", TRUE));
      if (!groups || !groups->Open()) return E_FAIL;
      GroupPtr group(groups->GetGroupById(id));
      TGroupInfo info{};
      if (!group || !group->GetInfo(&info)) return E_FAIL;
      return MakeGroup(info, item);
    }
    case kKindGroup: {
      if (parent == nullptr) return E_INVALIDARG;
      TGroupInfo key{};
      key.key = WideToAnsi(ItemCategory(parent));
      GroupPtr group(CreateIGroup(key, 0, "", TRUE));
      if (!group) return E_FAIL;
      SubGroupPtr subGroup(group->GetSubGroupById(id));
      TSubGroupInfo info{};
      if (!subGroup || !subGroup->GetInfo(&info)) return E_FAIL;
      return MakeSubGroup(info, item);
    }
    case kKindPlayLists: {
      PlaylistContainerPtr playlists(CreatePlayListContainer(0, "", TRUE));
      if (!playlists || !playlists->Open()) return E_FAIL;
      PlaylistPtr playlist(playlists->GetPlaylistById(id));
      IQAPStorage* rawStorage = nullptr;
      if (!playlist || !CreateDbQAPStorage(&rawStorage)) return E_FAIL;
      DbStoragePtr storage(rawStorage);
      if (!playlist->Load(storage.get(), 0)) return E_FAIL;
      return MakePlaylist(*playlist, item);
    }
    case kKindSongList:
    case kKindPlaylist:
      if (path == nullptr) return E_INVALIDARG;
      return MakeSong(parentKind == kKindSongList ? kKindListSong : kKindPlaylistSong, id,
                      AnsiToWide(path), item);
    default:
      return E_INVALIDARG;
  }
} catch (...) {
  return E_OUTOFMEMORY;
}
