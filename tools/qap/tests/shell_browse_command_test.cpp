// qap shell browse as a person at the shell browser runs it, under a window
// script: the music folder is found through its registration alone, and
// goes with it.
#include <gtest/gtest.h>

#include "platform/testing/scratch.h"
#include "tools/qap/tests/run_qap.h"

namespace qap::testing {
namespace {

class ShellBrowseCommand : public ::testing::Test {
 protected:
  // Browses My Computer, opens the music folder's Music and writes the
  // window's text picture; what the picture holds.
  std::string BrowseMusic(const std::string& expandTo) {
    const std::string picture = m_dir.File("browser.txt");
    const std::string script = m_dir.Write(
        "browse.script", "wait class \"ExploreWClass\"\n" + expandTo + "snapshot \"" + picture +
                             "\"\nclose\nwait gone\n");
    const CommandResult result = RunQap({"ui", "run", script, "--", "shell", "browse"});
    EXPECT_EQ(result.exitCode, 0) << result.out << result.err;
    return ReadFile(picture);
  }

  ScratchHive m_hive;
  ScratchDir m_dir;
};

TEST_F(ShellBrowseCommand, TheMusicFolderIsThereOnceRegisteredWithMusicsChildrenAndGoneOnceNot) {
  ASSERT_EQ(RunQap({"shell", "register"}).exitCode, 0);
  const std::string shown = BrowseMusic(
      "expand 100 \"My Computer\\QAP Music Jukebox\"\n"
      "expand 100 \"My Computer\\QAP Music Jukebox\\Music\"\n");
  for (const char* line : {"- \"QAP Music Jukebox\"", "- \"Music\"", "\"Albums\"", "\"Artists\"",
                           "\"Genres\"", "\"Songs\"", "+ \"Play Lists\""})
    EXPECT_NE(shown.find(line), std::string::npos) << line << " in:\n" << shown;
  EXPECT_NE(shown.find("ExploreWClass \"Exploring - My Computer\""), std::string::npos) << shown;

  ASSERT_EQ(RunQap({"shell", "unregister"}).exitCode, 0);
  const std::string gone = BrowseMusic("");
  EXPECT_NE(gone.find("\"My Computer\" selected"), std::string::npos) << gone;
  EXPECT_EQ(gone.find("QAP Music Jukebox"), std::string::npos) << gone;
}

TEST_F(ShellBrowseCommand, APathThatNamesNoFolderIsExplained) {
  const CommandResult result = RunQap({"shell", "browse", "No Such Folder"});
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_NE(result.err.find("qap shell: no folder \"No Such Folder\" under My Computer"),
            std::string::npos)
      << result.err;
}

}  // namespace
}  // namespace qap::testing
