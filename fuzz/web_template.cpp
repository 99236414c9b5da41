// Fuzz target: the web view's page template (a file beside the module that
// anyone who installs a look may replace), navigated by the web browser
// control and walked as the web view walks it once the page is complete:
// its list control looked for, the folder's name put in place of the token.
// A name that reads as markup must go in as text, so a second walk finds no
// token left and the page holds no element the name spelled.
#include <string>

#include "fuzz/fuzz_support.h"
#include "platform/base/codepage.h"
#include "platform/com/bstr.h"
#include "platform/com/variant.h"
#include "platform/shell/web_browser.h"
#include "platform/ui/user32.h"
#include "shellfolder/web_page_walk.h"

namespace {

constexpr char kFolderText[] = "Zo\xC3\xAB <qapname>&amp;\"'</qapname>";

void RunMessages() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

// Whether an element of the page is one that the folder's name spells.
bool HoldsNamedElement(IHTMLDocument2* document) {
  ComPtr<IHTMLElementCollection> all;
  LONG count = 0;
  if (FAILED(document->get_all(all.Out())) || !all || FAILED(all->get_length(&count))) return false;
  for (LONG i = 0; i < count; ++i) {
    CComVariant index(static_cast<int>(i));
    ComPtr<IDispatch> dispatch;
    ComPtr<IHTMLElement> element;
    CComBSTR tag;
    if (SUCCEEDED(all->item(index, CComVariant(), dispatch.Out())) && dispatch &&
        SUCCEEDED(dispatch.As(IID_IHTMLElement, &element)) &&
        SUCCEEDED(element->get_tagName(tag.Out())) && tag.Get() != nullptr &&
        std::u16string_view(tag.Get(), SysStringLen(tag.Get())) == u"QAPNAME")
      return true;
  }
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  HWND top = CreateWindowExA(0, "Static", "Page", WS_OVERLAPPEDWINDOW, 0, 0, 600, 400, nullptr,
                             nullptr, nullptr, nullptr);
  const std::string path = qap::fuzz::WriteInput("Mp3Db.HTT", qap::fuzz::Bytes(data, size));
  RECT area{0, 0, 600, 400};
  ComPtr<IWebBrowser2> browser;
  if (CreateWebBrowser(top, &area, browser.Out()) != S_OK) qap::fuzz::Fail("no web browser control");
  CComBSTR url(AnsiToWide(path).c_str());
  if (SUCCEEDED(browser->Navigate(url.Get(), nullptr, nullptr, nullptr, nullptr))) {
    RunMessages();
    ComPtr<IDispatch> dispatch;
    ComPtr<IHTMLDocument2> document;
    if (FAILED(browser->get_Document(dispatch.Out())) || !dispatch ||
        FAILED(dispatch.As(IID_IHTMLDocument2, &document)))
      qap::fuzz::Fail("a page that navigated has no document");
    FindListControl(document.Get());
    const bool named = HoldsNamedElement(document.Get());
    ReplaceTokenInPage(document.Get(), kFolderText);
    if (ReplaceTokenInPage(document.Get(), kFolderText) != 0)
      qap::fuzz::Fail("a token is left after the folder's name replaced it");
    if (!named && HoldsNamedElement(document.Get()))
      qap::fuzz::Fail("the folder's name went into the page as markup");
    FindListControl(document.Get());
  }
  browser.Reset();
  DestroyWindow(top);
  RunMessages();
  return 0;
}
