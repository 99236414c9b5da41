// The simple mode driven as a person answers it, over the real transfer
// layer: a burn that fits goes through without "Device Content" and ends
// after the call returns; refusing to let tracks go ends with its message;
// and a medium that filled up meanwhile is formatted first from "Device
// Content", where the tracks on it then count for nothing; a burn that
// fails says so; a recorder that is not there is chosen again, and a disc
// that is not in is waited for.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "drumlet/drumlet.h"
#include "drumlet/tests/dialog_test_support.h"
#include "drumlet/tests/library_dialog_test.h"
#include "options/options.h"
#include "platform/testing/file_size_limit.h"
#include "platform/testing/scratch.h"
#include "platform/ui/driver.h"
#include "platform/ui/message_box.h"
#include "platform/ui/script/script.h"
#include "platform/ui/user32.h"
#include "suite/quadrin/module_admin.h"
#include "suite/quadrin/tests/quadrin_test_support.h"

namespace {

namespace fs = std::filesystem;
using qap::testing::ReadFile;
using qap::testing::ScratchDir;
using drumlet::testing::Add;

// What became of "Listing...": shown, with its line, and gone again.
struct ListingWatcher : ui::driver::Observer {
  HWND window = nullptr;
  bool shown = false;
  bool gone = false;
  std::string text;
  ListingWatcher() { ui::driver::AddObserver(this); }
  ~ListingWatcher() override { ui::driver::RemoveObserver(this); }
  void OnCreated(HWND made) override {
    char caption[64] = "";
    GetWindowTextA(made, caption, sizeof caption);
    if (std::string(caption) == "Listing...") window = made;
    if (window != nullptr && GetParent(made) == window) text = caption;
  }
  void OnChanged(HWND changed, ui::driver::Change change, int, int) override {
    if (changed == window && change == ui::driver::Change::kState && IsWindowVisible(window)) shown = true;
  }
  void OnDestroyed(HWND destroyed) override { gone = gone || destroyed == window; }
};

size_t FilesIn(const std::string& folder) {
  size_t count = 0;
  for (const auto& file : fs::directory_iterator(folder)) count += file.is_regular_file() ? 1 : 0;
  return count;
}

class SimpleModeTest : public drumlet::testing::LibraryDialogTest {
 protected:
  void SetUp() override {
    LibraryDialogTest::SetUp();
    SetSkinPath(m_disc.File("Drumlet.skn").c_str());
  }

  std::string Player(DWORD capacityMb) {
    const std::string folder = m_temp.File("player");
    fs::create_directories(folder);
    char error[512] = "";
    EXPECT_EQ(AddPortablePlayer("Pocket", folder.c_str(), capacityMb, error, sizeof error), kQuadrinOk) << error;
    return folder;
  }

  // Runs the simple mode with a person at it, and then dispatches messages
  // as the host does until its burn has ended.
  void RunSimpleMode(ui::script::Script script, const char* shortId, DWORD index) {
    ui::script::Runner person(std::move(script), {});
    person.Start();
    InvokeSimpleMode(&GetIRecordingOption(), shortId, index);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(2);
    while (IsRecording() != 0 && std::chrono::steady_clock::now() < deadline) {
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 1000, QS_ALLINPUT);
      MSG msg;
      while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    }
    person.ProgramEnded();
    EXPECT_FALSE(person.Failed()) << person.Failure();
    EXPECT_EQ(IsRecording(), 0u);
    EXPECT_EQ(CloseSimpleMode(), 1) << "nothing runs";
  }

  ScratchDir m_disc;
};

// Holds until the simple mode has ended; a "Device Content" seen before
// is counted.
void UntilEnded(ui::script::Script& script, std::shared_ptr<int> contentShown) {
  script.Until(
      [contentShown](HWND) {
        for (HWND window : ui::driver::TopLevelWindows()) {
          ui::driver::WindowInfo info;
          if (ui::driver::GetWindowInfo(window, &info) && info.visible && info.text == "Device Content") {
            ++*contentShown;
            ui::driver::Click(GetDlgItem(window, IDCANCEL));
          }
        }
        return IsRecording() == 0;
      },
      std::chrono::seconds(120));
}

TEST_F(SimpleModeTest, TracksThatFitAreBurnedWithoutDeviceContentAndTheBurnEndsAfterTheCallReturns) {
  Queue(Tone("alpha.wav", 5.0));
  Queue(Tone("bravo.wav", 4.0));
  std::ofstream(m_disc.File("image.cdi")) << "an old disc";
  auto contentShown = std::make_shared<int>(0);
  ui::script::Script script;
  Add(script, "wait window \"Burning\" timeout 60\n");
  UntilEnded(script, contentShown);
  RunSimpleMode(std::move(script), "QuadrinCDWriter", 0);

  EXPECT_EQ(*contentShown, 0);
  EXPECT_EQ(GetTrackQueueSize(), 0u);
  const std::string sheet = ReadFile(m_disc.File("image.cdi") + ".cue");
  EXPECT_NE(sheet.find("TITLE \"alpha\""), std::string::npos) << sheet;
  EXPECT_NE(sheet.find("TITLE \"bravo\""), std::string::npos) << sheet;
  EXPECT_EQ(fs::file_size(m_disc.File("image.cdi")), (5u + 4u) * 75 * 2352);
}

TEST_F(SimpleModeTest, RefusingToLetTheTracksThatDoNotFitGoEndsWithNoTracksPrepared) {
  const std::string player = Player(1);
  Queue(quadrin_test::MakeMp3(m_music, "short.mp3", 1.0));
  Queue(Tone("long.wav", 120.0));
  ui::script::Script script;
  Add(script,
      "answer no \"Tracks with numbers 2 will be removed because the free space is not enough. Continue?\"\n"
      "answer ok \"No tracks prepared. Burning process canceled.\"\n");
  RunSimpleMode(std::move(script), "QuadrinPortable", 0);
  EXPECT_EQ(FilesIn(player), 0u);
}

TEST_F(SimpleModeTest, AMediumThatFilledUpIsFormattedFirstFromDeviceContentWhereItsTracksThenCountForNothing) {
  const std::string player = Player(5);
  Queue(Tone("long.wav", 120.0));
  ui::script::Script script;
  // While the track is prepared, something else fills the player.
  Add(script, "wait window \"Burning\" timeout 60\n");
  script.Then([player](HWND) { std::ofstream(player + "/old.mp3") << std::string(4 << 20, 'x'); });
  Add(script,
      "wait window \"Device Content\" timeout 120\n"
      "expect rows 4060 2\n"
      "expect cell 4060 0 0 \"old\"\n"
      "expect text 4064 \"5 MB\"\n"
      "expect disabled \"Start Recording\"\n"
      "check \"Format medium\" on\n"
      "expect enabled \"Start Recording\"\n"
      "click \"Start Recording\"\n");
  auto contentShown = std::make_shared<int>(0);
  UntilEnded(script, contentShown);
  RunSimpleMode(std::move(script), "QuadrinPortable", 0);
  EXPECT_FALSE(fs::exists(player + "/old.mp3"));
  EXPECT_TRUE(fs::exists(player + "/long.mp3"));
}

TEST_F(SimpleModeTest, ARecorderThatIsNotThereIsChosenAgainAndAMissingDiscWaitsToBeInserted) {
  const std::string player = Player(64);
  fs::remove(player);
  Queue(quadrin_test::MakeMp3(m_music, "song.mp3", 2.0));
  ui::script::Script script;
  // The recorder named is no module at all: the person picks the player.
  Add(script,
      "wait window \"Default Recorder\" timeout 30\n"
      "expect contains 4030 \"Your recorder is either not responding or not connected.\"\n"
      "click \"Select recorder...\"\n"
      "wait window \"Select Recorder\" timeout 30\n");
  // The devices were listed under "Listing...", which is gone once they are.
  auto listing = std::make_shared<ListingWatcher>();
  script.Then([listing](HWND) {
    EXPECT_TRUE(listing->shown);
    EXPECT_EQ(listing->text, "Listing devices.");
    EXPECT_TRUE(listing->gone);
  });
  Add(script,
      "expect disabled \"Select\"\n"
      "select 4032 \"Pocket\"\n"
      "expect enabled \"Select\"\n"
      "click \"Select\"\n"
      // Its folder is not there until the person plugs it in.
      "wait window \"Insert Disk\" timeout 30\n"
      "expect text 4030 \"Insert a blank, writable disc.\"\n");
  script.Then([player](HWND) { fs::create_directories(player); });
  Add(script, "click \"OK\"\n");
  auto contentShown = std::make_shared<int>(0);
  UntilEnded(script, contentShown);
  RunSimpleMode(std::move(script), "QuadrinNoSuchRecorder", 0);
  EXPECT_TRUE(fs::exists(player + "/song.mp3"));
  EXPECT_EQ(*contentShown, 0);
}

TEST_F(SimpleModeTest, ABurnThatFillsThePlayerEndsWithBurningFailedNotAsDone) {
  const std::string player = Player(64);
  Queue(quadrin_test::MakeMp3(m_music, "song.mp3", 3.0));
  auto said = std::make_shared<std::string>();
  ui::script::Script script;
  script.Until(
      [said](HWND) {
        for (HWND window : ui::driver::TopLevelWindows()) {
          if (!ui::driver::IsMessageBox(window)) continue;
          ui::driver::WindowInfo info;
          ui::driver::GetWindowInfo(GetDlgItem(window, kMessageBoxTextId), &info);
          *said = info.text;
          ui::driver::PressKey(window, VK_RETURN);
          return true;
        }
        return false;
      },
      std::chrono::seconds(60));
  {
    // The player's folder is full for anything past 16 KB.
    qap::testing::FileSizeLimit disk(16 * 1024);
    RunSimpleMode(std::move(script), "QuadrinPortable", 0);
  }
  EXPECT_EQ(said->rfind("Burning failed", 0), 0u) << *said;
  EXPECT_NE(said->find("cannot write to the player"), std::string::npos) << *said;
  EXPECT_EQ(FilesIn(player), 0u) << "no partial file";
}

}  // namespace
