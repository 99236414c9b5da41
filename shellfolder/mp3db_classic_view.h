// Mp3DbClassicView: the music folder's list, a control of its own (window
// class "Mp3Db Classic View" holding a "SysListView32" in report style)
// that the view host shows directly and web pages embed. It fills the list
// from the music database by the folder's kind, sorts by column clicks,
// keeps Explorer's status bar, opens and renames items and raises
// OnSelectionChanged on every change of the selection.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/base/cstring.h"
#include "platform/com/com_ptr.h"
#include "platform/com/connection_point_impl.h"
#include "platform/shell/shell_view.h"
#include "platform/ui/ole/control_host.h"
#include "platform/ui/ui_owners.h"
#include "shellfolder/com_object.h"
#include "shellfolder/list_columns.h"
#include "shellfolder/music_drop_target.h"
#include "shellfolder/view_interfaces.h"
#include "shellfolder/view_window.h"

class Mp3DbClassicView final
    : public CobrellObject<Mp3DbClassicView, WithoutTypeInfo<IMp3DbClassicView>, IHostedControl,
                           IConnectionPointContainer> {
 public:
  static HRESULT Create(REFIID iid, void** object);
  InterfaceTable Interfaces();

  // IDispatch (names from the type library; no type information)
  HRESULT GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale,
                        DISPID* dispIds) override;
  HRESULT Invoke(DISPID dispId, REFIID iid, LCID locale, WORD flags, DISPPARAMS* params,
                 VARIANT* result, EXCEPINFO* exception, UINT* argumentError) override;

  // IMp3DbClassicView
  HRESULT CreateView(IUnknown* pIUnkShellView, IShellBrowser* pIShellBrowser,
                     IShellFolder* pIShellFolder, HWND uhwndParent, LONG uTop, LONG uLeft,
                     LONG uBottom, LONG uRight, UINT uViewMode, UINT uFlags, HWND* phWnd) override;
  HRESULT Refresh() override;
  HRESULT DestroyView() override;
  HRESULT GetCurrentInfo(UINT* puViewMode, UINT* puFlags) override;
  HRESULT GetWindow(HWND* phWnd) override;
  HRESULT SetCurrentInfo(UINT uViewMode, UINT uFlags) override;
  HRESULT GetCurrentPath(VARIANT* pvarPath) override;
  HRESULT GetSelectedName(VARIANT* pvarName) override;
  HRESULT GetSelectedGUID(VARIANT* pvarGUID) override;
  HRESULT GetSelectedClass(VARIANT* pvarClass) override;
  HRESULT InitMenuPopup(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL* bHandled) override;
  HRESULT OnEditPaste() override;
  HRESULT OnEditCopyCut(BOOL bCut, BOOL* pbDone) override;
  HRESULT OnDelete() override;
  HRESULT OnSelectAll() override;
  HRESULT OnInvertSelection() override;
  HRESULT OnEnter() override;
  HRESULT SetFocus() override;
  HRESULT OnEditLabel() override;
  HRESULT SaveViewState(IStream* pIStream) override;
  HRESULT OnCopyData(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL* bHandled) override;

  // IHostedControl: a page that embeds the list makes its window first;
  // CreateView then fills it.
  HRESULT CreateControlWindow(HWND host, const RECT* rect, HWND* window) override;
  HRESULT MoveControlWindow(const RECT* rect) override;
  HRESULT DestroyControlWindow() override;

  // IConnectionPointContainer: the one point of _Mp3DbClassicEvents.
  HRESULT EnumConnectionPoints(IEnumConnectionPoints** points) override;
  HRESULT FindConnectionPoint(REFIID iid, IConnectionPoint** point) override;

 private:
  Mp3DbClassicView();
  friend CobrellObject<Mp3DbClassicView, WithoutTypeInfo<IMp3DbClassicView>, IHostedControl,
                       IConnectionPointContainer>;
  ~Mp3DbClassicView();

  static LRESULT WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT OnNotify(const NMHDR& header);

  HRESULT MakeWindow(HWND parent, const RECT& rect);
  void SetFolder(IShellFolder* folder);
  void ReadViewState();
  HRESULT Fill();
  void UpdateStatusBar();
  void ApplyViewMode();
  void SortByColumn(int column);
  void OpenRow(int row);
  void OpenSong(int row);
  void BrowseToChild(int row);
  bool BeginLabelEdit(int row);
  bool EndLabelEdit(int row, const char* text);
  void BeginDrag();
  // Items for the selected rows (owned by owners); empty when one cannot
  // be made.
  std::vector<LPCITEMIDLIST> SelectedItems(std::vector<UniqueItemIdList>* owners);
  void ShowContextMenu(LPARAM screenPoint);
  cobrell::DropPlace DropPlaceAt(POINTL screen);
  void RegisterDropTarget();
  void SelectionChanged();
  std::u16string FolderPath() const;

  ComPtr<IShellBrowser> m_browser;
  ComPtr<IShellFolder> m_folder;
  UniqueItemIdList m_folderList;
  ShownFolder m_shown;
  std::vector<CString> m_headings;  // read once: group names do not change
  CString m_sortName;
  bool m_ascending = true;
  cobrell::ViewSettings m_settings;
  HWND m_window = nullptr;
  HWND m_list = nullptr;
  UniqueImageList m_images;
  CString m_oldLabel;
  ConnectionPoint m_selectionEvents;
};
