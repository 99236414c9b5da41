// The path picker: drives from the drive table, folders from the file
// system, the network from the platform's network enumeration, each level
// filled the first time it is expanded.
#include "drumlet/path_picker_ctrl.h"

#include <array>
#include <filesystem>
#include <system_error>
#include <vector>

#include "drumlet/resources.h"
#include "platform/base/codepage.h"
#include "platform/base/paths.h"

namespace {

constexpr int kImageWidth = 17;
constexpr int kFolderImage = 1;
constexpr int kOpenFolderImage = 0;
constexpr int kLookAroundImage = 7;
constexpr int kContainerImageBase = 7;  // plus the container's display type
constexpr DWORD kEnumBufferSize = 16384;
constexpr DWORD kAllEntries = 0xFFFFFFFF;

// A name in capitals ("WINDOWS") is shown as "Windows"; any lower-case
// letter leaves it as it is.
std::string Normalised(std::string text) {
  for (char c : text) {
    if (c >= 'a' && c <= 'z') return text;
  }
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  if (!text.empty() && text[0] >= 'a' && text[0] <= 'z') {
    text[0] = static_cast<char>(text[0] - 'a' + 'A');
  }
  return text;
}

std::string Copy(const char* text) { return text != nullptr ? text : ""; }

LPSTR Pointer(const char* original, std::string& copy) {
  return original != nullptr ? copy.data() : nullptr;
}

// The folders in a folder, as the system's names (the code page's).
std::vector<std::string> SubfoldersOf(const std::string& path) {
  std::vector<std::string> names;
  std::error_code error;
  std::filesystem::directory_iterator entries(ToHostPath(path), error);
  for (; !error && entries != std::filesystem::directory_iterator(); entries.increment(error)) {
    std::error_code kindError;
    if (!entries->is_directory(kindError)) continue;
    const std::string name = entries->path().filename().string();
    // The host marks hidden folders with a leading dot; "." and ".." never
    // come from the iterator.
    if (name.empty() || name[0] == '.') continue;
    names.push_back(Utf8ToAnsi(name));
  }
  return names;
}

}  // namespace

CPathPickerCtrl::NetworkRecord::NetworkRecord(const NETRESOURCEA& from)
    : record(from),
      localName(Copy(from.lpLocalName)),
      remoteName(Copy(from.lpRemoteName)),
      comment(Copy(from.lpComment)),
      provider(Copy(from.lpProvider)) {
  record.lpLocalName = Pointer(from.lpLocalName, localName);
  record.lpRemoteName = Pointer(from.lpRemoteName, remoteName);
  record.lpComment = Pointer(from.lpComment, comment);
  record.lpProvider = Pointer(from.lpProvider, provider);
}

CPathPickerCtrl::~CPathPickerCtrl() {
  if (m_images != nullptr) ImageList_Destroy(m_images);
}

bool CPathPickerCtrl::Attach(HWND tree) {
  m_hWnd = tree;
  if (tree == nullptr) return false;
  if (m_images == nullptr) {
    m_images = ImageList_LoadBitmap(DrumletInstance(), MAKEINTRESOURCEA(IDB_PATH_PICKER),
                                    kImageWidth, 1, RGB(255, 255, 255));
  }
  TreeView_SetImageList(tree, m_images, TVSIL_NORMAL);
  return m_images != nullptr;
}

void CPathPickerCtrl::PopulateTree() {
  TreeView_DeleteAllItems(m_hWnd);
  for (char letter = 'A'; letter <= 'Z'; ++letter) {
    const char root[] = {letter, ':', '\0'};
    const UINT type = GetDriveTypeA(root);
    if (type >= DRIVE_REMOVABLE && type <= DRIVE_RAMDISK) {
      InsertPathItem(TVI_ROOT, nullptr, root, static_cast<int>(type));
    }
  }
  m_lookAround = InsertPathItem(TVI_ROOT, nullptr, "Look around", kLookAroundImage);
}

HTREEITEM CPathPickerCtrl::InsertPathItem(HTREEITEM parent, const NETRESOURCEA* record,
                                          const std::string& text, int image, int selectedImage) {
  std::string shown = Normalised(text);
  TVINSERTSTRUCTA insert{};
  insert.hParent = parent;
  insert.hInsertAfter = TVI_SORT;
  insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_CHILDREN | TVIF_PARAM;
  insert.item.pszText = shown.data();
  insert.item.iImage = image;
  insert.item.iSelectedImage = selectedImage == -1 ? image : selectedImage;
  insert.item.cChildren = 1;
  std::unique_ptr<NetworkRecord> owned;
  if (record != nullptr) {
    owned = std::make_unique<NetworkRecord>(*record);
    insert.item.lParam = reinterpret_cast<LPARAM>(&owned->record);
  }
  HTREEITEM item = TreeView_InsertItem(m_hWnd, &insert);
  if (item != nullptr && owned) m_records[item] = std::move(owned);
  return item;
}

const NETRESOURCEA* CPathPickerCtrl::RecordOf(HTREEITEM item) const {
  auto found = m_records.find(item);
  return found != m_records.end() ? &found->second->record : nullptr;
}

std::string CPathPickerCtrl::ItemPath(HTREEITEM item) const {
  std::string path;
  for (; item != nullptr; item = TreeView_GetParent(m_hWnd, item)) {
    if (const NETRESOURCEA* record = RecordOf(item)) {
      return Copy(record->lpRemoteName) + "\\" + path;
    }
    std::array<char, 1024> text{};
    TVITEMA query{};
    query.mask = TVIF_TEXT | TVIF_HANDLE;
    query.hItem = item;
    query.pszText = text.data();
    query.cchTextMax = static_cast<int>(text.size());
    TreeView_GetItem(m_hWnd, &query);
    path = std::string(text.data()) + "\\" + path;
  }
  return path;
}

bool CPathPickerCtrl::OnNotify(const NMHDR* header, LRESULT* result) {
  if (header == nullptr || header->hwndFrom != m_hWnd) return false;
  const auto* view = reinterpret_cast<const NMTREEVIEWA*>(header);
  switch (header->code) {
    case TVN_ITEMEXPANDING:
      if (view->action == TVE_EXPAND) OnExpanding(view->itemNew.hItem);
      *result = FALSE;
      return true;
    case TVN_SELCHANGED:
      m_currentPath = ItemPath(view->itemNew.hItem);
      *result = 0;
      return true;
    case TVN_DELETEITEM:
      m_records.erase(view->itemOld.hItem);
      *result = 0;
      return true;
    default:
      return false;
  }
}

void CPathPickerCtrl::OnExpanding(HTREEITEM item) {
  const std::string path = ItemPath(item);
  if (TreeView_GetChild(m_hWnd, item) == nullptr) PopulateItem(item, path);
  if (TreeView_GetSelection(m_hWnd) != item) TreeView_SelectItem(m_hWnd, item);
}

void CPathPickerCtrl::PopulateItem(HTREEITEM item, const std::string& path) {
  const NETRESOURCEA* record = RecordOf(item);
  const bool added = item == m_lookAround || record != nullptr ? EnumerateNetwork(item, record)
                                                               : ListFolder(item, path);
  if (added) return;
  TVITEMA childless{};
  childless.mask = TVIF_CHILDREN | TVIF_HANDLE;
  childless.hItem = item;
  childless.cChildren = 0;
  TreeView_SetItem(m_hWnd, &childless);
}

bool CPathPickerCtrl::ListFolder(HTREEITEM item, const std::string& path) {
  bool added = false;
  for (const std::string& name : SubfoldersOf(path)) {
    added = InsertPathItem(item, nullptr, name, kFolderImage, kOpenFolderImage) != nullptr || added;
  }
  return added;
}

bool CPathPickerCtrl::EnumerateNetwork(HTREEITEM item, const NETRESOURCEA* below) {
  HANDLE enumeration = nullptr;
  // The records are copies that the enumeration may not write to.
  NETRESOURCEA start{};
  if (below != nullptr) start = *below;
  if (WNetOpenEnumA(below != nullptr ? RESOURCE_GLOBALNET : RESOURCE_CONTEXT, RESOURCETYPE_ANY, 0,
                    below != nullptr ? &start : nullptr, &enumeration) != NO_ERROR) {
    return false;
  }
  bool added = false;
  // Records, so that the entries at its start are aligned.
  std::vector<NETRESOURCEA> buffer((kEnumBufferSize + sizeof(NETRESOURCEA) - 1) /
                                   sizeof(NETRESOURCEA));
  for (;;) {
    std::fill(buffer.begin(), buffer.end(), NETRESOURCEA{});
    DWORD count = kAllEntries;
    DWORD size = kEnumBufferSize;
    if (WNetEnumResourceA(enumeration, &count, buffer.data(), &size) != NO_ERROR) break;
    for (DWORD i = 0; i < count; ++i) {
      const NETRESOURCEA& entry = buffer[i];
      std::string name = Copy(entry.lpRemoteName);
      if (name.empty()) name = Copy(entry.lpComment);
      for (int strip = 0; strip < 2 && !name.empty() && name[0] == '\\'; ++strip) name.erase(0, 1);
      HTREEITEM child;
      if (entry.dwDisplayType == RESOURCEDISPLAYTYPE_SHARE) {
        const size_t slash = name.find('\\');
        const std::string share = slash == std::string::npos ? name : name.substr(slash + 1);
        child = InsertPathItem(item, nullptr, share, kFolderImage, kOpenFolderImage);
      } else {
        child = InsertPathItem(item, &entry, name,
                               kContainerImageBase + static_cast<int>(entry.dwDisplayType));
      }
      added = child != nullptr || added;
    }
  }
  WNetCloseEnum(enumeration);
  return added;
}
