// qap shell, run as a user runs it: the folder tree listed through the
// module's class object, and its registration, each in a child process
// with the test's own hive and music database.
#include <gtest/gtest.h>

#include <cstdio>

#include "platform/registry/reg_key.h"
#include "shellfolder/tests/music_folder_fixture.h"
#include "tools/qap/tests/run_qap.h"

namespace cobrell::testing {
namespace {

using qap::testing::CommandResult;
using qap::testing::RunQap;

class ShellCommand : public MusicFolderTest {
 protected:
  static CommandResult Shell(std::vector<std::string> args) {
    args.insert(args.begin(), "shell");
    return RunQap(args);
  }
  static std::string Module() { return std::string(std::getenv("QAP_BIN_DIR")) + "/libCobrell.so"; }
};

TEST_F(ShellCommand, ListingAGroupShowsEachChildsKindIdAttributesIconAndNames) {
  AddSong("Dancing Queen", "Abba", "Arrival", "Pop");
  AddSong("Bohemian Rhapsody", "Queen", "A Night at the Opera", "Rock");
  // Sub-group ids are the database's; the folder in this process tells them.
  ComPtr<IShellFolder> artists = OpenPath({u"Music", u"Artists"});
  ASSERT_TRUE(artists);
  std::vector<UniqueItemIdList> children = Children(artists.Get());
  ASSERT_EQ(children.size(), 2u);
  char abba[16];
  char queen[16];
  std::snprintf(abba, sizeof abba, "%6d", FieldsOf(children[0].get()).id);
  std::snprintf(queen, sizeof queen, "%6d", FieldsOf(children[1].get()).id);

  const CommandResult result = Shell({"ls", "music\\ARTISTS"});
  EXPECT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(result.out, "The music folder of " + Module() +
                            " (icons are its resources, by negative index)\n\n"
                            "QAP Music Jukebox\\Music\\Artists: 2 items\n"
                            "Kind               Id  Attributes   Icon  Name   Parsing name\n"
                            "3 song list    " +
                            abba +
                            "  0x20000101   -210  Abba   "
                            "QAP Music Jukebox\\Music\\Artists\\Abba\n"
                            "3 song list    " +
                            queen +
                            "  0x20000101   -210  Queen  "
                            "QAP Music Jukebox\\Music\\Artists\\Queen\n"
                            "  0x20000101: folder, drop target, can copy\n");
}

TEST_F(ShellCommand, ARecursiveListingWalksEveryFolderThatHasFoldersBelowIt) {
  AddSong("Dancing Queen", "Abba", "Arrival", "Pop");
  AddPlaylist("Party");
  const CommandResult result = Shell({"ls", "-R", "QAP Music Jukebox"});
  EXPECT_EQ(result.exitCode, 0) << result.err;
  for (const char* line :
       {"QAP Music Jukebox: 2 items\n", "QAP Music Jukebox\\Music: 4 items\n",
        "QAP Music Jukebox\\Music\\Albums: 1 item\n", "QAP Music Jukebox\\Music\\Genres: 1 item\n",
        "QAP Music Jukebox\\Play Lists: 1 item\n",
        "  -209  Party  QAP Music Jukebox\\Play Lists\\Party\n"}) {
    EXPECT_NE(result.out.find(line), std::string::npos) << line << "\nin:\n" << result.out;
  }
  // Song lists and playlists hold no folders: they are not descended into.
  EXPECT_EQ(result.out.find("Music\\Songs:"), std::string::npos);
}

TEST_F(ShellCommand, PathsThatNameNoFolderOrNoListAreExplained) {
  AddPlaylist("Party");
  CommandResult result = Shell({"ls", "Play Lists\\Party"});
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_NE(result.out.find("QAP Music Jukebox\\Play Lists\\Party: its songs are shown by the "
                            "folder's view, not listed as items\n"),
            std::string::npos);
  result = Shell({"ls", "Music\\Moods"});
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(result.err, "qap shell: no folder \"Moods\" in QAP Music Jukebox\\Music\n");
  result = Shell({"ls", "Play Lists\\Party\\Songs"});
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(result.err,
            "qap shell: QAP Music Jukebox\\Play Lists\\Party has no folders below it\n");
  EXPECT_EQ(Shell({"ls", "a", "b"}).exitCode, 2);
  EXPECT_EQ(Shell({"mount"}).exitCode, 2);
  EXPECT_EQ(Shell({"register", "-R"}).exitCode, 2);
}

TEST_F(ShellCommand, RegisterAndUnregisterReportTheEntryPointsResults) {
  CommandResult result = Shell({"register"});
  EXPECT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(result.out, "DllRegisterServer of " + Module() + ": 0x00000000 (S_OK)\n");
  RegKey junction;
  EXPECT_EQ(junction.Open(HKEY_LOCAL_MACHINE,
                          "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\MyComputer\\"
                          "Namespace\\{49C49A94-996D-11D3-8830-5254ABDE229C}"),
            ERROR_SUCCESS);
  junction.Reset();
  const char* library = "TypeLib\\{49C49AD4-996D-11D3-8830-5254ABDE229C}\\1.0";
  RegKey typeLibrary;
  EXPECT_EQ(typeLibrary.Open(HKEY_CLASSES_ROOT, library), ERROR_SUCCESS);
  typeLibrary.Reset();

  EXPECT_EQ(Shell({"unregister"}).exitCode, 0);
  EXPECT_NE(typeLibrary.Open(HKEY_CLASSES_ROOT, library), ERROR_SUCCESS);
  result = Shell({"unregister"});
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(result.out, "DllUnregisterServer of " + Module() + ": 0x80004005 (E_FAIL)\n");
  EXPECT_NE(result.err.find("unregistration failed"), std::string::npos);
}

TEST_F(ShellCommand, TheFirstFolderOfAProcessLoadsTheSettings) {
  RegKey settings;
  ASSERT_NE(settings.Open(HKEY_CURRENT_USER, "SOFTWARE\\ZelVar\\QAP"), ERROR_SUCCESS);
  EXPECT_EQ(Shell({"ls"}).exitCode, 0);
  EXPECT_EQ(settings.Open(HKEY_CURRENT_USER, "SOFTWARE\\ZelVar\\QAP"), ERROR_SUCCESS);
}

}  // namespace
}  // namespace cobrell::testing
