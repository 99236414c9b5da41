// The recorder on a disc image and on a portable player: preparing, the
// refusal of what cannot be read or does not fit, burning a selection, the
// tags and bit rate of a player's files, erasing, and aborts and full disks
// that leave the medium consistent.
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <set>

#include "platform/testing/file_size_limit.h"
#include "suite/hobrin/tag_block.h"
#include "suite/quadrin/tests/recorder_rig.h"

namespace {

using namespace quadrin_test;
using converter_test::MakeAsf;
using converter_test::MakeToneWav;

constexpr DWORD kSectorBytes = 2352;

std::string Name(const TrackEntry& entry) { return entry.name; }

TEST(Recorder, PreparingReportsEachTrackAndItsRoomOnTheDiscFromTheRecordersThread) {
  RecorderRig rig;
  rig.OpenDisc();
  const std::vector<std::string> files = {
      MakeToneWav(rig.Dir(), "short.wav", WavFormat{22050, 1, 8}, 2.0),
      MakeMp3(rig.Dir(), "five.mp3", 5.0),
      MakeAsf(rig.Dir(), "six.wma", 44100, 2, 6.0, {"-c:a", "wmav2"}),
  };
  const std::vector<TrackEntry> prepared = rig.Prepare(files);
  ASSERT_EQ(prepared.size(), 3u);
  for (size_t j = 0; j < prepared.size(); ++j) {
    SCOPED_TRACE(files[j]);
    EXPECT_STREQ(prepared[j].sourcePath, files[j].c_str());
    EXPECT_EQ(DWORD{prepared[j].position}, j);
    EXPECT_NE(prepared[j].flags & kTrackPrepared, 0u);
    EXPECT_EQ(prepared[j].size % kSectorBytes, 0u);
  }
  // Audio CD sectors: the 2-second track takes the 4 seconds a CD track
  // needs at least; the others take their length, rounded up.
  EXPECT_EQ(DWORD{prepared[0].size}, 300 * kSectorBytes);
  EXPECT_NEAR(prepared[1].size / kSectorBytes, 375.0, 4.0);
  EXPECT_NEAR(prepared[2].size / kSectorBytes, 450.0, 4.0);

  std::set<DWORD> indexes;
  for (const auto& event : rig.Log().Events(kNotifyTrackProgress)) {
    RecorderProgress progress;
    std::memcpy(&progress, event.data.data(), sizeof progress);
    EXPECT_EQ(progress.converting, 1u);
    EXPECT_LE(progress.percent, 100u);
    indexes.insert(progress.index);
  }
  EXPECT_EQ(indexes, (std::set<DWORD>{0, 1, 2}));
  std::set<std::thread::id> threads;
  for (const auto& event : rig.Log().Events()) threads.insert(event.thread);
  EXPECT_EQ(threads.size(), 1u) << "every notification from one thread";
  EXPECT_EQ(threads.count(std::this_thread::get_id()), 0u) << "the recorder's own";
}

TEST(Recorder, BurningWritesTheSelectedTracksAsCdAudioThatTheSheetDescribes) {
  RecorderRig rig;
  rig.OpenDisc();
  const std::int32_t capacity = rig.Figure(kCmdGetCapacity);
  EXPECT_EQ(capacity, 80 * 60 * 75 * 2352);
  const std::vector<TrackEntry> prepared = rig.Prepare({
      MakeToneWav(rig.Dir(), "Alpha.wav", WavFormat{44100, 2, 16}, 5.0),
      MakeToneWav(rig.Dir(), "Beta.wav", WavFormat{48000, 1, 16}, 5.0),
      MakeToneWav(rig.Dir(), "Gamma.wav", WavFormat{44100, 2, 16}, 5.0),
  });
  ASSERT_EQ(prepared.size(), 3u);
  ASSERT_EQ(rig.Burn({1, 0, 1}), kTransferCompleted);
  std::vector<TrackEntry> stored = rig.StoredTracks();
  ASSERT_EQ(stored.size(), 2u);
  EXPECT_EQ(Name(stored[0]), "Alpha");
  EXPECT_EQ(Name(stored[1]), "Gamma");
  EXPECT_EQ(DWORD{stored[1].size}, 375 * kSectorBytes);
  EXPECT_NE(stored[1].flags & kTrackOnDevice, 0u);
  EXPECT_EQ(rig.Figure(kCmdGetFreeSpace), capacity - 750 * 2352);

  // A later burn adds to the disc.
  ASSERT_EQ(rig.Burn({0, 1, 0}), kTransferCompleted);
  stored = rig.StoredTracks();
  ASSERT_EQ(stored.size(), 3u);
  EXPECT_EQ(Name(stored[2]), "Beta");
  const std::string sheet = qap::testing::ReadFile(rig.Image() + ".cue");
  EXPECT_NE(sheet.find("FILE \"image.cdi\" BINARY"), std::string::npos) << sheet;
  EXPECT_NE(sheet.find("  TRACK 03 AUDIO\n    TITLE \"Beta\""), std::string::npos) << sheet;
  EXPECT_NE(sheet.find("INDEX 01 00:10:00"), std::string::npos) << sheet;
  EXPECT_EQ(std::filesystem::file_size(rig.Image()), 1125u * kSectorBytes);
  // Alpha and Gamma are CD audio as they are: their samples, byte for byte,
  // wherever the burn found them in the prepared files.
  const WavFormat cd{44100, 2, 16};
  const std::vector<BYTE> tone = TonePcm(cd, 0, 5 * 44100, 440.0);
  const std::string samples(tone.begin(), tone.end());
  const std::string image = qap::testing::ReadFile(rig.Image());
  EXPECT_TRUE(image.substr(0, samples.size()) == samples) << "Alpha";
  EXPECT_TRUE(image.substr(375 * kSectorBytes, samples.size()) == samples) << "Gamma";

  // Other tools read the image as CD audio: 15 seconds of it.
  const std::string decoded = rig.Dir().File("disc.wav");
  ASSERT_TRUE(converter_test::RunFfmpeg(
      {"-f", "s16le", "-ar", "44100", "-ac", "2", "-i", rig.Image(), decoded}));
  EXPECT_NEAR(converter_test::ProbeFile(decoded).seconds, 15.0, 0.01);
}

TEST(Recorder, TracksThatCannotBeReadOrDoNotFitTheFreeSpaceAreRefused) {
  RecorderRig rig;
  rig.OpenPlayer(1);
  const std::string first = MakeMp3(rig.Dir(), "first.mp3", 25.0);
  const std::string second = MakeMp3(rig.Dir(), "second.mp3", 25.0);
  const std::string third = MakeMp3(rig.Dir(), "third.mp3", 25.0);
  EXPECT_NE(rig.Queue(rig.Dir().Write("noise.wav", "not a wav file"), 0), kQuadrinOk);
  EXPECT_NE(rig.Queue(rig.Dir().File("missing.mp3"), 0), kQuadrinOk);
  EXPECT_NE(rig.Queue(rig.Dir().Write("notes.txt", "text"), 0), kQuadrinOk);
  EXPECT_EQ(rig.Queue(first, 0), kQuadrinOk);
  EXPECT_EQ(rig.Queue(second, 1), kQuadrinOk);
  EXPECT_NE(rig.Queue(third, 2), kQuadrinOk) << "three 400 kB files do not fit 1 MB";
  ASSERT_EQ(rig.Recorder()->Command(kCmdPrepare, nullptr), kQuadrinOk);
  ASSERT_TRUE(rig.Log().WaitFor(kNotifyPrepared));
  ASSERT_EQ(rig.Burn(), kTransferCompleted);
  // What is on the player counts against its free space from now on.
  EXPECT_NE(rig.Queue(third, 0), kQuadrinOk);
  EXPECT_EQ(rig.StoredTracks().size(), 2u);
}

TEST(Recorder, APlayerTakesMp3FilesAsTheyAreAndOthersConvertedToMp3) {
  RecorderRig rig;
  rig.OpenPlayer(100);
  const std::string mp3 = MakeMp3(rig.Dir(), "Song.mp3", 3.0);
  const std::string wav = MakeToneWav(rig.Dir(), "Tone.wav", WavFormat{44100, 2, 16}, 3.0);
  const std::vector<TrackEntry> prepared = rig.Prepare({mp3, wav});
  ASSERT_EQ(prepared.size(), 2u);
  EXPECT_EQ(DWORD{prepared[0].size}, std::filesystem::file_size(mp3));
  ASSERT_EQ(rig.Burn(), kTransferCompleted);
  EXPECT_EQ(qap::testing::ReadFile(rig.Player() + "/Song.mp3"), qap::testing::ReadFile(mp3));
  const converter_test::Probe probe = converter_test::ProbeFile(rig.Player() + "/Tone.mp3");
  EXPECT_EQ(probe.codec, "mp3");
  EXPECT_NEAR(probe.seconds, 3.0, 0.15);
  const std::vector<TrackEntry> stored = rig.StoredTracks();
  ASSERT_EQ(stored.size(), 2u);
  EXPECT_EQ(Name(stored[0]), "Song");
  EXPECT_STREQ(stored[0].readerId, "MP3Reader");
  const std::int32_t used = rig.Figure(kCmdGetCapacity) - rig.Figure(kCmdGetFreeSpace);
  EXPECT_EQ(static_cast<std::uintmax_t>(used), std::filesystem::file_size(mp3) +
                                                   std::filesystem::file_size(rig.Player() + "/Tone.mp3"));
}

TEST(Recorder, APlayersMp3FilesCarryTheSourcesTagsAtTheMp3BitRate) {
  RecorderRig rig;
  rig.OpenPlayer(100);
  TQuadrinInitStruct options = Options(96);
  options.mp3BitRateKbps = 192;
  std::snprintf(options.tempFolder, sizeof options.tempFolder, "%s", rig.Temp().c_str());
  ASSERT_EQ(rig.Recorder()->Command(kCmdSetOptions, &options), kQuadrinOk);
  const std::string wav = MakeToneWav(rig.Dir(), "Tone.wav", WavFormat{44100, 2, 16}, 3.0);
  TagBlock tags{};
  std::snprintf(tags.title, sizeof tags.title, "A Title");
  std::snprintf(tags.artist, sizeof tags.artist, "An Artist");
  std::snprintf(tags.album, sizeof tags.album, "An Album");
  std::snprintf(tags.genre, sizeof tags.genre, "Jazz");
  ASSERT_TRUE(WriteTagBlock(wav.c_str(), tags));
  rig.Prepare({wav});
  ASSERT_EQ(rig.Burn(), kTransferCompleted);
  const std::string made = rig.Player() + "/Tone.mp3";
  EXPECT_EQ(converter_test::ProbeFile(made).bitRate, 192000) << "\"CBR_KBPS\", not \"WMA_KBPS\"";
  TagBlock read{};
  ASSERT_TRUE(ReadTagBlock(made.c_str(), &read));
  EXPECT_STREQ(read.title, "A Title");
  EXPECT_STREQ(read.artist, "An Artist");
  EXPECT_STREQ(read.album, "An Album");
  EXPECT_STREQ(read.genre, "Jazz");
}

TEST(Recorder, AFullDiskFailsTheBurnWithItsReasonAndLeavesTheMediumAsItWas) {
  const std::string tooLarge = std::strerror(EFBIG);
  {
    RecorderRig rig;
    rig.OpenDisc();
    rig.Prepare({MakeToneWav(rig.Dir(), "first.wav", WavFormat{44100, 2, 16}, 10.0)});
    ASSERT_EQ(rig.Burn(), kTransferCompleted);
    const std::string sheet = qap::testing::ReadFile(rig.Image() + ".cue");
    const std::uintmax_t size = std::filesystem::file_size(rig.Image());
    rig.Prepare({MakeToneWav(rig.Dir(), "second.wav", WavFormat{44100, 2, 16}, 10.0)});
    {
      // Room for the prepared track, not for the disc with both.
      qap::testing::FileSizeLimit disk(size + size / 2);
      EXPECT_EQ(rig.Burn({0, 1}), kTransferFailed);
    }
    EXPECT_TRUE(rig.Log().Said("Cannot write \"second\": cannot write the disc image " +
                               rig.Image() + ": " + tooLarge));
    EXPECT_EQ(std::filesystem::file_size(rig.Image()), size);
    EXPECT_EQ(qap::testing::ReadFile(rig.Image() + ".cue"), sheet);
  }
  RecorderRig rig;
  rig.OpenPlayer(100);
  rig.Prepare({MakeMp3(rig.Dir(), "Song.mp3", 10.0)});
  {
    qap::testing::FileSizeLimit disk(16 * 1024);
    EXPECT_EQ(rig.Burn(), kTransferFailed);
  }
  EXPECT_TRUE(rig.Log().Said("Cannot write \"Song\": cannot write to the player: " + tooLarge));
  EXPECT_TRUE(std::filesystem::is_empty(rig.Player())) << "no partial file";
}

TEST(Recorder, ErasingEmptiesTheMediumThroughTheRecorderOrTheDevice) {
  RecorderRig rig;
  rig.OpenDisc();
  rig.Prepare({MakeToneWav(rig.Dir(), "one.wav", WavFormat{44100, 2, 16}, 4.0)});
  ASSERT_EQ(rig.Burn(), kTransferCompleted);
  ASSERT_EQ(rig.StoredTracks().size(), 1u);
  ASSERT_EQ(rig.Recorder()->Command(kCmdEraseMedium, nullptr), kQuadrinOk);
  ASSERT_TRUE(rig.Log().WaitFor(kNotifyEraseDone));
  EXPECT_EQ(rig.Log().Events(kNotifyEraseDone).back().value, kTransferCompleted);
  const auto progress = rig.Log().Events(kNotifyEraseProgress);
  ASSERT_FALSE(progress.empty());
  EXPECT_EQ(reinterpret_cast<const RecorderProgress*>(progress.back().data.data())->percent, 100u);
  EXPECT_TRUE(rig.StoredTracks().empty());
  EXPECT_FALSE(std::filesystem::exists(rig.Image() + ".cue"));

  // The prepared track burns again; the device's own format command
  // erases through the recorder that targets it.
  ASSERT_EQ(rig.Burn(), kTransferCompleted);
  ASSERT_EQ(rig.StoredTracks().size(), 1u);
  ASSERT_EQ(rig.Device()->Command(kCmdFormatMedium, nullptr), kQuadrinOk);
  ASSERT_TRUE(rig.Log().WaitFor(kNotifyEraseDone, 2));
  EXPECT_TRUE(rig.StoredTracks().empty());
}

// Aborts from inside the recorder's notification, at the start of the
// second track's copy.
DWORD AbortAtSecondTrack(DWORD value, DWORD code, void* data, void* context) {
  auto* rig = static_cast<RecorderRig*>(context);
  NotificationLog::Callback(value, code, data, &rig->Log());
  if (code == kNotifyTrackProgress && static_cast<RecorderProgress*>(data)->index == 1) {
    rig->Recorder()->Command(kCmdAbort, nullptr);
  }
  return 0;
}

TEST(Recorder, AnAbortedBurnLeavesTheDiscWithTheTracksWrittenBeforeIt) {
  RecorderRig rig;
  rig.OpenDisc();
  rig.Prepare({MakeToneWav(rig.Dir(), "kept.wav", WavFormat{44100, 2, 16}, 4.0),
               MakeToneWav(rig.Dir(), "cut.wav", WavFormat{44100, 2, 16}, 60.0)});
  rig.Recorder()->SetNotifyCallback(&AbortAtSecondTrack, &rig);
  EXPECT_EQ(rig.Burn(), kTransferAborted);
  const std::vector<TrackEntry> stored = rig.StoredTracks();
  ASSERT_EQ(stored.size(), 1u);
  EXPECT_EQ(Name(stored[0]), "kept");
  EXPECT_EQ(std::filesystem::file_size(rig.Image()), 300u * kSectorBytes);
}

TEST(Recorder, AnAbortedPreparationStopsPromptlyAndLeavesNoPartialFiles) {
  RecorderRig rig;
  rig.OpenDisc();
  const std::string wma = MakeAsf(rig.Dir(), "long.wma", 22050, 1, 600.0, {"-c:a", "wmav2"});
  ASSERT_EQ(rig.Queue(wma, 0), kQuadrinOk);
  ASSERT_EQ(rig.Recorder()->Command(kCmdPrepare, nullptr), kQuadrinOk);
  ASSERT_TRUE(rig.Log().WaitFor(kNotifyTrackProgress, 2));
  EXPECT_EQ(rig.Recorder()->Command(kCmdAbort, nullptr), kQuadrinOk);
  ASSERT_TRUE(rig.Log().WaitFor(kNotifyPrepared));
  const auto prepared = rig.Log().Events(kNotifyPrepared);
  EXPECT_EQ(prepared.back().value, kTransferAborted);
  DWORD count = 1;
  std::memcpy(&count, prepared.back().data.data(), sizeof count);
  EXPECT_EQ(count, 0u);
  for (const auto& folder : std::filesystem::directory_iterator(rig.Temp())) {
    EXPECT_TRUE(std::filesystem::is_empty(folder.path())) << folder.path();
  }
  // Nothing was left queued: burning finds nothing to write.
  EXPECT_EQ(rig.Burn(), kTransferCompleted);
  EXPECT_TRUE(rig.StoredTracks().empty());
}

TEST(Recorder, WithoutAnOpenDeviceNothingIsQueuedOrStarted) {
  RegisteredModules modules;
  qap::testing::ScratchDir dir;
  Object recorder = Make("QuadrinRecorder");
  Object device = Make("QuadrinCDWriter");
  const std::string wav = MakeToneWav(dir, "tone.wav", WavFormat{44100, 2, 16}, 1.0);
  TrackEntry entry = EntryFor(wav);
  EXPECT_NE(recorder->Command(kCmdQueueTrack, &entry), kQuadrinOk);
  EXPECT_NE(recorder->Command(kCmdPrepare, nullptr), kQuadrinOk);
  EXPECT_NE(recorder->Command(kCmdConnect, recorder.get()), kQuadrinOk);
  ASSERT_EQ(recorder->Command(kCmdConnect, device.get()), kQuadrinOk);
  EXPECT_NE(recorder->Command(kCmdQueueTrack, &entry), kQuadrinOk) << "the device is not open";
}

}  // namespace
