// The conversion dialog's start-up, its track list and its commands: adding
// files (the Add box, drops, the queue), removing and selecting them, the
// kind of output, the context menu and renaming.
#include "drumlet/conversion_dialog.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "drumlet/choose_tracks.h"
#include "drumlet/library_state.h"
#include "drumlet/module_list.h"
#include "drumlet/platform_box.h"
#include "drumlet/report_list.h"
#include "drumlet/resources.h"
#include "drumlet/skin_wiring.h"
#include "drumlet/track_entries.h"
#include "drumlet/writable_folder.h"
#include "drumlet/zv_message_box.h"
#include "platform/base/paths.h"
#include "platform/base/text_field.h"
#include "platform/ui/commctrl.h"
#include "platform/ui/commdlg.h"
#include "platform/ui/ole/drop_files.h"
#include "platform/ui/user32.h"

namespace drumlet {

namespace {

constexpr int kNoImage = -1;
constexpr const char* kReadyStatus = "Ready to process";
constexpr const char* kNameForbidden = "?\\/:\"*<>|";
// The Add box's answer: a folder and the names chosen in it.


}  // namespace

ConversionDialog::ConversionDialog(const TQuadrinInitStruct& init)
    : CDialog(kConversionDialogId, DrumletInstance(), GetActiveWindow()), m_init(init) {
  ListModules(kStyleReader, &m_readers);
  ListModules(kStyleWriter, &m_writers);
  m_readerFilter = BuildFilter(m_readers);
  m_writerExtensions = DistinctExtensions(m_writers);
}

ConversionDialog::~ConversionDialog() = default;

BOOL ConversionDialog::OnInitDialog() {
  HWND list = List();
  SetUpReportList(list, {kTrackImagesId, 17, RGB(255, 255, 255),
                         LVS_EX_SUBITEMIMAGES | LVS_EX_FULLROWSELECT,
                         {{"Track Name", 150}, {"Last Checked Status", 250}}});
  for (const std::string& extension : m_writerExtensions) {
    SendDlgItemMessageA(m_hWnd, kOutputKindId, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(extension.c_str()));
  }
  if (!m_writerExtensions.empty()) {
    SendDlgItemMessageA(m_hWnd, kOutputKindId, CB_SETCURSEL, 0, 0);
    OnOutputKind();
  }
  const char* missing = m_readers.empty()   ? "There are no registered components of type Reader"
                        : m_writers.empty() ? "There are no registered components of type Writer"
                                            : nullptr;
  if (missing != nullptr) {
    Tell(missing);
    EndDialog(IDCANCEL);
    return TRUE;
  }
  SendDlgItemMessageA(m_hWnd, kProgressId, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
  const LibraryState& library = Library();
  for (DWORD i = 0; i < library.trackCount; ++i) {
    const TrackEntry& queued = library.trackQueue[i];
    AddFile(std::string(FieldText(queued.sourcePath, sizeof queued.sourcePath)), false);
  }
  const std::string_view temp = FieldText(m_init.tempFolder, sizeof m_init.tempFolder);
  const bool tempUsable = !temp.empty() && FolderIsWritable(std::string(temp));
  CheckDlgButton(m_hWnd, kUseTmpFolderId, tempUsable ? BST_CHECKED : BST_UNCHECKED);
  ::EnableWindow(GetDlgItem(kUseTmpFolderId), tempUsable);
  LoadSkin(m_hWnd, kConversionSkinId, library.skinPath.c_str(),
           {kAddButtonId, kRemoveButtonId, kConvertButtonId, kExitButtonId, kSelectAllButtonId,
            kConvertToLabelId});
  RefreshButtons();
  return TRUE;
}

void ConversionDialog::OnButton(int id) {
  switch (id) {
    case kAddButtonId:
      if (!m_running) OnAdd();
      break;
    case kRemoveButtonId:
      if (!m_running) OnRemove();
      break;
    case kSelectAllButtonId:
      if (!m_running) SelectAll();
      break;
    case kConvertButtonId:
      if (!m_running && m_convertEnabled) OnConvert();
      break;
    case kExitButtonId:
      if (m_running) {
        PostMessage(StopPressedMessage());
      } else {
        EndDialog(IDCANCEL);
      }
      break;
    default:
      break;
  }
}

BOOL ConversionDialog::OnCommand(WORD id, WORD code, HWND control) {
  if (id == kOutputKindId) {
    if (code == CBN_SELCHANGE) OnOutputKind();
    return TRUE;
  }
  if (id == kSelectAllButtonId || id == kAddButtonId || id == kRemoveButtonId) {
    if (code == BN_CLICKED) OnButton(id);
    return TRUE;
  }
  return CDialog::OnCommand(id, code, control);
}

void ConversionDialog::AddFile(const std::string& path, bool readTags) {
  std::unique_ptr<TrackEntry> entry = EntryForFile(path, readTags, m_readers);
  if (!entry) return;
  LVITEMA item{};
  item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
  item.iItem = ListView_GetItemCount(List());
  item.pszText = entry->name;
  item.iImage = TrackImageFor(path);
  item.lParam = reinterpret_cast<LPARAM>(entry.get());
  if (ListView_InsertItem(List(), &item) < 0) return;
  // The list owns it now; its deletion notification frees it.
  SetStatus(entry.release(), kReadyStatus, kNoImage);
}

void ConversionDialog::OnAdd() {
  for (const std::string& file : ChooseTrackFiles(m_hWnd, m_readerFilter)) AddFile(file, true);
  RefreshButtons();
}

void ConversionDialog::OnDropFiles(HDROP drop) {
  const UINT count = DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
  for (UINT i = 0; i < count; ++i) {
    std::string file(DragQueryFileA(drop, i, nullptr, 0) + 1, '\0');
    file.resize(DragQueryFileA(drop, i, file.data(), static_cast<UINT>(file.size())));
    AddFile(file, true);
  }
  DragFinish(drop);
  RefreshButtons();
}

void ConversionDialog::OnRemove() {
  HWND list = List();
  for (int i = ListView_GetItemCount(list) - 1; i >= 0; --i) {
    if (ListView_GetItemState(list, i, LVIS_SELECTED) != 0) ListView_DeleteItem(list, i);
  }
  RefreshButtons();
}

void ConversionDialog::SelectAll() {
  ListView_SetItemState(List(), -1, LVIS_SELECTED, LVIS_SELECTED);
  RefreshButtons();
}

void ConversionDialog::OnOutputKind() {
  const LRESULT index = SendDlgItemMessageA(m_hWnd, kOutputKindId, CB_GETCURSEL, 0, 0);
  if (index < 0) return;
  char extension[kExtensionListSize] = "";
  if (SendDlgItemMessageA(m_hWnd, kOutputKindId, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0) >=
      static_cast<LRESULT>(sizeof extension)) {
    return;
  }
  SendDlgItemMessageA(m_hWnd, kOutputKindId, CB_GETLBTEXT, static_cast<WPARAM>(index),
                      reinterpret_cast<LPARAM>(extension));
  if (const ModuleInfo* writer = ModuleForExtension(m_writers, extension)) {
    m_writer = *writer;
    m_extension = extension;
  }
  RefreshButtons();
}

void ConversionDialog::RefreshButtons() {
  if (m_running) return;
  HWND list = List();
  m_convertEnabled =
      ModuleForExtension(m_writers, m_extension) != nullptr && ListView_GetItemCount(list) > 0;
  EnableButton(kConvertButtonId, m_convertEnabled);
  EnableButton(kRemoveButtonId, ListView_GetSelectedCount(list) > 0);
}

void ConversionDialog::EnableControls(bool enable) {
  for (int id : {kAddButtonId, kSelectAllButtonId, kConvertButtonId, kRemoveButtonId}) {
    EnableButton(id, enable);
  }
  ::EnableWindow(GetDlgItem(kOutputKindId), enable);
  ::EnableWindow(List(), enable);
  char caption[32] = "";
  LoadStringA(DrumletInstance(), enable ? kExitCaptionId : kStopCaptionId, caption, sizeof caption);
  SetSkinnedCaption(m_hWnd, kExitButtonId, caption);
  if (enable) RefreshButtons();
}

void ConversionDialog::EnableButton(int id, bool enable) { EnableSkinnedButton(m_hWnd, id, enable); }

void ConversionDialog::Tell(const std::string& text) {
  CZVMessageBox(m_hWnd, Library().skinPath.c_str()).Show(text.c_str(), MB_OK);
}

int ConversionDialog::IndexOf(const TrackEntry* entry) const {
  LVFINDINFOA find{};
  find.flags = LVFI_PARAM;
  find.lParam = reinterpret_cast<LPARAM>(entry);
  return ListView_FindItem(List(), -1, &find);
}

void ConversionDialog::SetStatus(const TrackEntry* entry, const std::string& text, int image) {
  const int index = IndexOf(entry);
  if (index < 0) return;
  LVITEMA item{};
  item.mask = LVIF_TEXT | LVIF_IMAGE;
  item.iItem = index;
  item.iSubItem = 1;
  item.pszText = const_cast<char*>(text.c_str());
  item.iImage = image;
  ListView_SetItem(List(), &item);
}

void ConversionDialog::ShowContextMenu(LPARAM where) {
  // Not while a track is being converted: its status is the run's.
  if (m_running) return;
  POINT point{static_cast<short>(LOWORD(where)), static_cast<short>(HIWORD(where))};
  if (where == -1) {
    RECT rect{};
    GetWindowRect(List(), &rect);
    point = {rect.left, rect.top};
  }
  HMENU menu = LoadMenuA(DrumletInstance(), MAKEINTRESOURCEA(kConversionMenuId));
  if (menu == nullptr) return;
  const UINT command = static_cast<UINT>(
      TrackPopupMenu(GetSubMenu(menu, 0), TPM_RETURNCMD | TPM_RIGHTBUTTON, point.x, point.y, 0, m_hWnd,
                     nullptr));
  DestroyMenu(menu);
  if (command == kClearStatusCommand) ClearStatus();
}

void ConversionDialog::ClearStatus() {
  HWND list = List();
  for (int i = 0; i < ListView_GetItemCount(list); ++i) {
    LVITEMA item{};
    item.mask = LVIF_TEXT | LVIF_IMAGE;
    item.iItem = i;
    item.iSubItem = 1;
    item.pszText = const_cast<char*>(kReadyStatus);
    item.iImage = kNoImage;
    ListView_SetItem(list, &item);
  }
}

void ConversionDialog::OnListClick(const NMITEMACTIVATE& click) {
  if (click.iItem >= 0) return;
  LVHITTESTINFO hit{};
  hit.pt = click.ptAction;
  if (ListView_SubItemHitTest(List(), &hit) >= 0 && hit.iItem >= 0) {
    ListView_SetItemState(List(), hit.iItem, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  }
}

void ConversionDialog::BeginRename(int item) {
  LVITEMA info{};
  info.mask = LVIF_PARAM;
  info.iItem = item;
  if (!ListView_GetItem(List(), &info) || info.lParam == 0) return;
  const auto* entry = reinterpret_cast<const TrackEntry*>(info.lParam);
  // A name fills at most its field, terminator included.
  m_editor.Open(List(), m_hWnd, item, std::string(FieldText(entry->name, sizeof entry->name)),
                static_cast<int>(kTrackNameSize - 1));
}

bool ConversionDialog::NameIsAllowed(const std::string& name) const {
  if (name.find_first_of(kNameForbidden) == std::string::npos) return true;
  const std::string warning =
      std::string("A song name cannot contain any of the folowing characters:\n") + kNameForbidden;
  PlatformBox(warning.c_str(), MB_OK | MB_ICONWARNING);
  return false;
}

void ConversionDialog::OnEndRename(int item, bool cancelled) {
  if (!m_editor.Active() || item != m_editor.Item()) return;
  const std::string name = cancelled ? std::string() : m_editor.Text();
  m_editor.Close();
  // An empty name would leave the output nothing but its extension.
  if (!name.empty() && NameIsAllowed(name)) Rename(item, name);
}

void ConversionDialog::Rename(int item, const std::string& name) {
  LVITEMA info{};
  info.mask = LVIF_PARAM;
  info.iItem = item;
  if (!ListView_GetItem(List(), &info) || info.lParam == 0) return;
  auto* entry = reinterpret_cast<TrackEntry*>(info.lParam);
  CopyToField(entry->name, sizeof entry->name, name);
  ListView_SetItemText(List(), item, 0, entry->name);
}

BOOL ConversionDialog::OnNotify(NMHDR* header, LRESULT* result) {
  if (header->idFrom != static_cast<UINT_PTR>(kTrackListId)) return FALSE;
  switch (header->code) {
    case LVN_DELETEITEM:
      std::unique_ptr<TrackEntry>(reinterpret_cast<TrackEntry*>(reinterpret_cast<NMLISTVIEW*>(header)->lParam));
      return TRUE;
    case LVN_ITEMCHANGED:
      RefreshButtons();
      return TRUE;
    case LVN_BEGINLABELEDIT:
      // The library's own editor takes the place of the list's.
      BeginRename(reinterpret_cast<NMLVDISPINFOA*>(header)->item.iItem);
      *result = TRUE;
      return TRUE;
    case LVN_ENDLABELEDIT: {
      const LVITEMA& item = reinterpret_cast<NMLVDISPINFOA*>(header)->item;
      const bool offered = item.pszText != nullptr && item.pszText[0] != '\0';
      *result = FALSE;
      if (offered && NameIsAllowed(item.pszText)) {
        Rename(item.iItem, item.pszText);
      }
      return TRUE;
    }
    case NM_CLICK:
      OnListClick(*reinterpret_cast<NMITEMACTIVATE*>(header));
      return TRUE;
    default:
      return FALSE;
  }
}

bool ConversionDialog::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  *result = 0;
  if (message == TrackNameEditor::EndEditMessage()) {
    OnEndRename(static_cast<int>(wParam), lParam == 1);
    return true;
  }
  if (message == WM_DROPFILES) {
    OnDropFiles(reinterpret_cast<HDROP>(wParam));
    return true;
  }
  if (message == WM_CONTEXTMENU) {
    ShowContextMenu(lParam);
    return true;
  }
  if (const int button = SkinnedClickOf(message, wParam, lParam)) {
    OnButton(button);
    return true;
  }
  return OnRunMessage(message, wParam, lParam);
}

}  // namespace drumlet
