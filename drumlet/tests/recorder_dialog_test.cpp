// The recorder dialog driven as a person drives it, through window scripts
// over the real transfer layer: Burn before Prepare, a device change that
// unprepares the tracks, a whole burn to the disc image read back by
// FFmpeg; a burn that fails; Exit during a burn, answered No and Yes; more
// tracks than one preparation takes; and space compared as it is shown.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <regex>
#include <string>

#include "converters/tests/converter_test_support.h"
#include "drumlet/drumlet.h"
#include "drumlet/tests/dialog_test_support.h"
#include "drumlet/tests/library_dialog_test.h"
#include "options/options.h"
#include "platform/testing/file_size_limit.h"
#include "platform/testing/scratch.h"
#include "platform/ui/driver.h"
#include "platform/ui/script/script.h"
#include "platform/ui/user32.h"
#include "suite/quadrin/module_admin.h"
#include "suite/quadrin/tests/quadrin_test_support.h"

namespace {

namespace fs = std::filesystem;
using qap::testing::ReadFile;
using qap::testing::ScratchDir;
using drumlet::testing::Add;
using drumlet::testing::Quoted;

constexpr COLORREF kGreen = RGB(0, 255, 0);
constexpr COLORREF kRed = RGB(255, 0, 0);

// The background of every row of the track list, as the dialog draws it.
std::vector<COLORREF> RowColours(HWND dialog) {
  std::vector<COLORREF> colours;
  HWND list = GetDlgItem(dialog, 1002);
  auto* rows = ui::driver::Model<ui::driver::ListModel>(list);
  auto* drawn = ui::driver::Model<ui::driver::OwnerDrawModel>(list);
  for (int row = 0; rows != nullptr && drawn != nullptr && row < rows->Count(); ++row) {
    colours.push_back(drawn->Draw(row).backColor);
  }
  return colours;
}

// The tracks of a disc image by its CUE sheet: each cut out of the image
// by FFmpeg as CD audio, and its length as FFmpeg reads it.
std::vector<double> TrackSecondsOf(const std::string& image, const ScratchDir& dir) {
  std::vector<double> seconds;
  const std::string sheet = ReadFile(image + ".cue");
  const std::regex sectors("REM SECTORS ([0-9]+)");
  std::uint64_t start = 0;
  int number = 0;
  for (auto it = std::sregex_iterator(sheet.begin(), sheet.end(), sectors); it != std::sregex_iterator(); ++it) {
    const std::uint64_t count = std::stoull((*it)[1]);
    const std::string track = dir.File("track" + std::to_string(++number) + ".wav");
    EXPECT_TRUE(converter_test::RunFfmpeg({"-f", "s16le", "-ar", "44100", "-ac", "2", "-ss",
                                           std::to_string(start / 75.0), "-t", std::to_string(count / 75.0),
                                           "-i", image, track}));
    seconds.push_back(converter_test::ProbeFile(track).seconds);
    start += count;
  }
  return seconds;
}

class RecorderDialogTest : public drumlet::testing::LibraryDialogTest {
 protected:
  void SetUp() override {
    LibraryDialogTest::SetUp();
    fs::create_directories(m_player);
    char error[512] = "";
    ASSERT_EQ(AddPortablePlayer("Pocket", m_player.c_str(), 64, error, sizeof error), kQuadrinOk) << error;
    // The disc image lives beside the skin file.
    SetSkinPath(m_disc.File("Drumlet.skn").c_str());
  }
  // Named by its path, which the dialog turns into the file's name.
  void Queue(const std::string& path) { ASSERT_EQ(AddNewTrack(path.c_str(), path.c_str(), ""), 1u) << path; }
  std::string Image() const { return m_disc.File("image.cdi"); }

  void RunDialog(ui::script::Script script) {
    ui::script::Runner person(std::move(script), {});
    person.Start();
    InvokeAdvancedDlg(&GetIRecordingOption());
    person.ProgramEnded();
    EXPECT_FALSE(person.Failed()) << person.Failure();
    EXPECT_EQ(IsRecording(), 0u);
    EXPECT_EQ(GetTrackQueueSize(), 0u) << "the dialog took the queue over";
  }

  ScratchDir m_disc;
  std::string m_player = m_temp.File("player");
};

TEST_F(RecorderDialogTest, TracksArePreparedForTheChosenDeviceAndBurnedToADiscImageThatFfmpegReadsBack) {
  Queue(Tone("alpha.wav", 5.0));
  Queue(m_music.Write("broken.wav", "no audio in here"));
  Queue(Tone("bravo.wav", 6.0));
  // An image left from before is not added to.
  std::ofstream(Image()) << "old";
  ui::script::Script script;
  Add(script,
      "wait window \"Burning\"\n"
      "expect rows 1002 3\n"
      "expect cell 1002 0 0 \"alpha\"\n"
      "expect cell 1002 1 0 \"broken\"\n"
      "drop 1002 " + Quoted(m_music.Write("empty.wav", "")) + "\n"
      "expect rows 1002 3\n"
      "click \"Burn\"\n"
      "answer ok \"You have to select a recorder and to prepare the songs before this operation!\"\n"
      "select 1017 \"Audio CD image\"\n"
      "expect text 1009 \"807.4 MB\"\n"
      "click \"Burn\"\n"
      "answer ok \"You have to select a recorder and to prepare the songs before this operation!\"\n"
      "click \"Prepare\"\n"
      "wait text 1016 \"Preparation completed\" timeout 120\n"
      "wait enabled 1017\n");
  std::vector<COLORREF> prepared;
  std::vector<COLORREF> otherDevice;
  script.Then([&](HWND dialog) { prepared = RowColours(dialog); });
  Add(script, "select 1017 \"Pocket\"\n");
  script.Then([&](HWND dialog) { otherDevice = RowColours(dialog); });
  Add(script,
      "select 1017 \"Audio CD image\"\n"
      "click \"Prepare\"\n"
      "wait text 1016 \"Preparation completed\" timeout 120\n"
      "wait enabled 1017\n"
      "expect text 1011 \"1.8 MB\"\n"
      "click \"Burn\"\n"
      "wait text 1016 \"Burning completed\" timeout 120\n"
      "wait enabled 1017\n"
      "expect rows 1000 2\n"
      "expect cell 1000 0 0 \"alpha\"\n"
      "expect text 1010 \"805.6 MB\"\n"
      "click \"Exit\"\n"
      "wait gone\n");
  RunDialog(std::move(script));

  EXPECT_EQ(prepared, (std::vector<COLORREF>{kGreen, kRed, kGreen}));
  EXPECT_EQ(otherDevice, (std::vector<COLORREF>{kRed, kRed, kRed}));
  const std::vector<double> seconds = TrackSecondsOf(Image(), m_temp);
  ASSERT_EQ(seconds.size(), 2u);
  EXPECT_NEAR(seconds[0], 5.0, 0.05);
  EXPECT_NEAR(seconds[1], 6.0, 0.05);
}

TEST_F(RecorderDialogTest, ABurnThatCannotWriteTheImageIsShownAsFailedNotCompleted) {
  Queue(Tone("alpha.wav", 5.0));
  auto disk = std::make_shared<std::unique_ptr<qap::testing::FileSizeLimit>>();
  ui::script::Script script;
  Add(script,
      "wait window \"Burning\"\n"
      "select 1017 \"Audio CD image\"\n"
      "click \"Prepare\"\n"
      "wait text 1016 \"Preparation completed\" timeout 120\n"
      "wait enabled 1017\n");
  // The disc's folder is full from here on.
  script.Then([disk](HWND) { *disk = std::make_unique<qap::testing::FileSizeLimit>(64 * 1024); });
  Add(script,
      "click \"Burn\"\n"
      "wait text 1016 \"Burning failed\" timeout 120\n"
      "wait window \"Message\"\n"
      "expect contains 4048 \"Burning failed\"\n"
      "expect contains 4048 \"cannot write the disc image\"\n"
      "click \"OK\"\n"
      "wait window \"Burning\"\n"
      "wait enabled 1017\n"
      "expect rows 1000 0\n");
  script.Then([disk](HWND) { disk->reset(); });
  Add(script, "click \"Exit\"\nwait gone\n");
  RunDialog(std::move(script));
  EXPECT_EQ(fs::exists(Image()) ? fs::file_size(Image()) : 0u, 0u) << "nothing half-written is kept";
}

// Exit pressed right after Burn: the question comes while the burn runs.
// It may end before the answer, which then has nothing left to cancel.
void BurnThenExit(ui::script::Script& script, const char* answer) {
  Add(script,
      "wait window \"Burning\"\n"
      "select 1017 \"Audio CD image\"\n"
      "click \"Prepare\"\n"
      "wait text 1016 \"Preparation completed\" timeout 120\n"
      "wait enabled 1017\n");
  script.Then([](HWND dialog) {
    ui::driver::Click(GetDlgItem(dialog, 1005));
    ui::driver::Click(GetDlgItem(dialog, 1));
  });
  const std::string button = answer;
  script.Until(
      [button](HWND) {
        for (HWND window : ui::driver::TopLevelWindows()) {
          ui::driver::WindowInfo info;
          if (!ui::driver::GetWindowInfo(window, &info) || info.text != "Message") continue;
          ui::driver::Click(GetDlgItem(window, button == "Yes" ? 4045 : 4046));
          return true;
        }
        return false;
      },
      std::chrono::seconds(30));
}

TEST_F(RecorderDialogTest, ExitDuringABurnAsksFirstNoKeepsBurningAndYesAbortsAndCloses) {
  Queue(Tone("long.wav", 120.0));
  ui::script::Script keep;
  BurnThenExit(keep, "No");
  Add(keep,
      "wait window \"Burning\"\n"
      "wait text 1016 \"Burning completed\" timeout 120\n"
      "wait enabled 1017\n"
      "expect rows 1000 1\n"
      "click \"Exit\"\n"
      "wait gone\n");
  RunDialog(std::move(keep));
  EXPECT_EQ(TrackSecondsOf(Image(), m_temp).size(), 1u);

  Queue(Tone("long.wav", 120.0));
  ui::script::Script cancel;
  BurnThenExit(cancel, "Yes");
  Add(cancel, "wait gone \"Burning\" timeout 60\n");
  RunDialog(std::move(cancel));
  // Aborted or finished before the answer: the disc is whole either way.
  const std::string sheet = fs::exists(Image() + ".cue") ? ReadFile(Image() + ".cue") : "";
  const std::uintmax_t size = fs::exists(Image()) ? fs::file_size(Image()) : 0;
  EXPECT_EQ(size, sheet.empty() ? 0u : 120u * 75 * 2352);
}

TEST_F(RecorderDialogTest, APreparationTakesAtMostAHundredTracksAndSaysHowManyWereLeftOut) {
  const std::string song = quadrin_test::MakeMp3(m_music, "song.mp3", 1.0);
  std::vector<std::string> files;
  for (int i = 0; i < 103; ++i) {
    files.push_back(m_music.File("song" + std::to_string(i) + ".mp3"));
    fs::copy_file(song, files.back());
  }
  std::string drop = "drop 1002";
  for (const std::string& file : files) drop += " " + Quoted(file);
  ui::script::Script script;
  Add(script,
      "wait window \"Burning\"\n" + drop + "\n"
      "expect rows 1002 103\n"
      "select 1017 \"Pocket\"\n"
      "click \"Prepare\"\n"
      "wait text 1016 \"Preparation completed (3 tracks left out: at most 100 are prepared at a time)\" "
      "timeout 300\n"
      "wait enabled 1017\n"
      "click \"Burn\"\n"
      "wait text 1016 \"Burning completed\" timeout 300\n"
      "wait enabled 1017\n"
      "expect rows 1000 100\n"
      "click \"Exit\"\n"
      "wait gone\n");
  RunDialog(std::move(script));
  size_t stored = 0;
  for (const auto& file : fs::directory_iterator(m_player)) stored += file.is_regular_file() ? 1 : 0;
  EXPECT_EQ(stored, 100u);
}

// Space is compared as it is shown, each figure cut to one decimal. The
// dialog read 0.96 MB free on a player of 1 MB (shown 0.9); then the song
// on it went, so 0.99 MB (shown 0.9) is prepared, and it may be burned
// although it is more than the figure the dialog holds.
TEST_F(RecorderDialogTest, SpaceIsComparedAsShownToOneDecimalSoASelectionJustAboveTheFigureIsBurned) {
  const std::string small = m_temp.File("small");
  fs::create_directories(small);
  char error[512] = "";
  ASSERT_EQ(AddPortablePlayer("Small", small.c_str(), 1, error, sizeof error), kQuadrinOk) << error;
  // Players take MP3 files as they are, by their size: a second of audio
  // each, made up to the sizes wanted.
  auto sized = [this](const std::string& folder, const std::string& name, std::uintmax_t bytes) {
    const std::string path = quadrin_test::MakeMp3(m_music, name, 1.0);
    fs::resize_file(path, bytes);
    if (folder.empty()) return path;
    fs::rename(path, folder + "/" + name);
    return folder + "/" + name;
  };
  const std::string old = sized(small, "old.mp3", 40000);
  Queue(sized("", "song.mp3", 1040000));
  ui::script::Script script;
  Add(script,
      "wait window \"Burning\"\n"
      "select 1017 \"Small\"\n"
      "expect rows 1000 1\n"
      "expect text 1010 \"0.9 MB\"\n");
  script.Then([old](HWND) { fs::remove(old); });
  Add(script,
      "click \"Prepare\"\n"
      "wait text 1016 \"Preparation completed\" timeout 60\n"
      "wait enabled 1017\n"
      "expect text 1011 \"0.9 MB\"\n"
      "expect text 1010 \"0.9 MB\"\n"
      "click \"Burn\"\n"
      "wait text 1016 \"Burning completed\" timeout 60\n"
      "wait enabled 1017\n"
      "click \"Exit\"\n"
      "wait gone\n");
  RunDialog(std::move(script));
  EXPECT_EQ(fs::file_size(small + "/song.mp3"), 1040000u);
}

}  // namespace
