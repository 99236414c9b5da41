// The views' tests' shared fixture and readers.
#include "shellfolder/tests/view_test_support.h"

#include <sqlite3.h>

#include <cstring>

#include "platform/shell/my_computer.h"
#include "platform/shell/shell_browser.h"
#include "platform/ui/commctrl.h"
#include "platform/ui/driver.h"
#include "platform/ui/user32.h"
#include "shellfolder/cobrell.h"
#include "shellfolder/music_db.h"

namespace cobrell::testing {

void ViewTest::SetUp() { ASSERT_EQ(DllRegisterServer(), S_OK); }

ui::script::Script ViewTest::Steps(const std::string& text) {
  ui::script::Script script;
  std::string error;
  EXPECT_TRUE(script.Add(text, &error)) << error;
  return script;
}

UniqueItemIdList ViewTest::FolderList(const std::string& path) {
  LPITEMIDLIST folder = nullptr;
  EXPECT_EQ(ParseFolderPath(path, &folder), S_OK) << path;
  return UniqueItemIdList(folder);
}

void ViewTest::Browse(const std::string& path, ui::script::Script script, bool explore) {
  script.Then([](HWND) {
    for (HWND window : ui::driver::TopLevelWindows()) PostMessageA(window, WM_CLOSE, 0, 0);
  });
  ui::script::Runner person(std::move(script), ui::script::Services{});
  person.Start();
  UniqueItemIdList folder = FolderList(path);
  ASSERT_NE(folder, nullptr);
  EXPECT_EQ(RunShellBrowser(folder.get(), explore), 0);
  person.ProgramEnded();
  EXPECT_TRUE(person.Finished() && !person.Failed()) << person.Failure();
}

namespace {

HWND ChildOfClass(HWND parent, const char* className) {
  struct Search {
    const char* className;
    HWND found;
  } search{className, nullptr};
  EnumChildWindows(
      parent,
      [](HWND window, LPARAM data) {
        auto* wanted = reinterpret_cast<Search*>(data);
        char name[64] = {};
        GetClassNameA(window, name, sizeof name);
        if (std::strcmp(name, wanted->className) != 0) return TRUE;
        wanted->found = window;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

}  // namespace

HWND MusicList(HWND browser) {
  HWND classic = ChildOfClass(browser, "Mp3Db Classic View");
  return classic != nullptr ? ChildOfClass(classic, WC_LISTVIEW) : nullptr;
}

HWND ViewHost(HWND browser) { return FindWindowExA(browser, nullptr, nullptr, "Mp3 Default View"); }

std::vector<std::string> Headings(HWND list) {
  std::vector<std::string> headings;
  auto* model = ui::driver::Model<ui::driver::ListViewModel>(list);
  if (model == nullptr) return headings;
  for (int i = 0; i < model->ColumnCount(); ++i) headings.push_back(model->Column(i).text);
  return headings;
}

Rows ListRows(HWND list) {
  Rows rows;
  auto* model = ui::driver::Model<ui::driver::ListViewModel>(list);
  if (model == nullptr) return rows;
  for (int row = 0; row < model->RowCount(); ++row) {
    std::vector<std::string> cells;
    for (int column = 0; column < model->ColumnCount(); ++column)
      cells.push_back(model->CellText(row, column));
    rows.push_back(cells);
  }
  return rows;
}

std::vector<std::string> Names(HWND list) {
  std::vector<std::string> names;
  for (const auto& row : ListRows(list)) names.push_back(row.empty() ? "" : row[0]);
  return names;
}

std::string StatusPart(HWND browser, int part) {
  char text[256] = "";
  SendMessageA(GetDlgItem(browser, kBrowserStatusId), SB_GETTEXTA, static_cast<WPARAM>(part),
               reinterpret_cast<LPARAM>(text));
  return text;
}

std::string WindowTitle(HWND window) {
  char title[256] = "";
  GetWindowTextA(window, title, sizeof title);
  return title;
}

int AddTimedSong(const std::string& title, const std::string& artist, int seconds,
                 const std::string& path) {
  qap::musicdb::testing::Tags tags;
  tags.title = title;
  tags.artist = artist;
  tags.album = title + " Album";
  tags.genre = "Pop";
  return qap::musicdb::testing::AddSong(path.empty() ? "/music/" + title + ".mp3" : path, tags,
                                        seconds);
}

void ChangeDatabase(const std::string& sql) {
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(getenv("QAP_MUSIC_DB"), &db), SQLITE_OK);
  EXPECT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK)
      << sqlite3_errmsg(db);
  sqlite3_close(db);
}

void AddToPlaylist(int playlist, const std::vector<int>& songs) {
  PlaylistContainerPtr playlists(CreatePlayListContainer(0, "", TRUE));
  ASSERT_TRUE(playlists && playlists->Open());
  PlaylistPtr target(playlists->GetPlaylistById(playlist));
  ASSERT_TRUE(target);
  SongContainerPtr all = qap::musicdb::testing::OpenSongs();
  ASSERT_TRUE(all);
  for (int id : songs) {
    for (int i = 0; i < all->GetCount(); ++i) {
      if (all->GetSong(i)->GetId() == id) {
        ASSERT_TRUE(target->AddSong(all->GetSong(i)));
      }
    }
  }
}

std::vector<std::string> PlaylistNames() {
  std::vector<std::string> names;
  PlaylistContainerPtr playlists(CreatePlayListContainer(0, "", TRUE));
  if (!playlists || !playlists->Open()) return names;
  for (int i = 0; i < playlists->GetCount(); ++i) {
    PlaylistPtr playlist(playlists->GetPlaylist(i));
    if (playlist) names.push_back(playlist->GetName().str());
  }
  return names;
}

}  // namespace cobrell::testing
