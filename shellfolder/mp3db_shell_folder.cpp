// The music folder object: identity and place (IPersistFolder2) and the
// shell's folder questions (IShellFolder).
#include "shellfolder/mp3db_shell_folder.h"

#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "options/options.h"
#include "platform/base/codepage.h"
#include "platform/com/com_ptr.h"
#include "platform/shell/extract_icon.h"
#include "platform/shell/shell_malloc.h"
#include "shellfolder/cobrell.h"
#include "shellfolder/enum_id_list.h"
#include "shellfolder/icon_extractor.h"
#include "shellfolder/item_id_manager.h"
#include "shellfolder/module.h"
#include "shellfolder/library_edits.h"
#include "shellfolder/mp3db_shell_view.h"
#include "shellfolder/music_context_menu.h"
#include "shellfolder/music_drop_target.h"
#include "shellfolder/transfer_data_object.h"

namespace {

const ItemIdManager& Items() { return TheItemIdManager(); }

bool IsOurs(LPCITEMIDLIST item) { return Items().IsMusicItem(item, false); }

// The items of list one by one, end mark excluded.
template <typename Visit>
void ForEachItem(LPCITEMIDLIST list, Visit visit) {
  for (LPCITEMIDLIST item = list; item != nullptr && item->mkid.cb != 0;
       item = Items().Next(item)) {
    visit(item);
  }
}

HRESULT ReturnWide(const std::u16string& text, STRRET* name) {
  ComPtr<IMalloc> allocator;
  if (FAILED(SHGetMalloc(allocator.Out()))) return E_OUTOFMEMORY;
  const size_t bytes = (text.size() + 1) * sizeof(char16_t);
  auto* copy = static_cast<char16_t*>(allocator->Alloc(bytes));
  if (copy == nullptr) return E_OUTOFMEMORY;
  std::memcpy(copy, text.c_str(), bytes);
  name->uType = STRRET_WSTR;
  name->pOleStr = copy;
  return S_OK;
}

}  // namespace

Mp3DbShellFolder::Mp3DbShellFolder() {
  // The settings are loaded once per process; the folder needs no answer.
  static std::once_flag loaded;
  std::call_once(loaded, [] { LoadOptions(); });
}

HRESULT Mp3DbShellFolder::Create(REFIID iid, void** object) { return NewInstance(iid, object); }

InterfaceTable Mp3DbShellFolder::Interfaces() {
  auto* persist = static_cast<IPersistFolder2*>(this);
  return {{&IID_IShellFolder, static_cast<IShellFolder*>(this)},
          {&IID_IPersist, persist},
          {&IID_IPersistFolder, persist},
          {&IID_IPersistFolder2, persist}};
}

// --- IPersist, IPersistFolder, IPersistFolder2 ---

HRESULT Mp3DbShellFolder::GetClassID(CLSID* classId) {
  if (classId == nullptr) return E_POINTER;
  *classId = CLSID_Mp3DbShellFolder;
  return S_OK;
}

HRESULT Mp3DbShellFolder::Initialize(LPCITEMIDLIST list) {
  UniqueItemIdList copy(Items().Copy(list));
  if (list != nullptr && copy == nullptr) return E_OUTOFMEMORY;
  m_list = std::move(copy);
  m_kind = kKindRoot;
  if (Items().IsMusicItem(m_list.get(), true))
    m_kind = AsMusicItem(Items().GetLast(m_list.get()))->kind;
  return S_OK;
}

HRESULT Mp3DbShellFolder::GetCurFolder(LPITEMIDLIST* list) {
  if (list == nullptr) return E_POINTER;
  *list = nullptr;
  if (m_list == nullptr) return S_FALSE;
  *list = Items().Copy(m_list.get());
  return *list != nullptr ? S_OK : E_OUTOFMEMORY;
}

// --- IShellFolder ---

HRESULT Mp3DbShellFolder::ParseDisplayName(HWND, IBindCtx*, LPWSTR, ULONG*, LPITEMIDLIST* list,
                                           ULONG*) {
  if (list != nullptr) *list = nullptr;
  return E_NOTIMPL;
}

HRESULT Mp3DbShellFolder::EnumObjects(HWND, SHCONTF, IEnumIDList** enumerator) try {
  if (enumerator == nullptr) return E_POINTER;
  LPCITEMIDLIST last = Items().GetLast(m_list.get());
  if (last != nullptr && IsOurs(last)) {
    const MusicItem* item = AsMusicItem(last);
    return EnumIDList::Create(m_kind, ItemCategory(item), ItemExtra(item), item->id, enumerator);
  }
  return EnumIDList::Create(m_kind, u"", u"", 0, enumerator);
} catch (...) {
  return E_OUTOFMEMORY;
}

HRESULT Mp3DbShellFolder::BindToObject(LPCITEMIDLIST list, IBindCtx*, REFIID iid, void** object) {
  if (object == nullptr) return E_POINTER;
  *object = nullptr;
  if (list == nullptr) return E_INVALIDARG;
  if (!(iid == IID_IShellFolder)) return E_NOINTERFACE;
  ComPtr<IPersistFolder> child;
  HRESULT result = Create(IID_IPersistFolder, child.OutVoid());
  if (FAILED(result)) return result;
  UniqueItemIdList joined(Items().Concat(m_list.get(), list));
  if (joined == nullptr) return E_OUTOFMEMORY;
  result = child->Initialize(joined.get());
  if (FAILED(result)) return result;
  return child->QueryInterface(iid, object);
}

HRESULT Mp3DbShellFolder::BindToStorage(LPCITEMIDLIST, IBindCtx*, REFIID, void** object) {
  if (object != nullptr) *object = nullptr;
  return E_NOTIMPL;
}

HRESULT Mp3DbShellFolder::CompareIDs(LPARAM, LPCITEMIDLIST first, LPCITEMIDLIST second) {
  if (first == nullptr || second == nullptr) return E_INVALIDARG;
  return MakeCompareResult(Items().Compare(first, second));
}

HRESULT Mp3DbShellFolder::CreateViewObject(HWND, REFIID iid, void** object) {
  if (object == nullptr) return E_POINTER;
  *object = nullptr;
  if (!(iid == IID_IShellView) && !(iid == IID_IShellView2)) return E_NOINTERFACE;
  return Mp3DbShellView::Create(this, iid, object);
}

HRESULT Mp3DbShellFolder::GetAttributesOf(UINT count, LPCITEMIDLIST* items, SFGAOF* inOut) {
  if (inOut == nullptr) return E_POINTER;
  if (count == 0 || items == nullptr || !Items().IsMusicItem(items[0], true)) return E_INVALIDARG;
  // Only the first item speaks for the whole selection.
  *inOut &= AsMusicItem(Items().GetLast(items[0]))->attributes | SFGAO_VALIDATE;
  return S_OK;
}

HRESULT Mp3DbShellFolder::GetUIObjectOf(HWND owner, UINT count, LPCITEMIDLIST* items, REFIID iid,
                                        UINT*, void** object) try {
  if (object == nullptr) return E_POINTER;
  *object = nullptr;
  if (count > 0 && items == nullptr) return E_INVALIDARG;
  if (iid == IID_IContextMenu)
    return cobrell::MusicContextMenu::Create(this, m_list.get(), owner, count, items, iid, object);
  if (iid == IID_IDataObject) {
    std::vector<LPCITEMIDLIST> chosen(items, items + count);
    // A group's sub-groups travel as their songs.
    std::vector<UniqueItemIdList> songs;
    if (m_kind == kKindGroup) {
      const HRESULT result = cobrell::SongsOfSubGroups(m_list.get(), chosen, &songs);
      if (FAILED(result)) return result;
      chosen.clear();
      for (const UniqueItemIdList& song : songs) chosen.push_back(song.get());
    }
    return cobrell::TransferDataObject::Create(this, m_list.get(),
                                               static_cast<UINT>(chosen.size()), chosen.data(),
                                               cobrell::TransferSource{}, iid, object);
  }
  if (iid == IID_IDropTarget) {
    if (count == 0 || !IsOurs(items[0])) return E_NOINTERFACE;
    const MusicItem* item = AsMusicItem(Items().GetLast(items[0]));
    if (item->kind < kKindGroup || item->kind > kKindPlaylist) return E_NOINTERFACE;
    auto place = std::make_shared<cobrell::DropPlace>();
    place->kind = item->kind;
    place->id = item->id;
    place->list.reset(Items().Concat(m_list.get(), items[0]));
    if (!place->list) return E_OUTOFMEMORY;
    return cobrell::MusicDropTarget::Create(
        [place](POINTL) {
          return cobrell::DropPlace{place->kind, place->id,
                                    UniqueItemIdList(Items().Copy(place->list.get()))};
        },
        iid, object);
  }
  if ((iid == IID_IExtractIconA || iid == IID_IExtractIconW) && count == 1 && items != nullptr) {
    DWORD icon = 0;
    const HRESULT result = Items().GetIcon(items[0], &icon);
    if (FAILED(result)) return result;
    return IconExtractor::Create(icon, iid, object);
  }
  return E_NOINTERFACE;
} catch (...) {
  return E_OUTOFMEMORY;
}

HRESULT Mp3DbShellFolder::GetDisplayNameOf(LPCITEMIDLIST list, SHGDNF flags, STRRET* name) try {
  if (name == nullptr) return E_POINTER;
  if (list == nullptr || !Items().IsMusicItem(list, true)) return E_INVALIDARG;
  LPCITEMIDLIST last = Items().GetLast(list);
  const std::u16string ownName = ItemName(AsMusicItem(last));
  const bool plainName =
      (flags & SHGDN_FORPARSING) == 0 &&
      ((flags & SHGDN_FORADDRESSBAR) == 0 || (flags & SHGDN_INCLUDE_NONFILESYS) != 0);
  if (plainName) return ReturnWide(ownName, name);

  // The path from the junction: the shell's own first item (My Computer)
  // stands for nothing, the junction for the folder's name.
  std::u16string path;
  bool skippedFirstForeign = false;
  auto add = [&](LPCITEMIDLIST item) {
    if (IsOurs(item)) {
      path += ItemName(AsMusicItem(item)) + u"\\";
    } else if (!skippedFirstForeign) {
      skippedFirstForeign = true;
    } else {
      path += kMusicFolderNameWide;
      path += u"\\";
    }
  };
  ForEachItem(m_list.get(), add);
  // Items between the folder and the named item, for a list several deep.
  ForEachItem(list, [&](LPCITEMIDLIST item) {
    if (item != last) add(item);
  });
  return ReturnWide(path + ownName, name);
} catch (...) {
  return E_OUTOFMEMORY;
}

HRESULT Mp3DbShellFolder::SetNameOf(HWND, LPCITEMIDLIST list, LPCWSTR name, SHGDNF,
                                    LPITEMIDLIST* newList) try {
  if (newList != nullptr) *newList = nullptr;
  if (name == nullptr || list == nullptr || !IsOurs(list)) return E_FAIL;
  // Only playlists, named under Play Lists.
  if (AsMusicItem(Items().GetLast(list))->kind != kKindPlaylist) return E_FAIL;
  const CString ansi(WideToAnsi(name).c_str());
  return cobrell::RenamePlaylist(m_list.get(), list, ansi, newList);
} catch (...) {
  return E_OUTOFMEMORY;
}
