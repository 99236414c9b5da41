// Wentrix: the profile chosen by bit rate, the input format built from the
// codes, sample times, tags in the file, and a file that always ends
// complete, or, on a full disk, not at all.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "converters/tests/converter_test_support.h"
#include "platform/base/last_error.h"
#include "platform/testing/file_size_limit.h"

namespace {

using namespace converter_test;

constexpr WavFormat kCd{44100, 2, 16};

std::int32_t Open(Converter* writer, const std::string& path) {
  return writer->Command(ConvOpen, const_cast<char*>(path.c_str()));
}

void SetText(char (&field)[kTagTextSize], const std::string& text) {
  std::memset(field, 0, sizeof field);
  std::memcpy(field, text.data(), std::min(text.size(), sizeof field));
}

class WmaWriter : public ::testing::Test {
 protected:
  qap::testing::ScratchDir m_dir;
};

TEST_F(WmaWriter, TheRequestedBitRateChoosesTheProfile) {
  const std::vector<BYTE> pcm = TonePcm(kCd, 0.5);
  // 4294968 kbit/s is past 2^32 bit/s: no wrap-around to a small rate.
  const std::pair<std::int64_t, std::int64_t> cases[] = {
      {79, 64000},  {80, 96000}, {111, 96000},     {112, 128000},
      {320, 128000}, {0, 64000}, {4294968, 128000}, {-1, 128000}};
  for (const auto& [kbps, expected] : cases) {
    SCOPED_TRACE(kbps < 0 ? std::string("no bit rate command") : std::to_string(kbps) + " kbit/s");
    const std::string path = m_dir.File("rate" + std::to_string(kbps) + ".wma");
    EncodeJob job;
    job.kbps = kbps;
    Encode(path, pcm, job);
    const Probe probe = ProbeFile(path);
    ASSERT_TRUE(probe.ok);
    EXPECT_EQ(probe.codec, "wmav2");
    EXPECT_EQ(probe.bitRate, expected);
  }
}

TEST_F(WmaWriter, TheInputFormatNeedsABitRateFirstAndWritesNeedAFormat) {
  const std::string path = m_dir.File("order.wma");
  ConverterPtr writer = NewWriter();
  ASSERT_EQ(Open(writer.get(), path), kConvSuccess);
  PcmFormat format{6, 2, 1, 0};
  EXPECT_EQ(writer->Command(ConvSetInputFormat, &format), kConvFailure)
      << "no input properties before command 9";
  const std::vector<BYTE> pcm = TonePcm(kCd, 0.1);
  const DWORD length = static_cast<DWORD>(pcm.size());
  EXPECT_EQ(writer->Write(pcm.data(), &length), kConvFailure) << "no format, no sample time";

  std::vector<BYTE> settings = Settings(96);
  EXPECT_EQ(writer->Command(ConvSetBitRate, settings.data()), kConvSuccess);
  PcmFormat unknown{9, 2, 1, 0};
  EXPECT_EQ(writer->Command(ConvSetInputFormat, &unknown), kConvFailure) << "0 Hz";
  EXPECT_EQ(writer->Write(pcm.data(), &length), kConvFailure);
  PcmFormat mono8{2, 1, 2, 0};
  EXPECT_EQ(writer->Command(ConvSetInputFormat, &mono8), kConvSuccess);
  EXPECT_EQ(writer->Command(ConvStart, nullptr), kConvSuccess);
  const std::vector<BYTE> tone = TonePcm(WavFormat{11025, 1, 8}, 1.0);
  const DWORD toneLength = static_cast<DWORD>(tone.size());
  EXPECT_EQ(writer->Write(tone.data(), &toneLength), kConvSuccess);
  // The end marker of a reader without a callback carries no audio.
  EXPECT_EQ(writer->Write(nullptr, &kSinkEndOfStream), kConvFailure);
  writer.reset();

  const Probe probe = ProbeFile(path);
  EXPECT_EQ(probe.rate, 11025);
  EXPECT_EQ(probe.channels, 1);
  EXPECT_EQ(probe.bitRate, 96000);
  const Decoded decoded = DecodeFile(path);
  EXPECT_NEAR(static_cast<double>(decoded.pcm.size()) / 2, 11025.0, 2048.0) << "one second";
}

TEST_F(WmaWriter, EachBlockAdvancesTheSampleTimeByItsBytesOverTheByteRate) {
  // Format {6, 2, 1}: 176400 bytes a second. The first second goes in before
  // the start, so the media layer refuses it, yet the time moves on: the
  // file begins with one second of silence before the second block.
  const std::string path = m_dir.File("times.wma");
  ConverterPtr writer = NewWriter();
  ASSERT_EQ(Open(writer.get(), path), kConvSuccess);
  std::vector<BYTE> settings = Settings(128);
  writer->Command(ConvSetBitRate, settings.data());
  PcmFormat format{6, 2, 1, 0};
  ASSERT_EQ(writer->Command(ConvSetInputFormat, &format), kConvSuccess);
  const std::vector<BYTE> second = TonePcm(kCd, 1.0);
  ASSERT_EQ(second.size(), 176400u);
  const DWORD length = 176400;
  EXPECT_EQ(writer->Write(second.data(), &length), kConvSuccess);
  ASSERT_EQ(writer->Command(ConvStart, nullptr), kConvSuccess);
  EXPECT_EQ(writer->Write(second.data(), &length), kConvSuccess);
  writer.reset();

  const Decoded decoded = DecodeFile(path);
  const size_t frames = decoded.pcm.size() / 4;
  EXPECT_NEAR(static_cast<double>(frames), 88200.0, 2048.0) << "two seconds";
  // Skip a frame around the joint: the codec smears the edge.
  const double silence = Rms16(decoded.pcm, 0, 2 * (44100 - 2048));
  const double tone = Rms16(decoded.pcm, 2 * (44100 + 2048), 2 * (44100 - 4096));
  EXPECT_LT(silence, 100.0);
  EXPECT_GT(tone, 0.8 * Rms16(second));
}

TEST_F(WmaWriter, TagsEndUpInTheContentDescription) {
  TagRecord tags{};
  SetText(tags.title, "Grüße aus Köln");
  SetText(tags.author, "Die Band");
  SetText(tags.description, "Live, 1999");
  const std::string path = m_dir.File("tags.wma");
  EncodeJob job;
  job.tags = &tags;
  Encode(path, TonePcm(kCd, 0.3), job);
  const Tags read = ReadTags(path);
  ASSERT_TRUE(read.ok);
  EXPECT_EQ(read.title, "Grüße aus Köln");
  EXPECT_EQ(read.artist, "Die Band");
  EXPECT_EQ(read.comment, "Live, 1999");
  EXPECT_EQ(ProbeFile(path).codec, "wmav2") << "still a WMA file after the header grew";

  // Fields that fill all 256 bytes without a terminator are read no further.
  std::memset(&tags, 'a', sizeof tags);
  const std::string full = m_dir.File("full.wma");
  Encode(full, TonePcm(kCd, 0.3), job);
  ConverterPtr reader = NewReader();
  ASSERT_EQ(reader->Command(ConvOpen, const_cast<char*>(full.c_str())), kConvSuccess);
  char title[kTagTextSize * 2] = "";
  reader->Command(ConvGetTitle, title);
  EXPECT_EQ(std::string(title), std::string(kTagTextSize - 1, 'a'));
  EXPECT_EQ(ReadTags(full).title, std::string(kTagTextSize, 'a'));
}

TEST_F(WmaWriter, DestroyOrANewOpenFinishesTheFileBeingWritten) {
  const std::string first = m_dir.File("first.wma");
  const std::string second = m_dir.File("second.wma");
  const std::vector<BYTE> pcm = TonePcm(kCd, 1.0);
  ConverterPtr writer = NewWriter();
  ASSERT_EQ(Open(writer.get(), first), kConvSuccess);
  std::vector<BYTE> settings = Settings(64);
  writer->Command(ConvSetBitRate, settings.data());
  PcmFormat format{6, 2, 1, 0};
  writer->Command(ConvSetInputFormat, &format);
  writer->Command(ConvStart, nullptr);
  const DWORD length = static_cast<DWORD>(pcm.size());
  ASSERT_EQ(writer->Write(pcm.data(), &length), kConvSuccess);

  ASSERT_EQ(Open(writer.get(), second), kConvSuccess);
  EXPECT_EQ(writer->Write(pcm.data(), &length), kConvFailure) << "the new file has no format yet";
  writer->Command(ConvSetBitRate, settings.data());
  writer->Command(ConvSetInputFormat, &format);
  writer->Command(ConvStart, nullptr);
  ASSERT_EQ(writer->Write(pcm.data(), &length), kConvSuccess);
  writer.reset();

  for (const std::string& path : {first, second}) {
    SCOPED_TRACE(path);
    const Decoded decoded = DecodeFile(path);
    ASSERT_EQ(decoded.openResult, kConvSuccess);
    EXPECT_NEAR(decoded.durationMs, 1000.0, 50.0);
    EXPECT_NEAR(static_cast<double>(decoded.pcm.size()) / 4, 44100.0, 2048.0);
  }
}

TEST_F(WmaWriter, AStartThatCannotCreateTheFileLeavesTheWriterClosed) {
  ConverterPtr writer = NewWriter();
  ASSERT_EQ(Open(writer.get(), m_dir.File("no/such/folder/out.wma")), kConvSuccess);
  EXPECT_EQ(writer->Command(ConvIsOpen, nullptr), kConvSuccess);
  std::vector<BYTE> settings = Settings(128);
  writer->Command(ConvSetBitRate, settings.data());
  PcmFormat format{6, 2, 1, 0};
  EXPECT_EQ(writer->Command(ConvSetInputFormat, &format), kConvSuccess);
  SetLastError(0);
  EXPECT_EQ(writer->Command(ConvStart, nullptr), kConvSuccess);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND)) << "the reason stays";
  EXPECT_EQ(writer->Command(ConvIsOpen, nullptr), kConvFailure);
  const DWORD length = 4;
  EXPECT_EQ(writer->Write("abcd", &length), kConvFailure);
}

TEST_F(WmaWriter, AFullDiskFailsTheWritesOrTheFinishWithTheReasonAndLeavesNoFile) {
  const std::string path = m_dir.File("full.wma");
  const std::vector<BYTE> pcm = TonePcm(kCd, 10.0);
  std::int32_t destroyed = kConvSuccess;
  bool writeFailed = false;
  DWORD reason = 0;
  {
    // Ten seconds at 128 kbit/s are 160 kB.
    qap::testing::FileSizeLimit disk(64 * 1024);
    ConverterPtr writer = NewWriter();
    ASSERT_EQ(Open(writer.get(), path), kConvSuccess);
    std::vector<BYTE> settings = Settings(128);
    writer->Command(ConvSetBitRate, settings.data());
    PcmFormat format{6, 2, 1, 0};
    ASSERT_EQ(writer->Command(ConvSetInputFormat, &format), kConvSuccess);
    writer->Command(ConvStart, nullptr);
    ASSERT_EQ(writer->Command(ConvIsOpen, nullptr), kConvSuccess);
    for (size_t offset = 0; offset < pcm.size() && !writeFailed; offset += 4096) {
      const auto length = static_cast<DWORD>(std::min<size_t>(4096, pcm.size() - offset));
      SetLastError(0);
      writeFailed = writer->Write(pcm.data() + offset, &length) != kConvSuccess;
      reason = GetLastError();
    }
    if (!writeFailed) {
      SetLastError(0);
      destroyed = DestroyConverter(writer);
      reason = GetLastError();
    }
  }
  EXPECT_TRUE(writeFailed || destroyed == kConvFailure) << "a cut file passed as finished";
  EXPECT_EQ(reason, static_cast<DWORD>(ERROR_FILE_TOO_LARGE)) << SystemMessage(reason);
  EXPECT_FALSE(std::filesystem::exists(path));
}

TEST_F(WmaWriter, AnOutputNameTooLongToKeepIsRefusedRatherThanCut) {
  const std::string longName = m_dir.Path() + "/" + std::string(1100, 'n') + ".wma";
  ConverterPtr writer = NewWriter();
  EXPECT_EQ(Open(writer.get(), longName), kConvFailure);
  EXPECT_EQ(writer->Command(ConvIsOpen, nullptr), kConvFailure);
}

}  // namespace
