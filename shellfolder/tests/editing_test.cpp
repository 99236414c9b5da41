// What a person does to change the library in the shell browser: dropping
// music and playlist files on Play Lists and on a playlist, cutting,
// copying and pasting songs between playlists, deleting after the box,
// making and renaming playlists.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <vector>

#include "platform/shell/shell_notify.h"
#include "platform/ui/menu.h"
#include "platform/ui/ole/clipboard.h"
#include "platform/ui/user32.h"
#include "shellfolder/item_id_manager.h"
#include "shellfolder/tests/view_test_support.h"
#include "shellfolder/transfer_block.h"
#include "shellfolder/view_resources.h"
#include "suite/musicdb/tests/music_db_test_support.h"

namespace cobrell::testing {
namespace {

using Strings = std::vector<std::string>;
using ui::script::Script;

class Editing : public ViewTest {
 protected:
  // The clipboard outlives the test: what it holds goes first.
  void TearDown() override {
    OleSetClipboard(nullptr);
    ViewTest::TearDown();
  }

  // A tone file titled title in the test's folder, its extension in
  // capitals when asked.
  std::string MusicFile(const std::string& title, bool capitals = false) {
    const std::string path = m_files.File(title + ".mp3");
    EXPECT_TRUE(qap::musicdb::testing::MakeMusicFile(path, {title}, 1));
    if (!capitals) return path;
    const std::string renamed = m_files.File(title + ".MP3");
    std::filesystem::rename(path, renamed);
    return renamed;
  }

  qap::testing::ScratchDir m_files;
};

// The titles of the songs of the playlist named name.
Strings SongsOf(const std::string& name) {
  Strings titles;
  PlaylistContainerPtr playlists(CreatePlayListContainer(0, "", TRUE));
  if (!playlists || !playlists->Open()) return titles;
  for (int i = 0; i < playlists->GetCount(); ++i) {
    PlaylistPtr playlist(playlists->GetPlaylist(i));
    if (!playlist || playlist->GetName().str() != name) continue;
    SongInfoPtr song = qap::musicdb::testing::NewSong();
    for (int s = 0; s < playlist->GetSongCount(); ++s) {
      playlist->GetSong(s, song.get());
      titles.push_back(song->GetTitle().str());
    }
  }
  return titles;
}

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

TEST_F(Editing, FilesDroppedOnPlayListsMakeAPlaylistAndPlaylistFilesNameTheirTarget) {
  AddPlaylist("Party");
  const std::string a = MusicFile("A");
  const std::string b = MusicFile("B");
  const std::string c = MusicFile("C");
  const std::string d = MusicFile("D");
  const std::string e = MusicFile("E", true);
  const std::string notes = m_files.Write("notes.txt", "not music\n");
  const std::string mix = m_files.Write("Mix.zpl", "A.mp3\nnotes.txt\nE.MP3\n");
  const std::string road = m_files.Write("Road.zpl", "C.mp3\n");
  Script script = Steps(
      "wait class \"ExploreWClass\"\n"
      "drop 1 " +
      Quoted(notes) +
      "\n"
      "drop 1 " +
      Quoted(a) + " " + Quoted(b) + " " + Quoted(c) + " " + Quoted(d) + " " + Quoted(e) + " " +
      Quoted(notes) + "\n");
  script.Then(
      [](HWND) { EXPECT_EQ(PlaylistNames(), Strings{"Party"}) << "a text file is refused"; });
  script.Add("drop 1 " + Quoted(a) + " " + Quoted(b) + " " + Quoted(c) +
                 "\n"
                 "drop 1 " +
                 Quoted(mix) + "\n",
             nullptr);
  script.Then([](HWND browser) {
    EXPECT_EQ(PlaylistNames(), (Strings{"Party", "Playlist 1", "Mix"}));
    EXPECT_EQ(SongsOf("Playlist 1"), (Strings{"A", "B", "C"}));
    EXPECT_EQ(SongsOf("Mix"), (Strings{"A", "E"})) << "only the file's songs";
    EXPECT_EQ(Names(MusicList(browser)), (Strings{"Mix", "Party", "Playlist 1"}));
  });
  // Onto a playlist: a name no playlist has renames it, Mix's does not.
  script.Add("drop 1 row 1 " + Quoted(road) +
                 "\n"
                 "drop 1 row 0 " +
                 Quoted(mix) + "\n",
             nullptr);
  script.Then([](HWND browser) {
    EXPECT_EQ(PlaylistNames(), (Strings{"Road", "Playlist 1", "Mix"}));
    EXPECT_EQ(SongsOf("Road"), Strings{"C"});
    EXPECT_EQ(SongsOf("Mix"), (Strings{"A", "E", "A", "E"}));
    EXPECT_EQ(Names(MusicList(browser)), (Strings{"Mix", "Playlist 1", "Road"}));
  });
  Browse("QAP Music Jukebox\\Play Lists", std::move(script));
}

TEST_F(Editing, NewTakesTheFirstFreeNumberAndARenameOntoAnotherNameChangesNothing) {
  AddPlaylist("Playlist 1");
  AddPlaylist("playlist 2");
  AddPlaylist("Chill");
  Strings made;
  ShellChangeSubscription changes([&](const ShellChange& change) {
    if (change.eventId == SHCNE_MKDIR)
      made.push_back(
          FieldsOf(TheItemIdManager().GetLast(static_cast<LPCITEMIDLIST>(change.item1))).name);
  });
  Script script = Steps(
      "wait class \"ExploreWClass\"\n"
      "key Insert\n");
  script.Then([](HWND browser) {
    EXPECT_EQ(PlaylistNames(), (Strings{"Playlist 1", "playlist 2", "Chill", "Playlist 3"}));
    EXPECT_EQ(Names(MusicList(browser)),
              (Strings{"Chill", "Playlist 1", "playlist 2", "Playlist 3"}));
  });
  Browse("QAP Music Jukebox\\Play Lists", std::move(script));
  EXPECT_EQ(made, Strings{"Playlist 3"});

  ComPtr<IShellFolder> playLists = OpenPath({u"Play Lists"});
  UniqueItemIdList chill = FindChild(playLists.Get(), u"Chill");
  ASSERT_TRUE(chill);
  EXPECT_EQ(playLists->SetNameOf(nullptr, chill.get(), u"PLAYLIST 1", 0, nullptr), E_FAIL);
  EXPECT_EQ(playLists->SetNameOf(nullptr, chill.get(), u"", 0, nullptr), E_FAIL);
  EXPECT_EQ(PlaylistNames(), (Strings{"Playlist 1", "playlist 2", "Chill", "Playlist 3"}));
  LPITEMIDLIST renamed = nullptr;
  EXPECT_EQ(playLists->SetNameOf(nullptr, chill.get(), u"Evening", 0, &renamed), S_OK);
  UniqueItemIdList renamedOwner(renamed);
  ASSERT_TRUE(renamed);
  EXPECT_EQ(FieldsOf(renamed).name, "Evening");
  EXPECT_EQ(PlaylistNames(), (Strings{"Playlist 1", "playlist 2", "Evening", "Playlist 3"}));
}

HMENU EditPopup(HWND browser) {
  for (const auto& item : ui::driver::MenuItems(GetMenu(browser))) {
    if (item.text == "&Edit") return item.subMenu;
  }
  return nullptr;
}

bool PasteGrayed(HWND browser) {
  HMENU edit = EditPopup(browser);
  SendMessageA(ViewHost(browser), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(edit), 1);
  return (GetMenuState(edit, kCommandPaste, MF_BYCOMMAND) & MF_GRAYED) != 0;
}

// Adds to playlist_songs of the playlist named name fail from now on, as a
// full disk or a failing database would make them.
void RefuseAddsTo(const std::string& name) {
  ChangeDatabase(
      "CREATE TRIGGER refuse BEFORE INSERT ON playlist_songs WHEN NEW.playlist_id = "
      "(SELECT id FROM playlists WHERE name = '" +
      name + "') BEGIN SELECT RAISE(ABORT, 'full'); END;");
}

TEST_F(Editing, CutAndPasteMovesCopyAndPasteAddsAndAFailedAddLosesNothing) {
  const int x = AddTimedSong("Xray", "Abba", 60);
  const int y = AddTimedSong("Yankee", "Abba", 60);
  AddToPlaylist(AddPlaylist("Alpha"), {x, y});
  AddPlaylist("Beta");
  AddPlaylist("Gamma");
  Script script = Steps("wait class \"ExploreWClass\"\n");
  script.Then([](HWND browser) { EXPECT_TRUE(PasteGrayed(browser)) << "nothing to paste yet"; });
  script.Add(
      "doubleclick 1 \"Alpha\"\n"
      "wait window \"Exploring - Alpha\"\n"
      "select 1 \"Xray\"\n"
      "key ctrl+X\n",
      nullptr);
  script.Then([](HWND browser) {
    EXPECT_TRUE(PasteGrayed(browser)) << "not back onto its own playlist";
    EXPECT_EQ(Names(MusicList(browser)), (Strings{"Xray", "Yankee"})) << "a cut moves on paste";
    // From here the clipboard's own copy is pasted, as after the program
    // that cut has gone: it is still a cut.
    EXPECT_EQ(OleFlushClipboard(), S_OK);
  });
  script.Add(
      "key Back\n"
      "wait window \"Exploring - Play Lists\"\n"
      "doubleclick 1 \"Beta\"\n"
      "wait window \"Exploring - Beta\"\n",
      nullptr);
  script.Then([](HWND browser) {
    EXPECT_FALSE(PasteGrayed(browser));
    ui::driver::ChooseMenuItem(browser, kCommandPaste);
  });
  script.Then([](HWND browser) {
    EXPECT_EQ(Names(MusicList(browser)), Strings{"Xray"});
    EXPECT_EQ(SongsOf("Alpha"), Strings{"Yankee"});
    EXPECT_EQ(SongsOf("Beta"), Strings{"Xray"});
  });
  script.Add(
      "key Back\n"
      "wait window \"Exploring - Play Lists\"\n"
      "doubleclick 1 \"Alpha\"\n"
      "wait window \"Exploring - Alpha\"\n"
      "select 1 \"Yankee\"\n"
      "key ctrl+C\n"
      "key Back\n"
      "wait window \"Exploring - Play Lists\"\n"
      "doubleclick 1 \"Beta\"\n"
      "wait window \"Exploring - Beta\"\n"
      "key ctrl+V\n",
      nullptr);
  script.Then([](HWND browser) {
    EXPECT_EQ(Names(MusicList(browser)), (Strings{"Xray", "Yankee"}));
    EXPECT_EQ(SongsOf("Alpha"), Strings{"Yankee"}) << "a copy leaves the source";
  });
  // A cut whose add fails leaves the song where it was.
  script.Add(
      "select 1 \"Xray\"\n"
      "key ctrl+X\n"
      "key Back\n"
      "wait window \"Exploring - Play Lists\"\n"
      "doubleclick 1 \"Gamma\"\n"
      "wait window \"Exploring - Gamma\"\n",
      nullptr);
  script.Then([](HWND browser) {
    RefuseAddsTo("Gamma");
    ui::driver::ChooseMenuItem(browser, kCommandPaste);
  });
  script.Then([](HWND) {
    EXPECT_EQ(SongsOf("Beta"), (Strings{"Xray", "Yankee"}));
    EXPECT_EQ(SongsOf("Gamma"), Strings{});
  });
  Browse("QAP Music Jukebox\\Play Lists", std::move(script));
}

TEST_F(Editing, DeleteAsksFirstAndTakesTheSongOutOfThePlaylistOnly) {
  const int x = AddTimedSong("Xray", "Abba", 60);
  const int y = AddTimedSong("Yankee", "Abba", 60);
  AddToPlaylist(AddPlaylist("Alpha"), {x, y});
  Script script = Steps(
      "wait class \"ExploreWClass\"\n"
      "select 1 \"Xray\"\n"
      "key Delete\n"
      "wait window \"Confirm Delete\"\n"
      "expect box \"Are you sure you want to delete item(s)?\"\n"
      "answer no\n"
      "use \"Exploring - Alpha\"\n");
  script.Then([](HWND browser) {
    EXPECT_EQ(Names(MusicList(browser)), (Strings{"Xray", "Yankee"}));
  });
  script.Add(
      "select 1 \"Xray\"\n"
      "key Delete\n"
      "answer yes\n"
      "use \"Exploring - Alpha\"\n",
      nullptr);
  script.Then([](HWND browser) {
    EXPECT_EQ(Names(MusicList(browser)), Strings{"Yankee"});
    SongContainerPtr all = qap::musicdb::testing::OpenSongs();
    EXPECT_EQ(qap::musicdb::testing::Titles(all.get()), (Strings{"Xray", "Yankee"}));
  });
  Browse("QAP Music Jukebox\\Play Lists\\Alpha", std::move(script));
}

TEST_F(Editing, ASongWhosePathTheBlockCannotHoldIsLeftOutAndThePersonTold) {
  const int x = AddTimedSong("Xray", "Abba", 60);
  const int y = AddTimedSong("Yankee", "Abba", 60, "/music/" + std::string(300, 'y') + ".mp3");
  AddToPlaylist(AddPlaylist("Alpha"), {x, y});
  Script script = Steps(
      "wait class \"ExploreWClass\"\n"
      "key ctrl+A\n"
      "key ctrl+C\n"
      "expect box \"1 song(s) could not be copied: their paths are longer than "
      "260 characters.\"\n"
      "answer ok\n");
  script.Then([](HWND) {
    std::vector<BYTE> bytes;
    ASSERT_TRUE(ui::ole::ReadLocalClipboard(TransferFormat(), &bytes));
    const auto block = DecodeTransferBlock(bytes.data(), bytes.size());
    ASSERT_TRUE(block);
    EXPECT_EQ(block->paths, std::vector<std::u16string>{u"/music/Xray.mp3"});
  });
  Browse("QAP Music Jukebox\\Play Lists\\Alpha", std::move(script));
}

}  // namespace
}  // namespace cobrell::testing
