// The tree view's expansion and selection, with the notifications and
// their order as comctl32 sends them, and the geometry of the visible rows:
// every item whose ancestors are all expanded, top to bottom, each a row
// as high as the font or the images, indented by its level.
//
// TVM_EXPAND tells the parent only the first time an item is expanded
// (TVIS_EXPANDEDONCE); a person's click on the button, a key or a double
// click tells it every time.
#include <algorithm>

#include "platform/ui/controls/tree_view.h"
#include "platform/ui/controls/common_control.h"
#include "platform/ui/core/announce.h"
#include "platform/ui/user32.h"

namespace ui::controls {

using driver::Change;

namespace {

constexpr UINT kExpandMask = TVIF_HANDLE | TVIF_STATE | TVIF_PARAM | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
constexpr UINT kSelectMask = TVIF_TEXT | TVIF_HANDLE | TVIF_STATE | TVIF_PARAM;

}  // namespace

LRESULT TreeViewState::NotifyTree(UINT code, UINT action, UINT mask, const Node* oldItem,
                                  const Node* newItem, POINT drag) const {
  NMTREEVIEWA info{};
  info.action = action;
  info.ptDrag = drag;
  auto fill = [mask](TVITEMA& item, const Node* node) {
    if (node == nullptr) return;
    item.mask = mask;
    item.hItem = node->handle;
    item.state = node->state;
    item.iImage = node->image;
    item.iSelectedImage = node->selectedImage;
    item.cChildren = node->cChildren;
    item.lParam = node->lParam;
    if (mask & TVIF_TEXT) {
      item.pszText = const_cast<char*>(node->text.c_str());
      item.cchTextMax = static_cast<int>(node->text.size()) + 1;
    }
  };
  fill(info.itemOld, oldItem);
  fill(info.itemNew, newItem);
  return Notify(code, &info.hdr);
}

bool TreeViewState::HasChildren(Node* node) {
  if (node->cChildren == I_CHILDRENCALLBACK) {
    // The parent says, each time it is asked.
    NMTVDISPINFOA info{};
    info.item.mask = TVIF_CHILDREN;
    info.item.hItem = node->handle;
    info.item.state = node->state;
    info.item.lParam = node->lParam;
    info.item.cChildren = I_CHILDRENCALLBACK;
    HWND self = m_window;
    HTREEITEM handle = node->handle;
    Notify(TVN_GETDISPINFOA, &info.hdr);
    if (!IsWindow(self) || Find(handle) != node) return false;
    return info.item.cChildren != 0 && info.item.cChildren != I_CHILDRENCALLBACK;
  }
  return node->cChildren != 0;
}

bool TreeViewState::Expand(Node* node, bool user) {
  HWND self = m_window;
  HTREEITEM handle = node->handle;
  if (!HasChildren(node)) return false;
  bool tell = user || (node->cChildren != 0 && !(node->state & TVIS_EXPANDEDONCE));
  if (tell) {
    // The parent fills the children now if it fills them lazily, and may refuse.
    if (NotifyTree(TVN_ITEMEXPANDINGA, TVE_EXPAND, kExpandMask, nullptr, node) != 0) return false;
    if (!IsWindow(self) || Find(handle) != node) return false;
  }
  if (node->children.empty()) {
    Announce(Change::kItems);
    return false;
  }
  node->state |= TVIS_EXPANDED;
  Announce(Change::kItems);
  if (tell) {
    NotifyTree(TVN_ITEMEXPANDEDA, TVE_EXPAND, kExpandMask, nullptr, node);
    if (!IsWindow(self) || Find(handle) != node) return true;
    node->state |= TVIS_EXPANDEDONCE;
  }
  return true;
}

bool TreeViewState::Collapse(Node* node, bool reset, bool user) {
  HWND self = m_window;
  HTREEITEM handle = node->handle;
  UINT action = TVE_COLLAPSE | (reset ? TVE_COLLAPSERESET : 0);
  if (!HasChildren(node)) return false;
  // A collapse is told of but cannot be refused.
  if (user) {
    NotifyTree(TVN_ITEMEXPANDINGA, action, kExpandMask, nullptr, node);
    if (!IsWindow(self) || Find(handle) != node) return false;
  }
  if (node->children.empty()) return false;
  bool wasExpanded = (node->state & TVIS_EXPANDED) != 0;
  node->state &= ~TVIS_EXPANDED;
  if (wasExpanded && user) {
    NotifyTree(TVN_ITEMEXPANDEDA, action, kExpandMask, nullptr, node);
    if (!IsWindow(self) || Find(handle) != node) return false;
  }
  bool selectionHidden = false;
  for (Node* at = m_selected != nullptr ? m_selected->parent : nullptr; at != nullptr; at = at->parent) {
    selectionHidden = selectionHidden || at == node;
  }
  if (reset) {
    int children = node->cChildren;
    node->state &= ~TVIS_EXPANDEDONCE;
    RemoveChildren(node);
    if (!IsWindow(self) || Find(handle) != node) return false;
    node->cChildren = children;
  }
  Announce(Change::kItems);
  if (!wasExpanded) return false;
  // The selection comes up to the collapsed item without notifications.
  if (selectionHidden) {
    if (m_selected != nullptr) m_selected->state &= ~TVIS_SELECTED;
    node->state |= TVIS_SELECTED;
    m_selected = node;
    Announce(Change::kSelection);
  }
  return true;
}

bool TreeViewState::Toggle(Node* node, bool user) {
  return (node->state & TVIS_EXPANDED) ? Collapse(node, false, user) : Expand(node, user);
}

bool TreeViewState::SelectItem(Node* node, UINT cause) {
  Node* previous = m_selected;
  if (previous == node) {
    if (node != nullptr) EnsureVisible(node);
    return true;
  }
  HWND self = m_window;
  HTREEITEM previousHandle = previous != nullptr ? previous->handle : nullptr;
  HTREEITEM handle = node != nullptr ? node->handle : nullptr;
  if (NotifyTree(TVN_SELCHANGINGA, cause, kSelectMask, previous, node) != 0) return false;
  if (!IsWindow(self)) return false;
  previous = Find(previousHandle);
  node = Find(handle);
  if (handle != nullptr && node == nullptr) return false;
  if (previous != nullptr) previous->state &= ~TVIS_SELECTED;
  if (node != nullptr) node->state |= TVIS_SELECTED;
  m_selected = node;
  if (node != nullptr) {
    EnsureVisible(node);
    if (!IsWindow(self)) return true;
  }
  Announce(Change::kSelection);
  NotifyTree(TVN_SELCHANGEDA, cause, kSelectMask, Find(previousHandle), Find(handle));
  return true;
}

// ---- the visible rows ----

bool TreeViewState::Visible(const Node* node) const {
  for (const Node* at = node->parent; at != nullptr; at = at->parent) {
    if (!(at->state & TVIS_EXPANDED)) return false;
  }
  return true;
}

TreeViewState::Node* TreeViewState::NextVisible(const Node* node) const {
  if ((node->state & TVIS_EXPANDED) && !node->children.empty()) return node->children.front();
  for (const Node* at = node; at != nullptr && at != &m_root; at = at->parent) {
    if (at->next != nullptr) return at->next;
  }
  return nullptr;
}

TreeViewState::Node* TreeViewState::PreviousVisible(const Node* node) const {
  if (node->previous == nullptr) return node->parent != &m_root ? node->parent : nullptr;
  Node* at = node->previous;
  while ((at->state & TVIS_EXPANDED) && !at->children.empty()) at = at->children.back();
  return at;
}

TreeViewState::Node* TreeViewState::LastVisible() const {
  if (m_root.children.empty()) return nullptr;
  Node* at = m_root.children.back();
  while ((at->state & TVIS_EXPANDED) && !at->children.empty()) at = at->children.back();
  return at;
}

int TreeViewState::VisibleRow(const Node* node) const {
  if (!Visible(node) || m_root.children.empty()) return -1;
  int row = 0;
  for (const Node* at = m_root.children.front(); at != nullptr; at = NextVisible(at), ++row) {
    if (at == node) return row;
  }
  return -1;
}

TreeViewState::Node* TreeViewState::NodeAtRow(int row) const {
  if (row < 0 || m_root.children.empty()) return nullptr;
  Node* at = m_root.children.front();
  for (int index = 0; at != nullptr && index < row; ++index) at = NextVisible(at);
  return at;
}

int TreeViewState::ItemHeight() const {
  int width = 0, height = 0;
  if (m_images[TVSIL_NORMAL] != nullptr) ImageList_GetIconSize(m_images[TVSIL_NORMAL], &width, &height);
  int itemHeight = std::max({16, WindowFontMetrics(m_window).height + 3, height});
  return (m_style & TVS_NONEVENHEIGHT) ? itemHeight : itemHeight & ~1;
}

int TreeViewState::TextWidth(const std::string& text) const {
  return WindowFontMetrics(m_window).averageWidth * static_cast<int>(text.size());
}

int TreeViewState::LinesOffset(const Node* node) const {
  bool linesAtRoot = (m_style & TVS_LINESATROOT) && (m_style & (TVS_HASLINES | TVS_HASBUTTONS));
  return m_indent * (linesAtRoot ? node->level : node->level - 1);
}

int TreeViewState::TextOffset(const Node* node) const {
  int width = 0, height = 0, stateWidth = 0;
  if (m_images[TVSIL_NORMAL] != nullptr) ImageList_GetIconSize(m_images[TVSIL_NORMAL], &width, &height);
  if ((node->state & TVIS_STATEIMAGEMASK) && m_images[TVSIL_STATE] != nullptr) {
    ImageList_GetIconSize(m_images[TVSIL_STATE], &stateWidth, &height);
  }
  return LinesOffset(node) + m_indent + stateWidth + width;
}

bool TreeViewState::ItemRect(const Node* node, bool textOnly, RECT* rect) const {
  int row = VisibleRow(node);
  if (row < 0) return false;
  RECT client{};
  GetClientRect(m_window, &client);
  int height = ItemHeight();
  int top = (row - m_topRow) * height;
  if (textOnly) {
    int left = TextOffset(node);
    *rect = RECT{left, top, left + TextWidth(node->text) + 4, top + height};
  } else {
    *rect = RECT{0, top, client.right, top + height};
  }
  return true;
}

TreeViewState::Node* TreeViewState::HitTest(TVHITTESTINFO* info) const {
  info->hItem = nullptr;
  RECT client{};
  GetClientRect(m_window, &client);
  POINT at = info->pt;
  UINT outside = 0;
  if (at.x < client.left) outside |= TVHT_TOLEFT;
  else if (at.x > client.right) outside |= TVHT_TORIGHT;
  if (at.y < client.top) outside |= TVHT_ABOVE;
  else if (at.y > client.bottom) outside |= TVHT_BELOW;
  if (outside != 0) {
    info->flags = outside;
    return nullptr;
  }
  Node* node = NodeAtRow(m_topRow + at.y / ItemHeight());
  if (node == nullptr) {
    info->flags = TVHT_NOWHERE;
    return nullptr;
  }
  int text = TextOffset(node);
  int width = 0, height = 0;
  if (m_images[TVSIL_NORMAL] != nullptr) ImageList_GetIconSize(m_images[TVSIL_NORMAL], &width, &height);
  int image = text - width;
  int state = LinesOffset(node) + m_indent;
  if (at.x >= text + TextWidth(node->text)) {
    info->flags = TVHT_ONITEMRIGHT;
  } else if (at.x >= text) {
    info->flags = TVHT_ONITEMLABEL;
  } else if (at.x >= image) {
    info->flags = TVHT_ONITEMICON;
  } else if (at.x >= state) {
    info->flags = TVHT_ONITEMSTATEICON;
  } else if (at.x >= LinesOffset(node) && (m_style & TVS_HASBUTTONS)) {
    info->flags = TVHT_ONITEMBUTTON;
  } else {
    info->flags = TVHT_ONITEMINDENT;
  }
  info->hItem = node->handle;
  return node;
}

bool TreeViewState::EnsureVisible(Node* node) {
  HWND self = m_window;
  HTREEITEM handle = node->handle;
  // Collapsed ancestors open, as a person would open them.
  for (Node* at = node->parent; at != nullptr && at != &m_root;) {
    HTREEITEM up = at->parent != &m_root ? at->parent->handle : nullptr;
    if (!(at->state & TVIS_EXPANDED)) Expand(at, true);
    if (!IsWindow(self)) return false;
    at = up != nullptr ? Find(up) : nullptr;
  }
  node = Find(handle);
  if (node == nullptr) return false;
  int row = VisibleRow(node);
  if (row < 0) return false;
  RECT client{};
  GetClientRect(m_window, &client);
  int rows = std::max(1, static_cast<int>(client.bottom) / ItemHeight());
  int top = m_topRow;
  if (row < top) top = row;
  else if (row >= top + rows) top = row - rows + 1;
  if (top == m_topRow) return false;
  m_topRow = top;
  return true;
}

}  // namespace ui::controls
