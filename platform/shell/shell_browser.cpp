// What the browser offers its view (IShellBrowser), and the view's life:
// made by the folder, its window made beside the tree, activated, told to
// save its state into its folder's stream, and destroyed when the browser
// moves on or closes.
#include "platform/shell/browser_window.h"

#include "platform/base/codepage.h"
#include "platform/shell/browser_menus.h"
#include "platform/shell/my_computer.h"
#include "platform/shell/view_state_streams.h"
#include "platform/ui/progress_status.h"
#include "platform/ui/user32.h"

HRESULT ShellBrowser::GetWindow(HWND* window) {
  if (window == nullptr) return E_POINTER;
  *window = m_window;
  return m_window != nullptr ? S_OK : E_FAIL;
}

HRESULT ShellBrowser::ContextSensitiveHelp(BOOL) { return E_NOTIMPL; }

HRESULT ShellBrowser::InsertMenusSB(HMENU shared, LPOLEMENUGROUPWIDTHS widths) {
  return InsertBrowserMenus(shared, widths);
}

HRESULT ShellBrowser::SetMenuSB(HMENU shared, HOLEMENU, HWND) {
  if (m_window == nullptr) return E_FAIL;
  if (shared != nullptr && !IsMenu(shared)) return E_INVALIDARG;
  SetMenu(m_window, shared != nullptr ? shared : m_ownMenu);
  DrawMenuBar(m_window);
  return S_OK;
}

HRESULT ShellBrowser::RemoveMenusSB(HMENU shared) {
  // A view that takes its menu back while it is still shown gets the
  // browser's own bar in its place.
  if (m_window != nullptr && GetMenu(m_window) == shared) SetMenuSB(nullptr, nullptr, nullptr);
  return RemoveBrowserMenus(shared);
}

HRESULT ShellBrowser::SetStatusTextSB(LPCOLESTR text) {
  if (m_status == nullptr) return E_FAIL;
  const std::string ansi = text != nullptr ? WideToAnsi(text) : std::string();
  SendMessageA(m_status, SB_SETTEXTA, 0, reinterpret_cast<LPARAM>(ansi.c_str()));
  return S_OK;
}

HRESULT ShellBrowser::EnableModelessSB(BOOL) { return S_OK; }

HRESULT ShellBrowser::TranslateAcceleratorSB(MSG* msg, WORD) {
  if (msg == nullptr) return E_POINTER;
  if (m_window == nullptr || m_accelerators == nullptr) return S_FALSE;
  return TranslateAcceleratorA(m_window, m_accelerators, msg) != 0 ? S_OK : S_FALSE;
}

HRESULT ShellBrowser::BrowseObject(LPCITEMIDLIST list, UINT flags) {
  if (m_window == nullptr) return E_FAIL;
  UniqueItemIdList target;
  if ((flags & SBSP_PARENT) != 0) {
    target.reset(ILClone(m_current.get()));
    if (target == nullptr || !ILRemoveLastID(target.get()) || target->mkid.cb == 0)
      return E_FAIL;
  } else if ((flags & SBSP_RELATIVE) != 0) {
    target.reset(ILCombine(m_current.get(), list));
  } else {
    target.reset(ILClone(list));
  }
  if (target == nullptr) return E_INVALIDARG;
  // The folder must be there before the browser promises to go to it.
  ComPtr<IShellFolder> folder;
  const HRESULT bound = BindToFolder(target.get(), folder.Out());
  if (FAILED(bound)) return bound;
  if ((flags & SBSP_NEWBROWSER) != 0) return Open(target.get(), m_explore) != nullptr ? S_OK : E_FAIL;
  // The view that asks is still running: it is replaced once it has
  // returned.
  if (!PostMessageA(m_window, kBrowseMessage, 0, reinterpret_cast<LPARAM>(target.get())))
    return E_FAIL;
  target.release();
  return S_OK;
}

HRESULT ShellBrowser::GetViewStateStream(DWORD mode, IStream** stream) {
  if (stream == nullptr) return E_POINTER;
  *stream = nullptr;
  if (m_current == nullptr) return E_FAIL;
  return OpenViewStateStream(m_current.get(), mode, stream);
}

HRESULT ShellBrowser::GetControlWindow(UINT id, HWND* window) {
  if (window == nullptr) return E_POINTER;
  *window = nullptr;
  if (id == FCW_STATUS) *window = m_status;
  if (id == FCW_TREE && m_tree) *window = m_tree->Window();
  return *window != nullptr ? S_OK : E_FAIL;
}

HRESULT ShellBrowser::SendControlMsg(UINT id, UINT message, WPARAM wParam, LPARAM lParam,
                                     LRESULT* result) {
  HWND control = nullptr;
  const HRESULT found = GetControlWindow(id, &control);
  if (result != nullptr) *result = 0;
  if (FAILED(found)) return found;
  const LRESULT answer = SendMessageA(control, message, wParam, lParam);
  if (result != nullptr) *result = answer;
  return S_OK;
}

HRESULT ShellBrowser::QueryActiveShellView(IShellView** view) {
  if (view == nullptr) return E_POINTER;
  *view = m_view.Get();
  if (*view == nullptr) return E_FAIL;
  (*view)->AddRef();
  return S_OK;
}

HRESULT ShellBrowser::OnViewWindowActive(IShellView* view) {
  if (view == nullptr || view != m_view.Get()) return E_INVALIDARG;
  ActivateView(SVUIA_ACTIVATE_FOCUS);
  return S_OK;
}

HRESULT ShellBrowser::SetToolbarItems(LPTBBUTTONSB, UINT, UINT) { return E_NOTIMPL; }

HRESULT ShellBrowser::Navigate(LPCITEMIDLIST list) {
  ComPtr<IShellFolder> folder;
  HRESULT result = BindToFolder(list, folder.Out());
  if (FAILED(result)) return result;
  UniqueItemIdList current(ILClone(list));
  if (current == nullptr) return E_OUTOFMEMORY;
  // The view leaving saves its state into its own folder's stream.
  if (m_view) {
    m_view->GetCurrentInfo(&m_settings);
    m_view->SaveViewState();
  }
  m_current = std::move(current);
  m_folder = folder;
  ShowView(folder.Get());
  ShowTitle();
  if (m_tree) {
    m_selectingInTree = true;
    m_tree->Select(m_current.get());
    m_selectingInTree = false;
  }
  return S_OK;
}

void ShellBrowser::ShowView(IShellFolder* folder) {
  ComPtr<IShellView> previous = m_view;
  // Where the person is now decides where the focus goes: the tree keeps
  // it, anywhere else the new view takes it.
  const bool treeFocused = m_tree && GetFocus() == m_tree->Window();
  ComPtr<IShellView> view;
  HWND viewWindow = nullptr;
  // A folder without a view of its own leaves the pane empty.
  if (SUCCEEDED(folder->CreateViewObject(m_window, IID_IShellView, view.OutVoid())) && view) {
    RECT rect = ViewRect();
    ComPtr<IShellView2> view2;
    HRESULT created = E_FAIL;
    if (SUCCEEDED(view.As(IID_IShellView2, &view2))) {
      SHELLVIEWID viewId{};
      const bool hasDefault = SUCCEEDED(view2->GetView(&viewId, SV2GV_DEFAULTVIEW));
      SV2CVW2_PARAMS params{};
      params.cbSize = sizeof params;
      params.psvPrev = previous.Get();
      params.pfs = &m_settings;
      params.psbOwner = this;
      params.prcView = &rect;
      params.pvid = hasDefault ? &viewId : nullptr;
      created = view2->CreateViewWindow2(&params);
      viewWindow = params.hwndView;
    } else {
      created = view->CreateViewWindow(previous.Get(), &m_settings, this, &rect, &viewWindow);
    }
    if (FAILED(created) || viewWindow == nullptr) {
      view.Reset();
      viewWindow = nullptr;
    }
  }
  DestroyView();
  m_view = view;
  m_viewWindow = viewWindow;
  if (!m_view) {
    if (m_status != nullptr) SendMessageA(m_status, SB_SETTEXTA, 0, reinterpret_cast<LPARAM>(""));
    return;
  }
  Layout();
  ShowWindow(m_viewWindow, SW_SHOW);
  ActivateView(treeFocused ? SVUIA_ACTIVATE_NOFOCUS : SVUIA_ACTIVATE_FOCUS);
}

void ShellBrowser::DestroyView() {
  ComPtr<IShellView> view = m_view;
  if (!view) return;
  if (m_viewState != SVUIA_DEACTIVATE) view->UIActivate(SVUIA_DEACTIVATE);
  m_viewState = SVUIA_DEACTIVATE;
  // Forgotten first: the focus that leaves the view's window as it goes
  // must not find its way back to it, nor wake it again.
  m_view.Reset();
  m_viewWindow = nullptr;
  view->DestroyViewWindow();
}

void ShellBrowser::ActivateView(UINT state) {
  if (!m_view || state == m_viewState) return;
  m_viewState = state;
  ComPtr<IShellView> view = m_view;
  view->UIActivate(state);
}

void ShellBrowser::ShowTitle() {
  std::u16string name;
  if (FAILED(DisplayNameOfList(m_current.get(), SHGDN_NORMAL, &name))) name.clear();
  const std::string title = (m_explore ? "Exploring - " : "") + WideToAnsi(name);
  SetWindowTextA(m_window, title.c_str());
}

void ShellBrowser::Refresh() {
  if (m_tree) m_tree->RefreshChildren(m_current.get());
  if (m_view) m_view->Refresh();
}
