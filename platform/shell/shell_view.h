// The shell's view and browser interfaces: the view a folder hands out for
// its contents (IShellView, IShellView2), the browser window that hosts it
// (IShellBrowser), both windows of OLE's IOleWindow, with the records and
// values that pass between them. Members stand in slot order; values are
// those of shobjidl.h and shlobj.h.
#pragma once

#include <cstddef>

#include "platform/com/guid.h"
#include "platform/com/stream.h"
#include "platform/shell/item_id_list.h"
#include "platform/ui/ole/ole_interfaces.h"
#include "platform/ui/ui_types.h"

class IShellView;
class IShellView2;
class IShellBrowser;
class IContextMenu;

// {00000114-0000-0000-C000-000000000046}
constexpr IID IID_IOleWindow{0x00000114, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
// {000214E3-0000-0000-C000-000000000046}
constexpr IID IID_IShellView{0x000214E3, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
// {88E39E80-3578-11CF-AE69-08002B2E1262}
constexpr IID IID_IShellView2{
    0x88E39E80, 0x3578, 0x11CF, {0xAE, 0x69, 0x08, 0x00, 0x2B, 0x2E, 0x12, 0x62}};
// {000214E2-0000-0000-C000-000000000046}
constexpr IID IID_IShellBrowser{0x000214E2, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
// {000214E4-0000-0000-C000-000000000046}
constexpr IID IID_IContextMenu{0x000214E4, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

using SHELLVIEWID = GUID;
using HOLEMENU = HGLOBAL;
using HPROPSHEETPAGE = struct _PSP*;
using LPFNSVADDPROPSHEETPAGE = BOOL (*)(HPROPSHEETPAGE page, LPARAM context);
// Toolbar buttons are not offered by this browser; the slot keeps its type.
struct TBBUTTON;
using LPTBBUTTONSB = TBBUTTON*;

// View modes (FVM_*).
constexpr UINT FVM_ICON = 1;
constexpr UINT FVM_SMALLICON = 2;
constexpr UINT FVM_LIST = 3;
constexpr UINT FVM_DETAILS = 4;
constexpr UINT FVM_THUMBNAIL = 5;
constexpr UINT FVM_TILE = 6;
constexpr UINT FVM_THUMBSTRIP = 7;

// Folder view flags (FWF_*).
constexpr UINT FWF_NONE = 0x00000000;
constexpr UINT FWF_AUTOARRANGE = 0x00000001;
constexpr UINT FWF_ABBREVIATEDNAMES = 0x00000002;
constexpr UINT FWF_SNAPTOGRID = 0x00000004;
constexpr UINT FWF_OWNERDATA = 0x00000008;
constexpr UINT FWF_BESTFITWINDOW = 0x00000010;
constexpr UINT FWF_DESKTOP = 0x00000020;
constexpr UINT FWF_SINGLESEL = 0x00000040;
constexpr UINT FWF_NOSUBFOLDERS = 0x00000080;
constexpr UINT FWF_TRANSPARENT = 0x00000100;
constexpr UINT FWF_NOCLIENTEDGE = 0x00000200;
constexpr UINT FWF_NOSCROLL = 0x00000400;
constexpr UINT FWF_ALIGNLEFT = 0x00000800;
constexpr UINT FWF_NOICONS = 0x00001000;
constexpr UINT FWF_SHOWSELALWAYS = 0x00002000;
constexpr UINT FWF_NOVISIBLE = 0x00004000;
constexpr UINT FWF_SINGLECLICKACTIVATE = 0x00008000;
constexpr UINT FWF_NOWEBVIEW = 0x00010000;
constexpr UINT FWF_HIDEFILENAMES = 0x00020000;
constexpr UINT FWF_CHECKSELECT = 0x00040000;

struct FOLDERSETTINGS {
  UINT ViewMode;
  UINT fFlags;
};
static_assert(sizeof(FOLDERSETTINGS) == 8);
using LPFOLDERSETTINGS = FOLDERSETTINGS*;
using LPCFOLDERSETTINGS = const FOLDERSETTINGS*;

// UIActivate's states (SVUIA_*).
constexpr UINT SVUIA_DEACTIVATE = 0;
constexpr UINT SVUIA_ACTIVATE_NOFOCUS = 1;
constexpr UINT SVUIA_ACTIVATE_FOCUS = 2;
constexpr UINT SVUIA_INPLACEACTIVATE = 3;

// GetItemObject's choice (SVGIO_*) and SelectItem's flags (SVSI_*).
constexpr UINT SVGIO_BACKGROUND = 0x00000000;
constexpr UINT SVGIO_SELECTION = 0x00000001;
constexpr UINT SVGIO_ALLVIEW = 0x00000002;
constexpr UINT SVSI_DESELECT = 0x00000000;
constexpr UINT SVSI_SELECT = 0x00000001;
constexpr UINT SVSI_EDIT = 0x00000003;
constexpr UINT SVSI_DESELECTOTHERS = 0x00000004;
constexpr UINT SVSI_ENSUREVISIBLE = 0x00000008;
constexpr UINT SVSI_FOCUSED = 0x00000010;

// IShellView2::GetView's special indexes.
constexpr ULONG SV2GV_CURRENTVIEW = static_cast<ULONG>(-1);
constexpr ULONG SV2GV_DEFAULTVIEW = static_cast<ULONG>(-2);

struct SV2CVW2_PARAMS {
  DWORD cbSize;
  IShellView* psvPrev;
  LPCFOLDERSETTINGS pfs;
  IShellBrowser* psbOwner;
  RECT* prcView;
  const SHELLVIEWID* pvid;
  HWND hwndView;  // out: the view's window
};
static_assert(offsetof(SV2CVW2_PARAMS, psvPrev) == sizeof(void*));
static_assert(offsetof(SV2CVW2_PARAMS, hwndView) == 6 * sizeof(void*));
using LPSV2CVW2_PARAMS = SV2CVW2_PARAMS*;

// How many pop-ups each group of a shared menu bar holds: File, Edit,
// Container (the browser's 0, 2, 4) and Object (the view's 1, 3, 5).
struct OLEMENUGROUPWIDTHS {
  LONG width[6];
};
static_assert(sizeof(OLEMENUGROUPWIDTHS) == 24);
using LPOLEMENUGROUPWIDTHS = OLEMENUGROUPWIDTHS*;

// BrowseObject's flags (SBSP_*).
constexpr UINT SBSP_DEFBROWSER = 0x0000;
constexpr UINT SBSP_SAMEBROWSER = 0x0001;
constexpr UINT SBSP_NEWBROWSER = 0x0002;
constexpr UINT SBSP_DEFMODE = 0x0000;
constexpr UINT SBSP_OPENMODE = 0x0010;
constexpr UINT SBSP_EXPLOREMODE = 0x0020;
constexpr UINT SBSP_HELPMODE = 0x0040;
constexpr UINT SBSP_NOTRANSFERHIST = 0x0080;
constexpr UINT SBSP_ABSOLUTE = 0x0000;
constexpr UINT SBSP_RELATIVE = 0x1000;
constexpr UINT SBSP_PARENT = 0x2000;
constexpr UINT SBSP_NAVIGATEBACK = 0x4000;
constexpr UINT SBSP_NAVIGATEFORWARD = 0x8000;
constexpr UINT SBSP_ALLOW_AUTONAVIGATE = 0x00010000;
constexpr UINT SBSP_NOAUTOSELECT = 0x04000000;
constexpr UINT SBSP_WRITENOHISTORY = 0x08000000;
constexpr UINT SBSP_REDIRECT = 0x40000000;
constexpr UINT SBSP_INITIATEDBYHLINKFRAME = 0x80000000;

// The browser's control windows (FCW_*), for GetControlWindow and
// SendControlMsg.
constexpr UINT FCW_STATUS = 0x0001;
constexpr UINT FCW_TOOLBAR = 0x0002;
constexpr UINT FCW_TREE = 0x0003;
constexpr UINT FCW_INTERNETBAR = 0x0006;
constexpr UINT FCW_PROGRESS = 0x0008;

// Command and menu identifiers (FCIDM_*): a view's own commands lie between
// FCIDM_SHVIEWFIRST and FCIDM_SHVIEWLAST; the browser's pop-ups carry the
// FCIDM_MENU_* ids, by which a view finds them in the shared menu bar.
constexpr UINT FCIDM_SHVIEWFIRST = 0x0000;
constexpr UINT FCIDM_SHVIEWLAST = 0x7FFF;
constexpr UINT FCIDM_BROWSERFIRST = 0xA000;
constexpr UINT FCIDM_BROWSERLAST = 0xBF00;
constexpr UINT FCIDM_GLOBALFIRST = 0x8000;
constexpr UINT FCIDM_GLOBALLAST = 0x9FFF;
constexpr UINT FCIDM_MENU_FILE = FCIDM_GLOBALFIRST + 0x0000;
constexpr UINT FCIDM_MENU_EDIT = FCIDM_GLOBALFIRST + 0x0040;
constexpr UINT FCIDM_MENU_VIEW = FCIDM_GLOBALFIRST + 0x0080;
constexpr UINT FCIDM_MENU_VIEW_SEP_OPTIONS = FCIDM_GLOBALFIRST + 0x0081;
constexpr UINT FCIDM_MENU_TOOLS = FCIDM_GLOBALFIRST + 0x00C0;
constexpr UINT FCIDM_MENU_TOOLS_SEP_GOTO = FCIDM_GLOBALFIRST + 0x00C1;
constexpr UINT FCIDM_MENU_HELP = FCIDM_GLOBALFIRST + 0x0100;
constexpr UINT FCIDM_MENU_FIND = FCIDM_GLOBALFIRST + 0x0140;
constexpr UINT FCIDM_MENU_EXPLORE = FCIDM_GLOBALFIRST + 0x0150;
constexpr UINT FCIDM_MENU_FAVORITES = FCIDM_GLOBALFIRST + 0x0170;
constexpr UINT FCIDM_TOOLBAR = FCIDM_BROWSERFIRST + 0;
constexpr UINT FCIDM_STATUS = FCIDM_BROWSERFIRST + 1;

class IOleWindow : public IUnknown {
 public:
  virtual HRESULT GetWindow(HWND* window) = 0;
  virtual HRESULT ContextSensitiveHelp(BOOL enterMode) = 0;
};

class IShellView : public IOleWindow {
 public:
  // S_OK when the view handled the message, S_FALSE to let the browser go on.
  virtual HRESULT TranslateAccelerator(MSG* msg) = 0;
  virtual HRESULT EnableModeless(BOOL enable) = 0;
  virtual HRESULT UIActivate(UINT state) = 0;
  virtual HRESULT Refresh() = 0;
  virtual HRESULT CreateViewWindow(IShellView* previous, LPCFOLDERSETTINGS settings,
                                   IShellBrowser* browser, RECT* rect, HWND* window) = 0;
  virtual HRESULT DestroyViewWindow() = 0;
  virtual HRESULT GetCurrentInfo(LPFOLDERSETTINGS settings) = 0;
  virtual HRESULT AddPropertySheetPages(DWORD reserved, LPFNSVADDPROPSHEETPAGE addPage,
                                        LPARAM context) = 0;
  virtual HRESULT SaveViewState() = 0;
  virtual HRESULT SelectItem(LPCITEMIDLIST item, UINT flags) = 0;
  virtual HRESULT GetItemObject(UINT which, REFIID iid, void** object) = 0;
};

class IShellView2 : public IShellView {
 public:
  // index: 0 the default view, or SV2GV_CURRENTVIEW, SV2GV_DEFAULTVIEW.
  virtual HRESULT GetView(SHELLVIEWID* viewId, ULONG index) = 0;
  virtual HRESULT CreateViewWindow2(LPSV2CVW2_PARAMS params) = 0;
  virtual HRESULT HandleRename(LPCITEMIDLIST newItem) = 0;
  virtual HRESULT SelectAndPositionItem(LPCITEMIDLIST item, UINT flags, POINT* point) = 0;
};

class IShellBrowser : public IOleWindow {
 public:
  // Fills an empty menu bar with the browser's pop-ups and says in widths
  // how many went into the File, Container and Window groups (0, 2, 4).
  virtual HRESULT InsertMenusSB(HMENU shared, LPOLEMENUGROUPWIDTHS widths) = 0;
  // Shows shared (null: the browser's own menu again).
  virtual HRESULT SetMenuSB(HMENU shared, HOLEMENU oleMenu, HWND activeObject) = 0;
  // Takes the browser's pop-ups back out of shared, which the view then
  // destroys.
  virtual HRESULT RemoveMenusSB(HMENU shared) = 0;
  virtual HRESULT SetStatusTextSB(LPCOLESTR text) = 0;
  virtual HRESULT EnableModelessSB(BOOL enable) = 0;
  virtual HRESULT TranslateAcceleratorSB(MSG* msg, WORD id) = 0;
  virtual HRESULT BrowseObject(LPCITEMIDLIST list, UINT flags) = 0;
  // The current folder's view-state stream, opened with mode (STGM_READ,
  // STGM_WRITE); the caller releases it.
  virtual HRESULT GetViewStateStream(DWORD mode, IStream** stream) = 0;
  virtual HRESULT GetControlWindow(UINT id, HWND* window) = 0;
  virtual HRESULT SendControlMsg(UINT id, UINT message, WPARAM wParam, LPARAM lParam,
                                 LRESULT* result) = 0;
  virtual HRESULT QueryActiveShellView(IShellView** view) = 0;
  virtual HRESULT OnViewWindowActive(IShellView* view) = 0;
  virtual HRESULT SetToolbarItems(LPTBBUTTONSB buttons, UINT count, UINT flags) = 0;
};
