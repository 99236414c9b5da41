// What a person does in the music folder's view, in the shell browser:
// renaming a playlist in place (a name another playlist has is refused),
// the keys a label edit keeps from Explorer, opening songs and folders,
// the view's menus and commands, and the refresh notices other views send.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <algorithm>
#include <vector>

#include "platform/shell/shell_browser.h"
#include "platform/shell/shell_notify.h"
#include "platform/shell/shell_view.h"
#include "platform/ui/commctrl.h"
#include "platform/ui/driver.h"
#include "platform/ui/user32.h"
#include "shellfolder/item_id_manager.h"
#include "shellfolder/tests/view_test_support.h"
#include "shellfolder/view_resources.h"

namespace cobrell::testing {
namespace {

using Strings = std::vector<std::string>;
using qap::testing::ReadFile;
using qap::testing::WaitFor;
using ui::script::Script;

class ViewCommands : public ViewTest {};

TEST_F(ViewCommands, APlaylistIsRenamedInPlaceUnlessAnotherPlaylistHasTheName) {
  AddPlaylist("Party");
  AddPlaylist("Chill");
  std::vector<std::string> renamed;
  ShellChangeSubscription changes([&](const ShellChange& change) {
    if (change.eventId != SHCNE_RENAMEFOLDER) return;
    const auto* from = TheItemIdManager().GetLast(static_cast<LPCITEMIDLIST>(change.item1));
    const auto* to = TheItemIdManager().GetLast(static_cast<LPCITEMIDLIST>(change.item2));
    renamed.push_back(FieldsOf(from).name + " -> " + FieldsOf(to).name);
  });
  Script script = Steps(
      "wait class \"ExploreWClass\"\n"
      "select 1 \"Party\"\n"
      "key F2\n"
      "settext focus \"CHILL\"\n"
      "key Enter\n");
  script.Then([](HWND browser) {
    EXPECT_EQ(WindowTitle(browser), "Exploring - Play Lists") << "ending the edit opens nothing";
    EXPECT_EQ(Names(MusicList(browser)), (Strings{"Chill", "Party"}));
    EXPECT_EQ(PlaylistNames(), (Strings{"Party", "Chill"}));
  });
  // Backspace and Delete are the edit box's while a label is edited, once
  // each, not Explorer's.
  script.Add(
      "select 1 \"Party\"\n"
      "key F2\n"
      "settext focus \"XRoad Trips\"\n"
      "key Home\n"
      "key Delete\n"
      "key End\n"
      "key Back\n"
      "expect text focus \"Road Trip\"\n"
      "key Enter\n",
      nullptr);
  script.Then([](HWND browser) {
    EXPECT_EQ(WindowTitle(browser), "Exploring - Play Lists");
    EXPECT_EQ(PlaylistNames(), (Strings{"Road Trip", "Chill"}));
    EXPECT_EQ(Names(MusicList(browser)), (Strings{"Chill", "Road Trip"}));
  });
  Browse("QAP Music Jukebox\\Play Lists", std::move(script));
  EXPECT_EQ(renamed, Strings{"Party -> Road Trip"});
}

TEST_F(ViewCommands, LabelsOfOtherFoldersAreNotEdited) {
  AddTimedSong("Bravo", "Zed", 60);
  Script script = Steps(
      "wait class \"ExploreWClass\"\n"
      "select 1 \"Bravo\"\n"
      "key F2\n");
  script.Then([](HWND browser) {
    auto* model = ui::driver::Model<ui::driver::ListViewModel>(MusicList(browser));
    EXPECT_EQ(model->LabelEditor(), nullptr);
  });
  Browse("QAP Music Jukebox\\Music\\Songs", std::move(script));
}

// $QAP_OPEN for the test's life: a script that notes the file it was given.
class RecordingOpener {
 public:
  RecordingOpener() {
    const std::string script = m_dir.Write(
        "opener", "#!/bin/sh\nprintf '%s\\n' \"$1\" > \"$0.tmp\" && mv \"$0.tmp\" \"$0.seen\"\n");
    chmod(script.c_str(), 0755);
    setenv("QAP_OPEN", script.c_str(), 1);
  }
  ~RecordingOpener() { unsetenv("QAP_OPEN"); }
  std::string Seen() const {
    WaitFor([&] { return !ReadFile(m_dir.File("opener.seen")).empty(); });
    return ReadFile(m_dir.File("opener.seen"));
  }
  const qap::testing::ScratchDir& Dir() const { return m_dir; }

 private:
  qap::testing::ScratchDir m_dir;
};

TEST_F(ViewCommands, OpeningASongPlaysItsFileAndAMissingFileIsTold) {
  RecordingOpener opener;
  const std::string file = opener.Dir().Write("here.mp3", "ID3");
  AddTimedSong("Here", "Abba", 60, file);
  AddTimedSong("Missing", "Abba", 60, opener.Dir().File("gone.mp3"));
  Script script = Steps(
      "wait class \"ExploreWClass\"\n"
      "doubleclick 1 \"Missing\"\n"
      "wait window \"Error\"\n"
      "expect box \"No such file or directory\"\n"
      "answer ok\n"
      "use \"Exploring - Songs\"\n"
      "select 1 \"Here\"\n"
      "key Enter\n");
  Browse("QAP Music Jukebox\\Music\\Songs", std::move(script));
  EXPECT_EQ(opener.Seen(), file + "\n") << "only the file that is there was opened";
}

TEST_F(ViewCommands, OpeningAFolderBrowsesInTheWindowWithATreeAndOpensOneWithout) {
  AddTimedSong("Bravo", "Zed", 60);
  Script script = Steps(
      "wait class \"ExploreWClass\"\n"
      "doubleclick 1 \"Artists\"\n"
      "wait window \"Exploring - Artists\"\n");
  script.Then([](HWND browser) { EXPECT_EQ(Names(MusicList(browser)), Strings{"Zed"}); });
  Browse("QAP Music Jukebox\\Music", std::move(script));

  script = Steps(
      "wait class \"CabinetWClass\"\n"
      "doubleclick 1 \"Play Lists\"\n"
      "wait window \"Play Lists\"\n");
  script.Then([](HWND) {
    int windows = 0;
    for (HWND window : ui::driver::TopLevelWindows()) windows += IsWindowVisible(window) ? 1 : 0;
    EXPECT_EQ(windows, 2) << "a window of its own";
  });
  Browse("QAP Music Jukebox", std::move(script), false);
}

std::vector<std::string> PopupItems(HWND browser, const char* popup) {
  std::vector<std::string> texts;
  for (const auto& item : ui::driver::MenuItems(GetMenu(browser))) {
    if (item.text != popup) continue;
    for (const auto& inner : ui::driver::MenuItems(item.subMenu))
      texts.push_back(inner.separator ? "-" : inner.text + (inner.checked ? " (checked)" : ""));
  }
  return texts;
}

HMENU Popup(HWND browser, const char* popup) {
  for (const auto& item : ui::driver::MenuItems(GetMenu(browser))) {
    if (item.text == popup) return item.subMenu;
  }
  return nullptr;
}

TEST_F(ViewCommands, TheViewsMenusJoinExplorersAndTheirCommandsActOnTheList) {
  AddTimedSong("Bravo", "Zed", 60);
  AddTimedSong("alpha", "Abba", 60);
  Script script = Steps("wait class \"ExploreWClass\"\n");
  script.Then([](HWND browser) {
    EXPECT_EQ(PopupItems(browser, "&Edit"),
              (Strings{"Cu&t\tCtrl+X", "&Copy\tCtrl+C", "&Paste\tCtrl+V", "-", "&Delete\tDel",
                       "Rena&me\tF2", "&New\tIns", "-", "Select &All\tCtrl+A",
                       "&Invert Selection"}));
    // Explorer's View menu has "as Web Page" of its own: the view's modes go
    // above it, and nothing twice.
    const Strings view = PopupItems(browser, "&View");
    ASSERT_GE(view.size(), 6u);
    EXPECT_EQ(Strings(view.begin(), view.begin() + 6),
              (Strings{"Lar&ge Icons", "S&mall Icons", "&List", "&Details", "-", "as &Web Page"}));
    EXPECT_EQ(std::count(view.begin(), view.end(), "as &Web Page"), 1);
    ui::driver::ChooseMenuItem(browser, kCommandSelectAll);
  });
  script.Then([](HWND browser) {
    EXPECT_EQ(StatusPart(browser, 0), "2 object(s) selected");
    ui::driver::ChooseMenuItem(browser, kCommandInvertSelection);
  });
  script.Add("key ctrl+A\n", nullptr);
  script.Then([](HWND browser) {
    EXPECT_EQ(StatusPart(browser, 0), "2 object(s) selected") << "Ctrl+A selects all";
    ui::driver::ChooseMenuItem(browser, kCommandInvertSelection);
  });
  script.Then([](HWND browser) {
    EXPECT_EQ(StatusPart(browser, 0), "2 object(s)");
    ui::driver::ChooseMenuItem(browser, kCommandLargeIcons);
  });
  script.Then([](HWND browser) {
    HWND list = MusicList(browser);
    EXPECT_EQ(GetWindowLongA(list, GWL_STYLE) & LVS_TYPEMASK, static_cast<LONG>(LVS_ICON));
    // As the menu pops up, the view checks its mode and greys what it
    // cannot do.
    HMENU view = Popup(browser, "&View");
    SendMessageA(ViewHost(browser), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(view), 2);
    EXPECT_EQ(GetMenuState(view, kCommandLargeIcons, MF_BYCOMMAND) & MF_CHECKED, MF_CHECKED);
    EXPECT_EQ(GetMenuState(view, kCommandDetails, MF_BYCOMMAND) & MF_CHECKED, 0u);
    EXPECT_EQ(GetMenuState(view, kCommandWebView, MF_BYCOMMAND) & MF_CHECKED, 0u);
    HMENU edit = Popup(browser, "&Edit");
    SendMessageA(ViewHost(browser), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(edit), 1);
    EXPECT_EQ(GetMenuState(edit, kCommandPaste, MF_BYCOMMAND) & MF_GRAYED, MF_GRAYED);
  });
  Browse("QAP Music Jukebox\\Music\\Songs", std::move(script));
}

// A refresh notice as another view sends it: the folder's last item and its
// end mark, or any block.
LRESULT Notice(HWND host, const void* data, DWORD size) {
  COPYDATASTRUCT copy{0, size, const_cast<void*>(data)};
  return SendMessageA(host, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&copy));
}

LRESULT ItemNotice(HWND host, LPCITEMIDLIST item) {
  return Notice(host, item, item->mkid.cb + 2u);
}

TEST_F(ViewCommands, ANoticeNamingTheFolderOrAnySongListRefreshesAndOtherBlocksAreIgnored) {
  AddTimedSong("Bravo", "Zed", 60);
  ComPtr<IShellFolder> music = OpenPath({u"Music"});
  UniqueItemIdList allSongs = FindChild(music.Get(), u"Songs");
  ASSERT_TRUE(allSongs);
  LPITEMIDLIST playLists = nullptr;
  ASSERT_EQ(TheItemIdManager().MakeTopFolder(kKindPlayLists, &playLists), S_OK);
  UniqueItemIdList playListsOwner(playLists);

  Script script = Steps("wait class \"ExploreWClass\"\n");
  script.Then([&](HWND browser) {
    HWND host = ViewHost(browser);
    ASSERT_NE(host, nullptr);
    AddTimedSong("alpha", "Zed", 60);
    const std::vector<BYTE> tooShort(100, 0);
    EXPECT_FALSE(Notice(host, tooShort.data(), 100));
    // A whole item whose count claims more than the block holds.
    std::vector<BYTE> cut(reinterpret_cast<const BYTE*>(allSongs.get()),
                          reinterpret_cast<const BYTE*>(allSongs.get()) + 608);
    EXPECT_FALSE(Notice(host, cut.data(), 608));
    EXPECT_FALSE(ItemNotice(host, playLists));
    EXPECT_EQ(Names(MusicList(browser)), Strings{"Bravo"});
    EXPECT_TRUE(ItemNotice(host, allSongs.get()));
    EXPECT_EQ(Names(MusicList(browser)), (Strings{"alpha", "Bravo"}));
  });
  Browse("QAP Music Jukebox\\Music\\Artists\\Zed", std::move(script));
}

}  // namespace
}  // namespace cobrell::testing
