// The folder tree's items: filled on expansion, found again by item list.
#include "platform/shell/folder_tree.h"

#include <algorithm>
#include <vector>

#include "platform/base/codepage.h"
#include "platform/com/com_ptr.h"
#include "platform/shell/extract_icon.h"
#include "platform/shell/my_computer.h"
#include "platform/shell/shell_icons.h"
#include "platform/ui/user32.h"

namespace {

constexpr int kIconSize = 16;

struct Child {
  UniqueItemIdList item;  // relative
  SFGAOF attributes = 0;
};

std::u16string NameOf(IShellFolder* folder, LPCITEMIDLIST item) {
  STRRET name{};
  char16_t buffer[1024];
  if (FAILED(folder->GetDisplayNameOf(item, SHGDN_NORMAL, &name)) ||
      FAILED(StrRetToBufW(&name, item, buffer, 1024)))
    return u"";
  return buffer;
}

}  // namespace

FolderTree::FolderTree(HWND parent, int id) {
  m_window = CreateWindowExA(0, WC_TREEVIEW, "", WS_CHILD | WS_VISIBLE | WS_TABSTOP | TVS_HASBUTTONS |
                                 TVS_HASLINES | TVS_LINESATROOT | TVS_SHOWSELALWAYS,
                             0, 0, 0, 0, parent, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)),
                             nullptr, nullptr);
  if (m_window == nullptr) return;
  m_images.reset(ImageList_Create(kIconSize, kIconSize, ILC_COLOR32 | ILC_MASK, 8, 8));
  TreeView_SetImageList(m_window, m_images.get(), TVSIL_NORMAL);
  m_folderImage = AddShellIcon(kShellFolderIcon);
  m_openFolderImage = AddShellIcon(kShellOpenFolderIcon);
  const int computer = AddShellIcon(kShellComputerIcon);
  LPITEMIDLIST root = nullptr;
  if (SUCCEEDED(MyComputerList(&root))) Insert(TVI_ROOT, root, kMyComputerName, computer, computer, true);
}

FolderTree::~FolderTree() {
  // The parent no longer hands notifications on to this tree: the nodes go
  // with the map.
  if (m_window != nullptr) DestroyWindow(m_window);
}

int FolderTree::AddShellIcon(int id) {
  HICON icon = LoadIconA(ShellModule(), MAKEINTRESOURCEA(id));
  if (icon == nullptr) return -1;
  const int image = ImageList_AddIcon(m_images.get(), icon);
  DestroyIcon(icon);
  return image;
}

HTREEITEM FolderTree::Insert(HTREEITEM parent, LPITEMIDLIST list, const std::u16string& name,
                             int image, int openImage, bool hasChildren) {
  auto node = std::make_unique<Node>();
  node->list.reset(list);
  const std::string text = WideToAnsi(name);
  TVINSERTSTRUCTA insert{};
  insert.hParent = parent;
  insert.hInsertAfter = TVI_LAST;
  insert.item.mask = TVIF_TEXT | TVIF_PARAM | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_CHILDREN;
  insert.item.pszText = const_cast<LPSTR>(text.c_str());
  insert.item.iImage = image;
  insert.item.iSelectedImage = openImage;
  insert.item.cChildren = hasChildren ? 1 : 0;
  insert.item.lParam = reinterpret_cast<LPARAM>(node.get());
  HTREEITEM item = TreeView_InsertItem(m_window, &insert);
  if (item != nullptr) m_nodes.emplace(insert.item.lParam, std::move(node));
  return item;
}

LPCITEMIDLIST FolderTree::ListOf(HTREEITEM item) const {
  TVITEMA info{};
  info.mask = TVIF_PARAM | TVIF_HANDLE;
  info.hItem = item;
  if (item == nullptr || !TreeView_GetItem(m_window, &info)) return nullptr;
  auto node = m_nodes.find(info.lParam);
  return node != m_nodes.end() ? node->second->list.get() : nullptr;
}

int FolderTree::IconOf(IShellFolder* folder, LPCITEMIDLIST item, bool open, int fallback) {
  ComPtr<IExtractIconW> extractor;
  LPCITEMIDLIST items[] = {item};
  if (FAILED(folder->GetUIObjectOf(m_window, 1, items, IID_IExtractIconW, nullptr,
                                   extractor.OutVoid())))
    return fallback;
  char16_t file[1024];
  int index = 0;
  UINT flags = 0;
  if (extractor->GetIconLocation(GIL_FORSHELL | (open ? GIL_OPENICON : 0), file, 1024, &index,
                                 &flags) != S_OK)
    return fallback;
  const auto location = std::make_pair(std::u16string(file), index);
  if (auto known = m_icons.find(location); known != m_icons.end()) return known->second;
  HICON large = nullptr;
  HICON icon = nullptr;
  // S_FALSE: the shell takes the icon from the location itself.
  if (extractor->Extract(file, static_cast<UINT>(index), &large, &icon,
                         MAKELONG(32, kIconSize)) == S_OK) {
    if (large != nullptr) DestroyIcon(large);
  } else if (ExtractIconExW(file, index, nullptr, &icon, 1) != 1) {
    return fallback;
  }
  if (icon == nullptr) return fallback;
  const int image = ImageList_AddIcon(m_images.get(), icon);
  DestroyIcon(icon);
  if (image < 0) return fallback;
  if ((flags & GIL_DONTCACHE) == 0) m_icons.emplace(location, image);
  return image;
}

void FolderTree::Fill(HTREEITEM item) {
  TVITEMA info{};
  info.mask = TVIF_PARAM | TVIF_HANDLE;
  info.hItem = item;
  if (!TreeView_GetItem(m_window, &info)) return;
  auto found = m_nodes.find(info.lParam);
  if (found == m_nodes.end() || found->second->filled) return;
  Node& node = *found->second;
  node.filled = true;

  ComPtr<IShellFolder> folder;
  ComPtr<IEnumIDList> enumerator;
  std::vector<Child> children;
  if (SUCCEEDED(BindToFolder(node.list.get(), folder.Out())) &&
      folder->EnumObjects(m_window, SHCONTF_FOLDERS, enumerator.Out()) == S_OK) {
    LPITEMIDLIST batch[32];
    ULONG fetched = 0;
    while (SUCCEEDED(enumerator->Next(32, batch, &fetched)) && fetched > 0) {
      for (ULONG i = 0; i < fetched; ++i) {
        Child child;
        child.item.reset(batch[i]);
        child.attributes = SFGAO_FOLDER | SFGAO_HASSUBFOLDER;
        LPCITEMIDLIST items[] = {batch[i]};
        if (FAILED(folder->GetAttributesOf(1, items, &child.attributes))) child.attributes = 0;
        // The tree shows folders only.
        if ((child.attributes & SFGAO_FOLDER) != 0) children.push_back(std::move(child));
      }
    }
  }
  std::stable_sort(children.begin(), children.end(), [&](const Child& a, const Child& b) {
    const HRESULT order = folder->CompareIDs(0, a.item.get(), b.item.get());
    return SUCCEEDED(order) && CompareResultOrder(order) < 0;
  });
  for (Child& child : children) {
    LPITEMIDLIST absolute = ILCombine(node.list.get(), child.item.get());
    if (absolute == nullptr) continue;
    Insert(item, absolute, NameOf(folder.Get(), child.item.get()),
           IconOf(folder.Get(), child.item.get(), false, m_folderImage),
           IconOf(folder.Get(), child.item.get(), true, m_openFolderImage),
           (child.attributes & SFGAO_HASSUBFOLDER) != 0);
  }
  if (children.empty()) {
    // Nothing below after all: no button to expand.
    info.mask = TVIF_CHILDREN | TVIF_HANDLE;
    info.cChildren = 0;
    TreeView_SetItem(m_window, &info);
  }
}

bool FolderTree::OnNotify(const NMHDR* header, LRESULT* result) {
  if (m_window == nullptr || header->hwndFrom != m_window) return false;
  *result = 0;
  if (header->code == TVN_ITEMEXPANDING) {
    const auto* change = reinterpret_cast<const NMTREEVIEWA*>(header);
    if ((change->action & TVE_EXPAND) != 0) Fill(change->itemNew.hItem);
    return true;
  }
  if (header->code == TVN_DELETEITEM) {
    m_nodes.erase(reinterpret_cast<const NMTREEVIEWA*>(header)->itemOld.lParam);
    return true;
  }
  return false;
}

HTREEITEM FolderTree::ItemOf(LPCITEMIDLIST list) const {
  for (HTREEITEM item = TreeView_GetRoot(m_window); item != nullptr;) {
    LPCITEMIDLIST here = ListOf(item);
    if (ILIsEqual(here, list)) return item;
    HTREEITEM next = TreeView_GetNextSibling(m_window, item);
    if (ILIsParent(here, list, FALSE)) next = TreeView_GetChild(m_window, item);
    item = next;
  }
  return nullptr;
}

bool FolderTree::Select(LPCITEMIDLIST list) {
  if (m_window == nullptr || list == nullptr) return false;
  // My Computer stays open, as Explorer keeps it.
  TreeView_Expand(m_window, TreeView_GetRoot(m_window), TVE_EXPAND);
  for (HTREEITEM item = TreeView_GetRoot(m_window); item != nullptr;) {
    LPCITEMIDLIST here = ListOf(item);
    if (ILIsEqual(here, list)) {
      TreeView_SelectItem(m_window, item);
      TreeView_EnsureVisible(m_window, item);
      return true;
    }
    if (ILIsParent(here, list, FALSE)) {
      TreeView_Expand(m_window, item, TVE_EXPAND);
      item = TreeView_GetChild(m_window, item);
    } else {
      item = TreeView_GetNextSibling(m_window, item);
    }
  }
  return false;
}

void FolderTree::RefreshChildren(LPCITEMIDLIST list) {
  if (m_window == nullptr) return;
  HTREEITEM item = ItemOf(list);
  TVITEMA info{};
  info.mask = TVIF_PARAM | TVIF_HANDLE | TVIF_STATE;
  info.hItem = item;
  info.stateMask = TVIS_EXPANDED;
  if (item == nullptr || !TreeView_GetItem(m_window, &info)) return;
  auto found = m_nodes.find(info.lParam);
  if (found == m_nodes.end() || !found->second->filled) return;
  const bool expanded = (info.state & TVIS_EXPANDED) != 0;
  TreeView_Expand(m_window, item, TVE_COLLAPSE | TVE_COLLAPSERESET);
  found->second->filled = false;
  // It may have children now where it had none.
  info.mask = TVIF_CHILDREN | TVIF_HANDLE;
  info.cChildren = 1;
  TreeView_SetItem(m_window, &info);
  if (expanded) TreeView_Expand(m_window, item, TVE_EXPAND);
}
