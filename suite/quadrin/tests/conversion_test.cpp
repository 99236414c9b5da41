// Conversions through the layer as the conversion dialog drives them: the
// output's format, length and tags; the writer that gets its format before
// its options; progress and the one end notification; abort and failure.
#include <cerrno>
#include <filesystem>

#include "platform/testing/file_size_limit.h"
#include "suite/quadrin/tests/quadrin_test_support.h"

namespace {

using namespace quadrin_test;
using converter_test::MakeAsf;
using converter_test::MakeToneWav;
using converter_test::ProbeFile;

class Conversion : public ::testing::Test {
 protected:
  RegisteredModules m_modules;
  qap::testing::ScratchDir m_dir;
};

TagBlock Tags(const char* title, const char* artist) {
  TagBlock tags{};
  std::snprintf(tags.title, sizeof tags.title, "%s", title);
  std::snprintf(tags.artist, sizeof tags.artist, "%s", artist);
  tags.presence = kTagTitle | kTagArtist;
  return tags;
}

TEST_F(Conversion, EachPairOfFormatsConvertsWithItsFormatLengthAndTags) {
  const std::string wav = MakeToneWav(m_dir, "tone.wav", WavFormat{44100, 2, 16}, 3.0);
  const std::string mp3 = MakeMp3(m_dir, "tone.mp3", 3.0);
  const std::string wma = MakeAsf(m_dir, "tone.wma", 22050, 1, 3.0, {"-c:a", "wmav2"});
  const TagBlock tags = Tags("A title", "An artist");
  struct Case {
    std::string source;
    const char* reader;
    const char* target;
    const char* writer;
    const char* codec;
    int rate;
    int channels;
    bool writerTakesTags;
  };
  const Case cases[] = {
      {wav, "WAVReader", "wav.wma", "WMAWriter", "wmav2", 44100, 2, true},
      {wma, "WMAReader", "wma.wav", "WAVWriter", "pcm_s16le", 22050, 1, true},
      {mp3, "MP3Reader", "mp3.wma", "WMAWriter", "wmav2", 44100, 2, true},
      {wav, "WAVReader", "wav.mp3", "MP3Writer", "mp3", 44100, 2, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.target);
    const std::string target = m_dir.File(c.target);
    ConversionRun run;
    StartConversion(run, c.source, c.reader, target, c.writer, 128, &tags);
    ASSERT_FALSE(HasFatalFailure());
    EXPECT_EQ(run.tagsResult == kQuadrinOk, c.writerTakesTags);
    ASSERT_TRUE(run.log.WaitFor(kNotifyEnd));
    run.reader.reset();
    run.writer.reset();
    EXPECT_EQ(run.log.Events(kNotifyEnd).front().value, kTransferCompleted);
    EXPECT_EQ(run.log.Count(kNotifyEnd), 1u);

    const converter_test::Probe probe = ProbeFile(target);
    ASSERT_TRUE(probe.ok);
    EXPECT_EQ(probe.codec, c.codec);
    EXPECT_EQ(probe.rate, c.rate);
    EXPECT_EQ(probe.channels, c.channels);
    EXPECT_NEAR(probe.seconds, 3.0, 0.15);
    const FileTags written = ReadFileTags(target);
    if (c.writerTakesTags) {
      EXPECT_EQ(written.title, "A title");
      EXPECT_EQ(written.artist, "An artist");
    } else {
      // What the tag library then writes for an MP3 output.
      EXPECT_TRUE(written.title.empty());
    }
  }
}

TEST_F(Conversion, ProgressCountsMillisecondsDoneUpToTheLengthThenOneEnd) {
  const std::string wav = MakeToneWav(m_dir, "tone.wav", WavFormat{22050, 1, 16}, 4.0);
  ConversionRun run;
  StartConversion(run, wav, "WAVReader", m_dir.File("out.wav"), "WAVWriter", 128, nullptr);
  ASSERT_TRUE(run.log.WaitFor(kNotifyEnd));
  EXPECT_EQ(run.lengthMs, 4000u);
  const auto events = run.log.Events();
  ASSERT_GE(events.size(), 3u);
  DWORD last = 0;
  for (size_t i = 0; i + 1 < events.size(); ++i) {
    ASSERT_EQ(events[i].code, kNotifyProgress);
    ReaderProgress progress;
    std::memcpy(&progress, events[i].data.data(), sizeof progress);
    EXPECT_GT(progress.doneMs, last);
    EXPECT_EQ(progress.totalMs, 4000u);
    last = progress.doneMs;
    EXPECT_NE(events[i].thread, std::this_thread::get_id()) << "from the reader's own thread";
  }
  EXPECT_EQ(last, 4000u);
  EXPECT_EQ(events.back().code, kNotifyEnd);
}

TEST_F(Conversion, TheWmaWriterTakesItsFormatBeforeItsOptionsOrWithoutAny) {
  const std::string wav = MakeToneWav(m_dir, "tone.wav", WavFormat{32000, 2, 16}, 2.0);
  // The dialog's order: format (4) first, options (9) after; 64 kbit/s
  // asked for.
  EXPECT_EQ(Convert(wav, "WAVReader", m_dir.File("after.wma"), "WMAWriter", 64), kTransferCompleted);
  converter_test::Probe probe = ProbeFile(m_dir.File("after.wma"));
  EXPECT_EQ(probe.rate, 32000);
  EXPECT_EQ(probe.bitRate, 64000);

  // No options at all: the layer's defaults (96 kbit/s) before the format.
  Object reader = Make("WAVReader");
  Object writer = Make("WMAWriter");
  TrackEntry entry = EntryFor(wav);
  PcmFormat format{};
  std::string target = m_dir.File("without.wma");
  ASSERT_EQ(reader->Command(kCmdOpen, &entry), kQuadrinOk);
  ASSERT_EQ(reader->Command(kCmdGetFormat, &format), kQuadrinOk);
  ASSERT_EQ(writer->Command(kCmdOpen, target.data()), kQuadrinOk);
  ASSERT_EQ(writer->Command(kCmdSetInputFormat, &format), kQuadrinOk);
  NotificationLog log;
  reader->SetNotifyCallback(&NotificationLog::Callback, &log);
  ASSERT_EQ(reader->Command(kCmdConnect, writer.get()), kQuadrinOk);
  ASSERT_EQ(reader->Command(kCmdStart, nullptr), kQuadrinOk);
  ASSERT_TRUE(log.WaitFor(kNotifyEnd));
  EXPECT_EQ(log.Events(kNotifyEnd).front().value, kTransferCompleted);
  reader.reset();
  writer.reset();
  probe = ProbeFile(target);
  EXPECT_EQ(probe.bitRate, 96000);
  EXPECT_NEAR(probe.seconds, 2.0, 0.15);
}

TEST_F(Conversion, AnAbortEndsWithOneEndNotificationAndAFinishedOutput) {
  const std::string wav = MakeToneWav(m_dir, "long.wav", WavFormat{44100, 2, 16}, 120.0);
  const std::string target = m_dir.File("part.wma");
  ConversionRun run;
  StartConversion(run, wav, "WAVReader", target, "WMAWriter", 128, nullptr);
  ASSERT_TRUE(run.log.WaitFor(kNotifyProgress));
  EXPECT_EQ(run.reader->Command(kCmdAbort, nullptr), kQuadrinOk);
  // The end comes with the abort, before it returns.
  ASSERT_EQ(run.log.Count(kNotifyEnd), 1u);
  EXPECT_EQ(run.log.Events(kNotifyEnd).front().value, kTransferAborted);
  // The writer has closed its output.
  EXPECT_NE(run.writer->Command(kCmdIsOpen, nullptr), kQuadrinOk);
  const size_t progressSeen = run.log.Count(kNotifyProgress);
  EXPECT_EQ(run.reader->Command(kCmdAbort, nullptr), kQuadrinOk);
  run.reader.reset();
  run.writer.reset();
  EXPECT_EQ(run.log.Count(kNotifyEnd), 1u);
  EXPECT_EQ(run.log.Count(kNotifyProgress), progressSeen);
  const converter_test::Probe probe = ProbeFile(target);
  ASSERT_TRUE(probe.ok) << "what was written is a complete file";
  EXPECT_LT(probe.seconds, 120.0);
}

TEST_F(Conversion, AFullDiskFailsTheConversionWithItsReasonAndLeavesNoOutput) {
  const std::string wav = MakeToneWav(m_dir, "tone.wav", WavFormat{44100, 2, 16}, 30.0);
  for (const char* writer : {"WAVWriter", "MP3Writer", "WMAWriter"}) {
    SCOPED_TRACE(writer);
    const std::string target = m_dir.File(std::string("out-") + writer);
    ConversionRun run;
    {
      // Every output here is larger than that.
      qap::testing::FileSizeLimit disk(256 * 1024);
      StartConversion(run, wav, "WAVReader", target, writer, 128, nullptr);
      ASSERT_FALSE(HasFatalFailure());
      ASSERT_TRUE(run.log.WaitFor(kNotifyEnd));
      run.reader.reset();
      run.writer.reset();
    }
    const auto end = run.log.Events(kNotifyEnd).front();
    EXPECT_EQ(end.value, kTransferFailed);
    EXPECT_EQ(reinterpret_cast<const char*>(end.data.data()), std::string(std::strerror(EFBIG)));
    EXPECT_FALSE(std::filesystem::exists(target)) << "no cut file that looks finished";
  }
  // An output that is no plain file fails as well, and stays what it was.
  EXPECT_EQ(Convert(wav, "WAVReader", "/dev/full", "WAVWriter"), kTransferFailed);
  EXPECT_TRUE(std::filesystem::is_character_file("/dev/full"));
}

// Two MP3 files joined into one: the second half's frames are mono at half
// the rate of the first half's; both halves come out in the one format the
// reader names.
TEST_F(Conversion, AnMp3WhoseChannelsAndRateChangeMidStreamConvertsWhole) {
  const std::string stereo = MakeMp3(m_dir, "stereo.mp3", 1.0);
  const std::string mono = m_dir.File("mono.mp3");
  ASSERT_TRUE(converter_test::RunFfmpeg(
      {"-f", "lavfi", "-i", "sine=frequency=440:sample_rate=22050:duration=1", "-ac", "1", "-c:a",
       "libmp3lame", "-b:a", "64k", "-write_xing", "0", "-id3v2_version", "0", mono}));
  const std::string joined = m_dir.Write(
      "joined.mp3", qap::testing::ReadFile(stereo) + qap::testing::ReadFile(mono));
  const std::string target = m_dir.File("joined.wav");
  EXPECT_EQ(Convert(joined, "MP3Reader", target, "WAVWriter"), kTransferCompleted);
  const converter_test::Probe probe = ProbeFile(target);
  ASSERT_TRUE(probe.ok);
  EXPECT_NEAR(probe.seconds, 2.0, 0.15);
}

TEST_F(Conversion, AReaderStartsOnlyWithAnOpenSourceAndAWriterToFeed) {
  const std::string wav = MakeToneWav(m_dir, "tone.wav", WavFormat{44100, 2, 16}, 1.0);
  Object reader = Make("WAVReader");
  Object otherReader = Make("WAVReader");
  EXPECT_NE(reader->Command(kCmdStart, nullptr), kQuadrinOk);
  TrackEntry missing = EntryFor(m_dir.File("missing.wav"));
  EXPECT_NE(reader->Command(kCmdOpen, &missing), kQuadrinOk);
  TrackEntry entry = EntryFor(wav);
  ASSERT_EQ(reader->Command(kCmdOpen, &entry), kQuadrinOk);
  EXPECT_NE(reader->Command(kCmdStart, nullptr), kQuadrinOk) << "no writer connected";
  EXPECT_NE(reader->Command(kCmdConnect, otherReader.get()), kQuadrinOk);
  int notAnObject = 0;
  EXPECT_NE(reader->Command(kCmdConnect, &notAnObject), kQuadrinOk);
  // A writer whose output was never named cannot start.
  Object writer = Make("WAVWriter");
  ASSERT_EQ(reader->Command(kCmdConnect, writer.get()), kQuadrinOk);
  EXPECT_NE(reader->Command(kCmdStart, nullptr), kQuadrinOk);
}

}  // namespace
