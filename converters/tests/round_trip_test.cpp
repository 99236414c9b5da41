// Audio that goes through Wentrix comes back out of Lumbrix with its shape
// and its energy, on its own and along the conversion road where the reader
// feeds the writer as its sample sink.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "converters/tests/converter_test_support.h"

namespace {

using namespace converter_test;

class RoundTrip : public ::testing::Test {
 protected:
  qap::testing::ScratchDir m_dir;
};

TEST_F(RoundTrip, EncodedAudioDecodesToTheSameRateChannelsLengthAndEnergy) {
  struct Case {
    WavFormat format;
    EncodeJob job;
  };
  const Case cases[] = {
      {{44100, 2, 16}, {6, 2, 1, 128, nullptr}},
      {{22050, 1, 8}, {4, 1, 2, 64, nullptr}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.format.rate) + " Hz, " + std::to_string(c.format.channels) +
                 " channels, " + std::to_string(c.format.bits) + " bits");
    const std::vector<BYTE> source = TonePcm(c.format, 3.0);
    const std::string path = m_dir.File("trip" + std::to_string(c.format.rate) + ".wma");
    Encode(path, source, c.job);
    const Decoded decoded = DecodeFile(path);
    ASSERT_EQ(decoded.openResult, kConvSuccess);
    EXPECT_EQ(decoded.format.rateCode, c.job.rateCode);
    EXPECT_EQ(decoded.format.channelCode, c.job.channelCode);
    EXPECT_EQ(decoded.format.sizeCode, 2u) << "compressed audio decodes to 16 bits";
    EXPECT_EQ(decoded.endEvents, 1);
    EXPECT_FALSE(decoded.damage) << "a whole file";

    // Within one frame (2048 samples) of the source, in the header and in
    // the audio delivered.
    const double frameMs = 2048.0 * 1000 / c.format.rate;
    EXPECT_NEAR(decoded.durationMs, 3000.0, frameMs);
    const double samples = static_cast<double>(decoded.pcm.size()) / (2 * c.format.channels);
    EXPECT_NEAR(samples, 3.0 * c.format.rate, 2048.0);

    // A 0.5 amplitude sine has an RMS of 0.354 of full scale.
    const double expected = 0.5 / std::sqrt(2.0) * 32767;
    EXPECT_NEAR(Rms16(decoded.pcm), expected, 0.1 * expected);
  }
}

// The host's side of a conversion: blocks flow from the reader into the
// writer; the callback only waits for the end.
TEST_F(RoundTrip, AReaderFeedsAWriterThroughTheSampleSink) {
  TagRecord tags{};
  std::strcpy(tags.title, "Original");
  std::strcpy(tags.author, "Someone");
  std::strcpy(tags.description, "Converted twice");
  const std::string source = m_dir.File("source.wma");
  Encode(source, TonePcm(WavFormat{32000, 2, 16}, 2.0), {5, 2, 1, 128, &tags});

  const std::string target = m_dir.File("target.wma");
  ConverterPtr reader = NewReader();
  ConverterPtr writer = NewWriter();
  ASSERT_EQ(reader->Command(ConvOpen, const_cast<char*>(source.c_str())), kConvSuccess);
  ASSERT_EQ(writer->Command(ConvOpen, const_cast<char*>(target.c_str())), kConvSuccess);
  std::vector<BYTE> settings = Settings(64);
  writer->Command(ConvSetBitRate, settings.data());
  PcmFormat format{};
  ASSERT_EQ(reader->Command(ConvGetFormat, &format), kConvSuccess);
  ASSERT_EQ(writer->Command(ConvSetInputFormat, &format), kConvSuccess);
  TagRecord carried{};
  reader->Command(ConvGetTitle, carried.title);
  reader->Command(ConvGetAuthor, carried.author);
  reader->Command(ConvGetDescription, carried.description);
  writer->Command(ConvSetTags, &carried);
  writer->Command(ConvStart, nullptr);
  ASSERT_EQ(reader->Command(ConvSetSink, writer.get()), kConvSuccess);
  EventLog log;
  reader->SetNotifyCallback(&EventLog::Callback, log.UserData());
  ASSERT_EQ(reader->Command(ConvStart, nullptr), kConvSuccess);
  ASSERT_TRUE(log.WaitForEnd());
  reader.reset();
  writer.reset();

  const Probe probe = ProbeFile(target);
  EXPECT_EQ(probe.rate, 32000);
  EXPECT_EQ(probe.channels, 2);
  EXPECT_EQ(probe.bitRate, 64000);
  const Tags read = ReadTags(target);
  EXPECT_EQ(read.title, "Original");
  EXPECT_EQ(read.artist, "Someone");
  EXPECT_EQ(read.comment, "Converted twice");
  const Decoded decoded = DecodeFile(target);
  EXPECT_NEAR(static_cast<double>(decoded.pcm.size()) / 4, 64000.0, 2 * 2048.0)
      << "two seconds, with at most a frame of padding from each pass";
}

}  // namespace
