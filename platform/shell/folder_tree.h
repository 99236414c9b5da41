// The shell browser's folder tree: My Computer at the root, each folder's
// sub-folders listed when it is first expanded (EnumObjects, kept to those
// GetAttributesOf calls folders, in the folder's CompareIDs order), named
// by GetDisplayNameOf and shown with the icons IExtractIcon points at.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <utility>

#include "platform/shell/shell_folder.h"
#include "platform/ui/commctrl.h"

class FolderTree {
 public:
  // Makes the tree window, a child of parent with the given id, holding My
  // Computer; Window() is null when that failed. The parent hands the
  // tree's notifications on (OnNotify) from then on: the first Select
  // lists My Computer.
  FolderTree(HWND parent, int id);
  ~FolderTree();
  FolderTree(const FolderTree&) = delete;
  FolderTree& operator=(const FolderTree&) = delete;

  HWND Window() const { return m_window; }
  // The parent hands on the tree's notifications; true when one was for it.
  bool OnNotify(const NMHDR* header, LRESULT* result);
  // The absolute list of an item; null for none.
  LPCITEMIDLIST ListOf(HTREEITEM item) const;
  // Selects the item that names list, expanding the folders on the way;
  // false when the tree has no such folder.
  bool Select(LPCITEMIDLIST list);
  // Lists the children of the item naming list afresh, if they were listed.
  void RefreshChildren(LPCITEMIDLIST list);

 private:
  struct Node {
    UniqueItemIdList list;  // absolute
    bool filled = false;
  };

  HTREEITEM Insert(HTREEITEM parent, LPITEMIDLIST list, const std::u16string& name, int image,
                   int openImage, bool hasChildren);
  void Fill(HTREEITEM item);
  HTREEITEM ItemOf(LPCITEMIDLIST list) const;
  // The image of the icon the folder's extractor points at for item (the
  // open form when open), or fallback's.
  int IconOf(IShellFolder* folder, LPCITEMIDLIST item, bool open, int fallback);
  int AddShellIcon(int id);

  HWND m_window = nullptr;
  std::unique_ptr<_IMAGELIST, BOOL (*)(HIMAGELIST)> m_images{nullptr, ImageList_Destroy};
  std::unordered_map<LPARAM, std::unique_ptr<Node>> m_nodes;
  // Images by icon location; locations the extractor asked not to keep are
  // not remembered.
  std::map<std::pair<std::u16string, int>, int> m_icons;
  int m_folderImage = -1;
  int m_openFolderImage = -1;
};
