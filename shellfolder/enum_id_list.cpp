// The enumerator of a music folder's children.
#include "shellfolder/enum_id_list.h"

#include <algorithm>
#include <new>

#include "platform/base/codepage.h"
#include "shellfolder/item_id_manager.h"

namespace {

// The junction always shows Music and Play Lists.
constexpr ULONG kTopFolderCount = 2;

}  // namespace

EnumIDList::EnumIDList() : m_count(kTopFolderCount) {
  IQAPStorage* storage = nullptr;
  if (CreateDbQAPStorage(&storage)) m_storage.reset(storage);
}

HRESULT EnumIDList::Create(REFIID iid, void** object) { return NewInstance(iid, object); }

HRESULT EnumIDList::Create(DWORD level, const std::u16string& category, const std::u16string& extra,
                           int id, IEnumIDList** enumerator) {
  if (enumerator == nullptr) return E_POINTER;
  *enumerator = nullptr;
  auto* made = new (std::nothrow) EnumIDList;
  if (made == nullptr) return E_OUTOFMEMORY;
  const HRESULT result = made->Initialize(level, category, extra, id);
  if (FAILED(result)) {
    made->Release();
    return result;
  }
  *enumerator = made;
  return S_OK;
}

InterfaceTable EnumIDList::Interfaces() {
  return {{&IID_IEnumIDList, static_cast<IEnumIDList*>(this)}};
}

HRESULT EnumIDList::Initialize(DWORD level, const std::u16string& category,
                               const std::u16string& extra, int id) try {
  m_index = 0;
  m_count = 0;
  m_level = level;
  m_category = category;
  m_extra = extra;
  m_id = id;
  switch (level) {
    case kKindRoot:
      m_count = kTopFolderCount;
      return S_OK;
    case kKindMusic: {
      GroupContainerPtr groups(CreateIGroupContainer(0, "", TRUE));
      if (!groups || !groups->Open()) return E_FAIL;
      m_groups = std::move(groups);
      m_count = static_cast<ULONG>(m_groups->GetCount());
      return S_OK;
    }
    case kKindGroup: {
      TGroupInfo key{};
      key.key = WideToAnsi(category);
      GroupPtr group(CreateIGroup(key, 0, "", TRUE));
      if (!group) return E_FAIL;
      m_group = std::move(group);
      m_count = static_cast<ULONG>(m_group->GetSubGroupCount());
      return S_OK;
    }
    case kKindPlayLists: {
      PlaylistContainerPtr playlists(CreatePlayListContainer(0, "", TRUE));
      if (!playlists || !playlists->Open()) return E_FAIL;
      m_playlists = std::move(playlists);
      m_count = static_cast<ULONG>(m_playlists->GetCount());
      return S_OK;
    }
    default:
      // Song lists and playlists: the view lists their songs itself.
      return E_INVALIDARG;
  }
} catch (...) {
  return E_OUTOFMEMORY;
}

// One child by index. A node the database cannot describe becomes a blank
// item; a playlist that cannot be loaded fails the call.
HRESULT EnumIDList::BuildItem(ULONG index, LPITEMIDLIST* item) const {
  const ItemIdManager& items = TheItemIdManager();
  const int position = static_cast<int>(index);
  switch (m_level) {
    case kKindRoot:
      return items.MakeTopFolder(index == 0 ? kKindMusic : kKindPlayLists, item);
    case kKindMusic: {
      GroupPtr group(m_groups ? m_groups->GetGroup(position) : nullptr);
      TGroupInfo info{};
      if (!group || !group->GetInfo(&info)) return items.MakeBlank(item);
      return items.MakeGroup(info, item);
    }
    case kKindGroup: {
      SubGroupPtr subGroup(m_group ? m_group->GetSubGroup(position) : nullptr);
      TSubGroupInfo info{};
      if (!subGroup || !subGroup->GetInfo(&info)) return items.MakeBlank(item);
      return items.MakeSubGroup(info, item);
    }
    case kKindPlayLists: {
      PlaylistPtr playlist(m_playlists ? m_playlists->GetPlaylist(position) : nullptr);
      if (!playlist) return items.MakeBlank(item);
      if (!m_storage || !playlist->Load(m_storage.get(), 0)) return E_FAIL;
      return items.MakePlaylist(*playlist, item);
    }
    default:
      return E_UNEXPECTED;
  }
}

HRESULT EnumIDList::Next(ULONG wanted, LPITEMIDLIST* items, ULONG* fetched) {
  if (fetched != nullptr) *fetched = 0;
  if (items == nullptr) return E_POINTER;
  const ULONG start = m_index;
  ULONG built = 0;
  while (built < wanted && m_index < m_count) {
    LPITEMIDLIST item = nullptr;
    const HRESULT result = BuildItem(m_index, &item);
    if (FAILED(result)) {
      // Nothing of a failed call reaches the caller.
      for (ULONG i = 0; i < built; ++i) {
        TheItemIdManager().Delete(items[i]);
        items[i] = nullptr;
      }
      const bool skipRest =
          result == E_OUTOFMEMORY && (m_level == kKindGroup || m_level == kKindPlayLists);
      m_index = skipRest ? m_count : start;
      return result;
    }
    items[built++] = item;
    ++m_index;
  }
  if (fetched != nullptr) *fetched = built;
  return built > 0 ? S_OK : S_FALSE;
}

HRESULT EnumIDList::Skip(ULONG count) {
  m_index = count < m_count - std::min(m_index, m_count) ? m_index + count : m_count;
  return m_index < m_count ? S_OK : S_FALSE;
}

HRESULT EnumIDList::Reset() {
  m_index = 0;
  return S_OK;
}

HRESULT EnumIDList::Clone(IEnumIDList** copy) {
  if (copy == nullptr) return E_POINTER;
  const HRESULT result = Create(m_level, m_category, m_extra, m_id, copy);
  if (SUCCEEDED(result)) static_cast<EnumIDList*>(*copy)->m_index = m_index;
  return result;
}
