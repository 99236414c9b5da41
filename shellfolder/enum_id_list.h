// EnumIDList: lists the children of one music folder as items, straight from
// the music database: the junction's two top folders, the groups, a group's
// sub-groups, the playlists. Songs are never listed as items (the view shows
// them).
#pragma once

#include <string>

#include "platform/shell/shell_folder.h"
#include "shellfolder/com_object.h"
#include "shellfolder/music_db.h"

class EnumIDList final : public CobrellObject<EnumIDList, IEnumIDList> {
 public:
  // A new enumerator of the junction, handed out through iid.
  static HRESULT Create(REFIID iid, void** object);
  // An enumerator initialised for a folder of this kind.
  static HRESULT Create(DWORD level, const std::u16string& category, const std::u16string& extra,
                        int id, IEnumIDList** enumerator);

  // Opens what the level needs, starting again from the first child:
  // E_INVALIDARG for song lists and playlists, E_FAIL when the database
  // cannot be read.
  HRESULT Initialize(DWORD level, const std::u16string& category, const std::u16string& extra,
                     int id);

  InterfaceTable Interfaces();
  HRESULT Next(ULONG wanted, LPITEMIDLIST* items, ULONG* fetched) override;
  HRESULT Skip(ULONG count) override;
  HRESULT Reset() override;
  HRESULT Clone(IEnumIDList** copy) override;

 private:
  EnumIDList();
  friend CobrellObject<EnumIDList, IEnumIDList>;
  ~EnumIDList() = default;

  HRESULT BuildItem(ULONG index, LPITEMIDLIST* item) const;

  DWORD m_level = 0;
  ULONG m_index = 0;
  ULONG m_count = 0;
  std::u16string m_category;
  std::u16string m_extra;
  int m_id = 0;
  GroupContainerPtr m_groups;
  GroupPtr m_group;
  PlaylistContainerPtr m_playlists;
  DbStoragePtr m_storage;
};
