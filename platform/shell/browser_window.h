// One shell browser window and the IShellBrowser its view talks to. The
// window holds a reference to the object from creation to WM_NCDESTROY; a
// view may hold more, and calls after the window is gone fail.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "platform/com/com_object.h"
#include "platform/com/com_ptr.h"
#include "platform/shell/folder_tree.h"
#include "platform/shell/shell_folder.h"
#include "platform/shell/shell_notify.h"
#include "platform/shell/shell_view.h"
#include "platform/shell/tree_edits.h"
#include "platform/ui/messages.h"

class ShellBrowser final : public ComObject<ShellBrowser, IShellBrowser> {
 public:
  // Makes the window and shows folder in it; null with the last error set.
  static HWND Open(LPCITEMIDLIST folder, bool explore);
  // The browser of a window or of anything inside it; null for none.
  static ShellBrowser* Of(HWND window);
  // The thread's message loop, until its last browser window has closed.
  static void RunLoop();
  // The window's messages (the class's window procedure comes here).
  LRESULT Dispatch(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  InterfaceTable Interfaces() {
    return {{&IID_IShellBrowser, static_cast<IShellBrowser*>(this)},
            {&IID_IOleWindow, static_cast<IOleWindow*>(this)}};
  }

  // IOleWindow
  HRESULT GetWindow(HWND* window) override;
  HRESULT ContextSensitiveHelp(BOOL enterMode) override;
  // IShellBrowser
  HRESULT InsertMenusSB(HMENU shared, LPOLEMENUGROUPWIDTHS widths) override;
  HRESULT SetMenuSB(HMENU shared, HOLEMENU oleMenu, HWND activeObject) override;
  HRESULT RemoveMenusSB(HMENU shared) override;
  HRESULT SetStatusTextSB(LPCOLESTR text) override;
  HRESULT EnableModelessSB(BOOL enable) override;
  HRESULT TranslateAcceleratorSB(MSG* msg, WORD id) override;
  HRESULT BrowseObject(LPCITEMIDLIST list, UINT flags) override;
  HRESULT GetViewStateStream(DWORD mode, IStream** stream) override;
  HRESULT GetControlWindow(UINT id, HWND* window) override;
  HRESULT SendControlMsg(UINT id, UINT message, WPARAM wParam, LPARAM lParam,
                         LRESULT* result) override;
  HRESULT QueryActiveShellView(IShellView** view) override;
  HRESULT OnViewWindowActive(IShellView* view) override;
  HRESULT SetToolbarItems(LPTBBUTTONSB buttons, UINT count, UINT flags) override;

 private:
  friend ComObject<ShellBrowser, IShellBrowser>;
  explicit ShellBrowser(bool explore);
  ~ShellBrowser();

  struct Changes;
  // Tells the window that shell changes wait for it.
  static constexpr UINT kShellChangeMessage = WM_APP + 0x51;
  // Carries out a BrowseObject once the view that asked has returned.
  static constexpr UINT kBrowseMessage = WM_APP + 0x52;

  // ---- the window (browser_window.cpp) ----
  bool Create(LPCITEMIDLIST folder);
  void OnCommand(UINT id, WPARAM wParam, LPARAM lParam);
  void OnInitMenuPopup(UINT message, WPARAM wParam, LPARAM lParam);
  void OnShellChange(LONG eventId, LPCITEMIDLIST first, LPCITEMIDLIST second);
  void Layout();
  RECT ViewRect() const;
  void Close();
  // Whether the view or the browser's accelerators took the key message.
  bool TranslateKey(MSG* msg);

  // ---- the folder and its view (shell_browser.cpp) ----
  HRESULT Navigate(LPCITEMIDLIST folder);
  void ShowView(IShellFolder* folder);
  void DestroyView();
  void ActivateView(UINT state);
  void ShowTitle();
  void Refresh();

  bool m_explore;
  HWND m_window = nullptr;
  HWND m_status = nullptr;
  std::unique_ptr<FolderTree> m_tree;
  std::unique_ptr<TreeEdits> m_treeEdits;  // made after the tree, gone before it
  HACCEL m_accelerators = nullptr;
  HMENU m_ownMenu = nullptr;  // the bar shown while no view shares one

  UniqueItemIdList m_current;
  ComPtr<IShellFolder> m_folder;
  ComPtr<IShellView> m_view;
  HWND m_viewWindow = nullptr;
  UINT m_viewState = SVUIA_DEACTIVATE;
  FOLDERSETTINGS m_settings{FVM_DETAILS, 0};
  // Tree selections made by the browser itself do not navigate again.
  bool m_selectingInTree = false;
  std::unique_ptr<Changes> m_pending;
  std::optional<ShellChangeSubscription> m_changes;
};
