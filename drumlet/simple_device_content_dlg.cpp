// The Device Content dialog: its items, the list size against the total
// memory, Delete Track and Format medium.
#include "drumlet/simple_device_content_dlg.h"

#include <cstring>
#include <string>

#include "drumlet/device_list.h"
#include "drumlet/platform_box.h"
#include "drumlet/report_list.h"
#include "drumlet/resources.h"
#include "platform/ui/commctrl.h"
#include "platform/ui/user32.h"

namespace drumlet {

namespace {

constexpr int kOnDeviceImage = 0;
constexpr int kToUploadImage = 1;

std::string Megabytes(std::uint64_t megabytes) { return std::to_string(megabytes) + " MB"; }

}  // namespace

SimpleDeviceContentDlg::SimpleDeviceContentDlg(const std::vector<TrackEntry*>& tracks, ICommunication* device)
    : CDialog(kDeviceContentDialogId, DrumletInstance(), GetActiveWindow()), m_tracks(tracks), m_device(device) {}

BOOL SimpleDeviceContentDlg::OnInitDialog() {
  HWND list = List();
  SetUpReportList(list, {IDB_DEVICES, 15, RGB(255, 0, 255), LVS_EX_FULLROWSELECT,
                         {{"Track", 190}, {"Size", 60}}});
  std::int32_t total = 0;
  if (m_device == nullptr || m_device->Command(kCmdGetCapacity, &total) != kQuadrinOk) {
    PlatformBox("Cannot retrieve space information", MB_OK | MB_ICONERROR);
    total = 0;
  }
  m_totalMb = static_cast<DWORD>(total > 0 ? total : 0) >> 20;
  std::vector<TrackEntry> stored;
  if (ListStoredTracks(m_device, &stored) < 0) {
    PlatformBox("Cannot enumerate the recorder", MB_OK | MB_ICONERROR);
  }
  for (TrackEntry& entry : stored) {
    entry.flags |= kTrackOnDevice;
    AddItem(entry, kOnDeviceImage);
  }
  for (const TrackEntry* track : m_tracks) {
    if ((track->flags & kTrackPrepared) != 0 && (track->flags & kTrackDeleted) == 0) {
      AddItem(*track, kToUploadImage);
    }
  }
  Refresh();
  return TRUE;
}

void SimpleDeviceContentDlg::AddItem(const TrackEntry& entry, int image) {
  m_copies.push_back(std::make_unique<TrackEntry>(entry));
  TrackEntry* copy = m_copies.back().get();
  copy->name[sizeof copy->name - 1] = '\0';
  LVITEMA item{};
  item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
  item.iItem = ListView_GetItemCount(List());
  item.pszText = copy->name;
  item.iImage = image;
  item.lParam = reinterpret_cast<LPARAM>(copy);
  const int index = ListView_InsertItem(List(), &item);
  if (index < 0) return;
  const std::string size = Megabytes(copy->size >> 20);
  ListView_SetItemText(List(), index, 1, const_cast<char*>(size.c_str()));
}

TrackEntry* SimpleDeviceContentDlg::ItemEntry(int item) const {
  LVITEMA info{};
  info.mask = LVIF_PARAM;
  info.iItem = item;
  return ListView_GetItem(List(), &info) ? reinterpret_cast<TrackEntry*>(info.lParam) : nullptr;
}

void SimpleDeviceContentDlg::Refresh() {
  const bool format = IsDlgButtonChecked(m_hWnd, kFormatMediumId) == BST_CHECKED;
  std::uint64_t bytes = 0;
  for (int i = 0; i < ListView_GetItemCount(List()); ++i) {
    const TrackEntry* entry = ItemEntry(i);
    if (entry == nullptr || (format && (entry->flags & kTrackOnDevice) != 0)) continue;
    bytes += entry->size;
  }
  const std::uint64_t listMb = bytes >> 20;
  SetDlgItemText(kTotalMemoryId, Megabytes(m_totalMb).c_str());
  SetDlgItemText(kListSizeId, Megabytes(listMb).c_str());
  ::EnableWindow(GetDlgItem(IDOK), listMb < m_totalMb);
  const int selected = ListView_GetNextItem(List(), -1, LVNI_SELECTED);
  const TrackEntry* entry = selected >= 0 ? ItemEntry(selected) : nullptr;
  ::EnableWindow(GetDlgItem(kDeleteTrackId), ListView_GetSelectedCount(List()) == 1 && entry != nullptr &&
                                                  (entry->flags & kTrackOnDevice) == 0);
}

void SimpleDeviceContentDlg::DeleteTrack() {
  const int selected = ListView_GetNextItem(List(), -1, LVNI_SELECTED);
  const TrackEntry* copy = selected >= 0 ? ItemEntry(selected) : nullptr;
  if (copy == nullptr || (copy->flags & kTrackOnDevice) != 0) return;
  for (TrackEntry* track : m_tracks) {
    if (std::strncmp(track->sourcePath, copy->sourcePath, sizeof track->sourcePath) == 0 &&
        std::strncmp(track->name, copy->name, sizeof track->name) == 0 &&
        std::strncmp(track->destination, copy->destination, sizeof track->destination) == 0) {
      track->flags |= kTrackDeleted;
    }
  }
  ListView_DeleteItem(List(), selected);
  Refresh();
}

BOOL SimpleDeviceContentDlg::OnCommand(WORD id, WORD code, HWND control) {
  if (id == kDeleteTrackId && code == BN_CLICKED) {
    DeleteTrack();
    return TRUE;
  }
  if (id == kFormatMediumId && code == BN_CLICKED) {
    Refresh();
    return TRUE;
  }
  return CDialog::OnCommand(id, code, control);
}

BOOL SimpleDeviceContentDlg::OnNotify(NMHDR* header, LRESULT*) {
  if (header->idFrom == static_cast<UINT_PTR>(kContentListId) && header->code == LVN_ITEMCHANGED) {
    Refresh();
    return TRUE;
  }
  return FALSE;
}

void SimpleDeviceContentDlg::OnOK() {
  // Enter starts nothing that the button would not.
  if (!::IsWindowEnabled(GetDlgItem(IDOK))) return;
  m_formatFirst = IsDlgButtonChecked(m_hWnd, kFormatMediumId) == BST_CHECKED;
  EndDialog(IDOK);
}

void SimpleDeviceContentDlg::OnDestroy() {
  ListView_DeleteAllItems(List());
  m_copies.clear();
}

}  // namespace drumlet
