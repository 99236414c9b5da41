// The folder tree's editing, done by the folders' own context menus, data
// objects, drop targets and renames.
#include "platform/shell/tree_edits.h"

#include <functional>
#include <string>

#include "platform/base/codepage.h"
#include "platform/com/com_object.h"
#include "platform/shell/context_menu.h"
#include "platform/shell/my_computer.h"
#include "platform/ui/menu.h"
#include "platform/ui/ole/drag_drop.h"
#include "platform/ui/user32.h"

namespace {

HTREEITEM ItemAt(HWND tree, POINTL screen) {
  TVHITTESTINFO hit{};
  hit.pt = POINT{screen.x, screen.y};
  ScreenToClient(tree, &hit.pt);
  return TreeView_HitTest(tree, &hit);
}

// A drag of a tree item: on while the left button is held.
class TreeDropSource final : public ComObject<TreeDropSource, IDropSource> {
 public:
  InterfaceTable Interfaces() { return {{&IID_IDropSource, static_cast<IDropSource*>(this)}}; }
  HRESULT QueryContinueDrag(BOOL escapePressed, DWORD keyState) override {
    if (escapePressed) return DRAGDROP_S_CANCEL;
    return (keyState & MK_LBUTTON) == 0 ? DRAGDROP_S_DROP : S_OK;
  }
  HRESULT GiveFeedback(DWORD) override { return DRAGDROP_S_USEDEFAULTCURSORS; }
};

// Drops onto the tree go to the drop target of the item under the pointer,
// which changes as the pointer moves.
class TreeDropTarget final : public ComObject<TreeDropTarget, IDropTarget> {
 public:
  using Find = std::function<HRESULT(HTREEITEM, IDropTarget**)>;
  TreeDropTarget(HWND tree, Find find) : m_tree(tree), m_find(std::move(find)) {}
  InterfaceTable Interfaces() { return {{&IID_IDropTarget, static_cast<IDropTarget*>(this)}}; }

  HRESULT DragEnter(IDataObject* data, DWORD keys, POINTL point, DWORD* effect) override {
    m_data = ComPtr<IDataObject>(data);
    m_item = nullptr;
    m_inner.Reset();
    return DragOver(keys, point, effect);
  }
  HRESULT DragOver(DWORD keys, POINTL point, DWORD* effect) override {
    if (effect == nullptr) return E_INVALIDARG;
    const DWORD allowed = *effect;
    HTREEITEM item = ItemAt(m_tree, point);
    if (item != m_item) {
      if (m_inner) m_inner->DragLeave();
      m_inner.Reset();
      m_item = item;
      if (item != nullptr && SUCCEEDED(m_find(item, m_inner.Out())) && m_inner &&
          FAILED(m_inner->DragEnter(m_data.Get(), keys, point, effect))) {
        m_inner.Reset();
      }
    }
    *effect = allowed;
    if (!m_inner) {
      *effect = DROPEFFECT_NONE;
      return S_OK;
    }
    return m_inner->DragOver(keys, point, effect);
  }
  HRESULT DragLeave() override {
    if (m_inner) m_inner->DragLeave();
    m_inner.Reset();
    m_data.Reset();
    m_item = nullptr;
    return S_OK;
  }
  HRESULT Drop(IDataObject* data, DWORD keys, POINTL point, DWORD* effect) override {
    DWORD allowed = effect != nullptr ? *effect : DROPEFFECT_NONE;
    DragOver(keys, point, &allowed);
    ComPtr<IDropTarget> inner = m_inner;
    m_inner.Reset();
    m_data.Reset();
    m_item = nullptr;
    if (!inner) {
      if (effect != nullptr) *effect = DROPEFFECT_NONE;
      return S_OK;
    }
    return inner->Drop(data, keys, point, effect);
  }

 private:
  HWND m_tree;
  Find m_find;
  ComPtr<IDataObject> m_data;
  HTREEITEM m_item = nullptr;
  ComPtr<IDropTarget> m_inner;
};

}  // namespace

TreeEdits::TreeEdits(FolderTree* tree, HWND owner) : m_tree(tree), m_owner(owner) {
  HWND window = m_tree->Window();
  SetWindowLongA(window, GWL_STYLE, GetWindowLongA(window, GWL_STYLE) | TVS_EDITLABELS);
  ComPtr<IDropTarget> target;
  if (SUCCEEDED(TreeDropTarget::NewInstance(
          IID_IDropTarget, target.OutVoid(), window,
          TreeDropTarget::Find([this](HTREEITEM item, IDropTarget** inner) {
            return ItemObject(item, IID_IDropTarget, reinterpret_cast<void**>(inner));
          })))) {
    m_target = target;
    RegisterDragDrop(window, target.Get());
  }
}

TreeEdits::~TreeEdits() {
  if (m_target) RevokeDragDrop(m_tree->Window());
}

HRESULT TreeEdits::ItemObject(HTREEITEM item, REFIID iid, void** object) {
  *object = nullptr;
  LPCITEMIDLIST list = m_tree->ListOf(item);
  if (list == nullptr) return E_FAIL;
  UniqueItemIdList parent(ILClone(list));
  if (parent == nullptr || !ILRemoveLastID(parent.get()) || parent->mkid.cb == 0) return E_FAIL;
  ComPtr<IShellFolder> folder;
  HRESULT result = BindToFolder(parent.get(), folder.Out());
  if (FAILED(result)) return result;
  LPCITEMIDLIST last = ILFindLastID(list);
  return folder->GetUIObjectOf(m_owner, 1, &last, iid, nullptr, object);
}

void TreeEdits::ContextMenu(LPARAM point) {
  HWND window = m_tree->Window();
  POINT at{static_cast<short>(LOWORD(static_cast<uintptr_t>(point))),
           static_cast<short>(HIWORD(static_cast<uintptr_t>(point)))};
  HTREEITEM item =
      at.x == -1 && at.y == -1 ? TreeView_GetSelection(window) : ItemAt(window, POINTL{at.x, at.y});
  if (item == nullptr) return;
  ComPtr<IContextMenu> menu;
  if (FAILED(ItemObject(item, IID_IContextMenu, menu.OutVoid()))) return;
  TrackContextMenu(menu.Get(), m_owner, at, CMF_EXPLORE);
}

void TreeEdits::Invoke(HTREEITEM item, const char* verb) {
  ComPtr<IContextMenu> menu;
  if (item == nullptr || FAILED(ItemObject(item, IID_IContextMenu, menu.OutVoid()))) return;
  CMINVOKECOMMANDINFO invoke{};
  invoke.cbSize = sizeof invoke;
  invoke.hwnd = m_owner;
  invoke.lpVerb = verb;
  invoke.nShow = SW_SHOWNORMAL;
  menu->InvokeCommand(&invoke);
}

bool TreeEdits::TranslateKey(MSG* msg) {
  HWND window = m_tree->Window();
  if (msg->hwnd != window || msg->message != WM_KEYDOWN) return false;
  HTREEITEM item = TreeView_GetSelection(window);
  const bool control = (GetKeyState(VK_CONTROL) & 0x8000) != 0;
  const char* verb = nullptr;
  switch (msg->wParam) {
    case 'X':
      verb = control ? "cut" : nullptr;
      break;
    case 'C':
      verb = control ? "copy" : nullptr;
      break;
    case 'V':
      verb = control ? "paste" : nullptr;
      break;
    case VK_DELETE:
      verb = "delete";
      break;
    case VK_F2:
      if (item != nullptr) TreeView_EditLabel(window, item);
      return item != nullptr;
    default:
      break;
  }
  if (verb == nullptr || item == nullptr) return false;
  Invoke(item, verb);
  return true;
}

bool TreeEdits::OnNotify(const NMHDR* header, LRESULT* result) {
  if (header->hwndFrom != m_tree->Window()) return false;
  switch (header->code) {
    case TVN_BEGINDRAGA:
      BeginDrag(reinterpret_cast<const NMTREEVIEWA*>(header)->itemNew.hItem);
      *result = 0;
      return true;
    case TVN_BEGINLABELEDITA: {
      // Only what its folder says can be renamed.
      HTREEITEM item = reinterpret_cast<const NMTVDISPINFOA*>(header)->item.hItem;
      LPCITEMIDLIST list = m_tree->ListOf(item);
      UniqueItemIdList parent(list != nullptr ? ILClone(list) : nullptr);
      ComPtr<IShellFolder> folder;
      SFGAOF attributes = SFGAO_CANRENAME;
      LPCITEMIDLIST last = list != nullptr ? ILFindLastID(list) : nullptr;
      const bool can = parent != nullptr && ILRemoveLastID(parent.get()) && parent->mkid.cb != 0 &&
                       SUCCEEDED(BindToFolder(parent.get(), folder.Out())) &&
                       SUCCEEDED(folder->GetAttributesOf(1, &last, &attributes)) &&
                       (attributes & SFGAO_CANRENAME) != 0;
      *result = can ? FALSE : TRUE;
      return true;
    }
    case TVN_ENDLABELEDITA: {
      const TVITEMA& item = reinterpret_cast<const NMTVDISPINFOA*>(header)->item;
      *result = EndLabelEdit(item.hItem, item.pszText) ? TRUE : FALSE;
      return true;
    }
    default:
      return false;
  }
}

bool TreeEdits::EndLabelEdit(HTREEITEM item, const char* text) {
  if (text == nullptr) return false;
  LPCITEMIDLIST list = m_tree->ListOf(item);
  if (list == nullptr) return false;
  UniqueItemIdList parent(ILClone(list));
  ComPtr<IShellFolder> folder;
  if (parent == nullptr || !ILRemoveLastID(parent.get()) ||
      FAILED(BindToFolder(parent.get(), folder.Out()))) {
    return false;
  }
  const std::u16string name = AnsiToWide(text);
  // The folder tells the shell of the rename, which lists the tree again.
  return SUCCEEDED(
      folder->SetNameOf(m_owner, ILFindLastID(list), name.c_str(), SHGDN_INFOLDER, nullptr));
}

void TreeEdits::BeginDrag(HTREEITEM item) {
  ComPtr<IDataObject> data;
  if (item == nullptr || FAILED(ItemObject(item, IID_IDataObject, data.OutVoid()))) return;
  ComPtr<IDropSource> source;
  if (FAILED(TreeDropSource::NewInstance(IID_IDropSource, source.OutVoid()))) return;
  DWORD effect = DROPEFFECT_NONE;
  DoDragDrop(data.Get(), source.Get(), DROPEFFECT_COPY | DROPEFFECT_MOVE, &effect);
}
