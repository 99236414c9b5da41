// The tree view's window procedure and its items: insertion first, last,
// after an item or in text order, deletion with TVN_DELETEITEM for every
// item (a node's children before it), reading and writing fields, and the
// walks of TVM_GETNEXTITEM.
#include "platform/ui/controls/tree_view.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <utility>

#include "platform/ui/controls/common_control.h"
#include "platform/ui/controls/control_procs.h"
#include "platform/ui/controls/text_compare.h"
#include "platform/ui/core/announce.h"
#include "platform/ui/user32.h"

namespace ui::controls {

using driver::Change;

namespace {

bool HasText(LPCSTR text) { return text != nullptr && text != LPSTR_TEXTCALLBACKA; }

HTREEITEM NewHandle() {
  static std::atomic<std::uintptr_t> next{1};
  return reinterpret_cast<HTREEITEM>(next.fetch_add(1));
}

}  // namespace

TreeViewState::TreeViewState(HWND window, HWND notify, DWORD style)
    : m_window(window), m_notifier(window, notify), m_style(style) {
  m_root.state = TVIS_EXPANDED;
  m_root.level = -1;
}

LRESULT TreeViewState::Notify(UINT code, NMHDR* header) const { return m_notifier.Send(code, header); }

void TreeViewState::Announce(Change change) const {
  // Nothing is shown while redraw is off; switching it on shows all afresh.
  if (m_redraw) core::Announce(m_window, change);
}

TreeViewState::Node* TreeViewState::Find(HTREEITEM item) const {
  auto it = m_nodes.find(reinterpret_cast<std::uintptr_t>(item));
  return it == m_nodes.end() ? nullptr : it->second.get();
}

void TreeViewState::Link(Node* node, Node* parent, size_t position) {
  node->parent = parent;
  node->level = parent->level + 1;
  auto& siblings = parent->children;
  position = std::min(position, siblings.size());
  siblings.insert(siblings.begin() + static_cast<long>(position), node);
  node->previous = position > 0 ? siblings[position - 1] : nullptr;
  node->next = position + 1 < siblings.size() ? siblings[position + 1] : nullptr;
  if (node->previous != nullptr) node->previous->next = node;
  if (node->next != nullptr) node->next->previous = node;
  if (parent->childrenInOrder) {
    bool afterPrevious = node->previous == nullptr || CompareText(node->previous->text, node->text) <= 0;
    bool beforeNext = node->next == nullptr || CompareText(node->text, node->next->text) <= 0;
    parent->childrenInOrder = afterPrevious && beforeNext;
  }
}

void TreeViewState::Unlink(Node* node) {
  Node* parent = node->parent;
  auto& siblings = parent->children;
  siblings.erase(std::find(siblings.begin(), siblings.end(), node));
  if (node->previous != nullptr) node->previous->next = node->next;
  if (node->next != nullptr) node->next->previous = node->previous;
  // A parent whose last child goes loses its button.
  if (siblings.empty()) {
    parent->childrenInOrder = true;
    if (parent->cChildren > 0) parent->cChildren = 0;
  }
}

size_t TreeViewState::SortedPosition(const Node* parent, const std::string& text) const {
  // Windows walks the children: before the first one the new text sorts
  // before, or right after the first one equal to it.
  const auto& siblings = parent->children;
  if (parent->childrenInOrder) {
    auto at = std::partition_point(siblings.begin(), siblings.end(),
                                   [&](const Node* child) { return CompareText(child->text, text) < 0; });
    size_t position = static_cast<size_t>(at - siblings.begin());
    if (at != siblings.end() && CompareText((*at)->text, text) == 0) ++position;
    return position;
  }
  for (size_t position = 0; position < siblings.size(); ++position) {
    int comparison = CompareText(text, siblings[position]->text);
    if (comparison < 0) return position;
    if (comparison == 0) return position + 1;
  }
  return siblings.size();
}

void TreeViewState::SetFields(Node* node, const TVITEMA& item) {
  if (item.mask & TVIF_TEXT) {
    node->text = HasText(item.pszText) ? item.pszText : "";
    Node* parent = node->parent;
    if (parent != nullptr && parent->childrenInOrder) {
      bool afterPrevious = node->previous == nullptr || CompareText(node->previous->text, node->text) <= 0;
      bool beforeNext = node->next == nullptr || CompareText(node->text, node->next->text) <= 0;
      parent->childrenInOrder = afterPrevious && beforeNext;
    }
  }
  if (item.mask & TVIF_CHILDREN) node->cChildren = item.cChildren;
  if (item.mask & TVIF_IMAGE) node->image = item.iImage;
  if (item.mask & TVIF_SELECTEDIMAGE) node->selectedImage = item.iSelectedImage;
  if (item.mask & TVIF_PARAM) node->lParam = item.lParam;
  if (item.mask & TVIF_STATE) node->state = (node->state & ~item.stateMask) | (item.state & item.stateMask);
}

HTREEITEM TreeViewState::InsertItem(const TVINSERTSTRUCTA& insert) {
  Node* parent = &m_root;
  if (insert.hParent != TVI_ROOT && insert.hParent != nullptr) {
    parent = Find(insert.hParent);
    if (parent == nullptr) return nullptr;
  }
  auto node = std::make_unique<Node>();
  node->handle = NewHandle();
  SetFields(node.get(), insert.item);

  size_t position;
  HTREEITEM after = insert.hInsertAfter;
  if (after == TVI_FIRST) {
    position = 0;
  } else if (after == TVI_SORT) {
    position = SortedPosition(parent, node->text);
  } else {
    // An item to follow that is not the parent's child means the end.
    Node* previous = after != TVI_LAST ? Find(after) : nullptr;
    position = previous != nullptr && previous->parent == parent
                   ? static_cast<size_t>(std::find(parent->children.begin(), parent->children.end(), previous) -
                                         parent->children.begin()) + 1
                   : parent->children.size();
  }
  Node* raw = node.get();
  m_nodes.emplace(reinterpret_cast<std::uintptr_t>(raw->handle), std::move(node));
  Link(raw, parent, position);
  if (parent != &m_root && parent->cChildren == 0) parent->cChildren = 1;
  Announce(Change::kItems);
  return raw->handle;
}

void TreeViewState::RemoveChildren(Node* node) {
  HWND self = m_window;
  while (!node->children.empty()) {
    RemoveItem(node->children.front());
    if (!IsWindow(self)) return;
  }
}

void TreeViewState::RemoveItem(Node* node) {
  HWND self = m_window;
  HTREEITEM handle = node->handle;
  RemoveChildren(node);
  if (!IsWindow(self) || Find(handle) != node) return;
  NotifyTree(TVN_DELETEITEMA, TVC_UNKNOWN, TVIF_HANDLE | TVIF_PARAM, node, nullptr);
  if (!IsWindow(self) || Find(handle) != node) return;
  Unlink(node);
  if (m_selected == node) m_selected = nullptr;
  if (m_dropTarget == node) m_dropTarget = nullptr;
  if (m_pressed == handle) m_pressed = nullptr;
  if (m_editNode == node) {
    m_editNode = nullptr;
    m_editor.Discard();
  }
  m_nodes.erase(reinterpret_cast<std::uintptr_t>(handle));
}

bool TreeViewState::DeleteItem(HTREEITEM item) {
  HWND self = m_window;
  if (item == TVI_ROOT || item == nullptr) {
    RemoveChildren(&m_root);
    if (IsWindow(self)) {
      m_topRow = 0;
      Announce(Change::kItems);
    }
    return true;
  }
  Node* node = Find(item);
  if (node == nullptr) return false;
  // A selection inside what goes moves to the next sibling, the parent or
  // the previous sibling, in that order of preference.
  HTREEITEM newSelection = nullptr;
  bool selectionGoes = false;
  for (Node* at = m_selected; at != nullptr; at = at->parent) selectionGoes = selectionGoes || at == node;
  if (selectionGoes) {
    if (node->next != nullptr) {
      newSelection = node->next->handle;
    } else if (node->parent != &m_root) {
      newSelection = node->parent->handle;
    } else if (node->previous != nullptr) {
      newSelection = node->previous->handle;
    }
  }
  RemoveItem(node);
  if (!IsWindow(self)) return true;
  if (m_selected == nullptr && newSelection != nullptr) {
    if (Node* next = Find(newSelection)) SelectItem(next, TVC_UNKNOWN);
    if (!IsWindow(self)) return true;
  }
  Announce(Change::kItems);
  return true;
}

bool TreeViewState::GetItem(TVITEMA* item) const {
  if (item == nullptr) return false;
  const Node* node = Find(item->hItem);
  if (node == nullptr) return false;
  if (item->mask & TVIF_TEXT) {
    if (item->pszText != nullptr && item->cchTextMax > 0) {
      size_t length = std::min(node->text.size(), static_cast<size_t>(item->cchTextMax) - 1);
      std::memcpy(item->pszText, node->text.data(), length);
      item->pszText[length] = '\0';
    }
  }
  if (item->mask & TVIF_CHILDREN) item->cChildren = node->cChildren;
  if (item->mask & TVIF_IMAGE) item->iImage = node->image;
  if (item->mask & TVIF_SELECTEDIMAGE) item->iSelectedImage = node->selectedImage;
  // Windows always hands back the item data and the state.
  item->lParam = node->lParam;
  item->state = node->state;
  return true;
}

HTREEITEM TreeViewState::GetNextItem(UINT code, HTREEITEM item) const {
  auto handleOf = [](const Node* node) { return node != nullptr ? node->handle : nullptr; };
  const Node* first = m_root.children.empty() ? nullptr : m_root.children.front();
  switch (code) {
    case TVGN_ROOT:
      return handleOf(first);
    case TVGN_CARET:
      return handleOf(m_selected);
    case TVGN_DROPHILITE:
      return handleOf(m_dropTarget);
    case TVGN_FIRSTVISIBLE:
      return handleOf(NodeAtRow(m_topRow));
    case TVGN_LASTVISIBLE:
      return handleOf(LastVisible());
    case TVGN_CHILD:
      // The child of no item is the first root.
      if (item == nullptr || item == TVI_ROOT) return handleOf(first);
      break;
    default:
      break;
  }
  const Node* node = Find(item);
  if (node == nullptr) return nullptr;
  switch (code) {
    case TVGN_NEXT:
      return handleOf(node->next);
    case TVGN_PREVIOUS:
      return handleOf(node->previous);
    case TVGN_PARENT:
      return node->parent != &m_root ? handleOf(node->parent) : nullptr;
    case TVGN_CHILD:
      return node->children.empty() ? nullptr : node->children.front()->handle;
    case TVGN_NEXTVISIBLE:
      return handleOf(NextVisible(node));
    case TVGN_PREVIOUSVISIBLE:
      return handleOf(PreviousVisible(node));
    default:
      return nullptr;
  }
}

LRESULT TreeViewState::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  auto point = [lParam] {
    return POINT{static_cast<SHORT>(LOWORD(static_cast<std::uintptr_t>(lParam))),
                 static_cast<SHORT>(HIWORD(static_cast<std::uintptr_t>(lParam)))};
  };
  auto item = reinterpret_cast<HTREEITEM>(lParam);
  switch (message) {
    case TVM_INSERTITEMA:
      return lParam != 0 ? reinterpret_cast<LRESULT>(InsertItem(*reinterpret_cast<const TVINSERTSTRUCTA*>(lParam)))
                         : 0;
    case TVM_DELETEITEM:
      return DeleteItem(item);
    case TVM_GETITEMA:
      return GetItem(reinterpret_cast<TVITEMA*>(lParam));
    case TVM_SETITEMA: {
      const auto* fields = reinterpret_cast<const TVITEMA*>(lParam);
      Node* node = fields != nullptr ? Find(fields->hItem) : nullptr;
      if (node == nullptr) return FALSE;
      SetFields(node, *fields);
      Announce(Change::kItems);
      return TRUE;
    }
    case TVM_GETITEMSTATE: {
      Node* node = Find(reinterpret_cast<HTREEITEM>(wParam));
      return node != nullptr ? static_cast<LRESULT>(node->state & static_cast<UINT>(lParam)) : 0;
    }
    case TVM_GETNEXTITEM:
      return reinterpret_cast<LRESULT>(GetNextItem(static_cast<UINT>(wParam), item));
    case TVM_GETCOUNT:
      return static_cast<LRESULT>(m_nodes.size());
    case TVM_EXPAND: {
      Node* node = Find(item);
      if (node == nullptr) return FALSE;
      switch (wParam & TVE_TOGGLE) {
        case TVE_COLLAPSE:
          return Collapse(node, (wParam & TVE_COLLAPSERESET) != 0, false);
        case TVE_EXPAND:
          return Expand(node, false);
        case TVE_TOGGLE:
          return Toggle(node, false);
        default:
          return FALSE;
      }
    }
    case TVM_SELECTITEM: {
      Node* node = item != nullptr ? Find(item) : nullptr;
      if (item != nullptr && node == nullptr) return FALSE;
      switch (wParam) {
        case TVGN_CARET:
          return node == m_selected || SelectItem(node, TVC_UNKNOWN);
        case TVGN_DROPHILITE:
          if (m_dropTarget != nullptr) m_dropTarget->state &= ~TVIS_DROPHILITED;
          m_dropTarget = node;
          if (node != nullptr) node->state |= TVIS_DROPHILITED;
          Announce(Change::kItems);
          return TRUE;
        case TVGN_FIRSTVISIBLE:
          if (node != nullptr) {
            EnsureVisible(node);
            m_topRow = std::max(0, VisibleRow(node));
          }
          return TRUE;
        default:
          return FALSE;
      }
    }
    case TVM_SETIMAGELIST: {
      if (wParam != TVSIL_NORMAL && wParam != TVSIL_STATE) return 0;
      HIMAGELIST old = std::exchange(m_images[wParam], reinterpret_cast<HIMAGELIST>(lParam));
      int width = 0, height = 0;
      // Wide images widen the indent.
      if (wParam == TVSIL_NORMAL && ImageList_GetIconSize(m_images[wParam], &width, &height) && width > 19) {
        m_indent = width;
      }
      Announce(Change::kItems);
      return reinterpret_cast<LRESULT>(old);
    }
    case TVM_GETIMAGELIST:
      return wParam == TVSIL_NORMAL || wParam == TVSIL_STATE ? reinterpret_cast<LRESULT>(m_images[wParam]) : 0;
    case TVM_GETINDENT:
      return m_indent;
    case TVM_SETINDENT:
      m_indent = std::max(19, static_cast<int>(wParam));
      return 0;
    case TVM_GETITEMHEIGHT:
      return ItemHeight();
    case TVM_GETVISIBLECOUNT: {
      RECT client{};
      GetClientRect(m_window, &client);
      return client.bottom / ItemHeight();
    }
    case TVM_HITTEST: {
      auto* info = reinterpret_cast<TVHITTESTINFO*>(lParam);
      Node* node = info != nullptr ? HitTest(info) : nullptr;
      return reinterpret_cast<LRESULT>(node != nullptr ? node->handle : nullptr);
    }
    case TVM_GETITEMRECT: {
      // The item to measure arrives in the rectangle itself.
      auto* rect = reinterpret_cast<RECT*>(lParam);
      if (rect == nullptr) return FALSE;
      Node* node = Find(*reinterpret_cast<HTREEITEM*>(rect));
      return node != nullptr && ItemRect(node, wParam != 0, rect);
    }
    case TVM_ENSUREVISIBLE: {
      Node* node = Find(item);
      return node != nullptr && EnsureVisible(node);
    }
    case TVM_EDITLABELA: {
      Node* node = Find(item);
      return node != nullptr ? reinterpret_cast<LRESULT>(EditLabel(node)) : 0;
    }
    case TVM_GETEDITCONTROL:
      return reinterpret_cast<LRESULT>(m_editor.Window());
    case TVM_ENDEDITLABELNOW:
      if (!m_editor.Active()) return FALSE;
      m_editor.End(wParam == 0);
      return TRUE;

    case WM_LBUTTONDOWN:
      OnButtonDown(point());
      return 0;
    case WM_LBUTTONUP:
      OnButtonUp(point());
      return 0;
    case WM_LBUTTONDBLCLK:
      OnDoubleClick(point());
      return 0;
    case WM_RBUTTONDOWN:
      // Windows waits out a right drag in the press; the click is told at
      // the release, below.
      if (m_editor.Active()) SetFocus(m_window);
      return 0;
    case WM_RBUTTONUP:
      OnRightButtonUp(point());
      return 0;
    case WM_MOUSEMOVE:
      OnMouseMove(static_cast<DWORD>(wParam), point());
      return 0;
    case WM_KEYDOWN:
      OnKeyDown(static_cast<int>(wParam));
      return 0;
    case WM_GETDLGCODE:
      return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_TIMER:
      if (wParam != kEditTimer) break;
      KillTimer(m_window, kEditTimer);
      OnEditTimer();
      return 0;
    case WM_SETFOCUS:
      if (!m_hasFocus) {
        m_hasFocus = true;
        NMHDR header{};
        Notify(NM_SETFOCUS, &header);
      }
      return 0;
    case WM_KILLFOCUS:
      if (m_hasFocus) {
        m_hasFocus = false;
        NMHDR header{};
        Notify(NM_KILLFOCUS, &header);
      }
      return 0;
    case WM_COMMAND:
      return m_editor.ForwardCommand(m_notifier.Parent(), wParam, lParam);
    case WM_SETREDRAW:
      m_redraw = wParam != 0;
      break;
    case WM_STYLECHANGED:
      m_style = static_cast<DWORD>(GetWindowLongA(m_window, GWL_STYLE));
      break;
    case WM_DESTROY:
      // Every item goes, each told of, while the parent still listens.
      RemoveChildren(&m_root);
      break;
    default:
      break;
  }
  return DefWindowProcA(m_window, message, wParam, lParam);
}

LRESULT TreeViewProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return CommonControlProc<TreeViewState>(window, message, wParam, lParam);
}

}  // namespace ui::controls
