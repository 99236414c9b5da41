// The classic view's life: its window and list, the folder it shows, the
// view state it starts from and saves, filling and sorting, and the
// messages its window and list send it.
#include "shellfolder/mp3db_classic_view.h"

#include <cstring>

#include "platform/com/bstr.h"
#include "platform/shell/shell_folder.h"
#include "platform/ui/commctrl.h"
#include "platform/ui/ole/drag_drop.h"
#include "platform/ui/user32.h"
#include "shellfolder/cobrell.h"
#include "shellfolder/item_id_manager.h"
#include "shellfolder/list_fill.h"
#include "shellfolder/view_dispatch.h"
#include "shellfolder/view_resources.h"
#include "shellfolder/view_state.h"

namespace {

constexpr char kClassName[] = "Mp3Db Classic View";
constexpr int kListId = 1;
constexpr int kIconSize = 16;

const ItemIdManager& Items() { return TheItemIdManager(); }

ShownFolder ShownFolderOf(LPCITEMIDLIST list) {
  ShownFolder shown;
  if (list == nullptr || !Items().IsMusicItem(list, true)) return shown;
  const MusicItem* item = AsMusicItem(Items().GetLast(list));
  shown.kind = item->kind;
  shown.category = ItemCategory(item);
  shown.extra = ItemExtra(item);
  shown.id = item->id;
  shown.name = ItemName(item);
  return shown;
}

DWORD ListStyleOf(UINT viewMode) {
  switch (viewMode) {
    case FVM_ICON:
      return LVS_ICON;
    case FVM_SMALLICON:
      return LVS_SMALLICON;
    case FVM_LIST:
      return LVS_LIST;
    default:
      return LVS_REPORT;
  }
}

}  // namespace

Mp3DbClassicView::Mp3DbClassicView() : m_selectionEvents(this, DIID__Mp3DbClassicEvents) {}

Mp3DbClassicView::~Mp3DbClassicView() {
  m_selectionEvents.UnadviseAll();
  DestroyControlWindow();
}

HRESULT Mp3DbClassicView::Create(REFIID iid, void** object) { return NewInstance(iid, object); }

InterfaceTable Mp3DbClassicView::Interfaces() {
  auto* view = static_cast<IMp3DbClassicView*>(this);
  return {{&IID_IMp3DbClassicView, view},
          {&IID_IDispatch, view},
          {&IID_IHostedControl, static_cast<IHostedControl*>(this)},
          {&IID_IConnectionPointContainer, static_cast<IConnectionPointContainer*>(this)}};
}

// --- the window ---

HRESULT Mp3DbClassicView::MakeWindow(HWND parent, const RECT& rect) {
  // A page that embeds the list made its window already; it stays there.
  if (m_window != nullptr) return S_OK;
  static const ATOM registered = cobrell::RegisterViewClass(kClassName, &WindowProc);
  if (registered == 0) return HResultFromWin32(GetLastError());
  HWND window = CreateWindowExA(0, kClassName, "", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN,
                                rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                                parent, nullptr, cobrell::Resources(), this);
  if (window == nullptr) return HResultFromWin32(GetLastError());
  m_list = CreateWindowExA(WS_EX_CLIENTEDGE, WC_LISTVIEW, "",
                           WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_SHOWSELALWAYS | LVS_EDITLABELS |
                               LVS_SHAREIMAGELISTS | ListStyleOf(m_settings.viewMode),
                           0, 0, rect.right - rect.left, rect.bottom - rect.top, window,
                           reinterpret_cast<HMENU>(static_cast<intptr_t>(kListId)),
                           cobrell::Resources(), nullptr);
  m_images.reset(ImageList_Create(kIconSize, kIconSize, ILC_COLOR32 | ILC_MASK, 8, 8));
  if (m_list == nullptr || !m_images) {
    DestroyWindow(window);
    return E_OUTOFMEMORY;
  }
  ListView_SetExtendedListViewStyle(m_list, LVS_EX_FULLROWSELECT);
  ListView_SetImageList(m_list, m_images.get(), LVSIL_SMALL);
  ListView_SetImageList(m_list, m_images.get(), LVSIL_NORMAL);
  RegisterDropTarget();
  return S_OK;
}

LRESULT Mp3DbClassicView::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* view = cobrell::ViewOfWindow<Mp3DbClassicView>(window, message, lParam);
  if (view == nullptr) return DefWindowProcA(window, message, wParam, lParam);
  if (message == WM_NCCREATE) view->m_window = window;
  if (message == WM_NCDESTROY) {
    view->m_window = nullptr;
    view->m_list = nullptr;
    return DefWindowProcA(window, message, wParam, lParam);
  }
  return view->OnMessage(message, wParam, lParam);
}

LRESULT Mp3DbClassicView::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SIZE:
      MoveWindow(m_list, 0, 0, LOWORD(static_cast<uintptr_t>(lParam)),
                 HIWORD(static_cast<uintptr_t>(lParam)), TRUE);
      return 0;
    case WM_SETFOCUS:
      ::SetFocus(m_list);
      return 0;
    case WM_NOTIFY: {
      const auto* header = reinterpret_cast<const NMHDR*>(lParam);
      if (header != nullptr && header->hwndFrom == m_list) return OnNotify(*header);
      break;
    }
    case WM_INITMENUPOPUP: {
      BOOL handled = FALSE;
      InitMenuPopup(message, wParam, lParam, &handled);
      return 0;
    }
    case WM_COPYDATA: {
      BOOL handled = FALSE;
      OnCopyData(message, wParam, lParam, &handled);
      return handled;
    }
    case WM_CONTEXTMENU:
      ShowContextMenu(lParam);
      return 0;
    default:
      break;
  }
  return DefWindowProcA(m_window, message, wParam, lParam);
}

LRESULT Mp3DbClassicView::OnNotify(const NMHDR& header) {
  switch (header.code) {
    case LVN_COLUMNCLICK:
      SortByColumn(reinterpret_cast<const NMLISTVIEW&>(header).iSubItem);
      return 0;
    case LVN_ITEMCHANGED: {
      const auto& change = reinterpret_cast<const NMLISTVIEW&>(header);
      if ((change.uChanged & LVIF_STATE) != 0 &&
          ((change.uNewState ^ change.uOldState) & LVIS_SELECTED) != 0) {
        SelectionChanged();
      }
      return 0;
    }
    case NM_DBLCLK:
      OpenRow(reinterpret_cast<const NMITEMACTIVATE&>(header).iItem);
      return 0;
    case LVN_BEGINLABELEDITA:
      return BeginLabelEdit(reinterpret_cast<const NMLVDISPINFOA&>(header).item.iItem) ? FALSE
                                                                                       : TRUE;
    case LVN_ENDLABELEDITA: {
      const LVITEMA& item = reinterpret_cast<const NMLVDISPINFOA&>(header).item;
      return EndLabelEdit(item.iItem, item.pszText) ? TRUE : FALSE;
    }
    case LVN_BEGINDRAG:
      BeginDrag();
      return 0;
    case LVN_DELETEALLITEMS:
      // Rows keep nothing to free: no word of each row as it goes.
      return TRUE;
    default:
      return 0;
  }
}

// --- the folder, the view state, filling ---

void Mp3DbClassicView::SetFolder(IShellFolder* folder) {
  m_folder = ComPtr<IShellFolder>(folder);
  m_folderList.reset();
  ComPtr<IPersistFolder2> persist;
  LPITEMIDLIST list = nullptr;
  if (m_folder && SUCCEEDED(m_folder.As(IID_IPersistFolder2, &persist)) &&
      SUCCEEDED(persist->GetCurFolder(&list))) {
    m_folderList.reset(list);
  }
  m_shown = ShownFolderOf(m_folderList.get());
  m_headings = ColumnHeadings(m_shown);
}

void Mp3DbClassicView::ReadViewState() {
  m_sortName.Empty();
  m_ascending = true;
  ComPtr<IStream> stream;
  if (!m_browser || FAILED(m_browser->GetViewStateStream(STGM_READ, stream.Out())) || !stream)
    return;
  // One byte more than a record, so that a longer stream shows itself.
  BYTE bytes[kViewStateSize + 1];
  ULONG read = 0;
  if (FAILED(stream->Read(bytes, sizeof bytes, &read))) return;
  if (std::optional<ViewState> state = DecodeViewState(bytes, read)) {
    m_sortName = state->sortName;
    m_ascending = state->ascending;
  }
}

HRESULT Mp3DbClassicView::SaveViewState(IStream* pIStream) {
  if (pIStream == nullptr) return E_INVALIDARG;
  const auto bytes = EncodeViewState(ViewState{m_sortName, m_ascending});
  ULONG written = 0;
  const HRESULT result = pIStream->Write(bytes.data(), static_cast<ULONG>(bytes.size()), &written);
  if (FAILED(result)) return result;
  return written == bytes.size() ? S_OK : E_FAIL;
}

HRESULT Mp3DbClassicView::Fill() {
  if (m_list == nullptr) return E_UNEXPECTED;
  // A view that starts unsorted sorts by its first column.
  if (m_sortName.IsEmpty()) {
    m_sortName = SortNameOfColumn(m_shown, m_headings, 0);
    m_ascending = true;
  }
  const HRESULT result =
      FillList(m_list, cobrell::Resources(), m_shown, m_headings, m_sortName, m_ascending);
  UpdateStatusBar();
  return result;
}

void Mp3DbClassicView::SortByColumn(int column) {
  const CString name = SortNameOfColumn(m_shown, m_headings, column);
  if (name.IsEmpty()) return;
  if (name.Compare(m_sortName) == 0) {
    m_ascending = !m_ascending;
  } else {
    m_sortName = name;
    m_ascending = true;
  }
  Fill();
}

void Mp3DbClassicView::ApplyViewMode() {
  if (m_list == nullptr) return;
  const LONG style = GetWindowLongA(m_list, GWL_STYLE);
  SetWindowLongA(m_list, GWL_STYLE,
                 static_cast<LONG>((static_cast<DWORD>(style) & ~LVS_TYPEMASK) |
                                   ListStyleOf(m_settings.viewMode)));
}

std::u16string Mp3DbClassicView::FolderPath() const {
  return m_shown.kind == kKindRoot ? std::u16string(kMusicFolderNameWide) : m_shown.name;
}

// --- IMp3DbClassicView: life and state ---

HRESULT Mp3DbClassicView::CreateView(IUnknown*, IShellBrowser* pIShellBrowser,
                                     IShellFolder* pIShellFolder, HWND uhwndParent, LONG uTop,
                                     LONG uLeft, LONG uBottom, LONG uRight, UINT uViewMode,
                                     UINT uFlags, HWND* phWnd) try {
  if (phWnd != nullptr) *phWnd = nullptr;
  if (pIShellFolder == nullptr) return E_INVALIDARG;
  m_browser = ComPtr<IShellBrowser>(pIShellBrowser);
  if (FAILED(m_settings.Set(uViewMode, uFlags))) m_settings.Set(FVM_DETAILS, uFlags);
  SetFolder(pIShellFolder);
  ReadViewState();
  const HRESULT made = MakeWindow(uhwndParent, RECT{uLeft, uTop, uRight, uBottom});
  if (FAILED(made)) return made;
  ApplyViewMode();
  Fill();
  if (phWnd != nullptr) *phWnd = m_window;
  return S_OK;
} catch (...) {
  return E_OUTOFMEMORY;
}

HRESULT Mp3DbClassicView::Refresh() {
  if (m_list == nullptr) return E_UNEXPECTED;
  return Fill();
}

HRESULT Mp3DbClassicView::DestroyView() {
  DestroyControlWindow();
  m_browser.Reset();
  return S_OK;
}

HRESULT Mp3DbClassicView::GetCurrentInfo(UINT* puViewMode, UINT* puFlags) {
  return m_settings.Get(puViewMode, puFlags);
}

HRESULT Mp3DbClassicView::GetWindow(HWND* phWnd) { return cobrell::AnswerWindow(m_window, phWnd); }

HRESULT Mp3DbClassicView::SetCurrentInfo(UINT uViewMode, UINT uFlags) {
  const HRESULT result = m_settings.Set(uViewMode, uFlags);
  if (SUCCEEDED(result)) ApplyViewMode();
  return result;
}

HRESULT Mp3DbClassicView::GetCurrentPath(VARIANT* pvarPath) try {
  if (pvarPath == nullptr) return E_POINTER;
  VariantInit(pvarPath);
  const std::u16string path = FolderPath();
  pvarPath->bstrVal = SysAllocString(path.c_str());
  if (pvarPath->bstrVal == nullptr) return E_OUTOFMEMORY;
  pvarPath->vt = VT_BSTR;
  return S_OK;
} catch (...) {
  return E_OUTOFMEMORY;
}

// Nothing in the list stands for a class or a name of its own.
HRESULT Mp3DbClassicView::GetSelectedName(VARIANT*) { return E_FAIL; }
HRESULT Mp3DbClassicView::GetSelectedGUID(VARIANT*) { return E_FAIL; }
HRESULT Mp3DbClassicView::GetSelectedClass(VARIANT*) { return E_FAIL; }

HRESULT Mp3DbClassicView::SetFocus() {
  if (m_list == nullptr) return E_UNEXPECTED;
  ::SetFocus(m_list);
  return S_OK;
}

// --- IDispatch ---

HRESULT Mp3DbClassicView::GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID,
                                        DISPID* dispIds) {
  return cobrell::ViewIDsOfNames(IID_IMp3DbClassicView, iid, names, count, dispIds);
}

HRESULT Mp3DbClassicView::Invoke(DISPID dispId, REFIID iid, LCID, WORD flags, DISPPARAMS* params,
                                 VARIANT* result, EXCEPINFO*, UINT* argumentError) {
  return cobrell::InvokeView(this, IID_IMp3DbClassicView, dispId, iid, flags, params, result,
                             argumentError);
}

// --- IHostedControl ---

HRESULT Mp3DbClassicView::CreateControlWindow(HWND host, const RECT* rect, HWND* window) {
  if (rect == nullptr || window == nullptr) return E_POINTER;
  const HRESULT made = MakeWindow(host, *rect);
  *window = m_window;
  return made;
}

HRESULT Mp3DbClassicView::MoveControlWindow(const RECT* rect) {
  if (rect == nullptr) return E_POINTER;
  if (m_window == nullptr) return E_UNEXPECTED;
  MoveWindow(m_window, rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top,
             TRUE);
  return S_OK;
}

HRESULT Mp3DbClassicView::DestroyControlWindow() {
  if (m_list != nullptr) RevokeDragDrop(m_list);
  if (m_window != nullptr) DestroyWindow(m_window);
  m_images.reset();
  return S_OK;
}

// --- IConnectionPointContainer ---

HRESULT Mp3DbClassicView::EnumConnectionPoints(IEnumConnectionPoints** points) {
  return CreateConnectionPointEnumerator({&m_selectionEvents}, points);
}

HRESULT Mp3DbClassicView::FindConnectionPoint(REFIID iid, IConnectionPoint** point) {
  if (point == nullptr) return E_POINTER;
  *point = nullptr;
  if (!IsEqualGUID(iid, DIID__Mp3DbClassicEvents)) return CONNECT_E_NOCONNECTION;
  *point = &m_selectionEvents;
  m_selectionEvents.AddRef();
  return S_OK;
}
