// ItemIdManager: allocates, copies, joins, walks, tests and compares the
// music folder's item identifier lists, and builds items from the music
// database. Every list lives in the shell's task allocator; lists returned
// belong to the caller, who frees them with Delete. One instance serves the
// whole module (TheItemIdManager).
#pragma once

#include <string_view>

#include "platform/com/hresult.h"
#include "platform/shell/item_id_list.h"
#include "shellfolder/music_db.h"
#include "shellfolder/music_item.h"

class ItemIdManager {
 public:
  // size + 4 zeroed bytes: an item of count size + 2 and the end mark. Null
  // when the allocator fails or the count would not fit 16 bits.
  LPITEMIDLIST Create(size_t size) const;
  void Delete(LPITEMIDLIST list) const;

  // Null for a null item or the end mark.
  LPITEMIDLIST Next(LPCITEMIDLIST item) const;
  // The last item before the end mark; null for a null or empty list.
  LPITEMIDLIST GetLast(LPCITEMIDLIST list) const;
  // Null for a null list, or when the allocator fails.
  LPITEMIDLIST Copy(LPCITEMIDLIST list) const;
  // The list without its last item; null when it has fewer than two.
  LPITEMIDLIST CopyParent(LPCITEMIDLIST list) const;
  // first's items, then second's; a copy of the other when one is null.
  LPITEMIDLIST Concat(LPCITEMIDLIST first, LPCITEMIDLIST second) const;
  // Item counts plus the end mark; 0 for null.
  UINT GetSize(LPCITEMIDLIST list) const;
  BYTE* GetData(LPITEMIDLIST item) const;

  // Whether the first (or, with lastOnly, the last) item is one of ours: a
  // count of at least 608 and the signature. Nothing else is looked at.
  bool IsMusicItem(LPCITEMIDLIST list, bool lastOnly) const;
  // The last item's icon; E_INVALIDARG when it is not one of ours or names
  // no icon resource (0, or above 16 bits).
  HRESULT GetIcon(LPCITEMIDLIST list, DWORD* icon) const;

  // Item by item: foreign items before ours, then names without regard to
  // case, then ids; a list that ends first sorts first. <0, 0 or >0.
  int Compare(LPCITEMIDLIST first, LPCITEMIDLIST second) const;

  // One item under a parent of parentKind: under the root id 0 is Music and
  // id 1 Play Lists; under Music a group by id (-1: the all-songs list);
  // under a group (parent needed for its key) a sub-group by id; under Play
  // Lists a playlist by id; under a song list or playlist a song item with
  // this song id and path (system code page). E_INVALIDARG for anything else
  // or a path too long for an item, E_FAIL when the database cannot tell.
  HRESULT MakeItem(DWORD parentKind, const MusicItem* parent, int id, const char* path,
                   LPITEMIDLIST* item) const;

  // Single items, as the enumerator builds them. E_OUTOFMEMORY when the
  // allocator fails.
  HRESULT MakeTopFolder(DWORD kind, LPITEMIDLIST* item) const;  // Music or Play Lists
  HRESULT MakeGroup(const TGroupInfo& info, LPITEMIDLIST* item) const;
  HRESULT MakeSubGroup(const TSubGroupInfo& info, LPITEMIDLIST* item) const;
  // A playlist already loaded; E_FAIL when its details cannot be read.
  HRESULT MakePlaylist(IDbQAPPlayList& playlist, LPITEMIDLIST* item) const;
  HRESULT MakeSong(DWORD kind, int songId, std::u16string_view path, LPITEMIDLIST* item) const;
  // Only the version and signature set: what stands for a node the database
  // could not describe.
  HRESULT MakeBlank(LPITEMIDLIST* item) const;
};

const ItemIdManager& TheItemIdManager();
