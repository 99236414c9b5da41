// The conversion dialog driven as a person drives it, through window
// scripts over the real transfer layer: a whole run with nothing selected,
// an output that exists, a dropped file whose title is no file name, the
// context menu; Stop in the middle of a track; a failed write; renaming;
// and a temporary folder that cannot be written.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "converters/tests/converter_test_support.h"
#include "drumlet/tests/dialog_test_support.h"
#include "drumlet/tests/library_dialog_test.h"
#include "drumlet/drumlet.h"
#include "options/options.h"
#include "platform/testing/file_size_limit.h"
#include "platform/testing/scratch.h"
#include "platform/ui/script/script.h"
#include "platform/ui/user32.h"
#include "suite/hobrin/tag_block.h"

namespace {

namespace fs = std::filesystem;
using qap::testing::ReadFile;
using qap::testing::ScratchDir;
using drumlet::testing::Add;
using drumlet::testing::Quoted;

class ConversionDialogTest : public drumlet::testing::LibraryDialogTest {
 protected:
  std::string Out(const std::string& name) const { return m_temp.File(name); }

  // Opens the dialog with the user's options, a person at it playing the
  // script; fails the test when the script did.
  void RunDialog(ui::script::Script script) {
    ui::script::Runner person(std::move(script), {});
    person.Start();
    InvokeConversionDlg(&GetIRecordingOption());
    person.ProgramEnded();
    EXPECT_FALSE(person.Failed()) << person.Failure();
    EXPECT_EQ(IsConverting(), 0);
  }
  void RunDialog(const std::string& text) {
    ui::script::Script script;
    Add(script, text);
    RunDialog(std::move(script));
  }

};

TEST_F(ConversionDialogTest, WithNothingSelectedEveryTrackIsConvertedInListOrderAndAnExistingOutputSkipped) {
  for (const char* name : {"alpha", "bravo", "charlie"}) Queue(Tone(std::string(name) + ".wav", 1.0));
  const std::string live = Tone("live.wav", 1.0);
  TagBlock tags{};
  std::strcpy(tags.title, "AC/DC: Live");
  std::strcpy(tags.artist, "The Band");
  ASSERT_TRUE(WriteTagBlock(live.c_str(), tags));
  const std::string existing = m_temp.Write("bravo.wma", "kept as it was");
  const std::string liveOut = Out("AC_DC_ Live.wma");
  // A damaged skin leaves the dialog working as before.
  SetSkinPath(m_music.Write("Drumlet.skn", "\x01\x02 not a skin").c_str());

  RunDialog("wait window \"Conversion\"\n"
            "expect rows 4026 3\n"
            "expect cell 4026 0 0 \"charlie\"\n"
            "expect cell 4026 2 1 \"Ready to process\"\n"
            "expect checked 4064\n"
            "drop 4026 " + Quoted(live) + "\n"
            "drop 4026 " + Quoted(m_music.Write("notes.txt", "no reader")) + "\n"
            "expect rows 4026 4\n"
            "expect cell 4026 3 0 \"AC/DC: Live\"\n"
            "select 4039 \"wma\"\n"
            "click \"Convert\"\n"
            "wait cell 4026 3 1 " + Quoted(liveOut) + " timeout 120\n"
            "expect cell 4026 0 1 " + Quoted(Out("charlie.wma")) + "\n"
            "expect cell 4026 1 1 " + Quoted("File \"" + existing + "\" already exists") + "\n"
            "expect cell 4026 2 1 " + Quoted(Out("alpha.wma")) + "\n"
            "expect text 4047 \"AC/DC: Live - done\"\n"
            "rightclick 4026 row 1\n"
            "menu \"Clear status\"\n"
            "expect cell 4026 0 1 \"Ready to process\"\n"
            "expect cell 4026 3 1 \"Ready to process\"\n"
            "click \"Exit\"\n"
            "wait gone\n");

  EXPECT_EQ(ReadFile(existing), "kept as it was");
  const auto order = [](const std::string& file) { return fs::last_write_time(file); };
  EXPECT_LE(order(Out("charlie.wma")), order(Out("alpha.wma")));
  EXPECT_LE(order(Out("alpha.wma")), order(liveOut));
  const converter_test::Probe probe = converter_test::ProbeFile(liveOut);
  EXPECT_NEAR(probe.seconds, 1.0, 0.1);
  EXPECT_EQ(converter_test::ReadTags(liveOut).title, "AC/DC: Live") << "the writer took the tags";
  EXPECT_EQ(GetTrackQueueSize(), 3u) << "the dialog leaves the queue as it was";
  SetSkinPath((std::string(std::getenv("QAP_BIN_DIR")) + "/Drumlet.skn").c_str());
}

TEST_F(ConversionDialogTest, StopDeletesThePartOfTheTrackWrittenAndTheTracksAfterItKeepTheirStatus) {
  Queue(Tone("long.wav", 240.0, {22050, 1, 16}));
  Queue(Tone("after.wav", 1.0));
  RunDialog("wait window \"Conversion\"\n"
            "select 4039 \"wma\"\n"
            "click \"Convert\"\n"
            "wait cell 4026 0 1 \"Processing...\"\n"
            "wait contains 4047 \"long - \"\n"
            "click \"Stop\"\n"
            "wait cell 4026 0 1 \"Processing was stopped\" timeout 60\n"
            "expect cell 4026 1 1 \"Ready to process\"\n"
            "expect text 4047 \"long - Stopped\"\n"
            "wait enabled 4039\n"
            "click \"Exit\"\n"
            "wait gone\n");
  EXPECT_FALSE(fs::exists(Out("long.wma")));
  EXPECT_FALSE(fs::exists(Out("after.wma")));
}

TEST_F(ConversionDialogTest, AWriteThatFailsIsNoConvertedTrackAndTheRunGoesOn) {
  Queue(Tone("big.wav", 12.0));
  Queue(Tone("all.wav", 1.0));
  // Room for the short track, not for the long one.
  qap::testing::FileSizeLimit disk(1024 * 1024);
  RunDialog("wait window \"Conversion\"\n"
            "select 4039 \"wav\"\n"
            "click \"Convert\"\n"
            "wait cell 4026 1 1 " + Quoted(Out("all.wav")) + " timeout 60\n"
            "expect cell 4026 0 1 \"Conversion failed\"\n"
            "click \"Exit\"\n"
            "wait gone\n");
  EXPECT_FALSE(fs::exists(Out("big.wav")));
  EXPECT_NEAR(converter_test::ProbeFile(Out("all.wav")).seconds, 1.0, 0.1);
}

TEST_F(ConversionDialogTest, ANameWithAColonIsRefusedWithAWarningAndTheOldNameStays) {
  Queue(Tone("take.wav", 1.0));
  const std::string added = Tone("added.wav", 1.0);
  TagBlock tags{};
  std::strcpy(tags.title, "Added Title");
  ASSERT_TRUE(WriteTagBlock(added.c_str(), tags));
  const std::string warning = "A song name cannot contain any of the folowing characters:\n?\\/:\"*<>|";
  // A second click on the selected name opens its editor.
  const std::string rename = "select 4026 row 0\nselect 4026 row 0\n";
  auto editing = [](HWND) {
    char kind[16] = "";
    GetClassNameA(GetFocus(), kind, sizeof kind);
    return std::string(kind) == "Edit" && GetDlgCtrlID(GetParent(GetFocus())) == 4026;
  };
  ui::script::Script script;
  Add(script, "wait window \"Conversion\"\n"
              "click \"Add\"\n"
              "answer file " + Quoted(added) + "\n"
              "use \"Conversion\"\n"
              "expect cell 4026 1 0 \"Added Title\"\n" + rename);
  script.Until(editing, std::chrono::seconds(5));
  Add(script, "type focus \"Song 1: Intro\"\nkey Enter\n");
  std::string warned;
  script.Until(
      [&](HWND) {
        for (HWND window : ui::driver::TopLevelWindows()) {
          if (!ui::driver::IsMessageBox(window)) continue;
          char text[256] = "";
          GetDlgItemTextA(window, kMessageBoxTextId, text, sizeof text);
          warned = text;
          ui::driver::PressKey(window, VK_RETURN);
          return true;
        }
        return false;
      },
      std::chrono::seconds(5));
  Add(script, "use \"Conversion\"\n"
              "expect cell 4026 0 0 \"take\"\n" + rename);
  script.Until(editing, std::chrono::seconds(5));
  // The renamed track is the one selected: only it is converted.
  Add(script, "type focus \"Song 1 - Intro\"\n"
              "key Enter\n"
              "wait cell 4026 0 0 \"Song 1 - Intro\"\n"
              "select 4039 \"wav\"\n"
              "click \"Convert\"\n"
              "wait cell 4026 0 1 " + Quoted(Out("Song 1 - Intro.wav")) + " timeout 60\n"
              "expect cell 4026 1 1 \"Ready to process\"\n"
              "click \"Exit\"\n"
              "wait gone\n");
  RunDialog(std::move(script));
  EXPECT_EQ(warned, warning);
}

TEST_F(ConversionDialogTest, WithoutAWritableTemporaryFolderEveryRunAsksWhereTheFilesGo) {
  ScratchDir chosen;
  drumlet::testing::TemporaryFolder gone(m_temp.File("removed"));
  const std::string first = chosen.File("first");
  const std::string second = chosen.File("second");
  const std::string missing = chosen.File("missing");
  fs::create_directories(first);
  fs::create_directories(second);
  Queue(Tone("song.wav", 1.0));
  RunDialog("wait window \"Conversion\"\n"
            "expect unchecked 4064\n"
            "expect disabled 4064\n"
            "select 4039 \"wav\"\n"
            "click \"Convert\"\n"
            "wait window \"Select Destination Path\"\n"
            "settext 4049 " + Quoted(missing) + "\n"
            "click \"OK\"\n"
            "wait window \"Message\"\n"
            "expect text 4048 " + Quoted("Cannot write to \"" + missing + "/\"") + "\n"
            "click \"OK\"\n"
            "use \"Conversion\"\n"
            "expect cell 4026 0 1 \"Ready to process\"\n"
            "click \"Convert\"\n"
            "wait window \"Select Destination Path\"\n"
            "settext 4049 " + Quoted(first) + "\n"
            "click \"OK\"\n"
            "use \"Conversion\"\n"
            "wait cell 4026 0 1 " + Quoted(first + "/song.wav") + " timeout 60\n"
            "click \"Convert\"\n"
            "wait window \"Select Destination Path\"\n"
            "settext 4049 " + Quoted(second) + "\n"
            "click \"OK\"\n"
            "use \"Conversion\"\n"
            "wait cell 4026 0 1 " + Quoted(second + "/song.wav") + " timeout 60\n"
            "click \"Exit\"\n"
            "wait gone\n");
  EXPECT_FALSE(fs::exists(missing));
  EXPECT_NEAR(converter_test::ProbeFile(first + "/song.wav").seconds, 1.0, 0.1);
  EXPECT_NEAR(converter_test::ProbeFile(second + "/song.wav").seconds, 1.0, 0.1);
}

}  // namespace
