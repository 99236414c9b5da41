// The context menu: which menu, how it is merged, and each command.
#include "shellfolder/music_context_menu.h"

#include <cstring>
#include <string>

#include "platform/base/codepage.h"
#include "platform/base/last_error.h"
#include "platform/shell/shell_execute.h"
#include "platform/ui/menu.h"
#include "platform/ui/resources.h"
#include "platform/ui/user32.h"
#include "shellfolder/item_id_manager.h"
#include "shellfolder/library_edits.h"
#include "shellfolder/transfer_block.h"
#include "shellfolder/view_resources.h"

namespace cobrell {
namespace {

const ItemIdManager& Items() { return TheItemIdManager(); }

constexpr const char* kVerbs[] = {"",    "open",  "explore", "play", "copy",
                                  "cut", "paste", "delete",  "new"};

const MusicItem* LastOf(LPCITEMIDLIST list) {
  return Items().IsMusicItem(list, true) ? AsMusicItem(Items().GetLast(list)) : nullptr;
}

void ShowError(HWND window) {
  const std::string message = SystemMessage(GetLastError());
  MessageBoxA(window, message.c_str(), "Error", MB_OK | MB_ICONERROR);
}

}  // namespace

HRESULT MusicContextMenu::Create(IShellFolder* folder, LPCITEMIDLIST folderList, HWND window,
                                 UINT count, const LPCITEMIDLIST* items, REFIID iid,
                                 void** object) try {
  if (object == nullptr) return E_POINTER;
  *object = nullptr;
  if (count > 0 && items == nullptr) return E_INVALIDARG;
  ComPtr<IContextMenu> made;
  HRESULT result = NewInstance(IID_IContextMenu, made.OutVoid());
  if (FAILED(result)) return result;
  auto* self = static_cast<MusicContextMenu*>(made.Get());
  self->m_folder = ComPtr<IShellFolder>(folder);
  self->m_folderList.reset(Items().Copy(folderList));
  if (folderList != nullptr && !self->m_folderList) return E_OUTOFMEMORY;
  if (const MusicItem* own = LastOf(folderList)) {
    self->m_kind = own->kind;
    self->m_id = own->id;
  }
  self->m_window = window;
  for (UINT i = 0; i < count; ++i) {
    self->m_items.emplace_back(Items().Copy(items[i]));
    if (!self->m_items.back()) return E_OUTOFMEMORY;
  }
  // One kind throughout, and no all-songs list among several, reads as one.
  self->m_mode = count == 0 ? 0 : 1;
  const MusicItem* first = count > 0 ? LastOf(items[0]) : nullptr;
  for (UINT i = 0; i < count && count > 1; ++i) {
    const MusicItem* item = LastOf(items[i]);
    if (first == nullptr || item == nullptr || item->kind != first->kind ||
        item->id == kAllSongsId) {
      self->m_mode = 2;
    }
  }
  if (count == 1 && first == nullptr) self->m_mode = 2;
  return made->QueryInterface(iid, object);
} catch (...) {
  return E_OUTOFMEMORY;
}

int MusicContextMenu::MenuId(bool explore) const {
  auto pair = [explore](int tree, int view) { return explore ? tree : view; };
  if (m_mode == 0) {
    if (m_kind == kKindSongList && m_id == kAllSongsId) return 217;
    if (m_kind == kKindPlayLists) return 218;
    if (m_kind == kKindPlaylist) return 217;
    return 0;
  }
  if (m_mode == 2) return pair(222, 223);
  const MusicItem* item = LastOf(m_items.front().get());
  switch (item->kind) {
    case kKindMusic:
    case kKindGroup:
      return pair(222, 223);
    case kKindSongList:
      return item->id == kAllSongsId ? pair(224, 225) : pair(226, 227);
    case kKindPlayLists:
      return pair(229, 228);
    case kKindPlaylist:
      return pair(220, 230);
    case kKindListSong:
      return 231;
    case kKindPlaylistSong:
      return 232;
    default:
      return 0;
  }
}

void MusicContextMenu::PasteTarget(DWORD* kind, int* id, UniqueItemIdList* list) const {
  *kind = m_kind;
  *id = m_id;
  if (m_items.empty()) {
    list->reset(Items().Copy(m_folderList.get()));
    return;
  }
  const MusicItem* item = LastOf(m_items.front().get());
  *kind = item != nullptr ? item->kind : 0;
  *id = item != nullptr ? item->id : 0;
  list->reset(Items().Concat(m_folderList.get(), m_items.front().get()));
}

HRESULT MusicContextMenu::QueryContextMenu(HMENU menu, UINT index, UINT first, UINT last,
                                           UINT flags) {
  m_merged.clear();
  const int id = MenuId((flags & CMF_EXPLORE) != 0);
  if (id == 0) return S_OK;
  HMENU loaded = LoadMenuA(Resources(), MAKEINTRESOURCEA(id));
  if (loaded == nullptr) return HResultFromWin32(GetLastError());
  HMENU popup = GetSubMenu(loaded, 0);
  const int count = GetMenuItemCount(popup);
  if (count <= 0 || first + static_cast<UINT>(count) - 1 > last) {
    DestroyMenu(loaded);
    return E_FAIL;
  }
  DWORD pasteKind = 0;
  int pasteId = 0;
  UniqueItemIdList pasteList;
  PasteTarget(&pasteKind, &pasteId, &pasteList);
  for (int position = 0; position < count; ++position) {
    const auto command = static_cast<MenuCommand>(GetMenuItemID(popup, position));
    char text[64] = "";
    GetMenuStringA(popup, static_cast<UINT>(position), text, sizeof text, MF_BYPOSITION);
    UINT state = MF_STRING;
    if (command == kMenuPaste && !CanPaste(pasteKind, pasteId)) state |= MF_GRAYED;
    InsertMenuA(menu, index + static_cast<UINT>(position), MF_BYPOSITION | state,
                first + static_cast<UINT>(position), text);
    m_merged.push_back(command);
  }
  DestroyMenu(loaded);
  if (!m_items.empty()) SetMenuDefaultItem(menu, first, FALSE);
  // The code is the largest offset used, plus one.
  return static_cast<HRESULT>(count);
}

HRESULT MusicContextMenu::InvokeCommand(LPCMINVOKECOMMANDINFO info) {
  if (info == nullptr) return E_INVALIDARG;
  HWND window = info->hwnd != nullptr ? info->hwnd : m_window;
  if (IS_INTRESOURCE(info->lpVerb)) {
    const auto offset = static_cast<size_t>(reinterpret_cast<uintptr_t>(info->lpVerb));
    if (offset >= m_merged.size()) return E_INVALIDARG;
    return Run(window, m_merged[offset]);
  }
  // A verb names a command only where the menu offers it.
  for (UINT command = kMenuOpen; command <= kMenuNew; ++command) {
    if (std::strcmp(info->lpVerb, kVerbs[command]) == 0 &&
        Offers(static_cast<MenuCommand>(command)))
      return Run(window, static_cast<MenuCommand>(command));
  }
  return E_INVALIDARG;
}

bool MusicContextMenu::Offers(MenuCommand command) const {
  const ui::res::MenuTemplate* menu =
      ui::res::FindMenuTemplate(Resources(), MAKEINTRESOURCEA(MenuId(false)));
  if (menu == nullptr || menu->items.empty()) return false;
  for (const ui::res::MenuItemTemplate& item : menu->items.front().items) {
    if (item.id == command) return true;
  }
  return false;
}

HRESULT MusicContextMenu::GetCommandString(UINT_PTR command, UINT type, UINT*, LPSTR name,
                                           UINT size) {
  if (command >= m_merged.size()) return E_INVALIDARG;
  if (type == GCS_VALIDATEA) return S_OK;
  if (type != GCS_VERBA || name == nullptr || size == 0) return E_INVALIDARG;
  std::strncpy(name, kVerbs[m_merged[command]], size - 1);
  name[size - 1] = '\0';
  return S_OK;
}

std::vector<LPCITEMIDLIST> MusicContextMenu::Selection() const {
  std::vector<LPCITEMIDLIST> items;
  for (const UniqueItemIdList& item : m_items) items.push_back(item.get());
  return items;
}

HRESULT MusicContextMenu::Run(HWND window, MenuCommand command) {
  switch (command) {
    case kMenuOpen:
      return OpenItems(window, "open");
    case kMenuExplore:
      return OpenItems(window, "explore");
    case kMenuPlay:
      return Play(window);
    case kMenuCopy:
    case kMenuCut:
      return Copy(window, command == kMenuCut);
    case kMenuPaste: {
      DWORD kind = 0;
      int id = 0;
      UniqueItemIdList target;
      PasteTarget(&kind, &id, &target);
      return Paste(kind, id, target.get());
    }
    case kMenuDelete:
      return DeleteItems(window, m_folderList.get(), Selection());
    case kMenuNew:
      return NewPlaylist(m_folderList.get());
  }
  return E_INVALIDARG;
}

HRESULT MusicContextMenu::OpenItems(HWND window, const char* verb) {
  for (const UniqueItemIdList& item : m_items) {
    UniqueItemIdList target(Items().Concat(m_folderList.get(), item.get()));
    if (!target) return E_OUTOFMEMORY;
    SHELLEXECUTEINFOA open{};
    open.cbSize = sizeof open;
    open.fMask = SEE_MASK_IDLIST | SEE_MASK_CLASSNAME;
    open.hwnd = window;
    open.lpVerb = verb;
    open.lpIDList = target.get();
    open.lpClass = "folder";
    open.nShow = SW_SHOWNORMAL;
    if (!ShellExecuteExA(&open)) return HResultFromWin32(GetLastError());
  }
  return S_OK;
}

HRESULT MusicContextMenu::Play(HWND window) {
  std::vector<UniqueItemIdList> songs;
  std::vector<LPCITEMIDLIST> items = Selection();
  if (m_kind == kKindGroup) {
    const HRESULT result = SongsOfSubGroups(m_folderList.get(), items, &songs);
    if (FAILED(result)) return result;
    items.clear();
    for (const UniqueItemIdList& song : songs) items.push_back(song.get());
  }
  for (LPCITEMIDLIST item : items) {
    const MusicItem* song = LastOf(item);
    if (song == nullptr) continue;
    const std::string path = WideToAnsi(ItemPath(song));
    if (path.empty()) continue;
    const auto started = reinterpret_cast<intptr_t>(
        ShellExecuteA(window, "open", path.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    if (started <= 32) {
      ShowError(window);
      return E_FAIL;
    }
  }
  return S_OK;
}

HRESULT MusicContextMenu::Copy(HWND window, bool cut) {
  const DWORD flag = cut ? kTransferCut : kTransferCopy;
  if (m_kind != kKindGroup)
    return CopyToClipboard(window, m_folder.Get(), m_folderList.get(), Selection(), flag, false, 0,
                           0);
  // A group's sub-groups go as their songs, from the all-songs list.
  std::vector<UniqueItemIdList> songs;
  const HRESULT result = SongsOfSubGroups(m_folderList.get(), Selection(), &songs);
  if (FAILED(result)) return result;
  std::vector<LPCITEMIDLIST> items;
  for (const UniqueItemIdList& song : songs) items.push_back(song.get());
  return CopyToClipboard(window, m_folder.Get(), m_folderList.get(), items, flag, true,
                         kKindSongList, kAllSongsId);
}

}  // namespace cobrell
