// New playlists, renames and deletes, and how every change is told: the
// shell's notifications and the refresh notice to the open views.
#include "shellfolder/library_edits.h"

#include <cstdio>

#include "platform/base/codepage.h"
#include "platform/shell/shell_notify.h"
#include "platform/ui/user32.h"
#include "shellfolder/item_id_manager.h"

namespace cobrell {
namespace {

constexpr char kViewHostTitle[] = "Mp3 Default View";

const ItemIdManager& Items() { return TheItemIdManager(); }

BOOL NoticeWindow(HWND window, LPARAM lParam) {
  HWND host = FindWindowExA(window, nullptr, nullptr, kViewHostTitle);
  if (host != nullptr) SendMessageA(host, WM_COPYDATA, 0, lParam);
  return TRUE;
}

}  // namespace

UniqueItemIdList PlaylistList(LPCITEMIDLIST playLists, IDbQAPPlayList& playlist) {
  LPITEMIDLIST item = nullptr;
  if (FAILED(Items().MakePlaylist(playlist, &item))) return nullptr;
  UniqueItemIdList owner(item);
  return UniqueItemIdList(Items().Concat(playLists, item));
}

PlaylistContainerPtr OpenPlaylists() {
  PlaylistContainerPtr playlists(CreatePlayListContainer(0, "", TRUE));
  if (!playlists || !playlists->Open()) return nullptr;
  return playlists;
}

void BroadcastRefresh(LPCITEMIDLIST folder) {
  LPCITEMIDLIST last = Items().GetLast(folder);
  if (last == nullptr) return;
  // The last item with its end mark.
  std::vector<BYTE> notice(reinterpret_cast<const BYTE*>(last),
                           reinterpret_cast<const BYTE*>(last) + last->mkid.cb);
  notice.resize(notice.size() + 2, 0);
  COPYDATASTRUCT data{0, static_cast<DWORD>(notice.size()), notice.data()};
  EnumWindows(&NoticeWindow, reinterpret_cast<LPARAM>(&data));
}

UniqueItemIdList PlayListsListOf(LPCITEMIDLIST anyList) {
  UniqueItemIdList prefix(Items().Copy(anyList));
  if (prefix == nullptr) return nullptr;
  // The shell's own items before the folder's: My Computer, the junction.
  for (LPITEMIDLIST item = prefix.get(); item != nullptr && item->mkid.cb != 0;
       item = Items().Next(item)) {
    if (Items().IsMusicItem(item, false)) {
      item->mkid.cb = 0;
      break;
    }
  }
  LPITEMIDLIST playLists = nullptr;
  if (FAILED(Items().MakeTopFolder(kKindPlayLists, &playLists))) return nullptr;
  UniqueItemIdList owner(playLists);
  return UniqueItemIdList(Items().Concat(prefix.get(), playLists));
}

int CreateNumberedPlaylist(IPlaylistContainer& playlists, CString* name) {
  std::vector<CString> names;
  for (int i = 0; i < playlists.GetCount(); ++i) {
    PlaylistPtr playlist(playlists.GetPlaylist(i));
    if (!playlist) return 0;
    names.push_back(playlist->GetName());
  }
  CString chosen;
  for (int number = 1;; ++number) {
    char text[32];
    std::snprintf(text, sizeof text, "Playlist %d", number);
    bool taken = false;
    for (const CString& other : names) taken = taken || other.CompareNoCase(text) == 0;
    if (!taken) {
      chosen = text;
      break;
    }
  }
  if (name != nullptr) *name = chosen;
  return playlists.CreatePlaylist(chosen);
}

void AnnounceNewPlaylist(LPCITEMIDLIST anyList, IDbQAPPlayList& playlist) {
  UniqueItemIdList playLists = PlayListsListOf(anyList);
  if (!playLists) return;
  UniqueItemIdList announced = PlaylistList(playLists.get(), playlist);
  if (announced) SHChangeNotify(SHCNE_MKDIR, SHCNF_IDLIST, announced.get(), nullptr);
  BroadcastRefresh(playLists.get());
}

HRESULT NewPlaylist(LPCITEMIDLIST anyList) try {
  PlaylistContainerPtr playlists = OpenPlaylists();
  if (!playlists) return E_FAIL;
  const int made = CreateNumberedPlaylist(*playlists, nullptr);
  if (made == 0) return E_FAIL;
  PlaylistPtr playlist(playlists->GetPlaylistById(made));
  if (playlist) AnnounceNewPlaylist(anyList, *playlist);
  return S_OK;
} catch (...) {
  return E_OUTOFMEMORY;
}

HRESULT RenamePlaylist(LPCITEMIDLIST playLists, LPCITEMIDLIST item, const CString& name,
                       LPITEMIDLIST* newItem) try {
  if (newItem != nullptr) *newItem = nullptr;
  if (name.IsEmpty() || item == nullptr || !Items().IsMusicItem(item, true)) return E_FAIL;
  const MusicItem* old = AsMusicItem(Items().GetLast(item));
  const CString oldName(WideToAnsi(ItemName(old)).c_str());
  if (oldName.CompareNoCase(name) == 0) return S_OK;
  PlaylistContainerPtr playlists = OpenPlaylists();
  if (!playlists) return E_FAIL;
  // By name as the item shows it; of several with that name, the item's own.
  PlaylistPtr target;
  for (int i = 0; i < playlists->GetCount(); ++i) {
    PlaylistPtr playlist(playlists->GetPlaylist(i));
    TPlayListInfo details{};
    if (!playlist || !playlist->GetDetails(&details)) return E_FAIL;
    if (playlist->GetName().CompareNoCase(name) == 0) return E_FAIL;
    const bool named = playlist->GetName().Compare(oldName) == 0;
    if (named && (!target || details.id == old->id)) target = std::move(playlist);
  }
  if (!target) return E_FAIL;
  UniqueItemIdList oldList = PlaylistList(playLists, *target);
  if (!target->SetName(name)) return E_FAIL;
  if (newItem != nullptr) return Items().MakePlaylist(*target, newItem);
  UniqueItemIdList newList = PlaylistList(playLists, *target);
  if (oldList && newList) {
    SHChangeNotify(SHCNE_RENAMEFOLDER, SHCNF_IDLIST, oldList.get(), newList.get());
    BroadcastRefresh(playLists);
  }
  return S_OK;
} catch (...) {
  return E_OUTOFMEMORY;
}

HRESULT DeleteItems(HWND window, LPCITEMIDLIST folder,
                    const std::vector<LPCITEMIDLIST>& items) try {
  if (!Items().IsMusicItem(folder, true) || items.empty()) return E_INVALIDARG;
  const MusicItem* shown = AsMusicItem(Items().GetLast(folder));
  const DWORD kind = shown->kind;
  if (kind != kKindSongList && kind != kKindPlayLists && kind != kKindPlaylist) return E_INVALIDARG;
  if (MessageBoxA(window, "Are you sure you want to delete item(s)?", "Confirm Delete",
                  MB_YESNO | MB_ICONQUESTION) != IDYES) {
    return S_FALSE;
  }
  HRESULT result = S_OK;
  if (kind == kKindSongList) {
    SongContainerPtr songs(CreateISongContainer("", TRUE));
    if (!songs || !songs->Open()) return E_FAIL;
    for (LPCITEMIDLIST item : items) {
      const MusicItem* song = AsMusicItem(Items().GetLast(item));
      const int index =
          songs->FindSong(WideToAnsi(ItemPath(song)).c_str(), static_cast<int>(song->songId));
      if (index >= 0 && !songs->DeleteSong(index)) {
        result = E_FAIL;
        break;
      }
    }
  } else if (kind == kKindPlayLists) {
    PlaylistContainerPtr playlists = OpenPlaylists();
    if (!playlists) return E_FAIL;
    for (LPCITEMIDLIST item : items) {
      const CString name(WideToAnsi(ItemName(AsMusicItem(Items().GetLast(item)))).c_str());
      if (!playlists->DeletePlaylist(name)) {
        result = E_FAIL;
        break;
      }
      UniqueItemIdList gone(Items().Concat(folder, item));
      if (gone) SHChangeNotify(SHCNE_RMDIR, SHCNF_IDLIST, gone.get(), nullptr);
    }
  } else {
    PlaylistContainerPtr playlists = OpenPlaylists();
    PlaylistPtr playlist(playlists ? playlists->GetPlaylistById(shown->id) : nullptr);
    if (!playlist) return E_FAIL;
    for (LPCITEMIDLIST item : items) {
      const MusicItem* song = AsMusicItem(Items().GetLast(item));
      const int index =
          playlist->FindSong(WideToAnsi(ItemPath(song)).c_str(), static_cast<int>(song->songId));
      if (index >= 0 && !playlist->RemoveSong(index)) {
        result = E_FAIL;
        break;
      }
    }
  }
  BroadcastRefresh(folder);
  return result;
} catch (...) {
  return E_OUTOFMEMORY;
}

}  // namespace cobrell
