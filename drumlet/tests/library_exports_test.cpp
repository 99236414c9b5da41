// The library's flat interface as a host uses it: the track queue with its
// limits, the device table walked with its cursor and searched by name and
// index, the module routines the dialogs share, the stored tracks of a
// device, and the recorder exports' refusals.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "drumlet/device_list.h"
#include "drumlet/drumlet.h"
#include "drumlet/module_list.h"
#include "platform/testing/scratch.h"
#include "platform/ui/script/script.h"
#include "platform/ui/user32.h"
#include "suite/quadrin/module_admin.h"
#include "suite/quadrin/tests/quadrin_test_support.h"

namespace {

using qap::testing::ScratchDir;

struct Device {
  std::string module;
  DWORD index;
  std::string name;
  bool operator==(const Device&) const = default;
};

std::vector<Device> Walk() {
  std::vector<Device> devices;
  DeviceInfo info{};
  while (EnumDevicesNext(&info)) devices.push_back({info.moduleId, info.index, info.name});
  return devices;
}

ModuleInfo Module(const char* shortId, ModuleStyle style, const char* extensions) {
  ModuleInfo module{};
  std::strcpy(module.shortId, shortId);
  module.style = style;
  std::strcpy(module.extensions, extensions);
  return module;
}

TEST(TrackQueue, HoldsAHundredTracksAndRefusesWhatWouldNotFitItsFields) {
  FreeTrackQueue();
  for (int i = 0; i < 100; ++i) {
    const std::string name = "Track " + std::to_string(i);
    ASSERT_EQ(AddNewTrack(name.c_str(), ("/music/" + name + ".wav").c_str(), "QuadrinWavReader"), 1u);
  }
  EXPECT_EQ(AddNewTrack("one more", "/music/more.wav", "QuadrinWavReader"), 0u);
  EXPECT_EQ(GetTrackQueueSize(), 100u);
  FreeTrackQueue();
  EXPECT_EQ(GetTrackQueueSize(), 0u);

  // A text that does not fit its field with its terminator changes nothing.
  const std::string name255(255, 'n');
  const std::string path999 = "/" + std::string(998, 'p');
  const std::string id49(49, 'r');
  EXPECT_EQ(AddNewTrack(std::string(256, 'n').c_str(), "/a.wav", "R"), 0u);
  EXPECT_EQ(AddNewTrack("a", ("/" + std::string(999, 'p')).c_str(), "R"), 0u);
  EXPECT_EQ(AddNewTrack("a", "/a.wav", std::string(50, 'r').c_str()), 0u);
  EXPECT_EQ(AddNewTrack(nullptr, "/a.wav", "R"), 0u);
  EXPECT_EQ(GetTrackQueueSize(), 0u);
  EXPECT_EQ(AddNewTrack(name255.c_str(), path999.c_str(), id49.c_str()), 1u);
  EXPECT_EQ(GetTrackQueueSize(), 1u);
  FreeTrackQueue();
}

TEST(DeviceTable, IsWalkedWithItsCursorAndSearchedByNameAndIndex) {
  {
    qap::testing::ScratchHive empty;
    EXPECT_EQ(EnumAllDevices(), 0) << "no module registry to read";
    EnumDevicesReset();
    EXPECT_TRUE(Walk().empty());
  }
  quadrin_test::RegisteredModules modules;
  ScratchDir folders;
  std::filesystem::create_directories(folders.File("pocket"));
  std::filesystem::create_directories(folders.File("sleeve"));
  char error[512] = "";
  ASSERT_EQ(AddPortablePlayer("Pocket", folders.File("pocket").c_str(), 64, error, sizeof error), kQuadrinOk) << error;
  ASSERT_EQ(AddPortablePlayer("Sleeve", folders.File("sleeve").c_str(), 64, error, sizeof error), kQuadrinOk) << error;

  ASSERT_EQ(EnumAllDevices(), 1);
  EXPECT_EQ(EnumDevicesReset(), 1);
  const std::vector<Device> devices = Walk();
  const std::vector<Device> expected = {{"QuadrinCDWriter", 0, "Audio CD image"},
                                        {"QuadrinPortable", 0, "Pocket"},
                                        {"QuadrinPortable", 1, "Sleeve"}};
  EXPECT_EQ(devices, expected);
  DeviceInfo info{};
  EXPECT_EQ(EnumDevicesNext(&info), 0) << "none left, and none until the cursor is reset";
  EXPECT_EQ(EnumDevicesNext(nullptr), 0);

  // Rebuilding the table leaves the cursor where it was.
  EnumDevicesReset();
  ASSERT_EQ(EnumDevicesNext(&info), 1);
  EXPECT_EQ(EnumDevicesNext(nullptr), 0) << "a null record is refused without moving the cursor";
  ASSERT_EQ(EnumAllDevices(), 1);
  ASSERT_EQ(EnumDevicesNext(&info), 1);
  EXPECT_STREQ(info.name, "Pocket");

  char shortId[52];
  std::memset(shortId, 'x', sizeof shortId);
  EXPECT_EQ(GetShortID("Sleeve", 0, shortId), 0) << "the index tells devices apart";
  EXPECT_EQ(shortId[0], 'x') << "untouched without a match";
  EXPECT_EQ(GetShortID("sleeve", 1, shortId), 0) << "names compare exactly";
  ASSERT_EQ(GetShortID("Sleeve", 1, shortId), 1);
  EXPECT_STREQ(shortId, "QuadrinPortable");
}

TEST(ModuleRoutines, ReaderLookupAndAddFilterFollowTheModulesExtensionLists) {
  const std::vector<ModuleInfo> readers = {Module("WavReader", kStyleReader, "wav"),
                                           Module("WmaReader", kStyleReader, "wma\\WAV"),
                                           Module("Mp3Reader", kStyleReader, "mp3\\mp2")};
  EXPECT_EQ(drumlet::BuildFilter({readers[0], Module("W", kStyleReader, "wma")}),
            "All Files|*.wav;*.wma|wav|*.wav|wma|*.wma||");
  EXPECT_EQ(drumlet::BuildFilter(readers),
            "All Files|*.wav;*.wma;*.WAV;*.mp3;*.mp2|wav|*.wav|wma|*.wma|WAV|*.WAV|mp3|*.mp3|mp2|*.mp2||");
  auto readerOf = [&](const char* path) {
    const ModuleInfo* reader = drumlet::ReaderForFile(readers, path);
    return reader != nullptr ? std::string(reader->shortId) : std::string("none");
  };
  EXPECT_EQ(readerOf("C:\\Music\\Song.WMA"), "WmaReader");
  EXPECT_EQ(readerOf("/music/take.Wav"), "WavReader");
  EXPECT_EQ(readerOf("/music/part.wa"), "WavReader") << "a part of a listed extension is taken";
  EXPECT_EQ(readerOf("/music/README"), "none");
  EXPECT_EQ(readerOf("/music.d/trailing."), "none");
  EXPECT_EQ(readerOf("/music/notes.txt"), "none");

  quadrin_test::RegisteredModules modules;
  std::vector<ModuleInfo> writers;
  ASSERT_TRUE(drumlet::ListModules(kStyleWriter, &writers));
  std::vector<std::string> ids;
  for (const ModuleInfo& writer : writers) ids.emplace_back(writer.shortId);
  EXPECT_NE(std::find(ids.begin(), ids.end(), "WMAWriter"), ids.end());
  for (const ModuleInfo& writer : writers) EXPECT_NE(writer.style & kStyleWriter, 0u) << writer.shortId;
}

TEST(StoredTracks, AreListedFromAnOpenDeviceAndAClosedOneSaysWhichStorageFailed) {
  quadrin_test::RegisteredModules modules;
  ScratchDir player;
  const std::string folder = player.File("pocket");
  std::filesystem::create_directories(folder);
  quadrin_test::MakeMp3(player, "pocket/Intro.mp3", 1.0);
  char error[512] = "";
  ASSERT_EQ(AddPortablePlayer("Pocket", folder.c_str(), 64, error, sizeof error), kQuadrinOk) << error;
  quadrin_test::Object device = quadrin_test::Make("QuadrinPortable");
  std::vector<TrackEntry> tracks(3);
  EXPECT_EQ(drumlet::ListStoredTracks(nullptr, &tracks), -1);
  EXPECT_EQ(drumlet::ListStoredTracks(device.get(), nullptr), -1);

  std::string said;
  ui::script::Script person;
  person.WhenClass("#32770", [&](HWND box) {
    said = ui::driver::Describe(box);
    ui::driver::PressKey(box, VK_RETURN);
  });
  ui::script::Runner runner(std::move(person), {});
  runner.Start();
  EXPECT_EQ(drumlet::ListStoredTracks(device.get(), &tracks), -1);
  EXPECT_NE(said.find("Cannot start enumerating storage \\\"(no device open)\\\""), std::string::npos) << said;
  EXPECT_EQ(tracks.size(), 3u) << "the list is left as it was";

  OpenParams open{};
  open.deviceIndex = 0;
  ASSERT_EQ(device->Command(kCmdOpenDevice, &open), kQuadrinOk);
  ASSERT_EQ(drumlet::ListStoredTracks(device.get(), &tracks), 1);
  EXPECT_STREQ(tracks[0].name, "Intro");
  device->Command(kCmdCloseDevice, nullptr);
}

TEST(RecorderExports, StartNothingWithoutOptionsAndReportNothingRunning) {
  InvokeAdvancedDlg(nullptr);
  InvokeSimpleMode(nullptr, "QuadrinCDWriter", 0);
  EXPECT_EQ(IsRecording(), 0u);
  EXPECT_EQ(IsConverting(), 0);
  EXPECT_EQ(CloseSimpleMode(), 1);
}

}  // namespace
