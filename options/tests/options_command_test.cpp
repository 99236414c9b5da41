// qap options, run as a user runs it, against the real library and a
// scratch hive.
#include <gtest/gtest.h>

#include "platform/testing/scratch.h"
#include "tools/qap/tests/run_qap.h"

namespace {

using qap::testing::RunQap;

bool Has(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

class OptionsCommand : public ::testing::Test {
 protected:
  qap::testing::ScratchHive m_hive;
};

TEST_F(OptionsCommand, LoadTellsAFirstStartAndTheVersion) {
  auto result = RunQap({"options", "version"});
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_TRUE(Has(result.err, "no version stamp")) << result.err;

  result = RunQap({"options", "load"});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  EXPECT_TRUE(Has(result.out, "First start: yes")) << result.out;
  EXPECT_TRUE(Has(result.out, "Version: RELEASE 7.0")) << result.out;

  result = RunQap({"options", "load"});
  EXPECT_TRUE(Has(result.out, "First start: no")) << result.out;
  result = RunQap({"options", "version"});
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(result.out, "RELEASE 7.0\n");
}

// Each run of qap is a process of its own: the player turned Audio CD on in
// one, started again (a load, which finds its own command), and turned it
// off in a third.
TEST_F(OptionsCommand, AudioCdOnInOneProcessAndOffInALaterOneGivesTheOldHandlerBack) {
  const std::string command = "HKCR\\AudioCD\\shell\\play\\command";
  ASSERT_EQ(RunQap({"reg", "add", command, "/ve", "/d", "c:\\cd\\play.exe %1", "/f"}).exitCode, 0);
  ASSERT_EQ(RunQap({"options", "set", "FileTypes", "AssociateWithCD", "1"}).exitCode, 0);
  EXPECT_TRUE(Has(RunQap({"reg", "query", command, "/ve"}).out, "ZelvarQAP.exe /CDAudio %1"));
  ASSERT_EQ(RunQap({"options", "load"}).exitCode, 0);
  ASSERT_EQ(RunQap({"options", "set", "FileTypes", "AssociateWithCD", "0"}).exitCode, 0);
  const auto result = RunQap({"reg", "query", command});
  EXPECT_TRUE(Has(result.out, "(Default)    REG_SZ    C:\\CD\\PLAY.EXE %1")) << result.out;
  EXPECT_FALSE(Has(result.out, "ZelVarBackup")) << result.out;
}

TEST_F(OptionsCommand, SetStoresThroughTheSetterAndShowReadsThroughTheGetters) {
  struct Step {
    std::vector<std::string> set;
    const char* group;
    const char* shown;
  };
  const Step steps[] = {
      {{"Recording", "CBR_KBPS", "192"}, "Recording", "CBR_KBPS = 192"},
      {{"recording", "ejectcd", "no"}, "Recording", "EjectCD = false"},
      {{"Tagging", "Artist", "Nina Simone"}, "Tagging", "Artist = \"Nina Simone\""},
      {{"Scheduler", "PlStartAtTime", "07:30:00"}, "Scheduler", "PlStartAtTime = 07:30:00"},
      {{"MiniBrowser", "URL_02", "http://example.org/"}, "MiniBrowser",
       "URL_02 = \"http://example.org/\""},
      {{"Jukemind", "Genre_003_Value", "80"}, "Jukemind", "Genre_003_Value = 80"},
      {{"AdvancedJukemind", "Theme_001_Val", "true"}, "AdvancedJukemind", "Theme_001_Val = true"},
      {{"FileTypes", ".MP3", "1"}, "FileTypes", ".MP3 = 1"},
      {{"General", "XWndStartPosition#2", "300"}, "General", "XWndStartPosition#2 = 300"},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.shown);
    std::vector<std::string> args = {"options", "set"};
    args.insert(args.end(), step.set.begin(), step.set.end());
    auto result = RunQap(args);
    ASSERT_EQ(result.exitCode, 0) << result.err;
    result = RunQap({"options", "show", step.group});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_TRUE(Has(result.out, step.shown)) << result.out;
  }
  auto query = RunQap({"reg", "query", "HKCU\\SOFTWARE\\ZelVar\\QAP\\Recording", "/v", "CBR_KBPS"});
  EXPECT_TRUE(Has(query.out, "0xc0")) << query.out;
  query = RunQap({"reg", "query", "HKCR\\.MP3", "/ve"});
  EXPECT_TRUE(Has(query.out, "ZelVar.File")) << query.out;

  auto all = RunQap({"options", "show"});
  ASSERT_EQ(all.exitCode, 0);
  for (const char* group : {"[MiniBrowser]", "[VisualEffects]", "[Recording]", "[Skins]",
                            "[Scheduler]", "[Tagging]", "[FileTypes]", "[Jukemind]",
                            "[AdvancedJukemind]", "[CDDB]", "[General]", "[SoundEffectsSettings]"}) {
    EXPECT_TRUE(Has(all.out, group)) << group;
  }
}

TEST_F(OptionsCommand, BadNamesAndValuesSayWhatIsValidAndChangeNothing) {
  ASSERT_EQ(RunQap({"options", "load"}).exitCode, 0);
  struct Case {
    std::vector<std::string> args;
    const char* message;
  };
  const Case cases[] = {
      {{"options"}, "missing operation"},
      {{"options", "frob"}, "unknown operation"},
      {{"options", "show", "Nope"}, "SoundEffectsSettings"},
      {{"options", "set", "Recording", "Nope", "1"}, "CBR_KBPS"},
      {{"options", "set", "Recording", "CBR_KBPS", "12x"}, "not a number"},
      {{"options", "set", "Recording", "EjectCD", "maybe"}, "true or false"},
      {{"options", "set", "Scheduler", "PlStartAtTime", "7.30"}, "HH:MM:SS"},
      {{"options", "set", "Jukemind", "Genre_099_Value", "1"}, "Genre_011_Value"},
      {{"options", "set", "Recording", "CBR_KBPS"}, "set takes GROUP NAME VALUE"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    auto result = RunQap(c.args);
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_TRUE(Has(result.err, c.message)) << result.err;
  }
  auto query = RunQap({"reg", "query", "HKCU\\SOFTWARE\\ZelVar\\QAP\\Recording", "/v", "CBR_KBPS"});
  EXPECT_TRUE(Has(query.out, "0x80")) << query.out;
  EXPECT_TRUE(Has(RunQap({"options", "--help"}).out, "qap options set GROUP NAME VALUE"));
}

}  // namespace
