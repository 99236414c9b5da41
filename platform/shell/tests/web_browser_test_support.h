// What the web browser control's tests share: a control in a window of
// the test's own showing a page written to a scratch file, the events it
// raised, and shorthands for walking its document.
#pragma once

#include <string>
#include <vector>

#include "platform/base/codepage.h"
#include "platform/com/com_ptr.h"
#include "platform/shell/web_browser.h"
#include "platform/testing/scratch.h"

namespace shell::testing {

class BrowserPage {
 public:
  // A control of 600 by 400 pixels in a top-level window; with html, it
  // navigates to a file holding it.
  BrowserPage();
  explicit BrowserPage(const std::string& html);
  ~BrowserPage();
  BrowserPage(const BrowserPage&) = delete;
  BrowserPage& operator=(const BrowserPage&) = delete;

  IWebBrowser2* Browser() const { return m_browser.Get(); }
  HWND Window() const;
  HWND TopWindow() const { return m_top; }
  const std::string& Url() const { return m_url; }
  // Runs the thread's messages until DocumentComplete came (10 s at most).
  bool WaitForComplete();
  // WaitForComplete, then the document.
  bool Complete();
  IHTMLDocument2* Document() const { return m_document.Get(); }
  const std::vector<DISPID>& Events() const;
  std::string CompletedUrl() const;
  // The control hosts of the page's OBJECT elements.
  std::vector<HWND> Hosts() const;

 private:
  qap::testing::ScratchDir m_dir;
  HWND m_top = nullptr;
  ComPtr<IWebBrowser2> m_browser;
  ComPtr<IUnknown> m_sink;
  DWORD m_cookie = 0;
  std::string m_url;
  ComPtr<IHTMLDocument2> m_document;
};

// The element's children that are elements (and comments), in order.
std::vector<ComPtr<IHTMLElement>> ElementsBelow(IHTMLElement* element);
// A BSTR's text in the system code page.
inline std::string Text(BSTR text) {
  return text != nullptr ? WideToAnsi(std::u16string_view(text, SysStringLen(text))) : "";
}

// Registers the tests' list control (test_list_control.cpp) in the hive in
// use; its class identifier without braces; its row count.
void RegisterTestList();
std::string TestListClassId();
int RowsOf(IDispatch* control);

}  // namespace shell::testing
