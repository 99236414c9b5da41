// The classic view's editing: the rows chosen as items, the Edit menu's
// commands and keys, the context menu on a right click, and the list as a
// drop target for the folder shown or the folder row under the pointer.
#include <vector>

#include "platform/shell/context_menu.h"
#include "platform/ui/menu.h"
#include "platform/ui/ole/drag_drop.h"
#include "platform/ui/user32.h"
#include "shellfolder/item_id_manager.h"
#include "shellfolder/library_edits.h"
#include "shellfolder/list_rows.h"
#include "shellfolder/mp3db_classic_view.h"
#include "shellfolder/music_drop_target.h"
#include "shellfolder/transfer_block.h"
#include "shellfolder/view_resources.h"

using namespace cobrell;

namespace {

constexpr int kPathLimit = 2047;

const ItemIdManager& Items() { return TheItemIdManager(); }

UINT CommandOfViewMode(UINT viewMode) {
  switch (viewMode) {
    case FVM_ICON:
      return kCommandLargeIcons;
    case FVM_SMALLICON:
      return kCommandSmallIcons;
    case FVM_LIST:
      return kCommandList;
    default:
      return kCommandDetails;
  }
}

}  // namespace

std::vector<LPCITEMIDLIST> Mp3DbClassicView::SelectedItems(std::vector<UniqueItemIdList>* owners) {
  owners->clear();
  std::vector<LPCITEMIDLIST> items;
  if (m_list == nullptr) return items;
  const MusicItem* parent = Items().IsMusicItem(m_folderList.get(), true)
                                ? AsMusicItem(Items().GetLast(m_folderList.get()))
                                : nullptr;
  const int location = LocationColumn(m_list);
  for (int row = ListView_GetNextItem(m_list, -1, LVNI_SELECTED); row >= 0;
       row = ListView_GetNextItem(m_list, row, LVNI_SELECTED)) {
    const std::string path =
        ShowsSongs(m_shown.kind) ? CellText(m_list, row, location, kPathLimit) : std::string();
    LPITEMIDLIST item = nullptr;
    if (FAILED(Items().MakeItem(m_shown.kind, parent, static_cast<int>(RowParam(m_list, row)),
                                path.empty() ? nullptr : path.c_str(), &item))) {
      owners->clear();
      return {};
    }
    owners->emplace_back(item);
    items.push_back(item);
  }
  return items;
}

HRESULT Mp3DbClassicView::InitMenuPopup(UINT, WPARAM wParam, LPARAM, BOOL* bHandled) {
  HMENU menu = reinterpret_cast<HMENU>(wParam);
  if (bHandled != nullptr) *bHandled = FALSE;
  if (!IsMenu(menu)) return E_INVALIDARG;
  CheckMenuRadioItem(menu, kCommandLargeIcons, kCommandSmallIcons,
                     CommandOfViewMode(m_settings.viewMode), MF_BYCOMMAND);
  auto enable = [menu](UINT command, bool can) {
    EnableMenuItem(menu, command, MF_BYCOMMAND | (can ? MF_ENABLED : MF_GRAYED));
  };
  const bool selected = m_list != nullptr && ListView_GetSelectedCount(m_list) > 0;
  const bool deletes = m_shown.kind == kKindSongList || m_shown.kind == kKindPlayLists ||
                       m_shown.kind == kKindPlaylist;
  enable(kCommandPaste, CanPaste(m_shown.kind, m_shown.id));
  enable(kCommandCut, selected);
  enable(kCommandCopy, selected);
  enable(kCommandDelete, selected && deletes);
  enable(kCommandRename, selected && m_shown.kind == kKindPlayLists);
  enable(kCommandNew, m_shown.kind == kKindPlayLists);
  if (bHandled != nullptr) *bHandled = TRUE;
  return S_OK;
}

HRESULT Mp3DbClassicView::OnEditPaste() {
  if (!CanPaste(m_shown.kind, m_shown.id)) return S_FALSE;
  return Paste(m_shown.kind, m_shown.id, m_folderList.get());
}

HRESULT Mp3DbClassicView::OnEditCopyCut(BOOL bCut, BOOL* pbDone) {
  if (pbDone != nullptr) *pbDone = FALSE;
  std::vector<UniqueItemIdList> owners;
  std::vector<LPCITEMIDLIST> items = SelectedItems(&owners);
  if (items.empty()) return S_FALSE;
  const DWORD flag = bCut ? kTransferCut : kTransferCopy;
  HRESULT result;
  if (m_shown.kind == kKindGroup) {
    // A group's sub-groups go as their songs, from the group.
    std::vector<UniqueItemIdList> songs;
    result = SongsOfSubGroups(m_folderList.get(), items, &songs);
    if (FAILED(result)) return result;
    items.clear();
    for (const UniqueItemIdList& song : songs) items.push_back(song.get());
    result = CopyToClipboard(m_window, m_folder.Get(), m_folderList.get(), items, flag, true,
                             kKindGroup, m_shown.id);
  } else {
    result =
        CopyToClipboard(m_window, m_folder.Get(), m_folderList.get(), items, flag, false, 0, 0);
  }
  if (pbDone != nullptr) *pbDone = result == S_OK;
  return result;
}

HRESULT Mp3DbClassicView::OnDelete() {
  std::vector<UniqueItemIdList> owners;
  std::vector<LPCITEMIDLIST> items = SelectedItems(&owners);
  if (items.empty()) return S_FALSE;
  return DeleteItems(m_window, m_folderList.get(), items);
}

void Mp3DbClassicView::ShowContextMenu(LPARAM screenPoint) {
  if (!m_folder || m_list == nullptr) return;
  std::vector<UniqueItemIdList> owners;
  std::vector<LPCITEMIDLIST> items = SelectedItems(&owners);
  ComPtr<IContextMenu> menu;
  if (FAILED(m_folder->GetUIObjectOf(m_window, static_cast<UINT>(items.size()), items.data(),
                                     IID_IContextMenu, nullptr, menu.OutVoid()))) {
    return;
  }
  TrackContextMenu(menu.Get(), m_window,
                   POINT{static_cast<short>(LOWORD(static_cast<uintptr_t>(screenPoint))),
                         static_cast<short>(HIWORD(static_cast<uintptr_t>(screenPoint)))},
                   CMF_NORMAL);
}

// A row that is a folder taking drops takes them; anywhere else the folder
// shown does (or refuses them).
DropPlace Mp3DbClassicView::DropPlaceAt(POINTL screen) {
  DropPlace place;
  place.kind = m_shown.kind;
  place.id = m_shown.id;
  place.list.reset(Items().Copy(m_folderList.get()));
  if (m_list == nullptr || ShowsSongs(m_shown.kind)) return place;
  LVHITTESTINFO hit{};
  hit.pt = POINT{screen.x, screen.y};
  ScreenToClient(m_list, &hit.pt);
  const int row = ListView_HitTest(m_list, &hit);
  if (row < 0) return place;
  const MusicItem* parent = Items().IsMusicItem(m_folderList.get(), true)
                                ? AsMusicItem(Items().GetLast(m_folderList.get()))
                                : nullptr;
  LPITEMIDLIST child = nullptr;
  if (FAILED(Items().MakeItem(m_shown.kind, parent, static_cast<int>(RowParam(m_list, row)),
                              nullptr, &child))) {
    return place;
  }
  UniqueItemIdList owner(child);
  const MusicItem* item = AsMusicItem(child);
  if (item->kind < kKindGroup || item->kind > kKindPlaylist) return place;
  place.kind = item->kind;
  place.id = item->id;
  place.list.reset(Items().Concat(m_folderList.get(), child));
  return place;
}

void Mp3DbClassicView::RegisterDropTarget() {
  ComPtr<IDropTarget> target;
  if (SUCCEEDED(MusicDropTarget::Create([this](POINTL screen) { return DropPlaceAt(screen); },
                                        IID_IDropTarget, target.OutVoid()))) {
    RegisterDragDrop(m_list, target.Get());
  }
}
