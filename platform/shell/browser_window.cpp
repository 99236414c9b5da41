// The browser's window: its class, its children (tree, status bar, the
// view's window), menu and key routing, shell change notifications, and
// the thread's loop that runs until the last browser window has closed.
#include "platform/shell/browser_window.h"

#include <cstring>
#include <mutex>

#include "platform/base/codepage.h"
#include "platform/shell/browser_menus.h"
#include "platform/shell/shell_browser.h"
#include "platform/ui/progress_status.h"
#include "platform/ui/user32.h"

namespace {

constexpr int kDefaultWidth = 760;
constexpr int kDefaultHeight = 520;
constexpr int kTreeWidth = 220;

thread_local int t_windows = 0;
// Whether RunLoop serves this thread: only then does the last window's
// going end the thread's loop.
thread_local bool t_running = false;

// A shell change as it reached an observer, kept until the window's thread
// takes it (the items are only valid during the notification).
struct PendingChange {
  LONG eventId;
  UniqueItemIdList first;
  UniqueItemIdList second;
};

bool RegisterClasses() {
  static const bool registered = [] {
    for (const char* name : {kExploreWindowClass, kCabinetWindowClass}) {
      WNDCLASSA windowClass{};
      windowClass.lpfnWndProc = [](HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_NCCREATE) {
          auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
          SetWindowLongPtrA(window, GWLP_USERDATA,
                            reinterpret_cast<LONG_PTR>(create->lpCreateParams));
        }
        ShellBrowser* browser = ShellBrowser::Of(window);
        return browser != nullptr ? browser->Dispatch(window, message, wParam, lParam)
                                  : DefWindowProcA(window, message, wParam, lParam);
      };
      windowClass.lpszClassName = name;
      if (RegisterClassA(&windowClass) == 0) return false;
    }
    return true;
  }();
  return registered;
}

bool FocusIsEdit() {
  char name[16] = "";
  HWND focus = GetFocus();
  return focus != nullptr && GetClassNameA(focus, name, sizeof name) > 0 &&
         std::strcmp(name, "Edit") == 0;
}

}  // namespace

struct ShellBrowser::Changes {
  std::mutex mutex;
  std::vector<PendingChange> pending;
};

ShellBrowser::ShellBrowser(bool explore) : m_explore(explore), m_pending(new Changes) {}

ShellBrowser::~ShellBrowser() = default;

ShellBrowser* ShellBrowser::Of(HWND window) {
  HWND root = GetAncestor(window, GA_ROOT);
  if (root == nullptr) root = window;
  char name[32] = "";
  GetClassNameA(root, name, sizeof name);
  if (std::strcmp(name, kExploreWindowClass) != 0 && std::strcmp(name, kCabinetWindowClass) != 0)
    return nullptr;
  return reinterpret_cast<ShellBrowser*>(GetWindowLongPtrA(root, GWLP_USERDATA));
}

HWND ShellBrowser::Open(LPCITEMIDLIST folder, bool explore) {
  if (!RegisterClasses()) return nullptr;
  ComPtr<IShellBrowser> keep;
  if (FAILED(NewInstance(IID_IShellBrowser, keep.OutVoid(), explore))) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  auto* browser = static_cast<ShellBrowser*>(keep.Get());
  if (!browser->Create(folder)) return nullptr;
  return browser->m_window;
}

bool ShellBrowser::Create(LPCITEMIDLIST folder) {
  UniqueItemIdList start(ILClone(folder));
  if (start == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return false;
  }
  m_ownMenu = CreateMenu();
  InsertBrowserMenus(m_ownMenu, nullptr);
  m_accelerators = CreateBrowserAccelerators();
  HWND window = CreateWindowExA(0, m_explore ? kExploreWindowClass : kCabinetWindowClass, "",
                                WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, CW_USEDEFAULT,
                                CW_USEDEFAULT, kDefaultWidth, kDefaultHeight, nullptr, m_ownMenu,
                                nullptr, this);
  if (window == nullptr) return false;
  // The window's reference, given back at WM_NCDESTROY.
  AddRef();
  ++t_windows;
  m_window = window;
  m_status = CreateStatusWindowA(WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, "", window,
                                 kBrowserStatusId);
  if (m_explore) {
    m_tree = std::make_unique<FolderTree>(window, kBrowserTreeId);
    if (m_tree->Window() != nullptr)
      m_treeEdits = std::make_unique<TreeEdits>(m_tree.get(), window);
  }
  Layout();
  const HRESULT navigated = Navigate(start.get());
  if (FAILED(navigated)) {
    DestroyWindow(window);
    const DWORD error = Win32ErrorOfHResult(navigated);
    SetLastError(error != 0 ? error : ERROR_PATH_NOT_FOUND);
    return false;
  }
  m_changes.emplace([this, window](const ShellChange& change) {
    if ((change.flags & 0xFF) != SHCNF_IDLIST) return;
    {
      std::lock_guard lock(m_pending->mutex);
      m_pending->pending.push_back(
          {change.eventId, UniqueItemIdList(ILClone(static_cast<LPCITEMIDLIST>(change.item1))),
           UniqueItemIdList(ILClone(static_cast<LPCITEMIDLIST>(change.item2)))});
    }
    PostMessageA(window, kShellChangeMessage, 0, 0);
  });
  ShowWindow(window, SW_SHOWNORMAL);
  SetFocus(m_viewWindow != nullptr ? m_viewWindow : m_tree ? m_tree->Window() : window);
  return true;
}

LRESULT ShellBrowser::Dispatch(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  // Whatever a handler does, the object lives until the message is done.
  ComPtr<IShellBrowser> hold(this);
  switch (message) {
    case WM_SIZE:
      Layout();
      return 0;
    case WM_SETFOCUS:
      if (m_viewWindow != nullptr) {
        SetFocus(m_viewWindow);
      } else if (m_tree) {
        SetFocus(m_tree->Window());
      }
      return 0;
    case WM_COMMAND:
      OnCommand(LOWORD(wParam), wParam, lParam);
      return 0;
    case WM_INITMENUPOPUP:
    case WM_UNINITMENUPOPUP:
    case WM_MENUSELECT:
      OnInitMenuPopup(message, wParam, lParam);
      return 0;
    case WM_NOTIFY: {
      const auto* header = reinterpret_cast<const NMHDR*>(lParam);
      LRESULT result = 0;
      if (m_tree && m_tree->OnNotify(header, &result)) return result;
      if (m_treeEdits && m_treeEdits->OnNotify(header, &result)) return result;
      if (m_tree && header->hwndFrom == m_tree->Window()) {
        if (header->code == TVN_SELCHANGED && !m_selectingInTree) {
          const auto* change = reinterpret_cast<const NMTREEVIEWA*>(header);
          if (LPCITEMIDLIST list = m_tree->ListOf(change->itemNew.hItem)) {
            UniqueItemIdList target(ILClone(list));
            Navigate(target.get());
          }
        } else if (header->code == NM_SETFOCUS) {
          ActivateView(SVUIA_ACTIVATE_NOFOCUS);
        }
      }
      return 0;
    }
    case kShellChangeMessage: {
      std::vector<PendingChange> changes;
      {
        std::lock_guard lock(m_pending->mutex);
        changes.swap(m_pending->pending);
      }
      for (const PendingChange& change : changes)
        OnShellChange(change.eventId, change.first.get(), change.second.get());
      return 0;
    }
    case kBrowseMessage: {
      UniqueItemIdList target(reinterpret_cast<LPITEMIDLIST>(lParam));
      Navigate(target.get());
      return 0;
    }
    case WM_CONTEXTMENU:
      // The tree's items have their folders' menus; the view shows its own.
      if (m_treeEdits && reinterpret_cast<HWND>(wParam) == m_tree->Window())
        m_treeEdits->ContextMenu(lParam);
      return 0;
    case WM_CLOSE:
      DestroyWindow(window);
      return 0;
    case WM_DESTROY:
      Close();
      return 0;
    case WM_NCDESTROY:
      SetWindowLongPtrA(window, GWLP_USERDATA, 0);
      m_window = nullptr;
      m_status = nullptr;
      if (--t_windows == 0 && t_running) PostQuitMessage(0);
      Release();
      return 0;
    default:
      return DefWindowProcA(window, message, wParam, lParam);
  }
}

void ShellBrowser::Close() {
  // No change is taken once the window is going.
  m_changes.reset();
  if (m_view) {
    m_view->GetCurrentInfo(&m_settings);
    m_view->SaveViewState();
  }
  DestroyView();
  m_treeEdits.reset();
  m_tree.reset();
  SetMenu(m_window, nullptr);
  DestroyMenu(m_ownMenu);
  m_ownMenu = nullptr;
  DestroyAcceleratorTable(m_accelerators);
  m_accelerators = nullptr;
  // A browse that was still to come finds no view to replace.
  MSG pending;
  while (PeekMessageA(&pending, m_window, kBrowseMessage, kBrowseMessage, PM_REMOVE))
    ILFree(reinterpret_cast<LPITEMIDLIST>(pending.lParam));
}

RECT ShellBrowser::ViewRect() const {
  RECT client{};
  GetClientRect(m_window, &client);
  RECT status{};
  if (m_status != nullptr) GetWindowRect(m_status, &status);
  RECT view = client;
  view.bottom -= status.bottom - status.top;
  if (m_tree) view.left = kTreeWidth;
  if (view.bottom < view.top) view.bottom = view.top;
  return view;
}

void ShellBrowser::Layout() {
  if (m_window == nullptr) return;
  // The status bar places itself along the bottom on WM_SIZE.
  if (m_status != nullptr) SendMessageA(m_status, WM_SIZE, 0, 0);
  const RECT view = ViewRect();
  if (m_tree) MoveWindow(m_tree->Window(), 0, view.top, kTreeWidth, view.bottom - view.top, TRUE);
  if (m_viewWindow != nullptr)
    MoveWindow(m_viewWindow, view.left, view.top, view.right - view.left, view.bottom - view.top,
               TRUE);
}

void ShellBrowser::OnCommand(UINT id, WPARAM wParam, LPARAM lParam) {
  switch (id) {
    case kBrowserCloseCommand:
      PostMessageA(m_window, WM_CLOSE, 0, 0);
      return;
    case kBrowserRefreshCommand:
      Refresh();
      return;
    case kBrowserUpCommand:
      BrowseObject(nullptr, SBSP_SAMEBROWSER | SBSP_PARENT);
      return;
    case kBrowserAboutCommand:
      MessageBoxA(m_window,
                  "Shell browser: the folders of the namespace extensions registered under My "
                  "Computer, each shown by its own view.",
                  "About the Shell Browser", MB_OK | MB_ICONINFORMATION);
      return;
    default:
      break;
  }
  // Menu commands (no control behind them) in the view's range are the
  // view's.
  if (lParam == 0 && id <= FCIDM_SHVIEWLAST && m_viewWindow != nullptr)
    SendMessageA(m_viewWindow, WM_COMMAND, wParam, 0);
}

void ShellBrowser::OnInitMenuPopup(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITMENUPOPUP) {
    auto popup = reinterpret_cast<HMENU>(wParam);
    // Without a view nobody carries out its commands.
    EnableMenuItem(popup, kWebViewCommand, MF_BYCOMMAND | (m_viewWindow != nullptr ? MF_ENABLED : MF_GRAYED));
    LPITEMIDLIST parent = ILClone(m_current.get());
    const bool hasParent = parent != nullptr && ILRemoveLastID(parent) && parent->mkid.cb != 0;
    ILFree(parent);
    EnableMenuItem(popup, kBrowserUpCommand, MF_BYCOMMAND | (hasParent ? MF_ENABLED : MF_GRAYED));
  }
  // The view checks and grays its own items, as it does under Explorer.
  if (m_viewWindow != nullptr) SendMessageA(m_viewWindow, message, wParam, lParam);
}

bool ShellBrowser::TranslateKey(MSG* msg) {
  if (msg->message < WM_KEYFIRST || msg->message > WM_KEYLAST) return false;
  HWND focus = GetFocus();
  const bool inView =
      m_viewWindow != nullptr && (focus == m_viewWindow || IsChild(m_viewWindow, focus));
  ComPtr<IShellView> view = m_view;
  if (inView && view && view->TranslateAccelerator(msg) == S_OK) return true;
  if (m_treeEdits && m_treeEdits->TranslateKey(msg)) return true;
  // Keys typed into an edit box are the edit box's.
  if (FocusIsEdit() || m_accelerators == nullptr) return false;
  return TranslateAcceleratorA(m_window, m_accelerators, msg) != 0;
}

void ShellBrowser::OnShellChange(LONG eventId, LPCITEMIDLIST first, LPCITEMIDLIST second) {
  bool refreshView = eventId == SHCNE_ASSOCCHANGED;
  UniqueItemIdList moveTo;
  for (LPCITEMIDLIST item : {first, second}) {
    if (item == nullptr) continue;
    UniqueItemIdList parent(ILClone(item));
    if (parent == nullptr || !ILRemoveLastID(parent.get())) continue;
    if (m_tree) {
      m_tree->RefreshChildren(parent.get());
      // A folder said to have changed is listed again itself.
      if (eventId == SHCNE_UPDATEDIR) m_tree->RefreshChildren(item);
    }
    if (ILIsEqual(parent.get(), m_current.get()) || ILIsEqual(item, m_current.get()))
      refreshView = true;
    // The folder shown, or one it lies in, went away or was renamed.
    const bool gone = eventId == SHCNE_RMDIR || eventId == SHCNE_RENAMEFOLDER;
    if (item == first && gone &&
        (ILIsEqual(item, m_current.get()) || ILIsParent(item, m_current.get(), FALSE))) {
      moveTo.reset(eventId == SHCNE_RENAMEFOLDER && second != nullptr &&
                           ILIsEqual(item, m_current.get())
                       ? ILClone(second)
                       : parent.release());
    }
  }
  if (moveTo != nullptr) {
    Navigate(moveTo.get());
  } else if (refreshView && m_view) {
    m_view->Refresh();
  }
}

void ShellBrowser::RunLoop() {
  t_running = true;
  MSG msg;
  // The last window's going posts the quit that ends the loop.
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    ShellBrowser* browser = msg.hwnd != nullptr ? Of(msg.hwnd) : nullptr;
    if (browser != nullptr && browser->TranslateKey(&msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  t_running = false;
}

HWND OpenShellBrowser(LPCITEMIDLIST folder, bool explore) {
  return ShellBrowser::Open(folder, explore);
}

int RunShellBrowser(LPCITEMIDLIST folder, bool explore) {
  if (ShellBrowser::Open(folder, explore) == nullptr) return 1;
  ShellBrowser::RunLoop();
  return 0;
}
