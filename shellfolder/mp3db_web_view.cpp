// The web view, until the page it shows can be made: it makes no window,
// and the host keeps the classic list.
#include "shellfolder/mp3db_web_view.h"
#include "shellfolder/view_dispatch.h"

HRESULT Mp3DbWebView::Create(REFIID iid, void** object) { return NewInstance(iid, object); }
Mp3DbWebView::~Mp3DbWebView() = default;
InterfaceTable Mp3DbWebView::Interfaces() {
  auto* view = static_cast<IMp3DbWebView*>(this);
  return {{&IID_IMp3DbWebView, view}, {&IID_IDispatch, view}};
}
HRESULT Mp3DbWebView::GetTypeInfoCount(UINT*) { return E_NOTIMPL; }
HRESULT Mp3DbWebView::GetTypeInfo(UINT, LCID, ITypeInfo**) { return E_NOTIMPL; }
HRESULT Mp3DbWebView::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) { return E_NOTIMPL; }
HRESULT Mp3DbWebView::Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) { return E_NOTIMPL; }
HRESULT Mp3DbWebView::CreateView(IUnknown*, IShellBrowser*, IShellFolder*, HWND, LONG, LONG, LONG, LONG, UINT, UINT, HWND*) { return E_FAIL; }
HRESULT Mp3DbWebView::Refresh() { return E_NOTIMPL; }
HRESULT Mp3DbWebView::DestroyView() { return S_OK; }
HRESULT Mp3DbWebView::GetCurrentInfo(UINT*, UINT*) { return E_NOTIMPL; }
HRESULT Mp3DbWebView::GetWindow(HWND*) { return E_NOTIMPL; }
HRESULT Mp3DbWebView::SetCurrentInfo(UINT, UINT) { return E_NOTIMPL; }
HRESULT Mp3DbWebView::OnEnter() { return E_NOTIMPL; }
HRESULT Mp3DbWebView::OnInvertSelection() { return E_NOTIMPL; }
HRESULT Mp3DbWebView::OnSelectAll() { return E_NOTIMPL; }
HRESULT Mp3DbWebView::OnEditCopyCut(BOOL, BOOL*) { return E_NOTIMPL; }
HRESULT Mp3DbWebView::OnEditPaste() { return E_NOTIMPL; }
HRESULT Mp3DbWebView::OnDelete() { return E_NOTIMPL; }
HRESULT Mp3DbWebView::SetFocus() { return E_NOTIMPL; }
HRESULT Mp3DbWebView::OnEditLabel() { return E_NOTIMPL; }
HRESULT Mp3DbWebView::SaveViewState(IStream*) { return E_NOTIMPL; }
HRESULT Mp3DbWebView::InitMenuPopup(UINT, WPARAM, LPARAM, BOOL*) { return E_NOTIMPL; }
HRESULT Mp3DbWebView::OnCopyData(UINT, WPARAM, LPARAM, BOOL*) { return E_NOTIMPL; }
