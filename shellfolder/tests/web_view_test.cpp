// The music folder as a web page, in the shell browser: "as Web Page" shows
// the module's page template made the folder's, around the same list, and
// switches back; a template that is missing or no page leaves the list;
// folder names go into the page as text.
#include <gtest/gtest.h>

#include <vector>

#include "platform/shell/web_browser.h"
#include "platform/ui/driver.h"
#include "platform/ui/user32.h"
#include "shellfolder/tests/view_test_support.h"
#include "shellfolder/view_interfaces.h"
#include "shellfolder/view_resources.h"

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

}  // namespace
}  // namespace cobrell::testing
