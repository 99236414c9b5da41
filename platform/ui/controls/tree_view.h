// The tree view ("SysTreeView32"): its state, shared by the files that
// carry it out (items, expansion and selection with the geometry of the
// visible rows, mouse and keys with the driver's view).
//
// Each item keeps its children in order in a vector (searched by halves
// for sorted insertion while they are known to be in text order) and links
// to its siblings, so that walking from one to the next costs nothing.
// Handles come from one counter for every tree, so an item of one tree is
// never mistaken for an item of another.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/ui/commctrl.h"
#include "platform/ui/controls/label_editor.h"
#include "platform/ui/controls/notifier.h"
#include "platform/ui/core/control_input.h"
#include "platform/ui/core/window.h"
#include "platform/ui/driver.h"

namespace ui::controls {

class TreeViewState : public core::ControlState, public driver::TreeViewModel, public core::TreeInput {
 public:
  TreeViewState(HWND window, HWND notify, DWORD style);

  void* QueryModel(const std::type_info& type) override {
    return core::QueryModels<TreeViewState, driver::TreeViewModel, core::TreeInput>(this, type);
  }

  // The message switch (tree_view.cpp).
  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);

  // driver::TreeViewModel (tree_view_input.cpp).
  std::vector<HTREEITEM> ChildItems(HTREEITEM parent) const override;
  bool Item(HTREEITEM item, driver::TreeItemInfo* info) const override;
  HIMAGELIST ImageList() const override;
  HTREEITEM Selection() const override;

  // core::TreeInput (tree_view_input.cpp).
  void ClickItem(HTREEITEM item) override;
  void RightClickItem(HTREEITEM item) override;
  void ExpandItem(HTREEITEM item, bool expand) override;
  POINT ItemPoint(HTREEITEM item) const override;
  void BeginDrag(HTREEITEM item) override;

 private:
  struct Node {
    HTREEITEM handle = nullptr;
    Node* parent = nullptr;
    Node* previous = nullptr;
    Node* next = nullptr;
    std::vector<Node*> children;
    bool childrenInOrder = true;  // children known to stand in text order
    std::string text;
    // As on Windows, an item shows image 0 until told otherwise.
    int image = 0;
    int selectedImage = 0;
    int cChildren = 0;
    UINT state = 0;
    LPARAM lParam = 0;
    int level = 0;  // 0 for the roots
  };

  // ---- items (tree_view.cpp) ----
  Node* Find(HTREEITEM item) const;
  HTREEITEM InsertItem(const TVINSERTSTRUCTA& insert);
  bool DeleteItem(HTREEITEM item);
  void RemoveItem(Node* node);
  void RemoveChildren(Node* node);
  void Link(Node* node, Node* parent, size_t position);
  void Unlink(Node* node);
  size_t SortedPosition(const Node* parent, const std::string& text) const;
  void SetFields(Node* node, const TVITEMA& item);
  bool GetItem(TVITEMA* item) const;
  HTREEITEM GetNextItem(UINT code, HTREEITEM item) const;

  // ---- expansion, selection, geometry (tree_view_expand.cpp) ----
  bool HasChildren(Node* node);
  bool Expand(Node* node, bool user);
  bool Collapse(Node* node, bool reset, bool user);
  bool Toggle(Node* node, bool user);
  bool SelectItem(Node* node, UINT cause);
  LRESULT NotifyTree(UINT code, UINT action, UINT mask, const Node* oldItem, const Node* newItem,
                     POINT drag = {}) const;
  bool Visible(const Node* node) const;
  Node* NextVisible(const Node* node) const;
  Node* PreviousVisible(const Node* node) const;
  Node* LastVisible() const;
  int VisibleRow(const Node* node) const;
  Node* NodeAtRow(int row) const;
  int ItemHeight() const;
  int TextWidth(const std::string& text) const;
  int LinesOffset(const Node* node) const;
  int TextOffset(const Node* node) const;
  bool ItemRect(const Node* node, bool textOnly, RECT* rect) const;
  Node* HitTest(TVHITTESTINFO* info) const;
  bool EnsureVisible(Node* node);

  // ---- mouse, keys, label editing (tree_view_input.cpp) ----
  static constexpr UINT_PTR kEditTimer = 0x5456;  // the delayed label edit of a second click
  void OnButtonDown(POINT at);
  void OnButtonUp(POINT at);
  void OnDoubleClick(POINT at);
  void OnRightButtonUp(POINT at);
  void OnMouseMove(DWORD keys, POINT at);
  void OnKeyDown(int key);
  void OnEditTimer();
  HWND EditLabel(Node* node);
  void EndEditLabel(bool save);
  POINT ButtonPoint(const Node* node) const;
  void PressItem(HTREEITEM item, UINT down, UINT up);
  void Announce(driver::Change change) const;

  LRESULT Notify(UINT code, NMHDR* header) const;

  HWND m_window;
  Notifier m_notifier;
  DWORD m_style;
  Node m_root;
  std::unordered_map<std::uintptr_t, std::unique_ptr<Node>> m_nodes;
  Node* m_selected = nullptr;
  Node* m_dropTarget = nullptr;
  HIMAGELIST m_images[3] = {nullptr, nullptr, nullptr};
  int m_topRow = 0;
  int m_indent = 19;
  bool m_redraw = true;
  bool m_hasFocus = false;

  bool m_buttonDown = false;
  bool m_dragging = false;
  POINT m_clickPoint{};
  HTREEITEM m_pressed = nullptr;

  controls::LabelEditor m_editor;
  Node* m_editNode = nullptr;
};

}  // namespace ui::controls
