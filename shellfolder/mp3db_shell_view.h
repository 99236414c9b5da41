// Mp3DbShellView: the view object the shell gets from the music folder.
// It keeps the folder and, once its window is made, a view host
// (Mp3DbDefView) to which it hands every call; it also sorts out the keys
// that a label being edited needs before the view's accelerators see them.
#pragma once

#include "platform/com/com_ptr.h"
#include "platform/shell/shell_folder.h"
#include "platform/shell/shell_view.h"
#include "platform/ui/ui_owners.h"
#include "shellfolder/com_object.h"
#include "shellfolder/view_interfaces.h"

class Mp3DbShellView final : public CobrellObject<Mp3DbShellView, IShellView2> {
 public:
  // A view of folder, which it keeps a reference to.
  static HRESULT Create(IShellFolder* folder, REFIID iid, void** object);
  InterfaceTable Interfaces();

  // IOleWindow
  HRESULT GetWindow(HWND* window) override;
  HRESULT ContextSensitiveHelp(BOOL enterMode) override;

  // IShellView
  HRESULT TranslateAccelerator(MSG* msg) override;
  HRESULT EnableModeless(BOOL enable) override;
  HRESULT UIActivate(UINT state) override;
  HRESULT Refresh() override;
  HRESULT CreateViewWindow(IShellView* previous, LPCFOLDERSETTINGS settings, IShellBrowser* browser,
                           RECT* rect, HWND* window) override;
  HRESULT DestroyViewWindow() override;
  HRESULT GetCurrentInfo(LPFOLDERSETTINGS settings) override;
  HRESULT AddPropertySheetPages(DWORD reserved, LPFNSVADDPROPSHEETPAGE addPage,
                                LPARAM context) override;
  HRESULT SaveViewState() override;
  HRESULT SelectItem(LPCITEMIDLIST item, UINT flags) override;
  HRESULT GetItemObject(UINT which, REFIID iid, void** object) override;

  // IShellView2
  HRESULT GetView(SHELLVIEWID* viewId, ULONG index) override;
  HRESULT CreateViewWindow2(LPSV2CVW2_PARAMS params) override;
  HRESULT HandleRename(LPCITEMIDLIST newItem) override;
  HRESULT SelectAndPositionItem(LPCITEMIDLIST item, UINT flags, POINT* point) override;

 private:
  explicit Mp3DbShellView(IShellFolder* folder);
  friend CobrellObject<Mp3DbShellView, IShellView2>;
  ~Mp3DbShellView();

  HWND HostWindow() const;

  ComPtr<IShellFolder> m_folder;
  ComPtr<IMp3DbDefView> m_host;
  ComPtr<IShellBrowser> m_browser;
  UniqueAccelerators m_accelerators;
  // A key that went down while a label was edited: its way up belongs to
  // the edit too, not to the view's accelerators.
  WPARAM m_editorKey = 0;
};
