// The web browser control's object and window. Navigate reads and parses
// the page at once, so that a file that is missing or no HTML fails the
// call; the rest of the navigation (the embedded controls, the layout,
// NavigateComplete2 and DocumentComplete) runs from the window's queue, as
// a browser finishes a page after Navigate has returned.
#include "platform/shell/web_browser.h"

#include <strings.h>

#include <fstream>
#include <iterator>
#include <memory>

#include "platform/base/codepage.h"
#include "platform/base/paths.h"
#include "platform/com/com_object.h"
#include "platform/com/com_ptr.h"
#include "platform/com/connection_point_impl.h"
#include "platform/shell/html_elements.h"
#include "platform/shell/web_page.h"
#include "platform/ui/core/window.h"
#include "platform/ui/ole/control_host.h"
#include "platform/ui/user32.h"

namespace {

// Finishes the navigation whose number wParam holds.
constexpr UINT kCompleteMessage = WM_APP + 0x61;

// The window's state: the page it lays out, for the driver.
class PageState final : public ui::core::ControlState, public ui::driver::PageModel {
 public:
  explicit PageState(std::shared_ptr<WebPage> page) : m_page(std::move(page)) {}
  void* QueryModel(const std::type_info& type) override {
    return ui::core::QueryModels<PageState, ui::driver::PageModel>(this, type);
  }
  std::vector<ui::driver::PageBlock> Blocks() const override { return m_page->Blocks(); }

 private:
  std::shared_ptr<WebPage> m_page;
};

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// The host path a URL names: a file: URL (percent escapes decoded, its
// host empty or "localhost") or a path.
std::string HostPathOf(const std::string& url) {
  if (url.size() < 5 || strncasecmp(url.c_str(), "file:", 5) != 0) return ToHostPath(url);
  std::string rest = url.substr(5);
  if (rest.rfind("//", 0) == 0) {
    rest.erase(0, 2);
    const size_t slash = rest.find('/');
    const std::string host = rest.substr(0, slash);
    if (!host.empty() && strcasecmp(host.c_str(), "localhost") != 0) return {};
    rest = slash == std::string::npos ? std::string() : rest.substr(slash);
  }
  std::string path;
  for (size_t i = 0; i < rest.size(); ++i) {
    if (rest[i] == '%' && i + 2 < rest.size() && HexValue(rest[i + 1]) >= 0 &&
        HexValue(rest[i + 2]) >= 0) {
      path += static_cast<char>(HexValue(rest[i + 1]) * 16 + HexValue(rest[i + 2]));
      i += 2;
    } else {
      path += rest[i];
    }
  }
  // "/C:/Music/page.htm" is a drive path.
  if (path.size() >= 3 && path[0] == '/' && path[2] == ':') path.erase(0, 1);
  return ToHostPath(path);
}

class WebBrowser final
    : public ComObject<WebBrowser, WithoutDispatchNames<IWebBrowser2>, IConnectionPointContainer,
                       IHostedControl> {
 public:
  InterfaceTable Interfaces() {
    return {{&IID_IWebBrowser2, static_cast<IWebBrowser2*>(this)},
            {&IID_IDispatch, static_cast<IDispatch*>(this)},
            {&IID_IConnectionPointContainer, static_cast<IConnectionPointContainer*>(this)},
            {&IID_IHostedControl, static_cast<IHostedControl*>(this)}};
  }

  // ---- IWebBrowser2 ----
  HRESULT Navigate(BSTR url, VARIANT*, VARIANT* targetFrame, VARIANT*, VARIANT*) override try {
    if (url == nullptr) return E_INVALIDARG;
    if (m_window == nullptr) return E_FAIL;
    if (targetFrame != nullptr && targetFrame->vt == VT_BSTR && targetFrame->bstrVal != nullptr &&
        SysStringLen(targetFrame->bstrVal) != 0 &&
        std::u16string_view(targetFrame->bstrVal) != u"_self")
      return E_INVALIDARG;
    const std::u16string address(url, SysStringLen(url));
    const std::string path = HostPathOf(WideToAnsi(address));
    std::ifstream file(path, std::ios::binary);
    if (path.empty() || !file) return HResultFromWin32(ERROR_FILE_NOT_FOUND);
    // What cannot be read reads as nothing, which is no HTML.
    const std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    std::shared_ptr<HtmlNode> root = LooksLikeHtml(bytes) ? ParseHtmlDocument(bytes) : nullptr;
    if (root == nullptr) return HResultFromWin32(ERROR_INVALID_DATA);
    m_page->Load(std::move(root), address);
    m_state = READYSTATE_LOADING;
    PostMessageA(m_window, kCompleteMessage, ++m_navigation, 0);
    return S_OK;
  } catch (...) {
    return E_OUTOFMEMORY;
  }

  HRESULT Refresh() override {
    if (m_page->Url().empty()) return E_FAIL;
    CComBSTR url(m_page->Url());
    return Navigate(url.Get(), nullptr, nullptr, nullptr, nullptr);
  }

  HRESULT get_Document(IDispatch** document) override {
    if (document == nullptr) return E_POINTER;
    *document = nullptr;
    if (m_page->Root() == nullptr) return E_FAIL;
    return CreateHtmlDocument(m_page, reinterpret_cast<IHTMLDocument2**>(document));
  }

  HRESULT get_LocationURL(BSTR* url) override {
    if (url == nullptr) return E_POINTER;
    CComBSTR text(m_page->Url());
    *url = text.Detach();
    return S_OK;
  }

  HRESULT get_ReadyState(READYSTATE* state) override {
    if (state == nullptr) return E_POINTER;
    *state = m_state;
    return S_OK;
  }

  HRESULT get_HWND(LONG_PTR* window) override {
    if (window == nullptr) return E_POINTER;
    *window = reinterpret_cast<LONG_PTR>(m_window);
    return m_window != nullptr ? S_OK : E_FAIL;
  }

  // ---- IConnectionPointContainer ----
  HRESULT EnumConnectionPoints(IEnumConnectionPoints** points) override {
    return CreateConnectionPointEnumerator({&m_events}, points);
  }
  HRESULT FindConnectionPoint(REFIID iid, IConnectionPoint** point) override {
    if (point == nullptr) return E_POINTER;
    *point = nullptr;
    if (!IsEqualGUID(iid, DIID_DWebBrowserEvents2)) return CONNECT_E_NOCONNECTION;
    m_events.AddRef();
    *point = &m_events;
    return S_OK;
  }

  // ---- IHostedControl ----
  HRESULT CreateControlWindow(HWND host, const RECT* rect, HWND* window) override {
    if (rect == nullptr || window == nullptr) return E_POINTER;
    if (m_window != nullptr) return E_UNEXPECTED;
    static const bool registered = [] {
      WNDCLASSA windowClass{};
      windowClass.lpfnWndProc = WindowProc;
      windowClass.lpszClassName = kWebBrowserWindowClass;
      return RegisterClassA(&windowClass) != 0;
    }();
    if (!registered) return E_FAIL;
    *window = CreateWindowExA(0, kWebBrowserWindowClass, "", WS_CHILD | WS_VISIBLE | WS_TABSTOP,
                              rect->left, rect->top, rect->right - rect->left,
                              rect->bottom - rect->top, host, nullptr, nullptr, this);
    return *window != nullptr ? S_OK : HResultFromWin32(GetLastError());
  }
  HRESULT MoveControlWindow(const RECT* rect) override {
    if (rect == nullptr) return E_POINTER;
    if (m_window == nullptr) return E_FAIL;
    MoveWindow(m_window, rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top,
               TRUE);
    return S_OK;
  }
  HRESULT DestroyControlWindow() override {
    if (m_window != nullptr) DestroyWindow(m_window);
    return S_OK;
  }

 private:
  friend ComObject<WebBrowser, WithoutDispatchNames<IWebBrowser2>, IConnectionPointContainer,
                   IHostedControl>;
  WebBrowser() : m_events(this, DIID_DWebBrowserEvents2) {}
  ~WebBrowser() {
    m_events.UnadviseAll();
    DestroyControlWindow();
  }

  static LRESULT WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
      auto* self = static_cast<WebBrowser*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
      SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
      self->m_window = window;
      self->m_page = std::make_shared<WebPage>(window);
      ui::core::SetControlState(window, std::make_unique<PageState>(self->m_page));
    }
    auto* self = reinterpret_cast<WebBrowser*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (self == nullptr) return DefWindowProcA(window, message, wParam, lParam);
    switch (message) {
      case WM_SIZE:
        self->m_page->Layout();
        return 0;
      case kCompleteMessage:
        if (wParam == self->m_navigation) self->Complete();
        return 0;
      case WM_DESTROY:
        self->m_page->Detach();
        self->m_window = nullptr;
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        return 0;
      default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
  }

  void Complete() {
    // A sink may let go of the control while it hears of the page.
    ComPtr<IWebBrowser2> hold(this);
    m_page->Complete();
    m_state = READYSTATE_COMPLETE;
    Fire(DISPID_NAVIGATECOMPLETE2);
    Fire(DISPID_DOCUMENTCOMPLETE);
  }

  void Fire(DISPID event) {
    CComVariant url(std::u16string_view(m_page->Url()));
    VARIANT arguments[2];
    // Reversed, as DISPPARAMS holds them: the URL, then the control.
    arguments[0].vt = VT_VARIANT | VT_BYREF;
    arguments[0].pvarVal = &url;
    arguments[1].vt = VT_DISPATCH;
    arguments[1].pdispVal = static_cast<IDispatch*>(this);
    DISPPARAMS params{arguments, nullptr, 2, 0};
    m_events.FireInvoke(event, &params);
  }

  ConnectionPoint m_events;
  HWND m_window = nullptr;
  // Made with the window; kept (empty) when no window was made, so that
  // every call finds one.
  std::shared_ptr<WebPage> m_page = std::make_shared<WebPage>(nullptr);
  READYSTATE m_state = READYSTATE_UNINITIALIZED;
  WPARAM m_navigation = 0;
};

}  // namespace

HRESULT CreateWebBrowser(HWND parent, const RECT* rect, IWebBrowser2** browser) {
  if (browser == nullptr) return E_POINTER;
  *browser = nullptr;
  ComPtr<IHostedControl> control;
  HRESULT result = WebBrowser::NewInstance(IID_IHostedControl, control.OutVoid());
  if (FAILED(result)) return result;
  HWND window = nullptr;
  result = control->CreateControlWindow(parent, rect, &window);
  if (FAILED(result)) return result;
  return control->QueryInterface(IID_IWebBrowser2, reinterpret_cast<void**>(browser));
}
