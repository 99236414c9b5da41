// The music folder's list as a person sees it in the shell browser: the
// columns of each kind of folder, the rows in the database's order, column
// clicks that sort and reverse, the status bar, and the sort kept in the
// folder's view-state stream from one visit to the next.
#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <vector>

#include "platform/shell/view_state_streams.h"
#include "platform/ui/driver.h"
#include "platform/ui/messages.h"
#include "shellfolder/tests/view_test_support.h"

namespace cobrell::testing {
namespace {

using Strings = std::vector<std::string>;
using ui::script::Script;

const Strings kSongHeadings = {"Song", "Duration", "Album", "Artist", "Genre", "Location"};

class ClassicView : public ViewTest {};

TEST_F(ClassicView, AColumnClickSortsByItAndTheSameColumnAgainReverses) {
  AddTimedSong("Bravo", "Zed", 3600);
  AddTimedSong("alpha", "Abba", 75);
  AddTimedSong("Charlie", "Moe", 200);
  Script script = Steps("wait class \"ExploreWClass\"\n");
  script.Then([](HWND browser) {
    HWND list = MusicList(browser);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(Headings(list), kSongHeadings);
    // Unsorted at first, the list sorts by its first column, ignoring case.
    EXPECT_EQ(ListRows(list),
              (Rows{{"alpha", "0:01:15", "alpha Album", "Abba", "Pop", "/music/alpha.mp3"},
                    {"Bravo", "1:00:00", "Bravo Album", "Zed", "Pop", "/music/Bravo.mp3"},
                    {"Charlie", "0:03:20", "Charlie Album", "Moe", "Pop", "/music/Charlie.mp3"}}));
    EXPECT_EQ(StatusPart(browser, 0), "3 object(s)");
    EXPECT_EQ(StatusPart(browser, 1), "Songs");
    ui::driver::ClickColumn(list, 0);
  });
  script.Then([](HWND browser) {
    HWND list = MusicList(browser);
    EXPECT_EQ(Names(list), (Strings{"Charlie", "Bravo", "alpha"}));
    ui::driver::ClickColumn(list, 0);
  });
  script.Then([](HWND browser) {
    HWND list = MusicList(browser);
    EXPECT_EQ(Names(list), (Strings{"alpha", "Bravo", "Charlie"}));
    // Another column starts ascending.
    ui::driver::ClickColumn(list, 1);
  });
  script.Then([](HWND browser) {
    HWND list = MusicList(browser);
    EXPECT_EQ(Names(list), (Strings{"alpha", "Charlie", "Bravo"}));
    ui::driver::ClickColumn(list, 3);
  });
  script.Then([](HWND browser) {
    HWND list = MusicList(browser);
    EXPECT_EQ(Names(list), (Strings{"alpha", "Charlie", "Bravo"})) << "Abba, Moe, Zed";
    ui::driver::ClickRow(list, 1);
  });
  script.Then([](HWND browser) {
    EXPECT_EQ(StatusPart(browser, 0), "1 object(s) selected");
    EXPECT_EQ(StatusPart(browser, 1), "Songs");
  });
  Browse("QAP Music Jukebox\\Music\\Songs", std::move(script));
}

TEST_F(ClassicView, AnEmptyPlaylistShowsTheSongColumnsAndNoRowsAndTheJunctionItsTwoFolders) {
  AddPlaylist("Empty");
  Script script = Steps("wait class \"ExploreWClass\"\n");
  script.Then([](HWND browser) {
    HWND list = MusicList(browser);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(Headings(list), kSongHeadings);
    EXPECT_EQ(ListRows(list), Rows{});
    EXPECT_EQ(StatusPart(browser, 0), "0 object(s)");
    EXPECT_EQ(StatusPart(browser, 1), "Empty");
  });
  Browse("QAP Music Jukebox\\Play Lists\\Empty", std::move(script));

  script = Steps("wait class \"ExploreWClass\"\n");
  script.Then([](HWND browser) {
    HWND list = MusicList(browser);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(Headings(list), Strings{"Name"});
    EXPECT_EQ(Names(list), (Strings{"Music", "Play Lists"}));
    EXPECT_EQ(StatusPart(browser, 0), "2 object(s)");
    EXPECT_EQ(StatusPart(browser, 1), "QAP Music Jukebox");
    ui::driver::ClickColumn(list, 0);
  });
  script.Then([](HWND browser) {
    EXPECT_EQ(Names(MusicList(browser)), (Strings{"Play Lists", "Music"}));
  });
  Browse("QAP Music Jukebox", std::move(script));
}

TEST_F(ClassicView, GroupsAndPlaylistsShowTheirCountsAndDurations) {
  const int song = AddTimedSong("Bravo", "Zed", 3600);
  AddTimedSong("alpha", "Abba", 75);
  AddToPlaylist(AddPlaylist("Party"), {song});
  Script script = Steps("wait class \"ExploreWClass\"\n");
  script.Then([](HWND browser) {
    HWND list = MusicList(browser);
    EXPECT_EQ(Headings(list), (Strings{"Artist", "Songs", "Duration"}));
    EXPECT_EQ(ListRows(list), (Rows{{"Abba", "1", "0:01:15"}, {"Zed", "1", "1:00:00"}}));
  });
  Browse("QAP Music Jukebox\\Music\\Artists", std::move(script));
  script = Steps("wait class \"ExploreWClass\"\n");
  script.Then([](HWND browser) {
    HWND list = MusicList(browser);
    EXPECT_EQ(Headings(list), (Strings{"Play list", "Songs", "Duration"}));
    EXPECT_EQ(ListRows(list), (Rows{{"Party", "1", "1:00:00"}}));
  });
  Browse("QAP Music Jukebox\\Play Lists", std::move(script));
}

// Records the kRedraw announcements of one window: what the front-end
// waits for before it shows rows added while redraw was off.
class RedrawWatcher : public ui::driver::Observer {
 public:
  explicit RedrawWatcher(HWND window) : m_window(window) { ui::driver::AddObserver(this); }
  ~RedrawWatcher() override { ui::driver::RemoveObserver(this); }
  void OnCreated(HWND) override {}
  void OnDestroyed(HWND) override {}
  void OnChanged(HWND window, ui::driver::Change change, int, int) override {
    if (window == m_window && change == ui::driver::Change::kRedraw) ++m_count;
  }
  int Count() const { return m_count; }

 private:
  HWND m_window;
  std::atomic<int> m_count{0};
};

TEST_F(ClassicView, ADatabaseThatCannotBeReadLeavesTheColumnsAndRedrawOnAndTheNextRefreshFills) {
  AddTimedSong("Bravo", "Zed", 3600);
  AddTimedSong("alpha", "Abba", 75);
  std::unique_ptr<RedrawWatcher> watcher;
  Script script = Steps("wait class \"ExploreWClass\"\n");
  script.Then([&](HWND browser) {
    HWND list = MusicList(browser);
    ASSERT_EQ(Names(list), (Strings{"alpha", "Bravo"}));
    watcher = std::make_unique<RedrawWatcher>(list);
    // Another program takes the songs away from under the view.
    ChangeDatabase("ALTER TABLE songs RENAME TO songs_away");
    ui::driver::PressKey(list, VK_F5);
  });
  script.Then([&](HWND browser) {
    HWND list = MusicList(browser);
    EXPECT_EQ(Headings(list), kSongHeadings);
    EXPECT_EQ(ListRows(list), Rows{});
    EXPECT_EQ(StatusPart(browser, 0), "0 object(s)");
    EXPECT_GE(watcher->Count(), 1) << "redraw stayed off after the failed fill";
    ChangeDatabase("ALTER TABLE songs_away RENAME TO songs");
    ui::driver::PressKey(list, VK_F5);
  });
  script.Then([&](HWND browser) {
    EXPECT_EQ(Names(MusicList(browser)), (Strings{"alpha", "Bravo"}));
    watcher.reset();
  });
  Browse("QAP Music Jukebox\\Music\\Songs", std::move(script));
}

std::vector<BYTE> SavedState(const UniqueItemIdList& folder) {
  ComPtr<IStream> stream;
  if (FAILED(OpenViewStateStream(folder.get(), STGM_READ, stream.Out()))) return {};
  std::vector<BYTE> bytes(256);
  ULONG read = 0;
  stream->Read(bytes.data(), static_cast<ULONG>(bytes.size()), &read);
  bytes.resize(read);
  return bytes;
}

void SaveState(const UniqueItemIdList& folder, const std::vector<BYTE>& bytes) {
  ComPtr<IStream> stream;
  ASSERT_EQ(OpenViewStateStream(folder.get(), STGM_WRITE, stream.Out()), S_OK);
  ULONG written = 0;
  ASSERT_EQ(stream->Write(bytes.data(), static_cast<ULONG>(bytes.size()), &written), S_OK);
}

TEST_F(ClassicView, TheSortIsSavedAsTheViewStateRecordAndTakenUpOnTheNextVisit) {
  AddTimedSong("Bravo", "Zed", 3600);
  AddTimedSong("alpha", "Abba", 75);
  AddTimedSong("Charlie", "Moe", 200);
  const std::string songs = "QAP Music Jukebox\\Music\\Songs";
  Script script = Steps(
      "wait class \"ExploreWClass\"\n"
      "column 1 3\n"
      "column 1 3\n");
  Browse(songs, std::move(script));

  UniqueItemIdList folder = FolderList(songs);
  std::vector<BYTE> expected(68, 0);
  expected[0] = 1;  // version 1, then 0: descending
  const std::string artist = "Artist";
  for (size_t i = 0; i < artist.size(); ++i) expected[4 + 2 * i] = static_cast<BYTE>(artist[i]);
  std::vector<BYTE> saved = SavedState(folder);
  ASSERT_EQ(saved.size(), 68u);
  saved[3] = 0;  // padding, not significant
  EXPECT_EQ(saved, expected);

  script = Steps("wait class \"ExploreWClass\"\n");
  script.Then([](HWND browser) {
    EXPECT_EQ(Names(MusicList(browser)), (Strings{"Bravo", "Charlie", "alpha"})) << "Zed, Moe, Abba";
  });
  Browse(songs, std::move(script));

  // A record one byte short, one byte long or of another version is not
  // trusted: the view starts by its first column, ascending.
  std::vector<BYTE> shorter(expected.begin(), expected.end() - 1);
  std::vector<BYTE> longer = expected;
  longer.push_back(0);
  std::vector<BYTE> version2 = expected;
  version2[0] = 2;
  for (const std::vector<BYTE>& state : {shorter, longer, version2}) {
    SaveState(folder, state);
    script = Steps("wait class \"ExploreWClass\"\n");
    script.Then([](HWND browser) {
      EXPECT_EQ(Names(MusicList(browser)), (Strings{"alpha", "Bravo", "Charlie"}));
    });
    Browse(songs, std::move(script));
  }
}

}  // namespace
}  // namespace cobrell::testing
