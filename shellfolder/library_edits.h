// The changes a person makes to the music library from the shell: new
// playlists, renames, deletes, drops and pastes, each told to the shell
// (SHChangeNotify) and to every open view of the folder it changed, in
// this process and in others.
#pragma once

#include <vector>

#include "platform/base/cstring.h"
#include "platform/shell/item_id_list.h"
#include "platform/shell/shell_folder.h"
#include "platform/ui/ole/ole_interfaces.h"
#include "shellfolder/music_db.h"

namespace cobrell {

// Tells every "Mp3 Default View" window of the session that the folder
// whose absolute (or relative) list this is has changed.
void BroadcastRefresh(LPCITEMIDLIST folder);

// The absolute list of Play Lists, from any absolute list of the folder.
UniqueItemIdList PlayListsListOf(LPCITEMIDLIST anyList);

// The playlist container, open; null when the database fails.
PlaylistContainerPtr OpenPlaylists();
// Creates "Playlist %d" with the first number whose name no playlist has
// (letter case aside); its id, 0 when the database fails.
int CreateNumberedPlaylist(IPlaylistContainer& playlists, CString* name);
// Tells of a new playlist under Play Lists, and refreshes Play Lists.
void AnnounceNewPlaylist(LPCITEMIDLIST anyList, IDbQAPPlayList& playlist);
// The playlist item under Play Lists, joined to it; null when it cannot be
// made.
UniqueItemIdList PlaylistList(LPCITEMIDLIST playLists, IDbQAPPlayList& playlist);

// "Playlist %d" with the first number whose name no playlist has (letter
// case aside), created and announced under Play Lists. E_FAIL when the
// database fails.
HRESULT NewPlaylist(LPCITEMIDLIST anyList);

// Renames the playlist of item (relative to Play Lists) to name; fails when
// another playlist has that name (letter case aside). The new item is
// returned through newItem when asked for, else the rename is announced.
HRESULT RenamePlaylist(LPCITEMIDLIST playLists, LPCITEMIDLIST item, const CString& name,
                       LPITEMIDLIST* newItem);

// Deletes the items (relative to folder, a song list, Play Lists or a
// playlist) once the person has said yes in the "Confirm Delete" box.
HRESULT DeleteItems(HWND window, LPCITEMIDLIST folder, const std::vector<LPCITEMIDLIST>& items);

// Carries out a drop or paste of data onto the folder of targetKind and
// targetId (its absolute list target) with the effect the drop target
// chose; *done is what was done (move, copy or none).
HRESULT DropOrPaste(IDataObject* data, DWORD targetKind, int targetId, LPCITEMIDLIST target,
                    DWORD effect, DWORD* done);

// The songs of the sub-group items (relative to group, a group folder's
// absolute list) as song items of kind 6.
HRESULT SongsOfSubGroups(LPCITEMIDLIST group, const std::vector<LPCITEMIDLIST>& subGroups,
                         std::vector<UniqueItemIdList>* songs);

// Puts the items (relative to folder) on the clipboard in the private format
// with flag (copy or cut) and, when given, the source's kind and id. Songs
// whose path the block cannot hold are left out, and the person is told.
HRESULT CopyToClipboard(HWND window, IShellFolder* folder, LPCITEMIDLIST folderList,
                        const std::vector<LPCITEMIDLIST>& items, DWORD flag, bool sourceGiven,
                        DWORD sourceKind, int sourceId);

// Whether the clipboard's data would be taken by a drop onto the folder of
// kind and id; and such a paste.
bool CanPaste(DWORD kind, int id);
HRESULT Paste(DWORD kind, int id, LPCITEMIDLIST target);

}  // namespace cobrell
