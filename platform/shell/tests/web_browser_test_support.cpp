// The web browser control's test page and its event sink.
#include "platform/shell/tests/web_browser_test_support.h"

#include <gtest/gtest.h>

#include "platform/com/com_object.h"
#include "platform/com/connection_point.h"
#include "platform/registry/reg_key.h"
#include "platform/shell/tests/test_namespace.h"
#include "platform/ui/ole.h"
#include "platform/ui/tests/ui_test_support.h"
#include "platform/ui/user32.h"

namespace shell::testing {

namespace {

class EventSink final : public ComObject<EventSink, WithoutTypeInfo<IDispatch>> {
 public:
  InterfaceTable Interfaces() {
    return {{&DIID_DWebBrowserEvents2, static_cast<IDispatch*>(this)},
            {&IID_IDispatch, static_cast<IDispatch*>(this)}};
  }
  HRESULT GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
    return DISP_E_UNKNOWNNAME;
  }
  HRESULT Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*,
                 UINT*) override {
    events.push_back(id);
    if (id == DISPID_DOCUMENTCOMPLETE && params != nullptr && params->cArgs == 2 &&
        params->rgvarg[0].vt == (VT_VARIANT | VT_BYREF) && params->rgvarg[1].vt == VT_DISPATCH &&
        params->rgvarg[0].pvarVal->vt == VT_BSTR)
      url = Text(params->rgvarg[0].pvarVal->bstrVal);
    return S_OK;
  }

  std::vector<DISPID> events;
  std::string url;

 private:
  friend ComObject<EventSink, WithoutTypeInfo<IDispatch>>;
  EventSink() = default;
  ~EventSink() = default;
};

ComPtr<IConnectionPoint> EventsOf(IWebBrowser2* browser) {
  ComPtr<IConnectionPointContainer> container;
  ComPtr<IConnectionPoint> point;
  if (SUCCEEDED(browser->QueryInterface(IID_IConnectionPointContainer, container.OutVoid())))
    container->FindConnectionPoint(DIID_DWebBrowserEvents2, point.Out());
  return point;
}

}  // namespace

BrowserPage::BrowserPage() {
  m_top = CreateWindowExA(0, "Static", "Web page", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 600, 400,
                          nullptr, nullptr, nullptr, nullptr);
  RECT area{0, 0, 600, 400};
  EXPECT_EQ(CreateWebBrowser(m_top, &area, m_browser.Out()), S_OK);
  EXPECT_EQ(EventSink::NewInstance(IID_IUnknown, m_sink.OutVoid()), S_OK);
  if (ComPtr<IConnectionPoint> point = m_browser ? EventsOf(m_browser.Get()) : nullptr) {
    EXPECT_EQ(point->Advise(m_sink.Get(), &m_cookie), S_OK);
  }
}

BrowserPage::BrowserPage(const std::string& html) : BrowserPage() {
  m_url = m_dir.Write("Mp3Db.HTT", html);
  CComBSTR url(AnsiToWide(m_url).c_str());
  if (m_browser) {
    EXPECT_EQ(m_browser->Navigate(url.Get(), nullptr, nullptr, nullptr, nullptr), S_OK);
  }
}

BrowserPage::~BrowserPage() {
  if (ComPtr<IConnectionPoint> point = m_browser ? EventsOf(m_browser.Get()) : nullptr)
    point->Unadvise(m_cookie);
  m_document.Reset();
  m_browser.Reset();
  DestroyWindow(m_top);
}

HWND BrowserPage::Window() const {
  LONG_PTR window = 0;
  if (m_browser) m_browser->get_HWND(&window);
  return reinterpret_cast<HWND>(window);
}

const std::vector<DISPID>& BrowserPage::Events() const {
  return static_cast<EventSink*>(static_cast<IDispatch*>(m_sink.Get()))->events;
}

std::string BrowserPage::CompletedUrl() const {
  return static_cast<EventSink*>(static_cast<IDispatch*>(m_sink.Get()))->url;
}

bool BrowserPage::WaitForComplete() {
  return qap::testing::WaitFor([&] {
    ui::testing::Pump();
    for (DISPID event : Events()) {
      if (event == DISPID_DOCUMENTCOMPLETE) return true;
    }
    return false;
  });
}

bool BrowserPage::Complete() {
  if (!WaitForComplete()) return false;
  ComPtr<IDispatch> document;
  return m_browser && SUCCEEDED(m_browser->get_Document(document.Out())) &&
         SUCCEEDED(document.As(IID_IHTMLDocument2, &m_document));
}

std::vector<HWND> BrowserPage::Hosts() const {
  std::vector<HWND> hosts;
  for (HWND child = GetWindow(Window(), GW_CHILD); child != nullptr;
       child = GetWindow(child, GW_HWNDNEXT)) {
    char name[16] = "";
    GetClassNameA(child, name, sizeof name);
    if (std::string(name) == kControlHostClass) hosts.push_back(child);
  }
  return hosts;
}

std::vector<ComPtr<IHTMLElement>> ElementsBelow(IHTMLElement* element) {
  std::vector<ComPtr<IHTMLElement>> below;
  ComPtr<IDispatch> children;
  ComPtr<IHTMLElementCollection> collection;
  if (FAILED(element->get_children(children.Out())) ||
      FAILED(children.As(IID_IHTMLElementCollection, &collection)))
    return below;
  LONG length = 0;
  collection->get_length(&length);
  for (LONG index = 0; index < length; ++index) {
    ComPtr<IDispatch> item;
    ComPtr<IHTMLElement> child;
    if (SUCCEEDED(collection->item(CComVariant(index), CComVariant(), item.Out())) && item &&
        SUCCEEDED(item.As(IID_IHTMLElement, &child)))
      below.push_back(child);
  }
  return below;
}

void RegisterTestList() {
  RegKey key;
  ASSERT_EQ(key.Create(HKEY_CLASSES_ROOT,
                       ("CLSID\\" + GuidToString(CLSID_TestList) + "\\InprocServer32").c_str()),
            ERROR_SUCCESS);
  ASSERT_EQ(RegSetValueExA(key.Get(), nullptr, 0, REG_SZ,
                           reinterpret_cast<const BYTE*>(kTestNamespaceModule),
                           sizeof kTestNamespaceModule),
            ERROR_SUCCESS);
}

std::string TestListClassId() {
  const std::string braced = GuidToString(CLSID_TestList);
  return braced.substr(1, braced.size() - 2);
}

int RowsOf(IDispatch* control) {
  DISPPARAMS none{nullptr, nullptr, 0, 0};
  CComVariant rows;
  if (FAILED(control->Invoke(kTestListRowsId, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET,
                             &none, &rows, nullptr, nullptr)))
    return -1;
  return rows.vt == VT_I4 ? rows.lVal : -1;
}

}  // namespace shell::testing
