// Playlist files: how each line becomes a song path, and a playlist opened
// on a file listing its songs, including ones whose files are missing.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/base/paths.h"
#include "suite/musicdb/tests/music_db_test_support.h"

namespace {

using namespace qap::musicdb::testing;
using Paths = std::vector<std::string>;

ZplStoragePtr ReadList(const std::string& path) {
  IQAPStorage* storage = nullptr;
  CreateZPLStorage(path.c_str(), &storage);
  return ZplStoragePtr(storage);
}

// A playlist opened on the file at path (a program path) and loaded.
PlaylistPtr Opened(IQAPStorage* file) {
  IDbQAPPlayList* playlist = nullptr;
  CreateDbQAPPlayList(&playlist, 0);
  EXPECT_TRUE(file != nullptr && playlist->Open(file) && playlist->Load(nullptr, 0));
  return PlaylistPtr(playlist);
}

// (path, title) of each song of the playlist.
std::vector<std::pair<std::string, std::string>> Songs(IDbQAPPlayList* playlist) {
  std::vector<std::pair<std::string, std::string>> songs;
  SongInfoPtr song = NewSong();
  for (int i = 0; i < playlist->GetSongCount(); ++i) {
    EXPECT_TRUE(playlist->GetSong(i, song.get()));
    EXPECT_EQ(song->GetId(), 0);
    songs.emplace_back(song->GetPath().str(), song->GetTitle().str());
  }
  return songs;
}

Paths PathsOf(const std::string& list) {
  ZplStoragePtr file = ReadList(list);
  Paths paths;
  for (const auto& [path, title] : Songs(Opened(file.get()).get())) paths.push_back(path);
  return paths;
}

TEST(ZplEntries, RelativeLinesResolveAgainstTheFilesFolderAndAbsoluteOnesStay) {
  qap::testing::ScratchHive hive;
  qap::testing::ScratchDir dir;
  ASSERT_TRUE(SetDriveMapping('L', dir.Path(), DRIVE_FIXED));
  ASSERT_TRUE(SetShareMapping("nas", "music", dir.Path()));
  dir.Write("Lists/party.zpl",
            "a.mp3\nsub/dir\\b.mp3\n..\\Music\\./c.mp3\n..\\..\\..\\d.mp3\nD:\\Other\\e.mp3\n"
            "\\Root\\f.mp3\n\\\\server\\share\\g.mp3\n/home/u/h.mp3\n");
  EXPECT_EQ(PathsOf("L:\\Lists\\party.zpl"),
            (Paths{"L:\\Lists\\a.mp3", "L:\\Lists\\sub\\dir\\b.mp3", "L:\\Music\\c.mp3", "L:\\d.mp3",
                   "D:\\Other\\e.mp3", "L:\\Root\\f.mp3", "\\\\server\\share\\g.mp3", "/home/u/h.mp3"}));
  const Paths onShare = PathsOf("\\\\nas\\music\\Lists\\party.zpl");
  ASSERT_EQ(onShare.size(), 8u);
  EXPECT_EQ(onShare[3], "\\\\nas\\music\\d.mp3");

  dir.Write("lists/mix.zpl", "a.mp3\n../music/b.mp3\nx\\y.mp3\n");
  EXPECT_EQ(PathsOf(dir.File("lists/mix.zpl")),
            (Paths{dir.File("lists/a.mp3"), dir.File("music/b.mp3"), dir.File("lists/x/y.mp3")}));
}

class ZplFiles : public ::testing::Test {
 protected:
  ScratchMusicDb m_db;
  qap::testing::ScratchDir m_dir;
};

TEST_F(ZplFiles, APlaylistOpenedOnAFileListsItsSongsInOrderAndChangesOnlyInMemory) {
  const std::string list = m_dir.Write(
      "lists/Road Trip.zpl",
      "\xEF\xBB\xBF# made by hand\r\nfirst.mp3\r\n\r\n   \t\n  ../music/Þögn.wma  \n"
      "#../music/skipped.mp3\n/elsewhere/missing.wav\nlast.mp3");
  ZplStoragePtr file = ReadList(list);
  PlaylistPtr playlist = Opened(file.get());
  EXPECT_EQ(playlist->GetName(), "Road Trip");
  EXPECT_EQ(Songs(playlist.get()),
            (std::vector<std::pair<std::string, std::string>>{
                {m_dir.File("lists/first.mp3"), "first"},
                {m_dir.File("music/Þögn.wma"), "Þögn"},
                {"/elsewhere/missing.wav", "missing"},
                {m_dir.File("lists/last.mp3"), "last"}}));
  const std::string before = qap::testing::ReadFile(list);
  ASSERT_TRUE(playlist->RemoveSong(0));
  EXPECT_EQ(playlist->GetSongCount(), 3);
  EXPECT_EQ(qap::testing::ReadFile(list), before);
}

TEST_F(ZplFiles, ImportingAddsTheSongsWhoseFilesCanBeReadAndNothingElse) {
  ASSERT_TRUE(MakeMusicFile(m_dir.File("lists/a.mp3"), {"Aa", "X", "Y", "Z"}, 1));
  m_dir.Write("lists/notes.mp3", "not audio at all");
  ZplStoragePtr file = ReadList(m_dir.Write("lists/mix.zpl", "a.mp3\nnotes.mp3\nmissing.mp3\na.mp3\n"));
  std::vector<int> ids;
  for (const auto& [path, title] : Songs(Opened(file.get()).get())) ids.push_back(AddFile(path));
  ASSERT_EQ(ids.size(), 4u);
  EXPECT_NE(ids[0], 0);
  EXPECT_EQ(ids[1] + ids[2], 0);
  EXPECT_EQ(ids[3], ids[0]);
  EXPECT_EQ(Titles(OpenSongs().get()), Paths{"Aa"});
}

TEST_F(ZplFiles, AFileThatCannotBeReadGivesNoStorageAndAnEmptyOneAnEmptyPlaylist) {
  IQAPStorage* storage = reinterpret_cast<IQAPStorage*>(0x1);
  EXPECT_FALSE(CreateZPLStorage(m_dir.File("absent.zpl").c_str(), &storage));
  EXPECT_EQ(storage, nullptr);
  EXPECT_FALSE(ReadList(m_dir.Path()));
  EXPECT_FALSE(ReadList("Q:\\unmapped\\x.zpl"));
  ZplStoragePtr empty = ReadList(m_dir.Write("empty.zpl", ""));
  PlaylistPtr playlist = Opened(empty.get());
  EXPECT_EQ(playlist->GetSongCount(), 0);
  EXPECT_EQ(playlist->GetName(), "empty");
}

}  // namespace
