// Mp3DbWebView: the music folder as a web page. Its window ("Mp3Db Web
// View") holds the system's web browser control showing the template
// beside the module; when the page is complete, the folder's name goes in
// place of the template's token and the page's own list control (an
// embedded Mp3DbClassicView) is found, and the list operations go to it.
#pragma once

#include "platform/com/com_ptr.h"
#include "platform/com/connection_point.h"
#include "platform/com/dispatch_sink.h"
#include "platform/shell/shell_folder.h"
#include "platform/shell/shell_view.h"
#include "platform/shell/web_browser_interfaces.h"
#include "shellfolder/com_object.h"
#include "shellfolder/view_interfaces.h"
#include "shellfolder/view_window.h"

class Mp3DbWebView final : public CobrellObject<Mp3DbWebView, WithoutTypeInfo<IMp3DbWebView>> {
 public:
  static HRESULT Create(REFIID iid, void** object);
  InterfaceTable Interfaces();

  // IDispatch (names from the type library; no type information)
  HRESULT GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale,
                        DISPID* dispIds) override;
  HRESULT Invoke(DISPID dispId, REFIID iid, LCID locale, WORD flags, DISPPARAMS* params,
                 VARIANT* result, EXCEPINFO* exception, UINT* argumentError) override;

  // IMp3DbWebView
  HRESULT CreateView(IUnknown* pIUnkShellView, IShellBrowser* pIShellBrowser,
                     IShellFolder* pIShellFolder, HWND uhwndParent, LONG uTop, LONG uLeft,
                     LONG uBottom, LONG uRight, UINT uViewMode, UINT uFlags, HWND* phWnd) override;
  HRESULT Refresh() override;
  HRESULT DestroyView() override;
  HRESULT GetCurrentInfo(UINT* puViewMode, UINT* puFlags) override;
  HRESULT GetWindow(HWND* phWnd) override;
  HRESULT SetCurrentInfo(UINT uViewMode, UINT uFlags) override;
  HRESULT OnEnter() override;
  HRESULT OnInvertSelection() override;
  HRESULT OnSelectAll() override;
  HRESULT OnEditCopyCut(BOOL bCut, BOOL* pbDone) override;
  HRESULT OnEditPaste() override;
  HRESULT OnDelete() override;
  HRESULT SetFocus() override;
  HRESULT OnEditLabel() override;
  HRESULT SaveViewState(IStream* pIStream) override;
  HRESULT InitMenuPopup(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL* bHandled) override;
  HRESULT OnCopyData(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL* bHandled) override;

 private:
  Mp3DbWebView() = default;
  friend CobrellObject<Mp3DbWebView, WithoutTypeInfo<IMp3DbWebView>>;
  ~Mp3DbWebView();

  // The page's list control; E_UNEXPECTED until the page has one.
  template <typename Call>
  HRESULT ForList(Call call) {
    return m_list ? call(m_list.Get()) : E_UNEXPECTED;
  }

  static LRESULT WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  HRESULT MakeWindow(HWND parent, const RECT& rect);
  HRESULT ListenToBrowser();
  void StopListening();
  void OnDocumentComplete();
  // Shows the folder in the page's list control, when it is a new one.
  void AttachList(ComPtr<IMp3DbClassicView> list);

  ComPtr<IShellBrowser> m_browser;
  ComPtr<IShellFolder> m_folder;
  IUnknown* m_shellView = nullptr;  // the shell view, which outlives its views
  ComPtr<IWebBrowser2> m_page;
  // The page's events (MyDWebBrowserEvents2): DocumentComplete.
  ComPtr<DispatchSink> m_events;
  ComPtr<IConnectionPoint> m_eventPoint;
  DWORD m_eventCookie = 0;
  ComPtr<IMp3DbClassicView> m_list;
  cobrell::ViewSettings m_settings;
  HWND m_window = nullptr;
};
