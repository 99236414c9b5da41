// The context menus a person opens with a right click, in the view and in
// the folder tree, what the tree's keys, label edits and drags do, and
// songs dragged from the view onto the tree.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/shell/shell_browser.h"
#include "platform/ui/commctrl.h"
#include "platform/ui/driver.h"
#include "platform/ui/ole/clipboard.h"
#include "platform/ui/user32.h"
#include "shellfolder/tests/view_test_support.h"

namespace cobrell::testing {
namespace {

using Strings = std::vector<std::string>;
using ui::script::Script;

class ContextMenus : public ViewTest {
 protected:
  void TearDown() override {
    OleSetClipboard(nullptr);
    ViewTest::TearDown();
  }
};

// The items of the menu being tracked: text, "(default)", "(grayed)".
Strings TrackedItems(HWND menuWindow) {
  Strings items;
  for (const auto& item : ui::driver::MenuItems(ui::driver::TrackedMenu(menuWindow))) {
    items.push_back(item.text + (item.isDefault ? " (default)" : "") +
                    (item.grayed ? " (grayed)" : ""));
  }
  return items;
}

HWND Tree(HWND browser) { return GetDlgItem(browser, kBrowserTreeId); }

TEST_F(ContextMenus, TheViewsMenuFitsWhatIsSelectedAndGraysAPasteTheFolderWouldRefuse) {
  const int x = AddTimedSong("Xray", "Abba", 60);
  AddToPlaylist(AddPlaylist("Alpha"), {x});
  Script script = Steps(
      "wait class \"ExploreWClass\"\n"
      "rightclick 1 \"Xray\"\n"
      "wait class \"#32768\"\n");
  script.Then([](HWND menu) {
    EXPECT_EQ(TrackedItems(menu), (Strings{"&Play (default)", "Cu&t", "&Copy", "&Delete"}));
  });
  script.Add(
      "menu \"Copy\"\n"
      "use \"Exploring - Alpha\"\n"
      "rightclick 1\n"
      "wait class \"#32768\"\n",
      nullptr);
  script.Then([](HWND menu) {
    EXPECT_EQ(TrackedItems(menu), Strings{"&Paste (grayed)"}) << "not onto its own playlist";
  });
  script.Add(
      "key Esc\n"
      "use \"Exploring - Alpha\"\n"
      "key Back\n"
      "wait window \"Exploring - Play Lists\"\n"
      "rightclick 1\n"
      "wait class \"#32768\"\n",
      nullptr);
  script.Then([](HWND menu) { EXPECT_EQ(TrackedItems(menu), (Strings{"&New", "&Paste"})); });
  script.Add(
      "menu \"Paste\"\n"
      "use \"Exploring - Play Lists\"\n",
      nullptr);
  script.Then([](HWND browser) {
    EXPECT_EQ(PlaylistNames(), (Strings{"Alpha", "Playlist 1"}));
    EXPECT_EQ(Names(MusicList(browser)), (Strings{"Alpha", "Playlist 1"}));
  });
  Browse("QAP Music Jukebox\\Play Lists\\Alpha", std::move(script));
}

TEST_F(ContextMenus, TheTreesItemsHaveTheirMenusKeysRenamesAndDrags) {
  const int x = AddTimedSong("Xray", "Abba", 60);
  AddToPlaylist(AddPlaylist("Alpha"), {x});
  const std::string playLists = "\"My Computer\\QAP Music Jukebox\\Play Lists";
  Script script = Steps(
      "wait class \"ExploreWClass\"\n"
      "expand 100 " +
      playLists +
      "\"\n"
      "select 100 " +
      playLists + "\\Alpha\"\n");
  script.Then([](HWND browser) {
    HWND tree = Tree(browser);
    ui::driver::RightClickTreeItem(tree, TreeView_GetSelection(tree));
  });
  script.Add("wait class \"#32768\"\n", nullptr);
  script.Then([](HWND menu) {
    EXPECT_EQ(TrackedItems(menu),
              (Strings{"E&xplore (default)", "&Open", "&Copy", "&Paste (grayed)", "&Delete"}));
  });
  // Copied in the tree, pasted onto Play Lists with its key: a new
  // playlist with Alpha's songs.
  script.Add(
      "menu \"Copy\"\n"
      "use \"Exploring - Alpha\"\n"
      "select 100 " +
          playLists +
          "\"\n"
          "key ctrl+V\n",
      nullptr);
  script.Then([](HWND) { EXPECT_EQ(PlaylistNames(), (Strings{"Alpha", "Playlist 1"})); });
  script.Add("expand 100 " + playLists +
                 "\"\n"
                 "select 100 " +
                 playLists +
                 "\\Playlist 1\"\n"
                 "key F2\n"
                 "settext focus \"Road\"\n"
                 "key Enter\n"
                 "wait window \"Exploring - Road\"\n",
             nullptr);
  script.Then([](HWND browser) {
    EXPECT_EQ(PlaylistNames(), (Strings{"Alpha", "Road"}));
    EXPECT_EQ(Names(MusicList(browser)), Strings{"Xray"});
  });
  script.Add("select 100 " + playLists +
                 "\\Road\"\n"
                 "key Delete\n"
                 "answer yes\n",
             nullptr);
  script.Then([](HWND) { EXPECT_EQ(PlaylistNames(), Strings{"Alpha"}); });
  // Alpha dragged onto Play Lists is copied.
  script.Add(
      "wait window \"Exploring - Play Lists\"\n"
      "select 100 " +
          playLists + "\\Alpha\"\n",
      nullptr);
  script.Then([](HWND browser) {
    HWND tree = Tree(browser);
    HTREEITEM alpha = TreeView_GetSelection(tree);
    ui::driver::DragTreeItem(tree, alpha, tree, -1, TreeView_GetParent(tree, alpha));
  });
  script.Then([](HWND) { EXPECT_EQ(PlaylistNames(), (Strings{"Alpha", "Playlist 1"})); });
  Browse("QAP Music Jukebox", std::move(script));
}

// The text of a tree item, as the driver reads it.
std::string ItemText(HWND tree, HTREEITEM item) {
  ui::driver::TreeItemInfo info;
  const auto* model = ui::driver::Model<ui::driver::TreeViewModel>(tree);
  return model != nullptr && model->Item(item, &info) ? info.text : std::string();
}

TEST_F(ContextMenus, SongsDraggedFromTheViewOntoAPlaylistInTheTreeMoveAndWithCtrlCopy) {
  const int x = AddTimedSong("Xray", "Abba", 60);
  const int y = AddTimedSong("Yankee", "Abba", 60);
  AddToPlaylist(AddPlaylist("Alpha"), {x, y});
  AddPlaylist("Beta");
  auto beta = std::make_shared<HTREEITEM>();
  auto alpha = std::make_shared<HTREEITEM>();
  Script script = Steps("wait window \"Exploring - Alpha\"\n");
  script.Then([alpha, beta](HWND browser) {
    HWND tree = Tree(browser);
    *alpha = TreeView_GetSelection(tree);
    *beta = TreeView_GetNextSibling(tree, *alpha);
    ASSERT_EQ(ItemText(tree, *beta), "Beta");
    ui::driver::DragRows(MusicList(browser), {0}, tree, -1, 0, *beta);
  });
  script.Then([beta](HWND browser) {
    EXPECT_EQ(Names(MusicList(browser)), Strings{"Yankee"}) << "moved out of Alpha";
    ui::driver::ClickTreeItem(Tree(browser), *beta);
  });
  script.Add("wait window \"Exploring - Beta\"\n", nullptr);
  script.Then([alpha](HWND browser) {
    EXPECT_EQ(Names(MusicList(browser)), Strings{"Xray"});
    ui::driver::DragRows(MusicList(browser), {0}, Tree(browser), -1, MK_CONTROL, *alpha);
  });
  script.Then([alpha](HWND browser) {
    EXPECT_EQ(Names(MusicList(browser)), Strings{"Xray"}) << "a copy stays";
    ui::driver::ClickTreeItem(Tree(browser), *alpha);
  });
  script.Add("wait window \"Exploring - Alpha\"\n", nullptr);
  script.Then([](HWND browser) {
    // The list sorts by the song's name.
    EXPECT_EQ(Names(MusicList(browser)), (Strings{"Xray", "Yankee"}));
  });
  Browse("QAP Music Jukebox\\Play Lists\\Alpha", std::move(script));
}

}  // namespace
}  // namespace cobrell::testing
