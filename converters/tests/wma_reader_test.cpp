// Lumbrix: what it reports of a WMA file (format codes, tags, duration) and
// how it delivers the audio (callback, sample sink, Read, stop, reopen).
#include <gtest/gtest.h>

#include <taglib/asffile.h>
#include <taglib/asfpicture.h>

#include <atomic>
#include <cstring>
#include <fstream>

extern "C" {
#include <libavformat/avformat.h>
}

#include "converters/tests/converter_test_support.h"
#include "platform/base/last_error.h"

namespace {

using namespace converter_test;

std::int32_t Open(Converter* reader, const std::string& path) {
  return reader->Command(ConvOpen, const_cast<char*>(path.c_str()));
}

// Makes an uncompressed ASF file declare fewer valid bits than its 16-bit
// container holds, as recorders of 12-bit audio write it.
void DeclareValidBits(const std::string& path, WORD bits) {
  std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
  std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  // ASF_Audio_Media; the stream's wave format starts 54 bytes after it.
  const char kAudioMedia[] = "\x40\x9E\x69\xF8\x4D\x5B\xCF\x11\xA8\xFD\x00\x80\x5F\x5C\x44\x2B";
  const size_t at = bytes.find(std::string(kAudioMedia, 16));
  ASSERT_NE(at, std::string::npos);
  const size_t format = at + 54;
  ASSERT_EQ(bytes.substr(format, 2), "\xFE\xFF") << "the extensible form, with a valid-bits field";
  file.seekp(static_cast<std::streamoff>(format + 18));
  file.put(static_cast<char>(bits & 0xFF));
  file.put(static_cast<char>(bits >> 8));
}

// A sample sink standing for the writer of a conversion.
class RecordingSink final : public Converter {
 public:
  struct Call {
    const void* source;
    SinkRecord record;
  };

  std::int32_t Destroy(DWORD) override { return kConvSuccess; }
  std::int32_t Command(DWORD, void*) override { return kConvNotSupported; }
  std::int32_t Read(void*, DWORD*) override { return kConvSuccess; }
  std::int32_t Write(const void* source, const DWORD* length) override {
    std::lock_guard lock(m_mutex);
    m_calls.push_back({source, *reinterpret_cast<const SinkRecord*>(length)});
    return kConvSuccess;
  }
  std::int32_t SetNotifyCallback(ConverterCallback, ConverterUserData) override {
    return kConvSuccess;
  }

  std::vector<Call> Calls() {
    std::lock_guard lock(m_mutex);
    return m_calls;
  }

 private:
  std::mutex m_mutex;
  std::vector<Call> m_calls;
};

class WmaReader : public ::testing::Test {
 protected:
  qap::testing::ScratchDir m_dir;
};

TEST_F(WmaReader, FormatCodesFollowTheRateChannelsAndSampleSize) {
  ConverterPtr reader = NewReader();
  ASSERT_TRUE(reader);
  for (DWORD code = 1; code <= 7; ++code) {
    const int rate = static_cast<int>(PcmRateOfCode(code));
    SCOPED_TRACE(rate);
    const std::string file = MakeAsf(m_dir, std::to_string(rate) + ".wma", rate, 1, 0.2,
                                     {"-c:a", "wmav2", "-b:a", "64k"});
    ASSERT_EQ(Open(reader.get(), file), kConvSuccess);
    PcmFormat format{0, 0, 0, 0x10};
    ASSERT_EQ(reader->Command(ConvGetFormat, &format), kConvSuccess);
    EXPECT_EQ(format.rateCode, code);
    EXPECT_EQ(format.sizeCode, 2u);
    EXPECT_EQ(format.channelCode, 2u) << "mono";
    EXPECT_EQ(format.flags, 0x11u) << "bit 0 set, the rest kept";
  }
  const std::string stereo = MakeAsf(m_dir, "stereo.wma", 44100, 2, 0.2, {"-c:a", "wmav2"});
  ASSERT_EQ(Open(reader.get(), stereo), kConvSuccess);
  PcmFormat format{};
  ASSERT_EQ(reader->Command(ConvGetFormat, &format), kConvSuccess);
  EXPECT_EQ(format.rateCode, 6u);
  EXPECT_EQ(format.sizeCode, 2u);
  EXPECT_EQ(format.channelCode, 1u);

  const std::string eightBit = MakeAsf(m_dir, "u8.asf", 22050, 2, 0.2, {"-c:a", "pcm_u8"});
  ASSERT_EQ(Open(reader.get(), eightBit), kConvSuccess);
  ASSERT_EQ(reader->Command(ConvGetFormat, &format), kConvSuccess);
  EXPECT_EQ(format.rateCode, 4u);
  EXPECT_EQ(format.sizeCode, 1u);
  EXPECT_EQ(format.channelCode, 1u);
}

TEST_F(WmaReader, AValueOutsideTheListsLeavesThatFieldAsTheCallerSetIt) {
  const std::string file =
      MakeAsf(m_dir, "12bit.asf", 96000, 1, 0.2, {"-c:a", "pcm_s16le"});
  DeclareValidBits(file, 12);
  ConverterPtr reader = NewReader();
  ASSERT_EQ(Open(reader.get(), file), kConvSuccess);
  PcmFormat format{77, 78, 79, 0};
  ASSERT_EQ(reader->Command(ConvGetFormat, &format), kConvSuccess);
  EXPECT_EQ(format.rateCode, 77u) << "96000 Hz is not in the list";
  EXPECT_EQ(format.sizeCode, 78u) << "12 bits are not in the list";
  EXPECT_EQ(format.channelCode, 2u);
  EXPECT_EQ(format.flags, kPcmFormatFilled);
}

TEST_F(WmaReader, AFileWithAVideoStreamHasTwoOutputsAndIsRefused) {
  const std::string path = m_dir.File("video.wmv");
  ASSERT_TRUE(RunFfmpeg({"-f", "lavfi", "-i", "testsrc=size=64x48:rate=5:duration=0.5", "-f",
                         "lavfi", "-i", "sine=duration=0.5", "-c:v", "wmv2", "-c:a", "wmav2",
                         "-f", "asf", path}));
  ConverterPtr reader = NewReader();
  SetLastError(0);
  EXPECT_EQ(Open(reader.get(), path), kConvFailure);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_SUPPORTED)) << "the cause: two streams";
  PcmFormat format{};
  EXPECT_EQ(reader->Command(ConvGetFormat, &format), kConvFailure) << "no file stays open";
}

// Album art as the desktop's players store it: pictures in the header,
// which FFmpeg lists as video streams of their own.
TEST_F(WmaReader, PicturesInTheHeaderAreNoStreamsAndTheFileReadsLikeAnyOther) {
  const std::string path = MakeAsf(m_dir, "art.wma", 44100, 2, 2.0, {"-c:a", "wmav2"});
  {
    TagLib::ASF::File file(path.c_str());
    ASSERT_TRUE(file.isValid());
    for (const auto type : {TagLib::ASF::Picture::FrontCover, TagLib::ASF::Picture::BackCover}) {
      TagLib::ASF::Picture picture;
      picture.setType(type);
      picture.setMimeType("image/png");
      picture.setPicture(TagLib::ByteVector("\x89PNG\r\n\x1a\n not really a picture"));
      file.tag()->addAttribute("WM/Picture", TagLib::ASF::Attribute(picture));
    }
    ASSERT_TRUE(file.save());
  }
  AVFormatContext* probe = nullptr;
  ASSERT_EQ(avformat_open_input(&probe, path.c_str(), nullptr, nullptr), 0);
  avformat_find_stream_info(probe, nullptr);
  const unsigned streams = probe->nb_streams;
  avformat_close_input(&probe);
  ASSERT_EQ(streams, 3u) << "the audio and the two pictures";

  const Decoded decoded = DecodeFile(path);
  ASSERT_EQ(decoded.openResult, kConvSuccess);
  EXPECT_EQ(decoded.format.rateCode, 6u);
  EXPECT_FALSE(decoded.damage);
  EXPECT_NEAR(static_cast<double>(decoded.pcm.size()) / 4, 2.0 * 44100, 2048.0);
}

TEST_F(WmaReader, TagsAreCopiedAndMissingOnesLeaveTheBufferAsItWas) {
  const std::string tagged =
      MakeAsf(m_dir, "tagged.wma", 44100, 2, 0.2,
              {"-metadata", "title=Grüße aus Köln", "-metadata", "artist=Die Band", "-metadata",
               "comment=Live, 1999", "-c:a", "wmav2"});
  ConverterPtr reader = NewReader();
  ASSERT_EQ(Open(reader.get(), tagged), kConvSuccess);
  char text[kTagTextSize];
  EXPECT_EQ(reader->Command(ConvGetTitle, text), kConvSuccess);
  EXPECT_STREQ(text, "Grüße aus Köln");
  EXPECT_EQ(reader->Command(ConvGetAuthor, text), kConvSuccess);
  EXPECT_STREQ(text, "Die Band");
  EXPECT_EQ(reader->Command(ConvGetDescription, text), kConvSuccess);
  EXPECT_STREQ(text, "Live, 1999");

  const std::string bare = MakeAsf(m_dir, "bare.wma", 44100, 2, 0.2, {"-c:a", "wmav2"});
  ASSERT_EQ(Open(reader.get(), bare), kConvSuccess);
  for (DWORD code : {ConvGetTitle, ConvGetAuthor, ConvGetDescription}) {
    std::strcpy(text, "as it was");
    EXPECT_EQ(reader->Command(code, text), kConvSuccess);
    EXPECT_STREQ(text, "as it was") << "code " << code;
  }

  // A title longer than a tag field is cut to fit, on a character boundary.
  std::string longTitle;
  for (int i = 0; i < 300; ++i) longTitle += "é";
  const std::string wordy = MakeAsf(m_dir, "wordy.wma", 44100, 2, 0.2,
                                    {"-metadata", "title=" + longTitle, "-c:a", "wmav2"});
  ASSERT_EQ(Open(reader.get(), wordy), kConvSuccess);
  char field[kTagTextSize + 16];
  std::memset(field, 'x', sizeof field);
  EXPECT_EQ(reader->Command(ConvGetTitle, field), kConvSuccess);
  EXPECT_EQ(std::string(field), longTitle.substr(0, 254));
  EXPECT_EQ(field[kTagTextSize], 'x') << "nothing written past the field";
}

TEST_F(WmaReader, DurationIsReportedInMilliseconds) {
  const std::string file = MakeAsf(m_dir, "two.wma", 44100, 2, 2.0, {"-c:a", "wmav2"});
  ConverterPtr reader = NewReader();
  ASSERT_EQ(Open(reader.get(), file), kConvSuccess);
  DWORD duration = 0;
  ASSERT_EQ(reader->Command(ConvGetDuration, &duration), kConvSuccess);
  EXPECT_NEAR(static_cast<double>(duration), ProbeFile(file).seconds * 1000, 1.0);
  EXPECT_GE(duration, 2000u);
  EXPECT_LT(duration, 2100u) << "at most one frame of padding";
}

struct DeliveryLog {
  std::mutex mutex;
  Converter* reader = nullptr;
  std::vector<SampleInfo> infos;
  std::vector<std::vector<BYTE>> blocks;
  bool readMatched = true;
  int endEvents = 0;
  int eventsAfterEnd = 0;
};

void CheckingCallback(Converter* converter, DWORD event, void* data, ConverterUserData user) {
  auto* log = reinterpret_cast<DeliveryLog*>(user);
  std::lock_guard lock(log->mutex);
  if (log->endEvents > 0) ++log->eventsAfterEnd;
  if (event == kConverterEventEnd) {
    ++log->endEvents;
    return;
  }
  const auto* info = static_cast<const SampleInfo*>(data);
  log->reader = converter;
  log->infos.push_back(*info);
  log->blocks.emplace_back(info->data, info->data + info->length);
  // Read during the callback copies the block being delivered.
  std::vector<BYTE> copy(info->length + 16);
  DWORD length = 0;
  if (converter->Read(copy.data(), &length) != kConvSuccess || length != info->length ||
      std::memcmp(copy.data(), info->data, length) != 0) {
    log->readMatched = false;
  }
}

TEST_F(WmaReader, BlocksReachTheCallbackAndTheSinkAndReadReturnsTheLatest) {
  const std::string file = MakeAsf(m_dir, "one.wma", 44100, 2, 1.0, {"-c:a", "wmav2"});
  ConverterPtr reader = NewReader();
  ASSERT_EQ(Open(reader.get(), file), kConvSuccess);
  DeliveryLog log;
  RecordingSink sink;
  reader->SetNotifyCallback(&CheckingCallback, reinterpret_cast<ConverterUserData>(&log));
  ASSERT_EQ(reader->Command(ConvSetSink, &sink), kConvSuccess);
  ASSERT_EQ(reader->Command(ConvStart, nullptr), kConvSuccess);
  ASSERT_TRUE(qap::testing::WaitFor([&] {
    std::lock_guard lock(log.mutex);
    return log.endEvents > 0;
  }));

  std::lock_guard lock(log.mutex);
  EXPECT_EQ(log.reader, reader.get());
  EXPECT_TRUE(log.readMatched);
  EXPECT_EQ(log.endEvents, 1);
  EXPECT_EQ(log.eventsAfterEnd, 0);
  ASSERT_GE(log.infos.size(), 3u) << "blocks of about a quarter of a second";
  size_t bytes = 0;
  for (size_t i = 0; i < log.infos.size(); ++i) {
    bytes += log.infos[i].length;
    if (i > 0) {
      EXPECT_GT(log.infos[i].time, log.infos[i - 1].time);
    }
  }
  EXPECT_EQ(log.infos.front().time, 0u);
  EXPECT_NEAR(static_cast<double>(bytes) / 4, 44100.0, 2048.0) << "one second of stereo";

  // The sink saw every block with its record, and no end marker: the
  // callback heard the end.
  const auto calls = sink.Calls();
  ASSERT_EQ(calls.size(), log.infos.size());
  for (size_t i = 0; i < calls.size(); ++i) {
    EXPECT_EQ(calls[i].source, calls[i].record.data);
    EXPECT_EQ(calls[i].record.length, log.infos[i].length);
    EXPECT_EQ(calls[i].record.time, log.infos[i].time);
    EXPECT_EQ(calls[i].record.converter, reader.get());
  }

  std::vector<BYTE> last(log.blocks.back().size() + 16);
  DWORD length = 0;
  ASSERT_EQ(reader->Read(last.data(), &length), kConvSuccess);
  last.resize(length);
  EXPECT_EQ(last, log.blocks.back()) << "Read after the end gives the last block";
}

TEST_F(WmaReader, WithoutACallbackTheSinkHearsTheEndAsAWriteOfNothing) {
  const std::string file = MakeAsf(m_dir, "short.wma", 22050, 1, 0.3, {"-c:a", "wmav2"});
  ConverterPtr reader = NewReader();
  ASSERT_EQ(Open(reader.get(), file), kConvSuccess);
  RecordingSink sink;
  reader->Command(ConvSetSink, &sink);
  ASSERT_EQ(reader->Command(ConvStart, nullptr), kConvSuccess);
  ASSERT_TRUE(qap::testing::WaitFor([&] {
    auto calls = sink.Calls();
    return !calls.empty() && calls.back().source == nullptr;
  }));
  const auto calls = sink.Calls();
  ASSERT_GT(calls.size(), 1u);
  const SinkRecord& end = calls.back().record;
  EXPECT_EQ(end.length, kSinkEndOfStream);
  EXPECT_EQ(end.data, nullptr);
  EXPECT_EQ(end.time, 0u);
  EXPECT_EQ(end.converter, reader.get());
}

struct StopLog {
  std::mutex mutex;
  std::atomic<bool> stopping{false};
  int dataEvents = 0;
  int endEvents = 0;
  std::vector<DWORD> times;
};

// Holds the first block until the test is about to stop, so that the stop
// always lands in the middle of the file.
void HoldingCallback(Converter*, DWORD event, void* data, ConverterUserData user) {
  auto* log = reinterpret_cast<StopLog*>(user);
  bool first = false;
  {
    std::lock_guard lock(log->mutex);
    if (event == kConverterEventEnd) {
      ++log->endEvents;
      return;
    }
    first = ++log->dataEvents == 1;
    log->times.push_back(static_cast<const SampleInfo*>(data)->time);
  }
  if (first) qap::testing::WaitFor([log] { return log->stopping.load(); });
}

TEST_F(WmaReader, StopEndsDeliveryWithOneEndEventAndStartPlaysAgainFromTheStart) {
  const std::string file = MakeAsf(m_dir, "long.wma", 22050, 1, 20.0, {"-c:a", "wmav2"});
  ConverterPtr reader = NewReader();
  ASSERT_EQ(Open(reader.get(), file), kConvSuccess);
  StopLog log;
  reader->SetNotifyCallback(&HoldingCallback, reinterpret_cast<ConverterUserData>(&log));
  ASSERT_EQ(reader->Command(ConvStart, nullptr), kConvSuccess);
  ASSERT_TRUE(qap::testing::WaitFor([&] {
    std::lock_guard lock(log.mutex);
    return log.dataEvents > 0;
  }));
  log.stopping = true;
  EXPECT_EQ(reader->Command(ConvStop, nullptr), kConvSuccess);
  int delivered = 0;
  {
    std::lock_guard lock(log.mutex);
    EXPECT_EQ(log.endEvents, 1) << "the stop's own end event, no end of file";
    delivered = log.dataEvents;
    EXPECT_LT(delivered, 100) << "twenty seconds are about 215 blocks";
    log.dataEvents = 0;
    log.times.clear();
  }

  ASSERT_EQ(reader->Command(ConvStart, nullptr), kConvSuccess);
  ASSERT_TRUE(qap::testing::WaitFor([&] {
    std::lock_guard lock(log.mutex);
    return log.endEvents == 2;
  }));
  std::lock_guard lock(log.mutex);
  ASSERT_FALSE(log.times.empty());
  EXPECT_EQ(log.times.front(), 0u) << "a new start plays from the beginning";
  EXPECT_GT(log.dataEvents, delivered);
  EXPECT_GE(log.times.back(), 19000u);
}

TEST_F(WmaReader, ASecondOpenOnTheSameObjectServesTheSecondFile) {
  const std::string first = MakeAsf(m_dir, "first.wma", 22050, 1, 1.0, {"-c:a", "wmav2"});
  const std::string second =
      MakeAsf(m_dir, "second.wma", 44100, 2, 2.0, {"-metadata", "title=Second", "-c:a", "wmav2"});
  ConverterPtr reader = NewReader();
  ASSERT_EQ(Open(reader.get(), first), kConvSuccess);
  EventLog log;
  reader->SetNotifyCallback(&EventLog::Callback, log.UserData());
  ASSERT_EQ(reader->Command(ConvStart, nullptr), kConvSuccess);
  ASSERT_TRUE(log.WaitForEnd());

  ASSERT_EQ(Open(reader.get(), second), kConvSuccess);
  PcmFormat format{};
  ASSERT_EQ(reader->Command(ConvGetFormat, &format), kConvSuccess);
  EXPECT_EQ(format.rateCode, 6u);
  EXPECT_EQ(format.channelCode, 1u);
  DWORD duration = 0;
  ASSERT_EQ(reader->Command(ConvGetDuration, &duration), kConvSuccess);
  EXPECT_GE(duration, 2000u);
  char title[kTagTextSize] = "";
  reader->Command(ConvGetTitle, title);
  EXPECT_STREQ(title, "Second");
  DWORD length = 1;
  BYTE block[8];
  EXPECT_EQ(reader->Read(block, &length), kConvSuccess);
  EXPECT_EQ(length, 0u) << "the first file's last block went with it";

  EXPECT_EQ(Open(reader.get(), m_dir.File("missing.wma")), kConvFailure);
  EXPECT_EQ(reader->Command(ConvGetFormat, &format), kConvFailure);
  EXPECT_EQ(reader->Read(block, &length), kConvFailure);
}

TEST_F(WmaReader, DestroyDuringDeliveryEndsItCleanly) {
  const std::string file = MakeAsf(m_dir, "ten.wma", 22050, 1, 10.0, {"-c:a", "wmav2"});
  ConverterPtr reader = NewReader();
  ASSERT_EQ(Open(reader.get(), file), kConvSuccess);
  StopLog log;
  reader->SetNotifyCallback(&HoldingCallback, reinterpret_cast<ConverterUserData>(&log));
  ASSERT_EQ(reader->Command(ConvStart, nullptr), kConvSuccess);
  ASSERT_TRUE(qap::testing::WaitFor([&] {
    std::lock_guard lock(log.mutex);
    return log.dataEvents > 0;
  }));
  log.stopping = true;
  reader.reset();
  std::lock_guard lock(log.mutex);
  EXPECT_EQ(log.endEvents, 0) << "closing is not the end of the stream";
  EXPECT_LT(log.dataEvents, 50) << "ten seconds are about 108 blocks";
}

}  // namespace
