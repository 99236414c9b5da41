// Drops and pastes onto the music folder: music files and playlist files
// from outside first, then the folder's own songs and playlists.
#include <string>

#include "platform/base/codepage.h"
#include "platform/shell/shell_notify.h"
#include "shellfolder/drop_rules.h"
#include "shellfolder/item_id_manager.h"
#include "shellfolder/library_edits.h"
#include "shellfolder/transfer_block.h"

namespace cobrell {
namespace {

const ItemIdManager& Items() { return TheItemIdManager(); }

// Looks the path up, else reads the file and adds it: the song's id, 0 when
// the file cannot be read as a song, -1 when the database fails.
int AddToLibrary(IQAPStorage* storage, const CString& path) {
  IQAPSongInfo* raw = nullptr;
  if (!CreateQAPSongInfo(&raw)) return -1;
  SongInfoPtr song(raw);
  song->SetPath(path);
  if (song->Bind(storage, 0)) return song->GetId();
  if (!CreateQAPSongInfo(path, &raw)) return 0;
  song.reset(raw);
  if (!song->Bind(storage, 1)) return -1;
  return song->GetId();
}

bool AddToPlaylist(IDbQAPPlayList& playlist, const CString& path, int songId) {
  IQAPSongInfo* raw = nullptr;
  if (!CreateQAPSongInfo(&raw)) return false;
  SongInfoPtr song(raw);
  song->SetPath(path);
  song->SetId(songId);
  return playlist.AddSong(song.get()) != 0;
}

// The name a playlist file gives: without its folder and its extension.
std::string BaseName(const std::string& path) {
  const size_t slash = path.find_last_of("/\\");
  std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  return name.size() > 4 ? name.substr(0, name.size() - 4) : std::string();
}

// Where dropped files go: the library, and the playlist dropped onto or made
// for the drop.
class FileDrop {
 public:
  FileDrop(DWORD kind, int id, LPCITEMIDLIST target) : m_kind(kind), m_id(id), m_target(target) {}

  HRESULT Run(const std::vector<std::string>& files) {
    IQAPStorage* raw = nullptr;
    if (!CreateDbQAPStorage(&raw)) return E_FAIL;
    m_storage.reset(raw);
    m_playlists = OpenPlaylists();
    if (!m_playlists) return E_FAIL;
    if (m_kind == kKindPlaylist) {
      m_playlist.reset(m_playlists->GetPlaylistById(m_id));
      if (!m_playlist) return E_FAIL;
    } else if (m_kind == kKindPlayLists) {
      const int made = CreateNumberedPlaylist(*m_playlists, nullptr);
      m_playlist.reset(made != 0 ? m_playlists->GetPlaylistById(made) : nullptr);
      if (!m_playlist) return E_FAIL;
    }
    HRESULT result = S_OK;
    for (const std::string& file : files) {
      result = IsPlaylistFile(file) ? Import(file) : Add(file.c_str());
      if (FAILED(result)) break;
    }
    // What was done stays done, and is told.
    if (m_kind == kKindPlayLists) AnnounceNewPlaylist(m_target, *m_playlist);
    return result;
  }

 private:
  HRESULT Add(const CString& path) {
    const int id = AddToLibrary(m_storage.get(), path);
    if (id < 0) return E_FAIL;
    if (id == 0 || !m_playlist) return S_OK;
    return AddToPlaylist(*m_playlist, path, id) ? S_OK : E_FAIL;
  }

  HRESULT Import(const std::string& file) {
    const std::string name = BaseName(file);
    if (m_playlist && !name.empty() && !NameTaken(name)) {
      const CString newName(name.c_str());
      UniqueItemIdList playLists = PlayListsListOf(m_target);
      UniqueItemIdList before = playLists ? PlaylistList(playLists.get(), *m_playlist) : nullptr;
      if (!m_playlist->SetName(newName)) return E_FAIL;
      // A playlist made for this drop is told of once it is filled.
      if (m_kind == kKindPlaylist && before) {
        UniqueItemIdList after = PlaylistList(playLists.get(), *m_playlist);
        if (after) SHChangeNotify(SHCNE_RENAMEFOLDER, SHCNF_IDLIST, before.get(), after.get());
        BroadcastRefresh(playLists.get());
      }
    }
    IQAPStorage* raw = nullptr;
    if (!CreateZPLStorage(file.c_str(), &raw)) return S_OK;
    ZplStoragePtr storage(raw);
    IDbQAPPlayList* listed = nullptr;
    if (!CreateDbQAPPlayList(&listed, 0)) return E_OUTOFMEMORY;
    PlaylistPtr fileList(listed);
    if (!fileList->Open(storage.get()) || !fileList->Load(nullptr, 0)) return S_OK;
    IQAPSongInfo* song = nullptr;
    if (!CreateQAPSongInfo(&song)) return E_OUTOFMEMORY;
    SongInfoPtr owner(song);
    for (int i = 0; i < fileList->GetSongCount(); ++i) {
      if (!fileList->GetSong(i, song) || !IsSongFile(song->GetPath().str())) continue;
      const HRESULT added = Add(song->GetPath());
      if (FAILED(added)) return added;
    }
    return S_OK;
  }

  bool NameTaken(const std::string& name) {
    for (int i = 0; i < m_playlists->GetCount(); ++i) {
      PlaylistPtr playlist(m_playlists->GetPlaylist(i));
      if (playlist && playlist->GetName().str() == name) return true;
    }
    return false;
  }

  DWORD m_kind;
  int m_id;
  LPCITEMIDLIST m_target;
  DbStoragePtr m_storage;
  PlaylistContainerPtr m_playlists;
  PlaylistPtr m_playlist;
};

// Copies the songs of the source playlist into a new one, for each
// playlist dropped onto Play Lists.
HRESULT CopyPlaylists(const TransferBlock& block, LPCITEMIDLIST target) {
  PlaylistContainerPtr playlists = OpenPlaylists();
  if (!playlists) return E_FAIL;
  IQAPSongInfo* raw = nullptr;
  if (!CreateQAPSongInfo(&raw)) return E_OUTOFMEMORY;
  SongInfoPtr song(raw);
  for (DWORD sourceId : block.ids) {
    PlaylistPtr source(playlists->GetPlaylistById(static_cast<int>(sourceId)));
    if (!source) return E_FAIL;
    const int made = CreateNumberedPlaylist(*playlists, nullptr);
    PlaylistPtr copy(made != 0 ? playlists->GetPlaylistById(made) : nullptr);
    if (!copy) return E_FAIL;
    for (int i = 0; i < source->GetSongCount(); ++i) {
      if (!source->GetSong(i, song.get()) || !copy->AddSong(song.get())) return E_FAIL;
    }
    AnnounceNewPlaylist(target, *copy);
  }
  return S_OK;
}

// Adds the songs to the target playlist (a new one on Play Lists). A move
// takes each song out of its source playlist only once the target holds
// it, so that a failed add loses nothing.
HRESULT AddSongs(const TransferBlock& block, DWORD targetKind, int targetId, LPCITEMIDLIST target,
                 bool move) {
  PlaylistContainerPtr playlists = OpenPlaylists();
  if (!playlists) return E_FAIL;
  const int id =
      targetKind == kKindPlayLists ? CreateNumberedPlaylist(*playlists, nullptr) : targetId;
  PlaylistPtr playlist(id != 0 ? playlists->GetPlaylistById(id) : nullptr);
  if (!playlist) return E_FAIL;
  PlaylistPtr source;
  if (move && block.sourceKind == kKindPlaylist)
    source.reset(playlists->GetPlaylistById(static_cast<int>(block.sourceId)));
  HRESULT result = S_OK;
  for (size_t i = 0; i < block.ids.size() && i < block.paths.size(); ++i) {
    const CString path(WideToAnsi(block.paths[i]).c_str());
    const int songId = static_cast<int>(block.ids[i]);
    if (!AddToPlaylist(*playlist, path, songId)) {
      result = E_FAIL;
      break;
    }
    if (!source) continue;
    const int index = source->FindSong(path, songId);
    if (index >= 0 && !source->RemoveSong(index)) {
      result = E_FAIL;
      break;
    }
  }
  if (targetKind == kKindPlayLists) AnnounceNewPlaylist(target, *playlist);
  if (source) {
    LPITEMIDLIST changed = nullptr;
    if (SUCCEEDED(Items().MakePlaylist(*source, &changed))) {
      UniqueItemIdList owner(changed);
      BroadcastRefresh(changed);
    }
  }
  return result;
}

}  // namespace

HRESULT DropOrPaste(IDataObject* data, DWORD targetKind, int targetId, LPCITEMIDLIST target,
                    DWORD effect, DWORD* done) try {
  if (done != nullptr) *done = DROPEFFECT_NONE;
  HRESULT result = S_OK;
  std::vector<std::string> files;
  if (ReadDroppedFiles(data, &files)) {
    result = FileDrop(targetKind, targetId, target).Run(files);
    if (done != nullptr) *done = effect;
  } else if (std::optional<TransferBlock> block = ReadTransferBlock(data)) {
    if (block->flag == kTransferCut) effect = DROPEFFECT_MOVE;
    if (block->flag == kTransferMoved) effect = DROPEFFECT_NONE;
    if (block->sourceKind == kKindPlayLists) {
      if (targetKind == kKindPlayLists) result = CopyPlaylists(*block, target);
    } else if (targetKind == kKindPlaylist || targetKind == kKindPlayLists) {
      result = AddSongs(*block, targetKind, targetId, target, effect == DROPEFFECT_MOVE);
    }
    if (done != nullptr) *done = effect;
  } else {
    return DV_E_FORMATETC;
  }
  BroadcastRefresh(target);
  // Play Lists shows each playlist's count and length.
  if (targetKind == kKindPlaylist) {
    UniqueItemIdList playLists = PlayListsListOf(target);
    if (playLists) BroadcastRefresh(playLists.get());
  }
  return result;
} catch (...) {
  return E_OUTOFMEMORY;
}

}  // namespace cobrell
