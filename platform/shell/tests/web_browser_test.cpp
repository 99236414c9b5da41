// The web browser control with pages of the tests' own: its document
// walked element by element and changed where a token stood, the control
// an OBJECT element names made in the page (and made again when markup
// replaces it), DocumentComplete once the page is ready, and pages it
// refuses.
#include "platform/shell/tests/web_browser_test_support.h"

#include <gtest/gtest.h>

#include <functional>

#include "platform/registry/reg_key.h"
#include "platform/shell/tests/test_namespace.h"
#include "platform/ui/driver.h"
#include "platform/ui/ole.h"
#include "platform/ui/tests/ui_test_support.h"

namespace {

using shell::testing::BrowserPage;
using shell::testing::ElementsBelow;
using shell::testing::Text;

constexpr char kToken[] = "%THISMP3DBPATH%";

TEST(WebBrowserControl, TheDocumentIsWalkedAndMarkupIsWrittenBackOnlyWhereTheTokenWas) {
  BrowserPage page(
      "<html><head><title>Music</title></head><body>\n"
      "<h2>%THISMP3DBPATH%</h2>\n"
      "<!-- the folder: %THISMP3DBPATH% -->\n"
      "<p>Songs of <i>%THISMP3DBPATH%</i> &amp; more</p>\n"
      "<table><tr><td>%THISMP3DBPATH%</td><td>plain</td></tr></table>\n"
      "</body></html>\n");
  ASSERT_TRUE(page.Complete());
  EXPECT_EQ(page.Events(), (std::vector<DISPID>{DISPID_NAVIGATECOMPLETE2, DISPID_DOCUMENTCOMPLETE}));
  EXPECT_EQ(page.CompletedUrl(), page.Url());

  ComPtr<IHTMLElement> body;
  ASSERT_EQ(page.Document()->get_body(body.Out()), S_OK);
  std::vector<std::string> tags;
  int written = 0;
  // As a view walks it: every element, children after their parent;
  // comments passed over; the innermost holder of the token written.
  std::function<void(IHTMLElement*)> walk = [&](IHTMLElement* element) {
    for (const ComPtr<IHTMLElement>& child : ElementsBelow(element)) {
      CComBSTR tag;
      child->get_tagName(tag.Out());
      tags.push_back(tag.Ansi());
      if (tag.Ansi() == "!") continue;
      walk(child.Get());
      CComBSTR html;
      child->get_innerHTML(html.Out());
      std::string text = Text(html.Get());
      const size_t at = text.find(kToken);
      if (at == std::string::npos || !ElementsBelow(child.Get()).empty()) continue;
      text.replace(at, sizeof kToken - 1, "<b>Artists</b>");
      CComBSTR replaced(AnsiToWide(text).c_str());
      EXPECT_EQ(child->put_innerHTML(replaced.Get()), S_OK);
      ++written;
    }
  };
  walk(body.Get());
  EXPECT_EQ(tags, (std::vector<std::string>{"H2", "!", "P", "I", "TABLE", "TR", "TD", "TD"}));
  EXPECT_EQ(written, 3);

  CComBSTR after;
  body->get_innerHTML(after.Out());
  const std::string markup = Text(after.Get());
  EXPECT_NE(markup.find("<h2><b>Artists</b></h2>"), std::string::npos) << markup;
  EXPECT_NE(markup.find("<!-- the folder: %THISMP3DBPATH% -->"), std::string::npos)
      << "the comment is left alone: " << markup;
  EXPECT_NE(markup.find("Songs of <i><b>Artists</b></i> &amp; more"), std::string::npos) << markup;
  // Written markup is parsed again: the new B is an element like any.
  std::vector<ComPtr<IHTMLElement>> heading = ElementsBelow(ElementsBelow(body.Get())[0].Get());
  ASSERT_EQ(heading.size(), 1u);
  CComBSTR tag;
  heading[0]->get_tagName(tag.Out());
  EXPECT_EQ(tag.Ansi(), "B");
  CComBSTR title;
  page.Document()->get_title(title.Out());
  EXPECT_EQ(title.Ansi(), "Music");
}

// A style's or a script's body is text: markup written into it stays text,
// as the page's own parse left it, and makes no elements.
TEST(WebBrowserControl, MarkupWrittenIntoAStyleStaysItsText) {
  BrowserPage page("<html><head><style>p { }</style></head><body><p>x</p></body></html>");
  ASSERT_TRUE(page.Complete());
  ComPtr<IHTMLElementCollection> all;
  ASSERT_EQ(page.Document()->get_all(all.Out()), S_OK);
  ComPtr<IHTMLElement> style;
  LONG count = 0;
  all->get_length(&count);
  for (LONG i = 0; i < count && !style; ++i) {
    ComPtr<IDispatch> dispatch;
    ComPtr<IHTMLElement> element;
    CComBSTR tag;
    if (SUCCEEDED(all->item(CComVariant(static_cast<int>(i)), CComVariant(), dispatch.Out())) &&
        dispatch && SUCCEEDED(dispatch.As(IID_IHTMLElement, &element)) &&
        SUCCEEDED(element->get_tagName(tag.Out())) && tag.Ansi() == "STYLE")
      style = element;
  }
  ASSERT_TRUE(style);
  const std::string body = "Zo <b>&amp;</b> <O c=<!-->%THISMP3DBPATH%";
  CComBSTR markup(AnsiToWide(body).c_str());
  ASSERT_EQ(style->put_innerHTML(markup.Get()), S_OK);
  EXPECT_TRUE(ElementsBelow(style.Get()).empty());
  CComBSTR back;
  style->get_innerHTML(back.Out());
  EXPECT_EQ(Text(back.Get()), body);
}

TEST(WebBrowserControl, AnObjectElementHoldsTheControlItsClassIdNamesAndMarkupMakesItAnew) {
  qap::testing::ScratchHive hive;
  shell::testing::RegisterTestList();
  BrowserPage page(
      "<html><body><h2>Play Lists</h2>\n"
      "<div id=\"list\"><object classid=\"clsid:" +
      shell::testing::TestListClassId() +
      "\" width=\"100%\" height=\"50%\"></object></div>\n"
      "<p>Below the list</p></body></html>");
  ASSERT_TRUE(page.Complete());
  std::vector<HWND> hosts = page.Hosts();
  ASSERT_EQ(hosts.size(), 1u);
  RECT rect{};
  GetWindowRect(hosts[0], &rect);
  RECT client{};
  GetClientRect(page.Window(), &client);
  EXPECT_EQ(rect.right - rect.left, client.right - 20) << "the width less the margins";
  auto* model = ui::driver::Model<ui::driver::PageModel>(page.Window());
  ASSERT_NE(model, nullptr);
  const std::vector<ui::driver::PageBlock> blocks = model->Blocks();
  ASSERT_EQ(blocks.size(), 2u);
  POINT corner{rect.left, rect.top};
  ScreenToClient(page.Window(), &corner);
  EXPECT_EQ(blocks[0].text, "Play Lists");
  EXPECT_TRUE(blocks[0].bold);
  EXPECT_LE(blocks[0].rect.bottom, corner.y) << "the heading stands above the list";
  EXPECT_GE(blocks[1].rect.top, corner.y + (rect.bottom - rect.top)) << "the text below it";

  ComPtr<IHTMLElementCollection> all;
  ASSERT_EQ(page.Document()->get_all(all.Out()), S_OK);
  ComPtr<IDispatch> found;
  CComVariant name(std::u16string_view(u"list"));
  ASSERT_EQ(all->item(name, CComVariant(), found.Out()), S_OK);
  ComPtr<IHTMLElement> wrapper;
  ASSERT_EQ(found.As(IID_IHTMLElement, &wrapper), S_OK);
  ComPtr<IHTMLObjectElement> object;
  ASSERT_EQ(ElementsBelow(wrapper.Get()).at(0).As(IID_IHTMLObjectElement, &object), S_OK);
  ComPtr<IDispatch> control;
  ASSERT_EQ(object->get_object(control.Out()), S_OK);
  EXPECT_EQ(shell::testing::RowsOf(control.Get()), 3) << "the live list, through its IDispatch";

  // Markup that holds the object again makes a new control in a new host.
  CComBSTR html;
  wrapper->get_innerHTML(html.Out());
  ASSERT_EQ(wrapper->put_innerHTML(html.Get()), S_OK);
  std::vector<HWND> rebuilt = page.Hosts();
  ASSERT_EQ(rebuilt.size(), 1u);
  EXPECT_NE(rebuilt[0], hosts[0]);
  EXPECT_FALSE(IsWindow(hosts[0]));
  EXPECT_EQ(object->get_object(control.Out()), E_FAIL) << "the old element lost its control";
  CComBSTR empty(u"");
  ASSERT_EQ(wrapper->put_innerHTML(empty.Get()), S_OK);
  EXPECT_TRUE(page.Hosts().empty());
}

TEST(WebBrowserControl, AFileThatIsMissingOrNoHtmlFailsTheNavigationAndCompletesNothing) {
  qap::testing::ScratchDir dir;
  BrowserPage page;
  for (const auto& [name, bytes] : std::vector<std::pair<std::string, std::string>>{
           {"gone.htt", ""},
           {"notes.htt", "just some words, no markup"},
           {"picture.htt", std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16)},
           {"empty.htt", "   \n"}}) {
    SCOPED_TRACE(name);
    const std::string path = name == "gone.htt" ? dir.File(name) : dir.Write(name, bytes);
    CComBSTR url(AnsiToWide(path).c_str());
    const HRESULT result = page.Browser()->Navigate(url.Get(), nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(result, HResultFromWin32(name == "gone.htt" ? ERROR_FILE_NOT_FOUND : ERROR_INVALID_DATA));
  }
  ui::testing::Pump();
  EXPECT_TRUE(page.Events().empty());
  ComPtr<IDispatch> document;
  EXPECT_EQ(page.Browser()->get_Document(document.Out()), E_FAIL);

  // A file: URL with escapes names the same file as its path.
  const std::string path = dir.Write("a page.htt", "<!DOCTYPE html><p>Fine</p>");
  CComBSTR url(AnsiToWide("file://" + dir.Path() + "/a%20page.htt").c_str());
  ASSERT_EQ(page.Browser()->Navigate(url.Get(), nullptr, nullptr, nullptr, nullptr), S_OK);
  EXPECT_TRUE(page.Events().empty()) << "the page completes after Navigate has returned";
  EXPECT_TRUE(page.WaitForComplete());
}

}  // namespace
