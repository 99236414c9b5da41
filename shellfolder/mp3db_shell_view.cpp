// The shell view: every call goes to the view host once there is one; until
// then each answers E_NOTIMPL. Keys are looked at on their way up.
#include "shellfolder/mp3db_shell_view.h"

#include <cstring>

#include "platform/ui/user32.h"
#include "shellfolder/mp3db_def_view.h"
#include "shellfolder/view_resources.h"

namespace {

// Whether a label is being edited: the focus is in an edit box.
HWND LabelEditor() {
  HWND focus = GetFocus();
  char className[16] = {};
  if (focus == nullptr || GetClassNameA(focus, className, sizeof className) == 0) return nullptr;
  return std::strcmp(className, "Edit") == 0 ? focus : nullptr;
}

// A key message's data: one press; on the way up, the key was down.
constexpr LPARAM kKeyDownData = 1;
constexpr LPARAM kKeyUpData = 1 | KF_PREVIOUS_BIT | KF_UP_BIT;

}  // namespace

Mp3DbShellView::Mp3DbShellView(IShellFolder* folder)
    : m_folder(folder),
      m_accelerators(
          LoadAcceleratorsA(cobrell::Resources(), MAKEINTRESOURCEA(cobrell::kViewAccelerators))) {}

Mp3DbShellView::~Mp3DbShellView() {
  if (m_host) m_host->DestroyView();
}

HRESULT Mp3DbShellView::Create(IShellFolder* folder, REFIID iid, void** object) {
  if (folder == nullptr) return E_INVALIDARG;
  return NewInstance(iid, object, folder);
}

InterfaceTable Mp3DbShellView::Interfaces() {
  auto* view = static_cast<IShellView2*>(this);
  return {{&IID_IOleWindow, view}, {&IID_IShellView, view}, {&IID_IShellView2, view}};
}

HWND Mp3DbShellView::HostWindow() const {
  HWND window = nullptr;
  if (m_host) m_host->GetWindow(&window);
  return window;
}

// --- IOleWindow ---

HRESULT Mp3DbShellView::GetWindow(HWND* window) {
  if (window == nullptr) return E_POINTER;
  *window = nullptr;
  if (!m_host) return E_NOTIMPL;
  return m_host->GetWindow(window);
}

HRESULT Mp3DbShellView::ContextSensitiveHelp(BOOL) { return E_NOTIMPL; }

// --- IShellView ---

HRESULT Mp3DbShellView::TranslateAccelerator(MSG* msg) {
  if (!m_host) return E_NOTIMPL;
  if (msg == nullptr) return E_POINTER;
  const WPARAM key = msg->wParam;
  HWND editor = LabelEditor();
  // Explorer takes Backspace for "up one level" and Delete for deleting;
  // while a label is edited they are held back on the way down and given
  // to the edit box whole on the way up, once.
  if (msg->message == WM_KEYDOWN && editor != nullptr) {
    m_editorKey = key;
    return key == static_cast<WPARAM>(VK_BACK) || key == static_cast<WPARAM>(VK_DELETE) ? S_OK
                                                                                        : S_FALSE;
  }
  if (msg->message != WM_KEYUP) return S_FALSE;
  // Enter or Esc ended the edit on the way down; on the way up it must not
  // open or act on the row just renamed.
  const bool fromEditor = key == m_editorKey;
  m_editorKey = 0;
  if (fromEditor && editor == nullptr) return S_FALSE;
  if (key == static_cast<WPARAM>(VK_BACK) && editor != nullptr) {
    SendMessageA(editor, WM_KEYDOWN, VK_BACK, kKeyDownData);
    SendMessageA(editor, WM_CHAR, '\b', kKeyDownData);
    SendMessageA(editor, WM_KEYUP, VK_BACK, kKeyUpData);
    return S_OK;
  }
  if (key == static_cast<WPARAM>(VK_DELETE)) {
    if (editor == nullptr) return m_host->OnTranslateAccelerator(msg);
    SendMessageA(editor, WM_KEYDOWN, VK_DELETE, kKeyDownData);
    SendMessageA(editor, WM_KEYUP, VK_DELETE, kKeyUpData);
    return S_OK;
  }
  HWND host = HostWindow();
  if (host == nullptr || !m_accelerators) return S_FALSE;
  MSG down = *msg;
  down.hwnd = host;
  down.message = WM_KEYDOWN;
  down.lParam = kKeyDownData;
  return TranslateAcceleratorA(host, m_accelerators.get(), &down) ? S_OK : S_FALSE;
}

HRESULT Mp3DbShellView::EnableModeless(BOOL) { return E_NOTIMPL; }

HRESULT Mp3DbShellView::UIActivate(UINT state) {
  if (!m_host) return E_NOTIMPL;
  return state == SVUIA_DEACTIVATE ? m_host->OnDeactivate() : m_host->OnActivate(state);
}

HRESULT Mp3DbShellView::Refresh() { return m_host ? m_host->Refresh() : E_NOTIMPL; }

HRESULT Mp3DbShellView::CreateViewWindow(IShellView* previous, LPCFOLDERSETTINGS settings,
                                         IShellBrowser* browser, RECT* rect, HWND* window) {
  if (window == nullptr) return E_POINTER;
  *window = nullptr;
  SV2CVW2_PARAMS params{sizeof params,           previous, settings, browser, rect,
                        &CLSID_Mp3DbClassicView, nullptr};
  const HRESULT result = CreateViewWindow2(&params);
  *window = params.hwndView;
  return result;
}

HRESULT Mp3DbShellView::DestroyViewWindow() {
  if (!m_host) return E_NOTIMPL;
  const HRESULT result = m_host->DestroyView();
  m_host.Reset();
  m_browser.Reset();
  return result;
}

HRESULT Mp3DbShellView::GetCurrentInfo(LPFOLDERSETTINGS settings) {
  if (!m_host) return E_NOTIMPL;
  if (settings == nullptr) return E_POINTER;
  return m_host->GetCurrentInfo(&settings->ViewMode, &settings->fFlags);
}

HRESULT Mp3DbShellView::AddPropertySheetPages(DWORD, LPFNSVADDPROPSHEETPAGE, LPARAM) {
  return E_NOTIMPL;
}

HRESULT Mp3DbShellView::SaveViewState() {
  if (!m_host || !m_browser) return E_NOTIMPL;
  ComPtr<IStream> stream;
  const HRESULT opened = m_browser->GetViewStateStream(STGM_WRITE, stream.Out());
  if (FAILED(opened)) return opened;
  if (!stream) return E_FAIL;
  return m_host->SaveViewState(stream.Get());
}

HRESULT Mp3DbShellView::SelectItem(LPCITEMIDLIST, UINT) { return E_NOTIMPL; }

HRESULT Mp3DbShellView::GetItemObject(UINT, REFIID, void** object) {
  if (object != nullptr) *object = nullptr;
  return E_NOTIMPL;
}

// --- IShellView2 ---

HRESULT Mp3DbShellView::GetView(SHELLVIEWID* viewId, ULONG index) {
  if (viewId == nullptr) return E_POINTER;
  switch (index) {
    case 0:
    case SV2GV_DEFAULTVIEW:
      *viewId = CLSID_Mp3DbClassicView;
      return S_OK;
    case 1:
      *viewId = CLSID_Mp3DbWebView;
      return S_OK;
    case SV2GV_CURRENTVIEW:
      return m_host ? m_host->GetCurrentView(viewId) : E_NOTIMPL;
    default:
      return E_INVALIDARG;
  }
}

HRESULT Mp3DbShellView::CreateViewWindow2(LPSV2CVW2_PARAMS params) {
  if (params == nullptr) return E_POINTER;
  params->hwndView = nullptr;
  if (params->prcView == nullptr) return E_INVALIDARG;
  if (!m_host) {
    const HRESULT made = Mp3DbDefView::Create(IID_IMp3DbDefView, m_host.OutVoid());
    if (FAILED(made)) return made;
  }
  m_browser = ComPtr<IShellBrowser>(params->psbOwner);
  Mp3DbViewCreateInfo info{};
  info.pIUnkShellView = static_cast<IShellView2*>(this);
  info.uViewMode = params->pfs != nullptr ? params->pfs->ViewMode : FVM_DETAILS;
  info.uFlags = params->pfs != nullptr ? params->pfs->fFlags : 0;
  info.pIUnkShellBrowser = params->psbOwner;
  info.prcView = *params->prcView;
  info.pvid = params->pvid != nullptr ? params->pvid : &CLSID_Mp3DbClassicView;
  const HRESULT result = m_host->CreateView(&info, m_folder.Get());
  if (FAILED(result)) {
    m_host.Reset();
    m_browser.Reset();
    return result;
  }
  params->hwndView = info.hwndView;
  return S_OK;
}

HRESULT Mp3DbShellView::HandleRename(LPCITEMIDLIST) { return E_NOTIMPL; }

HRESULT Mp3DbShellView::SelectAndPositionItem(LPCITEMIDLIST, UINT, POINT*) { return E_NOTIMPL; }
