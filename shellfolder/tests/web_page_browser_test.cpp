// The web view's page as a real browser shows it: the module's own template,
// made the folder's by the view's walk, loaded in headless chromium. The
// folder's name must be there once for each token, as text, and a name
// holding a script must run nothing.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "platform/com/bstr.h"
#include "platform/shell/tests/web_browser_test_support.h"
#include "platform/testing/headless_chromium.h"
#include "platform/testing/scratch.h"
#include "platform/ui/resources.h"
#include "shellfolder/web_page_walk.h"

namespace cobrell::testing {
namespace {

int Count(const std::string& text, const std::string& part) {
  int count = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
  return count;
}

// The page as our web browser control holds it after the walk: the first
// element of the document (the HTML element) with everything in it.
std::string DocumentHtml(IHTMLDocument2* document) {
  ComPtr<IHTMLElementCollection> all;
  if (document->get_all(all.Out()) != S_OK) return {};
  VARIANT index{};
  index.vt = VT_I4;
  index.lVal = 0;
  ComPtr<IDispatch> first;
  if (all->item(index, index, first.Out()) != S_OK) return {};
  ComPtr<IHTMLElement> root;
  if (first.As(IID_IHTMLElement, &root) != S_OK) return {};
  CComBSTR html;
  root->get_outerHTML(html.Out());
  return shell::testing::Text(html.Get());
}

TEST(WebPageInABrowser, TheFolderNameShowsOncePerTokenAsTextAndItsScriptRunsNothing) {
  const std::string templatePath = std::string(std::getenv("QAP_BIN_DIR")) + "/Mp3Db.HTT";
  std::ifstream in(templatePath, std::ios::binary);
  ASSERT_TRUE(in) << templatePath;
  const std::string templateText((std::istreambuf_iterator<char>(in)), {});
  const int tokens = Count(templateText, "%THISMP3DBPATH%");
  ASSERT_EQ(tokens, 2) << "the template's title and heading";

  shell::testing::BrowserPage page(templateText);
  ASSERT_TRUE(page.Complete());
  const std::string folder =
      "Zed <script>document.body.setAttribute(\"data-ran\", \"yes\")</script> & Co";
  EXPECT_EQ(ReplaceTokenInPage(page.Document(), folder), tokens);

  qap::testing::ScratchDir dir;
  const std::string pagePath = dir.File("page.html");
  std::ofstream(pagePath, std::ios::binary) << "<!DOCTYPE html>\n" << DocumentHtml(page.Document());
  qap::testing::BrowserRun run;
  run.page = pagePath;
  run.screenshot = dir.File("page.png");
  run.width = 800;
  run.height = 480;
  const qap::testing::BrowserResult result = qap::testing::RunHeadlessChromium(run);
  ASSERT_TRUE(result.ok) << result.error;

  // The browser writes text back escaped: the name once per token, and no
  // element nor attribute of the name's making.
  const std::string asText =
      "Zed &lt;script&gt;document.body.setAttribute(\"data-ran\", \"yes\")&lt;/script&gt; &amp; Co";
  EXPECT_EQ(Count(result.dom, asText), tokens) << result.dom;
  EXPECT_EQ(Count(result.dom, "data-ran=\"yes\""), 0) << result.dom;
  EXPECT_EQ(Count(result.dom, "<h1>" + asText + "</h1>"), 1) << result.dom;

  std::ifstream pictureFile(run.screenshot, std::ios::binary);
  const std::string png((std::istreambuf_iterator<char>(pictureFile)), {});
  ui::Pixels picture;
  ASSERT_TRUE(ui::res::DecodePng(reinterpret_cast<const unsigned char*>(png.data()), png.size(),
                                 &picture));
  EXPECT_EQ(picture.width, run.width);
  bool anyDark = false;
  for (uint32_t pixel : picture.data) anyDark = anyDark || (pixel & 0xFF) < 0x60;
  EXPECT_TRUE(anyDark) << "the page's heading and help line are drawn";
}

}  // namespace
}  // namespace cobrell::testing
