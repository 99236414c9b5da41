// Mp3DbDefView: the host behind the music folder's shell view. Its window
// ("Mp3 Default View", the title other views look for to send refresh
// notices) fills the view's rectangle and holds one control, the classic
// list or the web view; command 106 switches between them. It merges the
// views' menus into Explorer's while active and hands everything else to
// the control.
#pragma once

#include "platform/com/com_ptr.h"
#include "platform/shell/shell_view.h"
#include "platform/ui/ui_owners.h"
#include "shellfolder/com_object.h"
#include "shellfolder/view_interfaces.h"

class Mp3DbDefView final : public CobrellObject<Mp3DbDefView, WithoutTypeInfo<IMp3DbDefView>> {
 public:
  static HRESULT Create(REFIID iid, void** object);
  InterfaceTable Interfaces();

  // IDispatch (names from the type library; no type information)
  HRESULT GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale,
                        DISPID* dispIds) override;
  HRESULT Invoke(DISPID dispId, REFIID iid, LCID locale, WORD flags, DISPPARAMS* params,
                 VARIANT* result, EXCEPINFO* exception, UINT* argumentError) override;

  // IMp3DbDefView
  HRESULT CreateView(Mp3DbViewCreateInfo* info, IShellFolder* pIShellFolder) override;
  HRESULT Refresh() override;
  HRESULT DestroyView() override;
  HRESULT GetCurrentInfo(UINT* puViewMode, UINT* puFlags) override;
  HRESULT GetWindow(HWND* lphwnd) override;
  HRESULT GetCurrentView(GUID* pvid) override;
  HRESULT OnActivate(UINT uState) override;
  HRESULT OnDeactivate() override;
  HRESULT SetCurrentInfo(UINT uViewMode, UINT uFlags) override;
  HRESULT OnTranslateAccelerator(MSG* message) override;
  HRESULT SaveViewState(IStream* pIStream) override;

 private:
  Mp3DbDefView() = default;
  friend CobrellObject<Mp3DbDefView, WithoutTypeInfo<IMp3DbDefView>>;
  ~Mp3DbDefView();

  // The control shown, through whichever interface it has; both take the
  // same calls.
  template <typename Call>
  HRESULT ForControl(Call call) {
    if (m_classic) return call(m_classic.Get());
    if (m_web) return call(m_web.Get());
    return E_UNEXPECTED;
  }

  static LRESULT WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
  bool OnCommand(UINT command);
  HRESULT ShowControl(REFCLSID viewId, UINT viewMode, UINT flags);
  void SwitchView();
  void NewFromBackground();
  HWND ControlWindow();
  void MergeMenus();

  IUnknown* m_shellView = nullptr;  // the shell view, which owns this host
  ComPtr<IShellBrowser> m_browser;
  ComPtr<IShellFolder> m_folder;
  ComPtr<IMp3DbClassicView> m_classic;
  ComPtr<IMp3DbWebView> m_web;
  CLSID m_current{};
  HWND m_window = nullptr;
  UniqueMenu m_sharedMenu;
  UINT m_uiState = SVUIA_DEACTIVATE;
};
