// qap library, run as a user runs it, on the demo's generated music files
// and a music database of each test's own.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>

#include "platform/testing/scratch.h"
#include "tools/qap/demo_music.h"
#include "tools/qap/tests/run_qap.h"

namespace {

using qap::testing::CommandResult;
using qap::testing::RunQap;

class LibraryCommand : public ::testing::Test {
 protected:
  // The music files are made once and only read; each test has its own
  // database, which the child process finds through QAP_MUSIC_DB.
  static void SetUpTestSuite() {
    s_files = new qap::testing::ScratchDir;
    qap::DemoContext context{s_files->Path(), ""};
    s_music = qap::DemoMusicFolder(context);
  }
  static void TearDownTestSuite() {
    delete s_files;
    s_files = nullptr;
  }

  void SetUp() override {
    ASSERT_FALSE(s_music.empty());
    if (const char* previous = std::getenv("QAP_MUSIC_DB")) m_previous = previous;
    setenv("QAP_MUSIC_DB", m_dir.File("music.db").c_str(), 1);
  }
  void TearDown() override { setenv("QAP_MUSIC_DB", m_previous.c_str(), 1); }

  static CommandResult Library(std::vector<std::string> args) {
    args.insert(args.begin(), "library");
    return RunQap(args);
  }

  static inline qap::testing::ScratchDir* s_files = nullptr;
  static inline std::string s_music;
  qap::testing::ScratchDir m_dir;
  std::string m_previous;
};

TEST_F(LibraryCommand, AddingFoldersReportsWhatWasAddedSkippedAndUnreadable) {
  const std::string notes = m_dir.Write("extra/notes.mp3", "not a song");
  CommandResult result = Library({"add", s_music, m_dir.File("extra")});
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(result.out, "Added 7 songs, 0 already in the library, 1 could not be read.\n");
  EXPECT_EQ(result.err, "qap library: cannot read " + notes + " as a song\n");
  // The connection is closed at exit, so the database file holds it all.
  EXPECT_FALSE(std::filesystem::exists(m_dir.File("music.db-wal")));

  result = Library({"add", s_music + "/Aurora Lane", s_music + "/Unsorted/untitled take.wav"});
  EXPECT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(result.out, "Added 0 songs, 4 already in the library, 0 could not be read.\n");

  result = Library({"groups"});
  EXPECT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(result.out,
            "Group    Songs  Duration  Sub-groups\n"
            "Songs    7      0:00:15   \n"
            "Albums   7      0:00:15   5\n"
            "Artists  7      0:00:15   4\n"
            "Genres   7      0:00:15   4\n");
  result = Library({"group", "artists", "--sort", "Songs", "--desc"});
  EXPECT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(result.out,
            "Artist              Songs  Duration\n"
            "Aurora Lane         3      0:00:07\n"
            "The Copper Kettles  2      0:00:05\n"
            "Sigrún Ólafsdóttir  1      0:00:02\n"
            "Unknown Artist      1      0:00:01\n");

}

TEST_F(LibraryCommand, PlaylistsAreCreatedFilledShownChangedAndDeleted) {
  const std::string tea = s_music + "/The Copper Kettles/Tea Time";
  ASSERT_EQ(Library({"playlist", "create", "Tea"}).exitCode, 0);
  CommandResult result = Library({"playlist", "create", "tea"});
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(result.err, "qap library: a playlist named \"tea\" already exists\n");

  result = Library({"playlist", "add", "Tea", tea, tea + "/02 Darjeeling.mp3"});
  EXPECT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(result.out,
            "Playlist \"Tea\" now holds 3 songs. Added 2 songs, 1 already in the library, 0 "
            "could not be read.\n");
  ASSERT_EQ(Library({"playlist", "remove", "TEA", "1"}).exitCode, 0);
  result = Library({"playlist", "show", "Tea"});
  EXPECT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(result.out,
            "Playlist \"Tea\" (id 1), 2 songs, 0:00:06\n"
            "#  Song        Duration  Album     Artist              Genre  Location\n"
            "1  Darjeeling  0:00:03   Tea Time  The Copper Kettles  Jazz   " + tea +
                "/02 Darjeeling.mp3\n"
            "2  Darjeeling  0:00:03   Tea Time  The Copper Kettles  Jazz   " + tea +
                "/02 Darjeeling.mp3\n");

  result = Library({"playlist", "remove", "Tea", "3"});
  EXPECT_EQ(result.exitCode, 2);
  EXPECT_EQ(result.err.rfind("qap library: '3' is not a position in the playlist (1 to 2)", 0), 0u);
  ASSERT_EQ(Library({"playlist", "create", "Jazz"}).exitCode, 0);
  EXPECT_EQ(Library({"playlist", "rename", "Tea", "JAZZ"}).exitCode, 1);
  result = Library({"playlist", "rename", "Tea", "Tea for Two"});
  EXPECT_EQ(result.out, "Renamed playlist \"Tea\" to \"Tea for Two\".\n");
  result = Library({"playlists"});
  EXPECT_EQ(result.out,
            "Id  Play list    Songs  Duration\n"
            "1   Tea for Two  2      0:00:06\n"
            "2   Jazz         0      0:00:00\n");

  result = Library({"playlist", "delete", "tea for two"});
  EXPECT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(result.out, "Deleted playlist \"Tea for Two\"; its songs stay in the library.\n");
  result = Library({"playlist", "show", "Tea for Two"});
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(result.err, "qap library: there is no playlist named \"Tea for Two\"\n");
  EXPECT_NE(Library({"songs"}).out.find("Darjeeling"), std::string::npos);
}

TEST_F(LibraryCommand, ImportingAPlaylistFileAddsWhatItCanRead) {
  const std::string list = m_dir.Write(
      "lists/Evening.zpl",
      "# relative to the file\n" + s_music + "/Aurora Lane/Singles/Drift.wav\n\n"
      "../lists/missing.mp3\nnotes.txt\n" + s_music + "/Sigrún Ólafsdóttir/Fjöll og firðir/Þögn.mp3\n");
  CommandResult result = Library({"import", list});
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(result.out,
            "Imported 2 of 4 songs into playlist \"Evening\" (id 1); 1 skipped, not named as "
            "music files. Added 2 songs, 0 already in the library, 1 could not be read.\n");
  EXPECT_EQ(result.err, "qap library: cannot read " + m_dir.File("lists/missing.mp3") + " as a song\n");
  EXPECT_EQ(Library({"import", list}).err,
            "qap library: a playlist named \"Evening\" already exists; choose another with --name\n");
  result = Library({"import", m_dir.File("absent.zpl")});
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(result.err, "qap library: cannot read the playlist file " + m_dir.File("absent.zpl") +
                            ": No such file or directory\n");
}

TEST_F(LibraryCommand, AFileIsOneSongWhicheverPathNamesIt) {
  const std::string drift = s_music + "/Aurora Lane/Singles/Drift.wav";
  ASSERT_EQ(Library({"add", drift}).exitCode, 0);
  // "Z:" is the root folder: a program path of the same file.
  CommandResult result = Library({"add", "Z:" + drift});
  EXPECT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(result.out, "Added 0 songs, 1 already in the library, 0 could not be read.\n");
  const std::string list = m_dir.Write("Night.zpl", "Z:" + drift + "\n" + drift + "\n");
  result = Library({"import", list});
  EXPECT_EQ(result.exitCode, 0) << result.err;
  EXPECT_NE(result.out.find("Added 0 songs, 2 already in the library"), std::string::npos)
      << result.out;
  result = Library({"songs"});
  EXPECT_EQ(std::count(result.out.begin(), result.out.end(), '\n'), 2) << "one row: " << result.out;
  EXPECT_NE(result.out.find(" " + drift + "\n"), std::string::npos) << "the host path";
}

TEST_F(LibraryCommand, LookingAtAMissingLibraryMakesNoDatabaseNorItsFolder) {
  setenv("QAP_MUSIC_DB", m_dir.File("not/yet/music.db").c_str(), 1);
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"songs"}, {"groups"}, {"playlists"}, {"group", "Albums"},
        {"songs", "--sort", "Artist", "--desc"}}) {
    SCOPED_TRACE(testing::PrintToString(args));
    const CommandResult result = Library(args);
    EXPECT_EQ(result.exitCode, 0) << result.err;
  }
  EXPECT_EQ(Library({"songs"}).out, "Song  Duration  Album  Artist  Genre  Location\n");
  const CommandResult shown = Library({"playlist", "show", "Evening"});
  EXPECT_EQ(shown.exitCode, 1);
  EXPECT_EQ(shown.err, "qap library: there is no playlist named \"Evening\"\n");
  EXPECT_FALSE(std::filesystem::exists(m_dir.File("not")));
}

TEST_F(LibraryCommand, BadArgumentsAndABadDatabaseGiveClearMessages) {
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{}, {"shuffle"}, {"songs", "--sort"}, {"songs", "--fast"},
        {"groups", "x"}, {"add"}, {"playlist", "show"}, {"playlist", "play", "x"},
        {"playlist", "rename", "x"}}) {
    const CommandResult result = Library(args);
    EXPECT_EQ(result.exitCode, 2) << testing::PrintToString(args);
    EXPECT_NE(result.err.find("usage: qap library add"), std::string::npos);
  }
  EXPECT_EQ(Library({"--help"}).exitCode, 0);
  CommandResult result = Library({"songs", "--sort", "Rating"});
  EXPECT_EQ(result.exitCode, 2);
  EXPECT_EQ(result.err.rfind("qap library: there is no column 'Rating' to sort by; the columns are "
                             "Song, Duration, Album, Artist, Genre, Location\n",
                             0),
            0u)
      << result.err;
  result = Library({"group", "Albums", "--sort", "Artist"});
  EXPECT_EQ(result.exitCode, 2);
  EXPECT_NE(result.err.find("the columns are Album, Songs, Duration"), std::string::npos);
  result = Library({"group", "Composers"});
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(result.err,
            "qap library: there is no group named \"Composers\" (the groups are Songs, Albums, "
            "Artists, Genres)\n");

  m_dir.Write("music.db", std::string(8192, 'x'));
  result = Library({"groups"});
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(result.err, "qap library: cannot read the groups: The music database " +
                            m_dir.File("music.db") +
                            " is not a music database (file is not a database).\n");
  EXPECT_EQ(qap::testing::ReadFile(m_dir.File("music.db")), std::string(8192, 'x'));
}

}  // namespace
