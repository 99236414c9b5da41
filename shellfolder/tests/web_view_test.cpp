// The music folder as a web page, in the shell browser: "as Web Page" shows
// the module's page template made the folder's, around the same list, and
// switches back; a template that is missing or no page leaves the list;
// folder names go into the page as text.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <vector>

#include "platform/com/bstr.h"
#include "platform/shell/tests/web_browser_test_support.h"
#include "platform/shell/web_browser.h"
#include "platform/ui/driver.h"
#include "platform/ui/user32.h"
#include "shellfolder/tests/view_test_support.h"
#include "shellfolder/view_interfaces.h"
#include "shellfolder/view_resources.h"
#include "shellfolder/web_page_walk.h"

namespace cobrell::testing {
namespace {

using Strings = std::vector<std::string>;
using ui::script::Script;

// The texts of the page's blocks, top to bottom.
Strings PageTexts(HWND browser) {
  Strings texts;
  HWND web = FindWindowExA(ViewHost(browser), nullptr, "Mp3Db Web View", nullptr);
  HWND page = web != nullptr ? FindWindowExA(web, nullptr, kWebBrowserWindowClass, nullptr) : nullptr;
  auto* model = page != nullptr ? ui::driver::Model<ui::driver::PageModel>(page) : nullptr;
  if (model == nullptr) return texts;
  for (const auto& block : model->Blocks()) texts.push_back(block.text);
  return texts;
}

bool ShowsWebView(HWND browser) {
  return FindWindowExA(ViewHost(browser), nullptr, "Mp3Db Web View", nullptr) != nullptr;
}

class WebView : public ViewTest {};

TEST_F(WebView, AsWebPageShowsTheFolderAroundTheSameListAndSwitchesBack) {
  AddTimedSong("Bravo", "Zed", 3600);
  AddTimedSong("alpha", "Abba", 75);
  Script script = Steps("wait class \"ExploreWClass\"\n");
  script.Then([](HWND browser) {
    EXPECT_FALSE(ShowsWebView(browser));
    ui::driver::ChooseMenuItem(browser, kCommandWebView);
  });
  script.Then([](HWND browser) {
    EXPECT_TRUE(ShowsWebView(browser));
    const Strings texts = PageTexts(browser);
    ASSERT_FALSE(texts.empty());
    EXPECT_EQ(texts.front(), "Songs");
    HWND list = MusicList(browser);
    ASSERT_NE(list, nullptr) << "the page's list control";
    EXPECT_EQ(Names(list), (Strings{"alpha", "Bravo"}));
    EXPECT_EQ(StatusPart(browser, 0), "2 object(s)");
    ui::driver::ClickColumn(list, 0);
  });
  script.Then([](HWND browser) {
    EXPECT_EQ(Names(MusicList(browser)), (Strings{"Bravo", "alpha"}));
    ui::driver::ChooseMenuItem(browser, kCommandWebView);
  });
  script.Then([](HWND browser) {
    EXPECT_FALSE(ShowsWebView(browser));
    EXPECT_EQ(Names(MusicList(browser)), (Strings{"Bravo", "alpha"})) << "the sort goes along";
  });
  Browse("QAP Music Jukebox\\Music\\Songs", std::move(script));
}

// The module with its type library and a page template of the test's own,
// copied into a folder whose name has spaces and registered from there, so
// that the browser loads this copy and it finds its template beside itself.
class CopiedModule {
 public:
  // No template when html is empty.
  explicit CopiedModule(const std::string& html) {
    namespace fs = std::filesystem;
    const fs::path built(std::getenv("QAP_BIN_DIR"));
    m_folder = fs::path(m_scratch.Path()) / "Module Folder With Spaces";
    fs::create_directories(m_folder);
    for (const char* file : {"libCobrell.so", "Cobrell.tlb"}) fs::copy_file(built / file, m_folder / file);
    if (!html.empty()) m_scratch.Write("Module Folder With Spaces/Mp3Db.HTT", html);
    // Kept loaded: the objects it makes may outlive the test's last look.
    void* module = dlopen((m_folder / "libCobrell.so").c_str(), RTLD_NOW);
    EXPECT_NE(module, nullptr) << dlerror();
    if (module == nullptr) return;
    auto reg = reinterpret_cast<HRESULT (*)()>(dlsym(module, "DllRegisterServer"));
    EXPECT_EQ(reg(), S_OK);
  }

 private:
  qap::testing::ScratchDir m_scratch;
  std::filesystem::path m_folder;
};

constexpr char kListObject[] =
    "<object classid=\"clsid:85E85B52-9C8A-11D3-8830-5254ABDE229C\"></object>";

TEST_F(WebView, TheTemplateIsTheOneBesideTheModuleInAFolderWithSpaces) {
  AddTimedSong("Bravo", "Zed", 60);
  CopiedModule module(std::string("<html><body><h1>Spaced: %THISMP3DBPATH%</h1>") + kListObject +
                      "</body></html>");
  Script script = Steps("wait class \"ExploreWClass\"\n");
  script.Then([](HWND browser) { ui::driver::ChooseMenuItem(browser, kCommandWebView); });
  script.Then([](HWND browser) {
    EXPECT_TRUE(ShowsWebView(browser));
    EXPECT_EQ(PageTexts(browser), Strings{"Spaced: Zed"});
    EXPECT_EQ(Names(MusicList(browser)), Strings{"Bravo"});
  });
  Browse("QAP Music Jukebox\\Music\\Artists\\Zed", std::move(script));
}

TEST_F(WebView, ATemplateThatIsMissingOrNoPageLeavesTheList) {
  AddTimedSong("Bravo", "Zed", 60);
  for (const std::string& html : {std::string(), std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16)}) {
    SCOPED_TRACE(html.empty() ? "missing" : "not a page");
    CopiedModule module(html);
    Script script = Steps("wait class \"ExploreWClass\"\n");
    script.Then([](HWND browser) { ui::driver::ChooseMenuItem(browser, kCommandWebView); });
    script.Then([](HWND browser) {
      EXPECT_FALSE(ShowsWebView(browser));
      EXPECT_EQ(Names(MusicList(browser)), Strings{"Bravo"});
    });
    Browse("QAP Music Jukebox\\Music\\Songs", std::move(script));
  }
}

TEST_F(WebView, AFolderNameGoesIntoThePageAsTextNotAsMarkup) {
  const std::string album = "<img src=x onerror=alert(1)>";
  qap::musicdb::testing::Tags tags;
  tags.title = "Bravo";
  tags.artist = "Zed";
  tags.album = album;
  qap::musicdb::testing::AddSong("/music/bravo.mp3", tags, 60);
  Script script = Steps("wait class \"ExploreWClass\"\n");
  script.Then([](HWND browser) { ui::driver::ChooseMenuItem(browser, kCommandWebView); });
  script.Then([&](HWND browser) {
    const Strings texts = PageTexts(browser);
    ASSERT_FALSE(texts.empty());
    EXPECT_EQ(texts.front(), album);
  });
  Browse("QAP Music Jukebox\\Music\\Albums\\" + album, std::move(script));
}

std::string Html(IHTMLElement* element) {
  CComBSTR html;
  element->get_innerHTML(html.Out());
  return shell::testing::Text(html.Get());
}

TEST(WebPageWalk, TheTokenIsReplacedInTheThreeElementsHoldingItAndACommentKeepsIt) {
  shell::testing::BrowserPage page(
      "<html><head><title>%THISMP3DBPATH%</title></head><body>"
      "<!-- %THISMP3DBPATH% -->"
      "<h1>%THISMP3DBPATH%</h1>"
      "<div><p>Songs of %THISMP3DBPATH%</p></div>"
      "</body></html>");
  ASSERT_TRUE(page.Complete());
  EXPECT_EQ(ReplaceTokenInPage(page.Document(), "Zed & <Co>"), 3);
  CComBSTR title;
  page.Document()->get_title(title.Out());
  EXPECT_EQ(shell::testing::Text(title.Get()), "Zed & <Co>");
  ComPtr<IHTMLElement> body;
  ASSERT_EQ(page.Document()->get_body(body.Out()), S_OK);
  EXPECT_EQ(Html(body.Get()),
            "<!-- %THISMP3DBPATH% -->"
            "<h1>Zed &amp; &lt;Co&gt;</h1>"
            "<div><p>Songs of Zed &amp; &lt;Co&gt;</p></div>");
  EXPECT_EQ(ReplaceTokenInPage(page.Document(), "again"), 0) << "no token is left outside comments";
}

}  // namespace
}  // namespace cobrell::testing
