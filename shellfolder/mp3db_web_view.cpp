// The web view: its window with the web browser control showing the
// module's page template, the page made the folder's once complete, and
// the list operations handed to the page's list control.
#include "shellfolder/mp3db_web_view.h"

#include "platform/base/codepage.h"
#include "platform/com/bstr.h"
#include "platform/shell/web_browser.h"
#include "platform/ui/user32.h"
#include "shellfolder/module.h"
#include "shellfolder/page_template.h"
#include "shellfolder/view_dispatch.h"
#include "shellfolder/view_resources.h"
#include "shellfolder/web_page_walk.h"

namespace {

constexpr char kClassName[] = "Mp3Db Web View";

}  // namespace

HRESULT Mp3DbWebView::Create(REFIID iid, void** object) { return NewInstance(iid, object); }

Mp3DbWebView::~Mp3DbWebView() { DestroyView(); }

InterfaceTable Mp3DbWebView::Interfaces() {
  auto* view = static_cast<IMp3DbWebView*>(this);
  return {{&IID_IMp3DbWebView, view}, {&IID_IDispatch, view}};
}

// --- the window and the page ---

LRESULT Mp3DbWebView::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* view = cobrell::ViewOfWindow<Mp3DbWebView>(window, message, lParam);
  if (view != nullptr) {
    switch (message) {
      case WM_NCCREATE:
        view->m_window = window;
        break;
      case WM_NCDESTROY:
        view->m_window = nullptr;
        break;
      case WM_SIZE: {
        LONG_PTR page = 0;
        if (view->m_page && SUCCEEDED(view->m_page->get_HWND(&page)) && page != 0) {
          MoveWindow(reinterpret_cast<HWND>(page), 0, 0, LOWORD(static_cast<uintptr_t>(lParam)),
                     HIWORD(static_cast<uintptr_t>(lParam)), TRUE);
        }
        return 0;
      }
      case WM_SETFOCUS:
        view->SetFocus();
        return 0;
      default:
        break;
    }
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

HRESULT Mp3DbWebView::MakeWindow(HWND parent, const RECT& rect) {
  static const ATOM registered = cobrell::RegisterViewClass(kClassName, &WindowProc);
  if (registered == 0) return HResultFromWin32(GetLastError());
  if (CreateWindowExA(0, kClassName, "", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, rect.left,
                      rect.top, rect.right - rect.left, rect.bottom - rect.top, parent, nullptr,
                      cobrell::Resources(), this) == nullptr) {
    return HResultFromWin32(GetLastError());
  }
  RECT client{};
  GetClientRect(m_window, &client);
  return CreateWebBrowser(m_window, &client, m_page.Out());
}

HRESULT Mp3DbWebView::ListenToBrowser() {
  ComPtr<IConnectionPointContainer> container;
  HRESULT result = m_page.As(IID_IConnectionPointContainer, &container);
  if (SUCCEEDED(result))
    result = container->FindConnectionPoint(DIID_DWebBrowserEvents2, m_eventPoint.Out());
  if (FAILED(result)) return result;
  m_events = ComPtr<DispatchSink>::Attach(
      new DispatchSink(DIID_DWebBrowserEvents2, [this](DISPID dispId, DISPPARAMS*, UINT*) {
        if (dispId == DISPID_DOCUMENTCOMPLETE) OnDocumentComplete();
        return S_OK;
      }));
  return m_eventPoint->Advise(static_cast<IDispatch*>(m_events.Get()), &m_eventCookie);
}

void Mp3DbWebView::StopListening() {
  if (m_eventPoint) m_eventPoint->Unadvise(m_eventCookie);
  if (m_events) m_events->Detach();
  m_eventPoint.Reset();
  m_events.Reset();
  m_eventCookie = 0;
}

void Mp3DbWebView::AttachList(ComPtr<IMp3DbClassicView> list) {
  if (list.Get() == m_list.Get()) return;
  m_list = list;
  if (!m_list) return;
  // The page made the control's window; the control keeps it where it is.
  HWND shown = nullptr;
  m_list->CreateView(m_shellView, m_browser.Get(), m_folder.Get(), nullptr, 0, 0, 0, 0,
                     m_settings.viewMode, m_settings.flags, &shown);
}

void Mp3DbWebView::OnDocumentComplete() {
  ComPtr<IDispatch> dispatch;
  ComPtr<IHTMLDocument2> document;
  if (!m_page || FAILED(m_page->get_Document(dispatch.Out())) || !dispatch ||
      FAILED(dispatch.As(IID_IHTMLDocument2, &document))) {
    return;
  }
  // The list tells the folder's name, so it comes first.
  AttachList(FindListControl(document.Get()));
  std::string folderText = kDefaultPageFolder;
  if (m_list) {
    CComVariant path;
    if (FAILED(m_list->GetCurrentPath(&path)) || path.vt != VT_BSTR) return;
    folderText = PageFolderText(WideToAnsi(path.bstrVal));
  }
  ReplaceTokenInPage(document.Get(), folderText);
  // A rewritten element makes the controls inside it anew.
  AttachList(FindListControl(document.Get()));
}

// --- IMp3DbWebView ---

HRESULT Mp3DbWebView::CreateView(IUnknown* pIUnkShellView, IShellBrowser* pIShellBrowser,
                                 IShellFolder* pIShellFolder, HWND uhwndParent, LONG uTop,
                                 LONG uLeft, LONG uBottom, LONG uRight, UINT uViewMode, UINT uFlags,
                                 HWND* phWnd) try {
  if (phWnd != nullptr) *phWnd = nullptr;
  if (pIShellFolder == nullptr) return E_INVALIDARG;
  if (m_window != nullptr) return E_UNEXPECTED;
  const std::string& module = cobrell::ModulePath();
  if (module.empty()) return E_FAIL;
  m_shellView = pIUnkShellView;
  m_browser = ComPtr<IShellBrowser>(pIShellBrowser);
  m_folder = ComPtr<IShellFolder>(pIShellFolder);
  if (FAILED(m_settings.Set(uViewMode, uFlags))) m_settings.Set(FVM_DETAILS, uFlags);
  HRESULT result = MakeWindow(uhwndParent, RECT{uLeft, uTop, uRight, uBottom});
  if (SUCCEEDED(result)) result = ListenToBrowser();
  if (SUCCEEDED(result)) {
    CComBSTR url(TemplatePathOf(module).c_str());
    CComVariant none;
    CComVariant self(std::u16string_view(u"_self"));
    result = m_page->Navigate(url.Get(), &none, &self, &none, &none);
  }
  if (FAILED(result)) {
    DestroyView();
    return result;
  }
  if (phWnd != nullptr) *phWnd = m_window;
  return S_OK;
} catch (...) {
  DestroyView();
  return E_OUTOFMEMORY;
}

HRESULT Mp3DbWebView::Refresh() {
  return ForList([](IMp3DbClassicView* list) { return list->Refresh(); });
}

HRESULT Mp3DbWebView::DestroyView() {
  StopListening();
  if (m_list) m_list->DestroyView();
  m_list.Reset();
  if (m_window != nullptr) DestroyWindow(m_window);
  m_page.Reset();
  m_browser.Reset();
  m_folder.Reset();
  m_shellView = nullptr;
  return S_OK;
}

HRESULT Mp3DbWebView::GetCurrentInfo(UINT* puViewMode, UINT* puFlags) {
  return m_settings.Get(puViewMode, puFlags);
}

HRESULT Mp3DbWebView::GetWindow(HWND* phWnd) { return cobrell::AnswerWindow(m_window, phWnd); }

HRESULT Mp3DbWebView::SetCurrentInfo(UINT uViewMode, UINT uFlags) {
  const HRESULT result = m_settings.Set(uViewMode, uFlags);
  if (SUCCEEDED(result) && m_list) m_list->SetCurrentInfo(uViewMode, uFlags);
  return result;
}

HRESULT Mp3DbWebView::OnEnter() {
  return ForList([](IMp3DbClassicView* list) { return list->OnEnter(); });
}

HRESULT Mp3DbWebView::OnInvertSelection() {
  return ForList([](IMp3DbClassicView* list) { return list->OnInvertSelection(); });
}

HRESULT Mp3DbWebView::OnSelectAll() {
  return ForList([](IMp3DbClassicView* list) { return list->OnSelectAll(); });
}

HRESULT Mp3DbWebView::OnEditCopyCut(BOOL bCut, BOOL* pbDone) {
  return ForList([&](IMp3DbClassicView* list) { return list->OnEditCopyCut(bCut, pbDone); });
}

HRESULT Mp3DbWebView::OnEditPaste() {
  return ForList([](IMp3DbClassicView* list) { return list->OnEditPaste(); });
}

HRESULT Mp3DbWebView::OnDelete() {
  return ForList([](IMp3DbClassicView* list) { return list->OnDelete(); });
}

HRESULT Mp3DbWebView::SetFocus() {
  return ForList([](IMp3DbClassicView* list) { return list->SetFocus(); });
}

HRESULT Mp3DbWebView::OnEditLabel() {
  return ForList([](IMp3DbClassicView* list) { return list->OnEditLabel(); });
}

HRESULT Mp3DbWebView::SaveViewState(IStream* pIStream) {
  return ForList([&](IMp3DbClassicView* list) { return list->SaveViewState(pIStream); });
}

HRESULT Mp3DbWebView::InitMenuPopup(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL* bHandled) {
  return ForList(
      [&](IMp3DbClassicView* list) { return list->InitMenuPopup(uMsg, wParam, lParam, bHandled); });
}

HRESULT Mp3DbWebView::OnCopyData(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL* bHandled) {
  return ForList(
      [&](IMp3DbClassicView* list) { return list->OnCopyData(uMsg, wParam, lParam, bHandled); });
}

// --- IDispatch ---

HRESULT Mp3DbWebView::GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID,
                                    DISPID* dispIds) {
  return cobrell::ViewIDsOfNames(IID_IMp3DbWebView, iid, names, count, dispIds);
}

HRESULT Mp3DbWebView::Invoke(DISPID dispId, REFIID iid, LCID, WORD flags, DISPPARAMS* params,
                             VARIANT* result, EXCEPINFO*, UINT* argumentError) {
  return cobrell::InvokeView(this, IID_IMp3DbWebView, dispId, iid, flags, params, result,
                             argumentError);
}
