// What Explorer's folder tree offers for a folder's items: the item's
// context menu on a right click, its commands on the keys (Ctrl+X, Ctrl+C,
// Ctrl+V, Delete), renaming in place (F2, through the parent's SetNameOf),
// dragging an item out and dropping onto the item under the pointer. The
// tree knows the items only through their parent folders' user-interface
// objects (GetUIObjectOf).
#pragma once

#include "platform/com/com_ptr.h"
#include "platform/shell/folder_tree.h"
#include "platform/ui/ole/ole_interfaces.h"

class TreeEdits {
 public:
  // Registers the tree as a drop target; owner is the browser's window.
  TreeEdits(FolderTree* tree, HWND owner);
  ~TreeEdits();
  TreeEdits(const TreeEdits&) = delete;
  TreeEdits& operator=(const TreeEdits&) = delete;

  // The tree's notifications of drags and label edits; true when handled.
  bool OnNotify(const NMHDR* header, LRESULT* result);
  // WM_CONTEXTMENU from the tree (screen point, -1/-1 for the keyboard).
  void ContextMenu(LPARAM point);
  // A key pressed in the tree that edits its item; true when it was one.
  bool TranslateKey(MSG* msg);

 private:
  // The parent folder's object for the item; E_FAIL for My Computer.
  HRESULT ItemObject(HTREEITEM item, REFIID iid, void** object);
  void Invoke(HTREEITEM item, const char* verb);
  bool EndLabelEdit(HTREEITEM item, const char* text);
  void BeginDrag(HTREEITEM item);

  FolderTree* m_tree;
  HWND m_owner;
  ComPtr<IDropTarget> m_target;
};
