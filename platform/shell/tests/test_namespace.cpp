// A namespace extension for the shell browser's tests, loaded as an
// in-process server: a small tree of folders, and a view for each that
// merges two commands into the browser's Edit pop-up, keeps a count as its
// view state, writes to the status bar and notes every call it gets.
#include "platform/shell/tests/test_namespace.h"

#include <algorithm>
#include <map>
#include <mutex>
#include <vector>

#include "platform/base/codepage.h"
#include "platform/com/com_object.h"
#include "platform/com/simple_class_factory.h"
#include "platform/com/com_ptr.h"
#include "platform/shell/item_enumerator.h"
#include "platform/shell/shell_execute.h"
#include "platform/shell/shell_folder.h"
#include "platform/shell/shell_malloc.h"
#include "platform/shell/shell_view.h"
#include "platform/ui/progress_status.h"
#include "platform/ui/user32.h"

namespace {

constexpr char kViewClass[] = "QapTestFolderView";
// {0F5E2B61-8C47-4D1A-B3E9-2C6A7D8E9F01}
constexpr SHELLVIEWID kTestViewId{
    0x0F5E2B61, 0x8C47, 0x4D1A, {0xB3, 0xE9, 0x2C, 0x6A, 0x7D, 0x8E, 0x9F, 0x01}};

std::mutex g_mutex;
std::string g_log;
std::map<std::string, std::vector<std::string>> g_children = {
    {"", {"Beta", "Alpha"}}, {"Alpha", {"Gamma"}}, {"Beta", {}}, {"Alpha/Gamma", {}}};

void Note(const std::string& line) {
  std::lock_guard lock(g_mutex);
  g_log += line + "\n";
}

std::vector<std::string> ChildrenOf(const std::string& path) {
  std::lock_guard lock(g_mutex);
  auto found = g_children.find(path);
  return found != g_children.end() ? found->second : std::vector<std::string>{};
}

// The names of a list's own items, joined with '/'.
std::string PathOf(LPCITEMIDLIST list) {
  std::string path;
  for (; list != nullptr && list->mkid.cb != 0; list = ILGetNext(list)) {
    const auto* bytes = reinterpret_cast<const char*>(list);
    if (list->mkid.cb < 5 || bytes[2] != 'Q' || bytes[3] != 'T') continue;
    if (!path.empty()) path += '/';
    path += std::string(bytes + 4);
  }
  return path;
}

LPITEMIDLIST ItemList(const std::string& name) {
  const std::string bytes = TestItemBytes(name) + std::string(2, '\0');
  ComPtr<IMalloc> allocator;
  SHGetMalloc(allocator.Out());
  void* list = allocator->Alloc(bytes.size());
  if (list != nullptr) std::memcpy(list, bytes.data(), bytes.size());
  return static_cast<LPITEMIDLIST>(list);
}

class TestView final : public ComObject<TestView, IShellView2> {
 public:
  InterfaceTable Interfaces() {
    return {{&IID_IShellView2, static_cast<IShellView2*>(this)},
            {&IID_IShellView, static_cast<IShellView*>(this)},
            {&IID_IOleWindow, static_cast<IOleWindow*>(this)}};
  }

  HRESULT GetWindow(HWND* window) override {
    *window = m_window;
    return S_OK;
  }
  HRESULT ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

  HRESULT TranslateAccelerator(MSG* msg) override {
    if (msg->message != WM_KEYUP || msg->wParam != 'Q') return S_FALSE;
    Note("key Q " + m_path);
    return S_OK;
  }
  HRESULT EnableModeless(BOOL) override { return E_NOTIMPL; }

  HRESULT UIActivate(UINT state) override {
    Note("activate " + std::to_string(state) + " " + m_path);
    if (state == SVUIA_DEACTIVATE) {
      if (m_menu == nullptr) return S_OK;
      m_browser->SetMenuSB(nullptr, nullptr, nullptr);
      m_browser->RemoveMenusSB(m_menu);
      DestroyMenu(m_menu);
      m_menu = nullptr;
      return S_OK;
    }
    if (m_menu != nullptr) return S_OK;
    m_menu = CreateMenu();
    OLEMENUGROUPWIDTHS widths{};
    m_browser->InsertMenusSB(m_menu, &widths);
    MENUITEMINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_SUBMENU;
    GetMenuItemInfoA(m_menu, FCIDM_MENU_EDIT, FALSE, &info);
    AppendMenuA(info.hSubMenu, MF_STRING, kCountCommand, "&Count");
    AppendMenuA(info.hSubMenu, MF_STRING, kBrowseFirstCommand, "&Browse First");
    AppendMenuA(info.hSubMenu, MF_STRING, kOpenFirstCommand, "&Open First");
    m_browser->SetMenuSB(m_menu, nullptr, m_window);
    if (state == SVUIA_ACTIVATE_FOCUS) SetFocus(m_window);
    return S_OK;
  }

  HRESULT Refresh() override {
    Note("refresh " + m_path);
    return S_OK;
  }

  HRESULT CreateViewWindow(IShellView* previous, LPCFOLDERSETTINGS settings, IShellBrowser* browser,
                           RECT* rect, HWND* window) override {
    SV2CVW2_PARAMS params{sizeof params, previous, settings, browser, rect, nullptr, nullptr};
    const HRESULT result = CreateViewWindow2(&params);
    *window = params.hwndView;
    return result;
  }

  HRESULT DestroyViewWindow() override {
    Note("destroy " + m_path);
    DestroyWindow(m_window);
    m_window = nullptr;
    m_browser.Reset();
    return S_OK;
  }

  HRESULT GetCurrentInfo(LPFOLDERSETTINGS settings) override {
    *settings = FOLDERSETTINGS{FVM_DETAILS, 0};
    return S_OK;
  }
  HRESULT AddPropertySheetPages(DWORD, LPFNSVADDPROPSHEETPAGE, LPARAM) override {
    return E_NOTIMPL;
  }

  // The state is the count, as text.
  HRESULT SaveViewState() override {
    ComPtr<IStream> stream;
    const HRESULT opened = m_browser->GetViewStateStream(STGM_WRITE, stream.Out());
    if (FAILED(opened)) return opened;
    const std::string state = m_path + ": " + std::to_string(m_count);
    Note("save " + state);
    return stream->Write(state.data(), static_cast<ULONG>(state.size()), nullptr);
  }
  HRESULT SelectItem(LPCITEMIDLIST, UINT) override { return E_NOTIMPL; }
  HRESULT GetItemObject(UINT, REFIID, void** object) override {
    *object = nullptr;
    return E_NOTIMPL;
  }

  HRESULT GetView(SHELLVIEWID* viewId, ULONG index) override {
    if (index != 0 && index != SV2GV_DEFAULTVIEW) return E_INVALIDARG;
    *viewId = kTestViewId;
    return S_OK;
  }

  HRESULT CreateViewWindow2(LPSV2CVW2_PARAMS params) override {
    m_browser = ComPtr<IShellBrowser>(params->psbOwner);
    std::string state = "none";
    ComPtr<IStream> stream;
    if (SUCCEEDED(m_browser->GetViewStateStream(STGM_READ, stream.Out()))) {
      char bytes[256];
      ULONG read = 0;
      stream->Read(bytes, sizeof bytes, &read);
      state.assign(bytes, read);
    }
    Note("open " + m_path + " state=" + state + (params->pvid != nullptr && *params->pvid == kTestViewId
                                                     ? " default view"
                                                     : ""));
    HWND parent = nullptr;
    m_browser->GetWindow(&parent);
    const RECT& rect = *params->prcView;
    m_window = CreateWindowExA(0, kViewClass, "Test View", WS_CHILD | WS_VISIBLE | WS_TABSTOP,
                               rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                               parent, nullptr, nullptr, this);
    params->hwndView = m_window;
    const std::string status = m_path + " shown";
    m_browser->SendControlMsg(FCW_STATUS, SB_SETTEXTA, 0, reinterpret_cast<LPARAM>(status.c_str()),
                              nullptr);
    return m_window != nullptr ? S_OK : E_FAIL;
  }
  HRESULT HandleRename(LPCITEMIDLIST) override { return E_NOTIMPL; }
  HRESULT SelectAndPositionItem(LPCITEMIDLIST, UINT, POINT*) override { return E_NOTIMPL; }

  static LRESULT WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
      auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
      SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<TestView*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (self != nullptr && message == WM_COMMAND) {
      self->OnCommand(LOWORD(wParam));
      return 0;
    }
    if (self != nullptr && message == WM_SETFOCUS && self->m_browser)
      self->m_browser->OnViewWindowActive(self);
    return DefWindowProcA(window, message, wParam, lParam);
  }

 private:
  friend ComObject<TestView, IShellView2>;
  explicit TestView(LPCITEMIDLIST folder) : m_list(ILClone(folder)), m_path(PathOf(folder)) {}
  ~TestView() = default;

  void OnCommand(UINT id) {
    Note("command " + std::to_string(id) + " " + m_path);
    if (id == kCountCommand) ++m_count;
    const std::vector<std::string> children = ChildrenOf(m_path);
    if (children.empty() || !m_browser) return;
    std::vector<std::string> sorted = children;
    std::sort(sorted.begin(), sorted.end());
    UniqueItemIdList child(ItemList(sorted.front()));
    if (id == kBrowseFirstCommand) {
      Note("browse " + std::to_string(m_browser->BrowseObject(child.get(), SBSP_SAMEBROWSER | SBSP_RELATIVE)));
    } else if (id == kOpenFirstCommand) {
      UniqueItemIdList absolute(ILCombine(m_list.get(), child.get()));
      SHELLEXECUTEINFOA info{};
      info.cbSize = sizeof info;
      info.fMask = SEE_MASK_IDLIST | SEE_MASK_CLASSNAME;
      info.lpVerb = "open";
      info.lpClass = "folder";
      info.lpIDList = absolute.get();
      Note("open first " + std::to_string(ShellExecuteExA(&info)));
    }
  }

  UniqueItemIdList m_list;
  std::string m_path;
  ComPtr<IShellBrowser> m_browser;
  HWND m_window = nullptr;
  HMENU m_menu = nullptr;
  int m_count = 0;
};

class TestFolder final : public ComObject<TestFolder, IShellFolder, IPersistFolder2> {
 public:
  InterfaceTable Interfaces() {
    return {{&IID_IShellFolder, static_cast<IShellFolder*>(this)},
            {&IID_IPersist, static_cast<IPersist*>(this)},
            {&IID_IPersistFolder, static_cast<IPersistFolder*>(this)},
            {&IID_IPersistFolder2, static_cast<IPersistFolder2*>(this)}};
  }

  HRESULT ParseDisplayName(HWND, IBindCtx*, LPWSTR, ULONG*, LPITEMIDLIST*, ULONG*) override {
    return E_NOTIMPL;
  }
  HRESULT EnumObjects(HWND, SHCONTF, IEnumIDList** enumerator) override {
    std::vector<UniqueItemIdList> owned;
    std::vector<LPITEMIDLIST> items;
    for (const std::string& name : ChildrenOf(PathOf(m_list.get()))) {
      owned.emplace_back(ItemList(name));
      items.push_back(owned.back().get());
    }
    return ItemEnumerator::Create(std::move(items), enumerator);
  }
  HRESULT BindToObject(LPCITEMIDLIST list, IBindCtx*, REFIID iid, void** object) override {
    ComPtr<IPersistFolder> folder;
    HRESULT result = NewInstance(IID_IPersistFolder, folder.OutVoid());
    if (FAILED(result)) return result;
    UniqueItemIdList absolute(ILCombine(m_list.get(), list));
    folder->Initialize(absolute.get());
    return folder->QueryInterface(iid, object);
  }
  HRESULT BindToStorage(LPCITEMIDLIST, IBindCtx*, REFIID, void**) override { return E_NOTIMPL; }
  HRESULT CompareIDs(LPARAM, LPCITEMIDLIST first, LPCITEMIDLIST second) override {
    return MakeCompareResult(PathOf(first).compare(PathOf(second)));
  }
  // Gamma has no view of its own: its pane stays empty.
  HRESULT CreateViewObject(HWND, REFIID iid, void** object) override {
    *object = nullptr;
    if (iid != IID_IShellView && iid != IID_IShellView2) return E_NOINTERFACE;
    if (PathOf(m_list.get()) == "Alpha/Gamma") return E_NOINTERFACE;
    return TestView::NewInstance(iid, object, m_list.get());
  }
  HRESULT GetAttributesOf(UINT count, LPCITEMIDLIST* items, SFGAOF* inOut) override {
    if (count == 0) return E_INVALIDARG;
    const std::string child = PathOf(m_list.get()).empty()
                                  ? PathOf(items[0])
                                  : PathOf(m_list.get()) + "/" + PathOf(items[0]);
    *inOut &= SFGAO_FOLDER | (ChildrenOf(child).empty() ? 0 : SFGAO_HASSUBFOLDER);
    return S_OK;
  }
  HRESULT GetUIObjectOf(HWND, UINT, LPCITEMIDLIST*, REFIID, UINT*, void** object) override {
    *object = nullptr;
    return E_NOINTERFACE;
  }
  HRESULT GetDisplayNameOf(LPCITEMIDLIST list, SHGDNF, STRRET* name) override {
    const std::string text = PathOf(list);
    name->uType = STRRET_CSTR;
    std::snprintf(name->cStr, sizeof name->cStr, "%s", text.c_str());
    return S_OK;
  }
  HRESULT SetNameOf(HWND, LPCITEMIDLIST, LPCWSTR, SHGDNF, LPITEMIDLIST*) override {
    return E_NOTIMPL;
  }
  HRESULT GetClassID(CLSID* classId) override {
    *classId = CLSID_TestNamespace;
    return S_OK;
  }
  HRESULT Initialize(LPCITEMIDLIST list) override {
    m_list.reset(ILClone(list));
    return S_OK;
  }
  HRESULT GetCurFolder(LPITEMIDLIST* list) override {
    *list = ILClone(m_list.get());
    return S_OK;
  }

 private:
  friend ComObject<TestFolder, IShellFolder, IPersistFolder2>;
  TestFolder() = default;
  ~TestFolder() = default;

  UniqueItemIdList m_list;
};

}  // namespace

// test_list_control.cpp
HRESULT TestListClassObject(REFIID iid, void** object);

extern "C" QAP_EXPORT HRESULT DllGetClassObject(REFCLSID clsid, REFIID iid, void** object) {
  if (object == nullptr) return E_POINTER;
  *object = nullptr;
  if (IsEqualGUID(clsid, CLSID_TestList)) return TestListClassObject(iid, object);
  if (!IsEqualGUID(clsid, CLSID_TestNamespace)) return CLASS_E_CLASSNOTAVAILABLE;
  static const bool registered = [] {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = TestView::WindowProc;
    windowClass.lpszClassName = kViewClass;
    return RegisterClassA(&windowClass) != 0;
  }();
  if (!registered) return E_FAIL;
  return SimpleClassFactory<TestFolder>::NewInstance(iid, object);
}

extern "C" QAP_EXPORT const char* TestNamespaceLog() {
  static std::string copy;
  std::lock_guard lock(g_mutex);
  copy = g_log;
  return copy.c_str();
}

extern "C" QAP_EXPORT void TestNamespaceClear() {
  std::lock_guard lock(g_mutex);
  g_log.clear();
}

extern "C" QAP_EXPORT void TestNamespaceAdd(const char* parent, const char* name) {
  std::lock_guard lock(g_mutex);
  g_children[parent].push_back(name);
  g_children[std::string(parent).empty() ? name : std::string(parent) + "/" + name];
}
