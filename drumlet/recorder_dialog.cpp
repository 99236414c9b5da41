// The recorder dialog's start-up, its track list and its commands: adding
// files (the Add box, drops, the queue), removing and selecting them, the
// owner-drawn rows, the space figures and the controls' state.
#include "drumlet/recorder_dialog.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>

#include "drumlet/choose_tracks.h"
#include "drumlet/device_list.h"
#include "drumlet/library_state.h"
#include "drumlet/module_list.h"
#include "drumlet/resources.h"
#include "drumlet/skin_wiring.h"
#include "drumlet/track_entries.h"
#include "platform/base/cstring.h"
#include "platform/base/paths.h"
#include "platform/base/text_field.h"
#include "platform/ui/commctrl.h"
#include "platform/ui/commdlg.h"
#include "platform/ui/gdi.h"
#include "platform/ui/ole/drop_files.h"
#include "platform/ui/user32.h"

namespace drumlet {

namespace {

constexpr int kItemHeight = 15;
constexpr int kHorizontalExtent = 500;

constexpr COLORREF kPreparedBack = RGB(0, 255, 0);
constexpr COLORREF kUnpreparedBack = RGB(255, 0, 0);
constexpr COLORREF kSelectedBack = RGB(0, 0, 255);
constexpr COLORREF kSelectedText = RGB(255, 255, 255);
constexpr COLORREF kItemText = RGB(0, 0, 0);

constexpr int kSkinnedButtons[] = {kRecorderAddId, kRecorderRemoveId, kPrepareId, kBurnId, kEraseId,
                                   kRecorderExitId, kSelectAllPreparedId, kDeselectAllId,
                                   kRemoveAllId, kSpareEraseId};

// Megabytes with one decimal, as tenths: the byte count divided by
// 104857.6 and truncated toward zero.
std::uint64_t Tenths(std::uint64_t bytes) { return bytes * 10 / 1048576; }

std::string Megabytes(std::uint64_t tenths) {
  char text[32];
  std::snprintf(text, sizeof text, "%llu.%llu MB", static_cast<unsigned long long>(tenths / 10),
                static_cast<unsigned long long>(tenths % 10));
  return text;
}

bool Prepared(const TrackEntry* entry) { return entry != nullptr && (entry->flags & kTrackPrepared) != 0; }


}  // namespace

RecorderDialog::RecorderDialog(const TQuadrinInitStruct& init)
    : CDialog(kRecorderDialogId, DrumletInstance(), GetActiveWindow()),
      m_idle(CreateEventA(nullptr, TRUE, TRUE, nullptr)),
      m_cancel(CreateEventA(nullptr, TRUE, FALSE, nullptr)),
      m_burnEnded(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {
  m_openParams.init = init;
}

RecorderDialog::~RecorderDialog() = default;

BOOL RecorderDialog::OnInitDialog() {
  m_readers.clear();
  m_writers.clear();
  m_devices.clear();
  ListModules(kStyleReader, &m_readers);
  ListModules(kStyleWriter, &m_writers);
  m_readerFilter = BuildFilter(m_readers);
  ListDevicesThroughObjects(&m_devices, GetDlgItem(kDeviceComboId));
  HWND list = TrackList();
  SendMessageA(list, LB_SETITEMHEIGHT, 0, kItemHeight);
  SendMessageA(list, LB_SETHORIZONTALEXTENT, kHorizontalExtent, 0);
  SendDlgItemMessageA(m_hWnd, kRecorderProgressId, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
  // The queue's tracks are the dialog's now.
  LibraryState& library = Library();
  for (DWORD i = 0; i < library.trackCount; ++i) {
    auto entry = std::make_unique<TrackEntry>(library.trackQueue[i]);
    const std::string source(FieldText(entry->sourcePath, sizeof entry->sourcePath));
    if (std::unique_ptr<TrackEntry> lookup = EntryForFile(source, false, m_readers)) {
      std::memcpy(entry->readerId, lookup->readerId, sizeof entry->readerId);
      entry->size = lookup->size;
      if (CString(FieldText(entry->name, sizeof entry->name)).CompareNoCase(source.c_str()) == 0) {
        std::memcpy(entry->name, lookup->name, sizeof entry->name);
      }
    }
    AddEntry(entry.release());
  }
  library.trackCount = 0;
  LoadSkin(m_hWnd, kRecorderSkinId, library.skinPath.c_str(),
           {kRecorderAddId, kRecorderRemoveId, kPrepareId, kBurnId, kEraseId, kRecorderExitId,
            kSelectAllPreparedId, kDeselectAllId, kRemoveAllId, kSpareEraseId, kSelectedSpaceLabelId,
            kPreparedSpaceLabelId, kAvailableSpaceLabelId, kTotalSpaceLabelId, kRecordersLabelId,
            kTrackListLabelId});
  RefreshData();
  return TRUE;
}

void RecorderDialog::OnButton(int id) {
  switch (id) {
    case kRecorderAddId:
      OnAdd();
      break;
    case kRecorderRemoveId:
      RemoveSelected();
      break;
    case kRemoveAllId:
      RemoveAll();
      break;
    case kSelectAllPreparedId:
      SelectPrepared(true);
      break;
    case kDeselectAllId:
      SelectPrepared(false);
      break;
    case kPrepareId:
      OnPrepare();
      break;
    case kBurnId:
      OnBurn();
      break;
    case kEraseId:
      OnFormat();
      break;
    case kRecorderExitId:
      OnClose();
      break;
    default:
      break;
  }
}

BOOL RecorderDialog::OnCommand(WORD id, WORD code, HWND control) {
  if (id == kDeviceComboId) {
    if (code == CBN_SELCHANGE) OnDeviceChosen();
    return TRUE;
  }
  if (id == kRecorderTrackListId) {
    if (code == LBN_SELCHANGE) RefreshData();
    return TRUE;
  }
  return CDialog::OnCommand(id, code, control);
}

void RecorderDialog::AddFile(const std::string& path) {
  std::unique_ptr<TrackEntry> entry = EntryForFile(path, false, m_readers);
  // A file of nothing has nothing to burn.
  if (!entry || entry->size == 0) return;
  AddEntry(entry.release());
}

void RecorderDialog::AddEntry(TrackEntry* entry) {
  std::unique_ptr<TrackEntry> owned(entry);
  HWND list = TrackList();
  const LRESULT index = SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(owned->name));
  if (index < 0) return;
  // The list owns it now; its deletion frees it.
  SendMessageA(list, LB_SETITEMDATA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(owned.release()));
}

void RecorderDialog::OnAdd() {
  for (const std::string& file : ChooseTrackFiles(m_hWnd, m_readerFilter)) AddFile(file);
  RefreshData();
}

void RecorderDialog::OnDropFiles(HDROP drop) {
  const UINT count = DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
  for (UINT i = 0; i < count; ++i) {
    std::string file(DragQueryFileA(drop, i, nullptr, 0) + 1, '\0');
    file.resize(DragQueryFileA(drop, i, file.data(), static_cast<UINT>(file.size())));
    AddFile(file);
  }
  DragFinish(drop);
  RefreshData();
}

void RecorderDialog::RemoveSelected() {
  HWND list = TrackList();
  for (int i = ItemCount() - 1; i >= 0; --i) {
    if (Selected(i)) SendMessageA(list, LB_DELETESTRING, static_cast<WPARAM>(i), 0);
  }
  RefreshData();
}

void RecorderDialog::RemoveAll() {
  SendMessageA(TrackList(), LB_RESETCONTENT, 0, 0);
  RefreshData();
}

void RecorderDialog::SelectPrepared(bool select) {
  HWND list = TrackList();
  SendMessageA(list, LB_SETSEL, FALSE, -1);
  if (select) {
    for (int i = 0; i < ItemCount(); ++i) {
      if (Prepared(EntryAt(i))) SendMessageA(list, LB_SETSEL, TRUE, i);
    }
  }
  RefreshData();
}

int RecorderDialog::ItemCount() const {
  return static_cast<int>(SendMessageA(TrackList(), LB_GETCOUNT, 0, 0));
}

TrackEntry* RecorderDialog::EntryAt(int index) const {
  const LRESULT data = SendMessageA(TrackList(), LB_GETITEMDATA, static_cast<WPARAM>(index), 0);
  return data == LB_ERR ? nullptr : reinterpret_cast<TrackEntry*>(data);
}

bool RecorderDialog::Selected(int index) const {
  return SendMessageA(TrackList(), LB_GETSEL, static_cast<WPARAM>(index), 0) > 0;
}

void RecorderDialog::DrawItem(const DRAWITEMSTRUCT& item) {
  if (item.itemID == static_cast<UINT>(-1)) return;
  const auto* entry = reinterpret_cast<const TrackEntry*>(item.itemData);
  if (entry == nullptr) return;
  const bool selected = (item.itemState & ODS_SELECTED) != 0;
  const COLORREF back = selected ? kSelectedBack : Prepared(entry) ? kPreparedBack : kUnpreparedBack;
  HBRUSH brush = CreateSolidBrush(back);
  RECT rect = item.rcItem;
  FillRect(item.hDC, &rect, brush);
  DeleteObject(brush);
  SetBkMode(item.hDC, TRANSPARENT);
  SetTextColor(item.hDC, selected ? kSelectedText : kItemText);
  rect.left += 2;
  DrawTextA(item.hDC, entry->name, -1, &rect, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

void RecorderDialog::OnItemDeleted(const DELETEITEMSTRUCT& item) {
  auto* entry = reinterpret_cast<TrackEntry*>(item.itemData);
  if (entry == nullptr) return;
  // The burn list shares the entry: it goes from there first.
  m_burnList.erase(std::remove(m_burnList.begin(), m_burnList.end(), entry), m_burnList.end());
  delete entry;
}

void RecorderDialog::RefreshData() {
  std::uint64_t selected = 0;
  std::uint64_t prepared = 0;
  for (int i = 0; i < ItemCount(); ++i) {
    const TrackEntry* entry = EntryAt(i);
    if (!Prepared(entry)) continue;
    prepared += entry->size;
    if (Selected(i)) selected += entry->size;
  }
  SetDlgItemText(kRecorderStatusId, m_status.c_str());
  SetDlgItemText(kSelectedSpaceId, Megabytes(Tenths(selected)).c_str());
  SetDlgItemText(kPreparedSpaceId, Megabytes(Tenths(prepared)).c_str());
  SetDlgItemText(kAvailableSpaceId,
                 Megabytes(Tenths(static_cast<std::uint64_t>(std::max(m_availableBytes, 0)))).c_str());
  SetDlgItemText(kTotalSpaceId,
                 Megabytes(Tenths(static_cast<std::uint64_t>(std::max(m_totalBytes, 0)))).c_str());
}

void RecorderDialog::EnableControls(bool enable) {
  // Exit stays: it is how a running burn is cancelled.
  for (int id : kSkinnedButtons) {
    if (id != kRecorderExitId) EnableSkinnedButton(m_hWnd, id, enable);
  }
  ::EnableWindow(GetDlgItem(kDeviceComboId), enable);
  ::EnableWindow(TrackList(), enable);
}

bool RecorderDialog::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  *result = 0;
  switch (message) {
    case WM_DRAWITEM:
      if (static_cast<int>(wParam) != kRecorderTrackListId) return false;
      DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
      *result = TRUE;
      return true;
    case WM_MEASUREITEM:
      if (static_cast<int>(wParam) != kRecorderTrackListId) return false;
      reinterpret_cast<MEASUREITEMSTRUCT*>(lParam)->itemHeight = kItemHeight;
      *result = TRUE;
      return true;
    case WM_DELETEITEM:
      if (static_cast<int>(wParam) != kRecorderTrackListId) return false;
      OnItemDeleted(*reinterpret_cast<const DELETEITEMSTRUCT*>(lParam));
      *result = TRUE;
      return true;
    case WM_DROPFILES:
      OnDropFiles(reinterpret_cast<HDROP>(wParam));
      return true;
    default:
      break;
  }
  if (const int button = SkinnedClickOf(message, wParam, lParam)) {
    OnButton(button);
    return true;
  }
  return OnRecorderMessage(message);
}

}  // namespace drumlet
