// The view host: its window, the control it shows and the switch between
// the classic list and the web view, the merged menus, and the calls it
// passes on to the control.
#include "shellfolder/mp3db_def_view.h"

#include <string>

#include "platform/shell/context_menu.h"
#include "platform/ui/user32.h"
#include "shellfolder/mp3db_classic_view.h"
#include "shellfolder/mp3db_web_view.h"
#include "shellfolder/view_dispatch.h"
#include "shellfolder/view_resources.h"
#include "shellfolder/view_window.h"

namespace {

constexpr char kClassName[] = "Mp3DbDefView";
constexpr char kTitle[] = "Mp3 Default View";
// The pop-ups of menu 210 that go into Explorer's.
constexpr int kEditPopup = 1;
constexpr int kViewPopup = 2;

HMENU PopupWithId(HMENU bar, UINT id) {
  MENUITEMINFOA info{};
  info.cbSize = sizeof info;
  info.fMask = MIIM_SUBMENU;
  return GetMenuItemInfoA(bar, id, FALSE, &info) ? info.hSubMenu : nullptr;
}

// Inserts the items of from into into at position, but for commands into
// already has (Explorer's View menu has "as Web Page" of its own); no
// separator comes first or after another. Answers how many went in.
UINT InsertItems(HMENU from, HMENU into, UINT position) {
  const UINT start = position;
  const int count = GetMenuItemCount(from);
  bool afterSeparator = true;
  for (int i = 0; i < count; ++i) {
    const UINT state = GetMenuState(from, static_cast<UINT>(i), MF_BYPOSITION);
    if (state & MF_SEPARATOR) {
      if (!afterSeparator) InsertMenuA(into, position++, MF_BYPOSITION | MF_SEPARATOR, 0, nullptr);
      afterSeparator = true;
      continue;
    }
    const UINT id = GetMenuItemID(from, i);
    if (GetMenuState(into, id, MF_BYCOMMAND) != static_cast<UINT>(-1)) continue;
    char text[128] = {};
    GetMenuStringA(from, static_cast<UINT>(i), text, sizeof text, MF_BYPOSITION);
    InsertMenuA(into, position++, MF_BYPOSITION | MF_STRING | (state & (MF_GRAYED | MF_CHECKED)),
                id, text);
    afterSeparator = false;
  }
  return position - start;
}

}  // namespace

HRESULT Mp3DbDefView::Create(REFIID iid, void** object) { return NewInstance(iid, object); }

Mp3DbDefView::~Mp3DbDefView() { DestroyView(); }

InterfaceTable Mp3DbDefView::Interfaces() {
  auto* host = static_cast<IMp3DbDefView*>(this);
  return {{&IID_IMp3DbDefView, host}, {&IID_IDispatch, host}};
}

// --- the window ---

LRESULT Mp3DbDefView::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* host = cobrell::ViewOfWindow<Mp3DbDefView>(window, message, lParam);
  if (host == nullptr) return DefWindowProcA(window, message, wParam, lParam);
  if (message == WM_NCCREATE) host->m_window = window;
  if (message == WM_NCDESTROY) {
    host->m_window = nullptr;
    return DefWindowProcA(window, message, wParam, lParam);
  }
  return host->OnMessage(message, wParam, lParam);
}

LRESULT Mp3DbDefView::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SIZE:
      if (HWND control = ControlWindow()) {
        MoveWindow(control, 0, 0, LOWORD(static_cast<uintptr_t>(lParam)),
                   HIWORD(static_cast<uintptr_t>(lParam)), TRUE);
      }
      return 0;
    case WM_SETFOCUS:
      ForControl([](auto* control) { return control->SetFocus(); });
      return 0;
    case WM_COMMAND:
      if (OnCommand(LOWORD(wParam))) return 0;
      break;
    case WM_INITMENUPOPUP: {
      CheckMenuItem(reinterpret_cast<HMENU>(wParam), cobrell::kCommandWebView,
                    MF_BYCOMMAND | (m_web ? MF_CHECKED : MF_UNCHECKED));
      BOOL handled = FALSE;
      ForControl(
          [&](auto* control) { return control->InitMenuPopup(message, wParam, lParam, &handled); });
      return 0;
    }
    case WM_COPYDATA: {
      BOOL handled = FALSE;
      ForControl(
          [&](auto* control) { return control->OnCopyData(message, wParam, lParam, &handled); });
      return handled;
    }
    default:
      break;
  }
  return DefWindowProcA(m_window, message, wParam, lParam);
}

bool Mp3DbDefView::OnCommand(UINT command) {
  using namespace cobrell;
  BOOL done = FALSE;
  auto viewMode = [this](UINT mode) {
    UINT current = 0;
    UINT flags = 0;
    GetCurrentInfo(&current, &flags);
    SetCurrentInfo(mode, flags);
  };
  switch (command) {
    case kCommandWebView:
      SwitchView();
      return true;
    case kCommandCut:
    case kCommandCopy:
      ForControl([&](auto* c) { return c->OnEditCopyCut(command == kCommandCut, &done); });
      return true;
    case kCommandPaste:
      ForControl([](auto* c) { return c->OnEditPaste(); });
      return true;
    case kCommandSelectAll:
      ForControl([](auto* c) { return c->OnSelectAll(); });
      return true;
    case kCommandInvertSelection:
      ForControl([](auto* c) { return c->OnInvertSelection(); });
      return true;
    case kCommandOpen:
      ForControl([](auto* c) { return c->OnEnter(); });
      return true;
    case kCommandDelete:
      ForControl([](auto* c) { return c->OnDelete(); });
      return true;
    case kCommandRename:
      ForControl([](auto* c) { return c->OnEditLabel(); });
      return true;
    case kCommandNew:
      NewFromBackground();
      return true;
    case kCommandLargeIcons:
      viewMode(FVM_ICON);
      return true;
    case kCommandSmallIcons:
      viewMode(FVM_SMALLICON);
      return true;
    case kCommandList:
      viewMode(FVM_LIST);
      return true;
    case kCommandDetails:
      viewMode(FVM_DETAILS);
      return true;
    default:
      return false;
  }
}

// New is the folder background's command (its context menu has it where a
// playlist can be made).
void Mp3DbDefView::NewFromBackground() {
  if (!m_folder) return;
  ComPtr<IContextMenu> menu;
  if (FAILED(m_folder->GetUIObjectOf(m_window, 0, nullptr, IID_IContextMenu, nullptr,
                                     menu.OutVoid()))) {
    return;
  }
  CMINVOKECOMMANDINFO invoke{};
  invoke.cbSize = sizeof invoke;
  invoke.hwnd = m_window;
  invoke.lpVerb = "new";
  menu->InvokeCommand(&invoke);
}

HWND Mp3DbDefView::ControlWindow() {
  HWND window = nullptr;
  ForControl([&](auto* control) { return control->GetWindow(&window); });
  return window;
}

// --- the control shown ---

HRESULT Mp3DbDefView::ShowControl(REFCLSID viewId, UINT viewMode, UINT flags) {
  RECT client{};
  GetClientRect(m_window, &client);
  HWND made = nullptr;
  auto create = [&](auto* control) {
    return control->CreateView(m_shellView, m_browser.Get(), m_folder.Get(), m_window, client.top,
                               client.left, client.bottom, client.right, viewMode, flags, &made);
  };
  ComPtr<IMp3DbClassicView> classic;
  ComPtr<IMp3DbWebView> web;
  HRESULT result;
  if (IsEqualGUID(viewId, CLSID_Mp3DbClassicView)) {
    result = Mp3DbClassicView::Create(IID_IMp3DbClassicView, classic.OutVoid());
    if (SUCCEEDED(result)) result = create(classic.Get());
    if (FAILED(result) && classic) classic->DestroyView();
  } else {
    result = Mp3DbWebView::Create(IID_IMp3DbWebView, web.OutVoid());
    if (SUCCEEDED(result)) result = create(web.Get());
    if (FAILED(result) && web) web->DestroyView();
  }
  if (FAILED(result)) return result;
  ForControl([](auto* control) { return control->DestroyView(); });
  m_classic = classic;
  m_web = web;
  m_current = viewId;
  return S_OK;
}

void Mp3DbDefView::SwitchView() {
  UINT viewMode = FVM_DETAILS;
  UINT flags = 0;
  GetCurrentInfo(&viewMode, &flags);
  // The other view starts from this one's sort.
  ComPtr<IStream> stream;
  if (m_browser && SUCCEEDED(m_browser->GetViewStateStream(STGM_WRITE, stream.Out())) && stream)
    SaveViewState(stream.Get());
  stream.Reset();
  ShowControl(m_web ? CLSID_Mp3DbClassicView : CLSID_Mp3DbWebView, viewMode, flags);
  if (m_uiState == SVUIA_ACTIVATE_FOCUS)
    ForControl([](auto* control) { return control->SetFocus(); });
}

// --- IMp3DbDefView ---

HRESULT Mp3DbDefView::CreateView(Mp3DbViewCreateInfo* info, IShellFolder* pIShellFolder) {
  if (info == nullptr || info->pvid == nullptr || pIShellFolder == nullptr) return E_INVALIDARG;
  info->hwndView = nullptr;
  const bool web = IsEqualGUID(*info->pvid, CLSID_Mp3DbWebView);
  if (!web && !IsEqualGUID(*info->pvid, CLSID_Mp3DbClassicView)) return E_FAIL;
  if (m_window != nullptr) return E_UNEXPECTED;
  m_shellView = info->pIUnkShellView;
  m_browser.Reset();
  if (info->pIUnkShellBrowser != nullptr)
    info->pIUnkShellBrowser->QueryInterface(IID_IShellBrowser, m_browser.OutVoid());
  m_folder = ComPtr<IShellFolder>(pIShellFolder);

  static const ATOM registered = cobrell::RegisterViewClass(kClassName, &WindowProc);
  if (registered == 0) return HResultFromWin32(GetLastError());
  HWND parent = nullptr;
  if (m_browser) m_browser->GetWindow(&parent);
  const RECT& rect = info->prcView;
  if (CreateWindowExA(0, kClassName, kTitle, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, rect.left,
                      rect.top, rect.right - rect.left, rect.bottom - rect.top, parent, nullptr,
                      cobrell::Resources(), this) == nullptr) {
    return HResultFromWin32(GetLastError());
  }
  HRESULT shown = ShowControl(*info->pvid, info->uViewMode, info->uFlags);
  // A web page that cannot be shown leaves the plain list.
  if (FAILED(shown) && web)
    shown = ShowControl(CLSID_Mp3DbClassicView, info->uViewMode, info->uFlags);
  if (FAILED(shown)) {
    DestroyView();
    return shown;
  }
  info->hwndView = m_window;
  return S_OK;
}

HRESULT Mp3DbDefView::Refresh() {
  return ForControl([](auto* control) { return control->Refresh(); });
}

HRESULT Mp3DbDefView::DestroyView() {
  OnDeactivate();
  ForControl([](auto* control) { return control->DestroyView(); });
  m_classic.Reset();
  m_web.Reset();
  if (m_window != nullptr) DestroyWindow(m_window);
  m_browser.Reset();
  m_folder.Reset();
  m_shellView = nullptr;
  return S_OK;
}

HRESULT Mp3DbDefView::GetCurrentInfo(UINT* puViewMode, UINT* puFlags) {
  return ForControl([&](auto* control) { return control->GetCurrentInfo(puViewMode, puFlags); });
}

HRESULT Mp3DbDefView::GetWindow(HWND* lphwnd) { return cobrell::AnswerWindow(m_window, lphwnd); }

HRESULT Mp3DbDefView::GetCurrentView(GUID* pvid) {
  if (pvid == nullptr) return E_POINTER;
  if (!m_classic && !m_web) return E_FAIL;
  *pvid = m_current;
  return S_OK;
}

void Mp3DbDefView::MergeMenus() {
  if (!m_browser) return;
  UniqueMenu shared(CreateMenu());
  OLEMENUGROUPWIDTHS widths{};
  if (!shared || FAILED(m_browser->InsertMenusSB(shared.get(), &widths))) return;
  UniqueMenu ours(LoadMenuA(cobrell::Resources(), MAKEINTRESOURCEA(cobrell::kViewMenu)));
  if (!ours) return;
  if (HMENU edit = PopupWithId(shared.get(), FCIDM_MENU_EDIT)) {
    while (GetMenuItemCount(edit) > 0) DeleteMenu(edit, 0, MF_BYPOSITION);
    InsertItems(GetSubMenu(ours.get(), kEditPopup), edit, 0);
  }
  if (HMENU view = PopupWithId(shared.get(), FCIDM_MENU_VIEW)) {
    const bool hadItems = GetMenuItemCount(view) > 0;
    const UINT added = InsertItems(GetSubMenu(ours.get(), kViewPopup), view, 0);
    if (hadItems && added > 0) InsertMenuA(view, added, MF_BYPOSITION | MF_SEPARATOR, 0, nullptr);
  }
  m_browser->SetMenuSB(shared.get(), nullptr, m_window);
  m_sharedMenu = std::move(shared);
}

HRESULT Mp3DbDefView::OnActivate(UINT uState) {
  if (uState == SVUIA_DEACTIVATE) return OnDeactivate();
  if (uState == m_uiState) return S_OK;
  OnDeactivate();
  MergeMenus();
  m_uiState = uState;
  if (uState == SVUIA_ACTIVATE_FOCUS) ForControl([](auto* control) { return control->SetFocus(); });
  return S_OK;
}

HRESULT Mp3DbDefView::OnDeactivate() {
  m_uiState = SVUIA_DEACTIVATE;
  if (!m_sharedMenu) return S_OK;
  if (m_browser) {
    m_browser->SetMenuSB(nullptr, nullptr, nullptr);
    m_browser->RemoveMenusSB(m_sharedMenu.get());
  }
  m_sharedMenu.reset();
  return S_OK;
}

HRESULT Mp3DbDefView::SetCurrentInfo(UINT uViewMode, UINT uFlags) {
  return ForControl([&](auto* control) { return control->SetCurrentInfo(uViewMode, uFlags); });
}

// The shell view hands over the Delete key that no label edit wants.
HRESULT Mp3DbDefView::OnTranslateAccelerator(MSG* message) {
  if (message == nullptr) return E_POINTER;
  if ((message->message != WM_KEYDOWN && message->message != WM_KEYUP) ||
      message->wParam != static_cast<WPARAM>(VK_DELETE)) {
    return S_FALSE;
  }
  ForControl([](auto* control) { return control->OnDelete(); });
  return S_OK;
}

HRESULT Mp3DbDefView::SaveViewState(IStream* pIStream) {
  return ForControl([&](auto* control) { return control->SaveViewState(pIStream); });
}

// --- IDispatch ---

HRESULT Mp3DbDefView::GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID,
                                    DISPID* dispIds) {
  return cobrell::ViewIDsOfNames(IID_IMp3DbDefView, iid, names, count, dispIds);
}

HRESULT Mp3DbDefView::Invoke(DISPID dispId, REFIID iid, LCID, WORD flags, DISPPARAMS* params,
                             VARIANT* result, EXCEPINFO*, UINT* argumentError) {
  return cobrell::InvokeView(this, IID_IMp3DbDefView, dispId, iid, flags, params, result,
                             argumentError);
}
