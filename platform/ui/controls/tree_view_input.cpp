// The tree view's mouse, keys and label editing as comctl32 answers them,
// and what the driver sees and does: items and their expansion, clicks on
// labels and buttons made as mouse messages at the item's place.
#include <algorithm>
#include <cstdlib>
#include <utility>

#include "platform/ui/controls/common_control.h"
#include "platform/ui/controls/tree_view.h"
#include "platform/ui/core/announce.h"
#include "platform/ui/user32.h"

namespace ui::controls {

using driver::Change;

namespace {

constexpr int kVkAdd = 0x6B;
constexpr int kVkSubtract = 0x6D;
constexpr int kLabelLimit = 260;  // MAX_PATH, comctl32's label buffer

}  // namespace

void TreeViewState::OnButtonDown(POINT at) {
  // A press anywhere ends a label edit first, by taking the focus.
  if (m_editor.Active()) {
    SetFocus(m_window);
    return;
  }
  HWND self = m_window;
  TVHITTESTINFO hit{};
  hit.pt = at;
  Node* node = HitTest(&hit);
  bool track = node != nullptr && !(m_style & TVS_DISABLEDRAGDROP) && (hit.flags & TVHT_ONITEM);
  if (track) {
    // Whether this is a click or a drag shows when the mouse moves or the
    // button comes up.
    m_buttonDown = true;
    m_dragging = false;
    m_pressed = node->handle;
    m_clickPoint = at;
    return;
  }
  NMHDR header{};
  if (Notify(NM_CLICK, &header) == 0 && IsWindow(self) && node != nullptr && (hit.flags & TVHT_ONITEMBUTTON)) {
    Toggle(node, true);
  }
  if (IsWindow(self)) SetFocus(m_window);
}

void TreeViewState::OnButtonUp(POINT) {
  if (!m_buttonDown) return;
  m_buttonDown = false;
  HTREEITEM pressed = std::exchange(m_pressed, nullptr);
  if (std::exchange(m_dragging, false)) return;
  HWND self = m_window;
  NMHDR header{};
  if (Notify(NM_CLICK, &header) != 0 || !IsWindow(self)) {
    if (IsWindow(self)) SetFocus(m_window);
    return;
  }
  Node* node = Find(pressed);
  TVHITTESTINFO hit{};
  hit.pt = m_clickPoint;
  if (node != nullptr && HitTest(&hit) == node) {
    if ((m_style & TVS_EDITLABELS) && (hit.flags & TVHT_ONITEMLABEL) && m_selected == node) {
      // A second click on the selected label edits it once the time for a
      // double click has passed.
      SetTimer(m_window, kEditTimer, kLabelEditDelayMs, nullptr);
    } else if (hit.flags & (TVHT_ONITEMICON | TVHT_ONITEMLABEL)) {
      SelectItem(node, TVC_BYMOUSE);
    }
  }
  if (IsWindow(self)) SetFocus(m_window);
}

void TreeViewState::OnDoubleClick(POINT at) {
  HWND self = m_window;
  SetFocus(m_window);
  if (!IsWindow(self)) return;
  KillTimer(m_window, kEditTimer);
  TVHITTESTINFO hit{};
  hit.pt = at;
  Node* node = HitTest(&hit);
  if (node == nullptr) return;
  HTREEITEM handle = node->handle;
  NMHDR header{};
  if (Notify(NM_DBLCLK, &header) != 0 || !IsWindow(self)) return;
  node = Find(handle);
  if (node != nullptr && (hit.flags & (TVHT_ONITEMLABEL | TVHT_ONITEMICON | TVHT_ONITEMBUTTON | TVHT_ONITEMSTATEICON))) {
    Toggle(node, true);
  }
}

void TreeViewState::OnRightButtonUp(POINT at) {
  HWND self = m_window;
  SetFocus(m_window);
  if (!IsWindow(self)) return;
  NMHDR header{};
  if (Notify(NM_RCLICK, &header) != 0 || !IsWindow(self)) return;
  // The tree asks its parent for the menu directly.
  POINT screen = at;
  ClientToScreen(m_window, &screen);
  SendMessageA(m_notifier.Parent(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(m_window), PointParam(screen));
}

void TreeViewState::OnMouseMove(DWORD keys, POINT at) {
  if (!m_buttonDown || !(keys & MK_LBUTTON) || m_dragging) return;
  if (std::abs(at.x - m_clickPoint.x) <= GetSystemMetrics(SM_CXDRAG) &&
      std::abs(at.y - m_clickPoint.y) <= GetSystemMetrics(SM_CYDRAG)) {
    return;
  }
  Node* node = Find(m_pressed);
  if (node == nullptr) return;
  m_dragging = true;
  NotifyTree(TVN_BEGINDRAGA, 0, TVIF_HANDLE | TVIF_STATE | TVIF_PARAM, nullptr, node, m_clickPoint);
}

void TreeViewState::OnKeyDown(int key) {
  HWND self = m_window;
  NMTVKEYDOWN info{};
  info.wVKey = static_cast<WORD>(key);
  Notify(TVN_KEYDOWN, &info.hdr);
  if (!IsWindow(self) || m_selected == nullptr) return;
  Node* current = m_selected;
  Node* next = nullptr;
  RECT client{};
  GetClientRect(m_window, &client);
  int page = std::max(1, static_cast<int>(client.bottom) / ItemHeight());
  auto walk = [&](int steps) {
    Node* at = current;
    for (int step = 0; step < std::abs(steps); ++step) {
      Node* moved = steps > 0 ? NextVisible(at) : PreviousVisible(at);
      if (moved == nullptr) break;
      at = moved;
    }
    return at;
  };
  switch (key) {
    case VK_UP:
      next = PreviousVisible(current);
      if (next == nullptr && !m_root.children.empty()) next = m_root.children.front();
      break;
    case VK_DOWN:
      next = NextVisible(current);
      break;
    case VK_RETURN: {
      NMHDR header{};
      Notify(NM_RETURN, &header);
      return;
    }
    case VK_HOME:
      next = m_root.children.empty() ? nullptr : m_root.children.front();
      break;
    case VK_END:
      next = LastVisible();
      break;
    case VK_LEFT:
      if (current->state & TVIS_EXPANDED) {
        Collapse(current, false, true);
      } else if (current->parent != &m_root) {
        next = current->parent;
      }
      break;
    case VK_RIGHT:
      if (HasChildren(current) && IsWindow(self) && m_selected == current) {
        if (!(current->state & TVIS_EXPANDED)) {
          Expand(current, true);
        } else if (!current->children.empty()) {
          next = current->children.front();
        }
      }
      break;
    case kVkAdd:
      Expand(current, true);
      break;
    case kVkSubtract:
      Collapse(current, false, true);
      break;
    case VK_BACK:
      if (current->parent != &m_root) next = current->parent;
      break;
    case VK_PRIOR:
      next = walk(-page);
      break;
    case VK_NEXT:
      next = walk(page);
      break;
    default:
      break;
  }
  if (IsWindow(self) && next != nullptr && next != current) SelectItem(next, TVC_BYKEYBOARD);
}

void TreeViewState::OnEditTimer() {
  if (m_hasFocus && m_selected != nullptr) EditLabel(m_selected);
}

// ---- label editing ----

HWND TreeViewState::EditLabel(Node* node) {
  if (!(m_style & TVS_EDITLABELS)) return nullptr;
  if (m_editor.Active()) return m_editor.Window();
  HWND self = m_window;
  HTREEITEM handle = node->handle;
  EnsureVisible(node);
  node = Find(handle);
  if (!IsWindow(self) || node == nullptr) return nullptr;
  HWND edit = m_editor.Open(m_window, node->text.substr(0, kLabelLimit - 1), kLabelLimit - 1,
                            [this](bool save) { EndEditLabel(save); });
  if (edit == nullptr) return nullptr;
  m_editNode = node;
  NMTVDISPINFOA info{};
  info.item.mask = TVIF_HANDLE | TVIF_STATE | TVIF_PARAM | TVIF_TEXT;
  info.item.hItem = handle;
  info.item.state = node->state;
  info.item.lParam = node->lParam;
  info.item.pszText = const_cast<char*>(node->text.c_str());
  info.item.cchTextMax = static_cast<int>(node->text.size()) + 1;
  if (Notify(TVN_BEGINLABELEDITA, &info.hdr) != 0) {
    if (IsWindow(self)) {
      m_editNode = nullptr;
      m_editor.Discard();
    }
    return nullptr;
  }
  if (!IsWindow(self) || !IsWindow(edit) || Find(handle) == nullptr) return nullptr;
  RECT text{};
  ItemRect(node, true, &text);
  MoveWindow(edit, text.left - 2, text.top - 1, text.right - text.left + 2 * TextWidth("W") + 3,
             text.bottom - text.top + 3, FALSE);
  SetFocus(edit);
  SendMessageA(edit, EM_SETSEL, 0, -1);
  ShowWindow(edit, SW_SHOW);
  return edit;
}

void TreeViewState::EndEditLabel(bool save) {
  Node* node = std::exchange(m_editNode, nullptr);
  if (node == nullptr) return;
  HWND self = m_window;
  HWND edit = m_editor.Window();
  HTREEITEM handle = node->handle;
  std::string text;
  if (save) {
    int length = GetWindowTextLengthA(edit);
    text.resize(static_cast<size_t>(length) + 1);
    text.resize(static_cast<size_t>(GetWindowTextA(edit, text.data(), length + 1)));
  }
  // An untouched label ends as a cancelled one.
  bool offered = save && text != node->text;
  NMTVDISPINFOA info{};
  info.item.hItem = handle;
  info.item.state = node->state;
  info.item.lParam = node->lParam;
  if (offered) {
    info.item.mask = TVIF_TEXT;
    info.item.pszText = text.data();
    info.item.cchTextMax = static_cast<int>(text.size()) + 1;
  }
  LRESULT commit = Notify(TVN_ENDLABELEDITA, &info.hdr);
  if (!commit || !offered || !IsWindow(self)) return;
  if (Node* edited = Find(handle)) {
    TVITEMA fields{};
    fields.mask = TVIF_TEXT;
    fields.pszText = text.data();
    SetFields(edited, fields);
    Announce(Change::kItems);
  }
}

// ---- what the driver sees ----

std::vector<HTREEITEM> TreeViewState::ChildItems(HTREEITEM parent) const {
  const Node* node = parent == nullptr || parent == TVI_ROOT ? &m_root : Find(parent);
  std::vector<HTREEITEM> items;
  if (node == nullptr) return items;
  items.reserve(node->children.size());
  for (const Node* child : node->children) items.push_back(child->handle);
  return items;
}

bool TreeViewState::Item(HTREEITEM item, driver::TreeItemInfo* info) const {
  const Node* node = Find(item);
  if (node == nullptr || info == nullptr) return false;
  info->item = node->handle;
  info->text = node->text;
  info->image = node->image;
  info->selectedImage = node->selectedImage;
  // A count the parent gives on request shows the button, as it is drawn.
  info->hasChildren = node->cChildren != 0;
  info->expanded = (node->state & TVIS_EXPANDED) != 0;
  info->selected = (node->state & TVIS_SELECTED) != 0;
  return true;
}

HIMAGELIST TreeViewState::ImageList() const { return m_images[TVSIL_NORMAL]; }

HTREEITEM TreeViewState::Selection() const { return m_selected != nullptr ? m_selected->handle : nullptr; }

// ---- what the driver does ----

POINT TreeViewState::ItemPoint(HTREEITEM item) const {
  const Node* node = Find(item);
  RECT text{};
  if (node == nullptr || !ItemRect(node, true, &text)) return POINT{0, 0};
  return POINT{text.left + std::min(4, static_cast<int>(text.right - text.left) / 2), (text.top + text.bottom) / 2};
}

POINT TreeViewState::ButtonPoint(const Node* node) const {
  RECT row{};
  ItemRect(node, false, &row);
  return POINT{LinesOffset(node) + m_indent / 2, (row.top + row.bottom) / 2};
}

void TreeViewState::PressItem(HTREEITEM item, UINT down, UINT up) {
  Node* node = Find(item);
  if (node == nullptr) return;
  HWND self = m_window;
  EnsureVisible(node);
  if (!IsWindow(self) || Find(item) == nullptr) return;
  POINT at = ItemPoint(item);
  SendMessageA(self, down, down == WM_RBUTTONDOWN ? MK_RBUTTON : MK_LBUTTON, PointParam(at));
  if (IsWindow(self)) SendMessageA(self, up, 0, PointParam(at));
}

void TreeViewState::ClickItem(HTREEITEM item) { PressItem(item, WM_LBUTTONDOWN, WM_LBUTTONUP); }

void TreeViewState::RightClickItem(HTREEITEM item) { PressItem(item, WM_RBUTTONDOWN, WM_RBUTTONUP); }

void TreeViewState::ExpandItem(HTREEITEM item, bool expand) {
  Node* node = Find(item);
  // Nothing to do, or no button to press.
  if (node == nullptr || ((node->state & TVIS_EXPANDED) != 0) == expand || node->cChildren == 0) return;
  HWND self = m_window;
  EnsureVisible(node);
  node = Find(item);
  if (!IsWindow(self) || node == nullptr) return;
  if ((m_style & TVS_HASBUTTONS) && LinesOffset(node) >= 0) {
    POINT at = ButtonPoint(node);
    SendMessageA(self, WM_LBUTTONDOWN, MK_LBUTTON, PointParam(at));
    if (IsWindow(self)) SendMessageA(self, WM_LBUTTONUP, 0, PointParam(at));
    return;
  }
  // Without a button a person double-clicks the label.
  POINT at = ItemPoint(item);
  SendMessageA(self, WM_LBUTTONDOWN, MK_LBUTTON, PointParam(at));
  if (IsWindow(self)) SendMessageA(self, WM_LBUTTONUP, 0, PointParam(at));
  if (IsWindow(self)) SendMessageA(self, WM_LBUTTONDBLCLK, MK_LBUTTON, PointParam(at));
  if (IsWindow(self)) SendMessageA(self, WM_LBUTTONUP, 0, PointParam(at));
}

void TreeViewState::BeginDrag(HTREEITEM item) {
  Node* node = Find(item);
  if (node == nullptr) return;
  HWND self = m_window;
  EnsureVisible(node);
  if (!IsWindow(self) || Find(item) == nullptr) return;
  PressAndDragAway(self, ItemPoint(item));
  // The drag loop takes the button's release; the press ends without a click.
  if (!IsWindow(self)) return;
  m_buttonDown = false;
  m_dragging = false;
  m_pressed = nullptr;
}

}  // namespace ui::controls
