// What a person does in the classic view: selecting, opening, renaming
// playlists in place, dragging rows, the commands of the menus and keys,
// and the status bar that tells what is there; and the refresh notices
// other views send.
#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/base/codepage.h"
#include "platform/shell/shell_execute.h"
#include "platform/shell/shell_folder.h"
#include "platform/shell/shell_notify.h"
#include "platform/ui/commctrl.h"
#include "platform/ui/ole/drag_drop.h"
#include "platform/ui/user32.h"
#include "shellfolder/cobrell.h"
#include "shellfolder/item_id_manager.h"
#include "shellfolder/list_drop_source.h"
#include "shellfolder/list_rows.h"
#include "shellfolder/mp3db_classic_view.h"
#include "shellfolder/view_resources.h"

using namespace cobrell;

namespace {

constexpr int kStatusNameWidth = 150;
constexpr int kPathLimit = 2047;
constexpr int kLabelLimit = 254;

const ItemIdManager& Items() { return TheItemIdManager(); }

}  // namespace

// --- the status bar and the selection ---

void Mp3DbClassicView::UpdateStatusBar() {
  if (!m_browser || m_list == nullptr) return;
  // A bar whose first part has no width of its own is split for the
  // counts and the folder's name.
  int firstRight = -1;
  LRESULT parts = 0;
  m_browser->SendControlMsg(FCW_STATUS, SB_GETPARTS, 1, reinterpret_cast<LPARAM>(&firstRight),
                            &parts);
  if (parts < 1 || firstRight <= 0) {
    int rights[2] = {kStatusNameWidth, -1};
    m_browser->SendControlMsg(FCW_STATUS, SB_SETPARTS, 2, reinterpret_cast<LPARAM>(rights),
                              nullptr);
  }
  char text[64];
  const UINT selected = ListView_GetSelectedCount(m_list);
  if (selected > 0) {
    std::snprintf(text, sizeof text, "%d object(s) selected", static_cast<int>(selected));
    m_browser->SendControlMsg(FCW_STATUS, SB_SETTEXTA, 0, reinterpret_cast<LPARAM>(text), nullptr);
    return;
  }
  std::snprintf(text, sizeof text, "%d object(s)", ListView_GetItemCount(m_list));
  m_browser->SendControlMsg(FCW_STATUS, SB_SETTEXTA, 0, reinterpret_cast<LPARAM>(text), nullptr);
  const std::string name = WideToAnsi(FolderPath());
  m_browser->SendControlMsg(FCW_STATUS, SB_SETTEXTA, 1, reinterpret_cast<LPARAM>(name.c_str()),
                            nullptr);
}

void Mp3DbClassicView::SelectionChanged() {
  UpdateStatusBar();
  DISPPARAMS none{nullptr, nullptr, 0, 0};
  m_selectionEvents.FireInvoke(DISPID_OnSelectionChanged, &none);
}

HRESULT Mp3DbClassicView::OnSelectAll() {
  if (m_list == nullptr) return E_UNEXPECTED;
  ListView_SetItemState(m_list, -1, LVIS_SELECTED, LVIS_SELECTED);
  ::SetFocus(m_list);
  return S_OK;
}

HRESULT Mp3DbClassicView::OnInvertSelection() {
  if (m_list == nullptr) return E_UNEXPECTED;
  const int count = ListView_GetItemCount(m_list);
  for (int row = 0; row < count; ++row) {
    const UINT state = ListView_GetItemState(m_list, row, LVIS_SELECTED);
    ListView_SetItemState(m_list, row, state ^ LVIS_SELECTED, LVIS_SELECTED);
  }
  return S_OK;
}

// --- opening ---

HRESULT Mp3DbClassicView::OnEnter() {
  if (m_list == nullptr) return E_UNEXPECTED;
  const int row = ListView_GetNextItem(m_list, -1, LVNI_FOCUSED);
  if (row < 0) return S_FALSE;
  OpenRow(row);
  return S_OK;
}

void Mp3DbClassicView::OpenRow(int row) {
  if (m_list == nullptr || row < 0 || row >= ListView_GetItemCount(m_list)) return;
  if (ShowsSongs(m_shown.kind)) {
    OpenSong(row);
  } else {
    BrowseToChild(row);
  }
}

void Mp3DbClassicView::OpenSong(int row) {
  const int location = LocationColumn(m_list);
  const std::string path = CellText(m_list, row, location, kPathLimit);
  const auto started = reinterpret_cast<intptr_t>(
      ShellExecuteA(m_window, "open", path.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
  if (started > 32) return;
  const std::string message = SystemMessage(GetLastError());
  MessageBoxA(m_window, message.c_str(), "Error", MB_OK | MB_ICONERROR);
}

void Mp3DbClassicView::BrowseToChild(int row) {
  LPCITEMIDLIST last = Items().GetLast(m_folderList.get());
  const MusicItem* parent =
      Items().IsMusicItem(m_folderList.get(), true) ? AsMusicItem(last) : nullptr;
  LPITEMIDLIST child = nullptr;
  if (FAILED(Items().MakeItem(m_shown.kind, parent, static_cast<int>(RowParam(m_list, row)),
                              nullptr, &child))) {
    return;
  }
  UniqueItemIdList childOwner(child);
  UniqueItemIdList target(Items().Concat(m_folderList.get(), child));
  if (!target) return;
  HWND tree = nullptr;
  if (m_browser && SUCCEEDED(m_browser->GetControlWindow(FCW_TREE, &tree)) && tree != nullptr) {
    m_browser->BrowseObject(target.get(), SBSP_SAMEBROWSER | SBSP_ABSOLUTE);
    return;
  }
  SHELLEXECUTEINFOA open{};
  open.cbSize = sizeof open;
  open.fMask = SEE_MASK_IDLIST | SEE_MASK_CLASSNAME;
  open.hwnd = m_window;
  open.lpVerb = "open";
  open.lpIDList = target.get();
  open.lpClass = "folder";
  open.nShow = SW_SHOWNORMAL;
  ShellExecuteExA(&open);
}

// --- renaming playlists in place ---

HRESULT Mp3DbClassicView::OnEditLabel() {
  if (m_list == nullptr) return E_UNEXPECTED;
  const int row = ListView_GetNextItem(m_list, -1, LVNI_FOCUSED);
  if (row < 0) return S_FALSE;
  return ListView_EditLabel(m_list, row) != nullptr ? S_OK : S_FALSE;
}

bool Mp3DbClassicView::BeginLabelEdit(int row) {
  if (m_shown.kind != kKindPlayLists) return false;
  m_oldLabel = CellText(m_list, row, 0, kLabelLimit);
  return true;
}

// The row's playlist is found by the id the row keeps, so that a list
// gone stale since it was filled never renames another playlist.
bool Mp3DbClassicView::EndLabelEdit(int row, const char* text) {
  if (text == nullptr || *text == '\0' || m_shown.kind != kKindPlayLists) return false;
  const CString name(text);
  const int id = static_cast<int>(RowParam(m_list, row));
  PlaylistContainerPtr playlists(CreatePlayListContainer(1, m_sortName, m_ascending));
  if (!playlists || !playlists->Open()) return false;
  const int count = playlists->GetCount();
  for (int i = 0; i < count; ++i) {
    PlaylistPtr other(playlists->GetPlaylist(i));
    TPlayListInfo details{};
    if (!other || !other->GetDetails(&details)) return false;
    if (details.id != id && other->GetName().CompareNoCase(name) == 0) return false;
  }
  PlaylistPtr playlist(playlists->GetPlaylistById(id));
  LPITEMIDLIST oldItem = nullptr;
  if (!playlist || FAILED(Items().MakePlaylist(*playlist, &oldItem))) return false;
  UniqueItemIdList oldOwner(oldItem);
  if (!playlist->SetName(name)) return false;
  LPITEMIDLIST newItem = nullptr;
  if (SUCCEEDED(Items().MakePlaylist(*playlist, &newItem))) {
    UniqueItemIdList newOwner(newItem);
    UniqueItemIdList oldList(Items().Concat(m_folderList.get(), oldItem));
    UniqueItemIdList newList(Items().Concat(m_folderList.get(), newItem));
    if (oldList && newList)
      SHChangeNotify(SHCNE_RENAMEFOLDER, SHCNF_IDLIST, oldList.get(), newList.get());
  }
  return true;
}

// --- dragging rows ---

void Mp3DbClassicView::BeginDrag() {
  std::vector<UniqueItemIdList> owners;
  std::vector<LPCITEMIDLIST> items = SelectedItems(&owners);
  if (items.empty() || !m_folder) return;
  ComPtr<IDataObject> data;
  if (FAILED(m_folder->GetUIObjectOf(m_window, static_cast<UINT>(items.size()), items.data(),
                                     IID_IDataObject, nullptr, data.OutVoid()))) {
    return;
  }
  ComPtr<IDropSource> source;
  if (FAILED(ListDropSource::Create(IID_IDropSource, source.OutVoid()))) return;
  DWORD effect = DROPEFFECT_NONE;
  const HRESULT dropped =
      DoDragDrop(data.Get(), source.Get(), DROPEFFECT_COPY | DROPEFFECT_MOVE, &effect);
  // The drop target took moved songs out of the playlist shown.
  if (dropped == DRAGDROP_S_DROP && effect == DROPEFFECT_MOVE && m_shown.kind == kKindPlaylist)
    Fill();
}

// --- refresh notices ---

HRESULT Mp3DbClassicView::OnCopyData(UINT, WPARAM, LPARAM lParam, BOOL* bHandled) {
  if (bHandled != nullptr) *bHandled = FALSE;
  const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
  // Only a whole music item, count included, is a notice.
  if (data == nullptr || data->lpData == nullptr || data->cbData < sizeof(MusicItem))
    return S_FALSE;
  const auto* item = static_cast<LPCITEMIDLIST>(data->lpData);
  if (item->mkid.cb > data->cbData || !Items().IsMusicItem(item, false)) return S_FALSE;
  const MusicItem* changed = AsMusicItem(item);
  const bool same = changed->kind == m_shown.kind && changed->id == m_shown.id;
  const bool songsChanged = ShowsSongs(m_shown.kind) && changed->kind == kKindSongList;
  if (!same && !songsChanged) return S_FALSE;
  if (bHandled != nullptr) *bHandled = TRUE;
  return Refresh();
}
