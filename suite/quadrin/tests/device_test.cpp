// The device modules' own answers: devices and their names, opening, the
// space figures, reading a disc image's table of contents (also one another
// tool wrote, and refusing one that does not describe its image), and the
// portable players named in the registry.
#include <filesystem>
#include <fstream>

#include "suite/quadrin/module_admin.h"
#include "suite/quadrin/tests/recorder_rig.h"

namespace {

using namespace quadrin_test;
using converter_test::MakeToneWav;

std::vector<std::string> DeviceNames(ICommunication* module) {
  std::vector<std::string> names;
  DWORD count = 0;
  EXPECT_EQ(module->Command(kCmdGetDeviceCount, &count), kQuadrinOk);
  for (DWORD i = 0; i <= count; ++i) {
    DeviceNameQuery query{};
    query.index = i;
    const bool described = module->Command(kCmdDescribeDevice, &query) == kQuadrinOk;
    EXPECT_EQ(described, i < count) << "device " << i;
    if (described) names.push_back(query.name);
  }
  return names;
}

std::int32_t Open(ICommunication* device, DWORD index, const char* image) {
  OpenParams params{};
  params.deviceIndex = index;
  params.imagePath = image;
  return device->Command(kCmdOpenDevice, &params);
}

TEST(Devices, TheCdWriterHasOneDiscImageDeviceThatNeedsAnImageInAnExistingFolder) {
  RegisteredModules modules;
  qap::testing::ScratchDir dir;
  Object writer = Make("QuadrinCDWriter");
  ModuleStyle style = 0;
  ASSERT_EQ(writer->Command(kCmdGetStyle, &style), kQuadrinOk);
  EXPECT_EQ(style, kStyleDevice);
  EXPECT_EQ(DeviceNames(writer.get()), std::vector<std::string>{"Audio CD image"});
  std::int32_t figure = 0;
  EXPECT_NE(writer->Command(kCmdGetFreeSpace, &figure), kQuadrinOk) << "nothing is open";
  EXPECT_NE(writer->Command(kCmdBeginTrackList, nullptr), kQuadrinOk);
  char storage[kDeviceNameSize] = "";
  EXPECT_NE(writer->Command(kCmdGetStorageName, storage), kQuadrinOk);

  const std::string image = dir.File("image.cdi");
  EXPECT_NE(Open(writer.get(), 0, nullptr), kQuadrinOk);
  EXPECT_NE(Open(writer.get(), 1, image.c_str()), kQuadrinOk);
  EXPECT_NE(Open(writer.get(), 0, dir.File("no folder/image.cdi").c_str()), kQuadrinOk);
  EXPECT_NE(Open(writer.get(), 0, dir.File("say \"cheese\".cdi").c_str()), kQuadrinOk);
  ASSERT_EQ(Open(writer.get(), 0, image.c_str()), kQuadrinOk);
  EXPECT_EQ(writer->Command(kCmdGetStorageName, storage), kQuadrinOk);
  EXPECT_EQ(storage, image);
  EXPECT_EQ(writer->Command(kCmdGetFreeSpace, &figure), kQuadrinOk);
  EXPECT_GT(figure, 0);
  ASSERT_EQ(writer->Command(kCmdBeginTrackList, nullptr), kQuadrinOk);
  TrackEntry entry{};
  EXPECT_NE(writer->Command(kCmdNextTrack, &entry), kQuadrinOk) << "a blank disc";
  EXPECT_EQ(writer->Command(kCmdCloseDevice, nullptr), kQuadrinOk);
  EXPECT_NE(writer->Command(kCmdGetCapacity, &figure), kQuadrinOk);
}

TEST(Devices, ASheetWrittenByAnotherToolIsReadFromItsIndexesAndExtended) {
  RecorderRig rig;
  // Two tracks of 200 and 100 sectors, the sheet without lengths.
  {
    std::ofstream image(rig.Image(), std::ios::binary);
    image << std::string(300 * 2352, '\0');
    std::ofstream sheet(rig.Image() + ".cue");
    sheet << "FILE \"image.cdi\" BINARY\r\n"
             "  TRACK 01 AUDIO\r\n    TITLE \"First\"\r\n    PERFORMER \"Someone\"\r\n"
             "    INDEX 01 00:00:00\r\n"
             "  TRACK 02 AUDIO\r\n    INDEX 00 00:02:00\r\n    INDEX 01 00:02:50\r\n";
  }
  rig.OpenDisc();
  std::vector<TrackEntry> stored = rig.StoredTracks();
  ASSERT_EQ(stored.size(), 2u);
  EXPECT_STREQ(stored[0].name, "First");
  EXPECT_STREQ(stored[0].tags.artist, "Someone");
  EXPECT_EQ(DWORD{stored[0].tags.presence}, kTagTitle | kTagArtist);
  EXPECT_EQ(DWORD{stored[0].size}, 200u * 2352);
  EXPECT_STREQ(stored[1].name, "Track 2");
  EXPECT_EQ(DWORD{stored[1].size}, 100u * 2352);

  rig.Prepare({MakeToneWav(rig.Dir(), "Third.wav", WavFormat{44100, 2, 16}, 4.0)});
  ASSERT_EQ(rig.Burn(), kTransferCompleted);
  stored = rig.StoredTracks();
  ASSERT_EQ(stored.size(), 3u);
  EXPECT_STREQ(stored[2].name, "Third");
  EXPECT_EQ(std::filesystem::file_size(rig.Image()), 600u * 2352);
  EXPECT_NE(qap::testing::ReadFile(rig.Image() + ".cue").find("INDEX 01 00:04:00"),
            std::string::npos);
}

TEST(Devices, AnImageItsSheetDoesNotDescribeIsNeitherListedNorWrittenOver) {
  const std::string sheet = "FILE \"image.cdi\" BINARY\n  TRACK 01 AUDIO\n    REM SECTORS 300\n"
                            "    INDEX 01 00:00:00\n  TRACK 02 AUDIO\n    REM SECTORS 300\n"
                            "    INDEX 01 00:04:00\n";
  const std::string audio(600 * 2352, '\x11');
  struct Case {
    const char* what;
    std::string sheet;  // empty: none
    std::string image;
    const char* said;
  };
  const Case cases[] = {
      {"a data track", "FILE \"image.cdi\" BINARY\n  TRACK 01 MODE1/2352\n    INDEX 01 00:00:00\n",
       audio, "track 01 is not an AUDIO track"},
      {"a garbage sheet", "this is not\na CUE sheet\n", audio, "'this' is not a CUE sheet command"},
      {"a truncated image", sheet, audio.substr(0, 450 * 2352), "is shorter than its CUE sheet says"},
      {"no sheet", "", audio, "has no CUE sheet beside it"},
      {"another image's sheet", "FILE \"other.bin\" BINARY\n", audio, "describes another image"},
      {"overlapping tracks",
       "FILE \"image.cdi\" BINARY\n  TRACK 01 AUDIO\n    REM SECTORS 300\n    INDEX 01 00:00:00\n"
       "  TRACK 02 AUDIO\n    INDEX 01 00:02:00\n",
       audio, "track 2 begins inside the track before it"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    RecorderRig rig;
    std::ofstream(rig.Image(), std::ios::binary) << c.image;
    if (!c.sheet.empty()) std::ofstream(rig.Image() + ".cue", std::ios::binary) << c.sheet;
    rig.OpenDisc();
    NotificationLog told;
    rig.Device()->SetNotifyCallback(&NotificationLog::Callback, &told);
    EXPECT_NE(rig.Device()->Command(kCmdBeginTrackList, nullptr), kQuadrinOk);
    const auto texts = told.Events(kNotifyText);
    ASSERT_EQ(texts.size(), 1u);
    const std::string text = reinterpret_cast<const char*>(texts[0].data.data());
    EXPECT_NE(text.find(c.said), std::string::npos) << text;
    EXPECT_NE(text.find("left as they are"), std::string::npos) << text;
    EXPECT_EQ(rig.Figure(kCmdGetFreeSpace), 0);
    const std::string wav = MakeToneWav(rig.Dir(), "tone.wav", WavFormat{44100, 2, 16}, 1.0);
    EXPECT_NE(rig.Queue(wav, 0), kQuadrinOk);
    EXPECT_EQ(qap::testing::ReadFile(rig.Image()), c.image);
    if (!c.sheet.empty()) {
      EXPECT_EQ(qap::testing::ReadFile(rig.Image() + ".cue"), c.sheet);
    }
  }
}

TEST(Devices, PortablePlayersAreTheFoldersNamedInTheRegistry) {
  RegisteredModules modules;
  qap::testing::ScratchDir dir;
  std::filesystem::create_directories(dir.File("a"));
  char error[256] = "";
  ASSERT_EQ(AddPortablePlayer("Pocket", dir.File("a").c_str(), 64, error, sizeof error), kQuadrinOk);
  ASSERT_EQ(AddPortablePlayer("Gone", dir.File("b").c_str(), 64, error, sizeof error), kQuadrinOk);
  EXPECT_NE(AddPortablePlayer("Bad\\Name", dir.File("a").c_str(), 64, error, sizeof error),
            kQuadrinOk);
  Object players = Make("QuadrinPortable");
  EXPECT_EQ(DeviceNames(players.get()), (std::vector<std::string>{"Gone", "Pocket"}));
  EXPECT_NE(Open(players.get(), 0, nullptr), kQuadrinOk) << "its folder is not there";
  ASSERT_EQ(Open(players.get(), 1, nullptr), kQuadrinOk);
  std::int32_t capacity = 0;
  std::int32_t free = 0;
  ASSERT_EQ(players->Command(kCmdGetCapacity, &capacity), kQuadrinOk);
  ASSERT_EQ(players->Command(kCmdGetFreeSpace, &free), kQuadrinOk);
  EXPECT_EQ(capacity, 64 << 20);
  EXPECT_EQ(free, capacity);
  std::ofstream(dir.File("a/Song.mp3")) << std::string(1000, 'x');
  std::ofstream(dir.File("a/notes.txt")) << "kept";
  ASSERT_EQ(players->Command(kCmdGetFreeSpace, &free), kQuadrinOk);
  EXPECT_EQ(free, capacity - 1000);
  ASSERT_EQ(players->Command(kCmdFormatMedium, nullptr), kQuadrinOk);
  EXPECT_FALSE(std::filesystem::exists(dir.File("a/Song.mp3")));
  EXPECT_TRUE(std::filesystem::exists(dir.File("a/notes.txt"))) << "only music files go";
  EXPECT_EQ(RemovePortablePlayer("Gone"), kQuadrinOk);
  EXPECT_EQ(DeviceNames(players.get()), std::vector<std::string>{"Pocket"});
}

}  // namespace
