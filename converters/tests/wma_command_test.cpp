// qap wma, run as a user runs it: encode, info and decode through the
// components, progress on long files, clear refusals of bad requests, and
// failures that say so: a cut file, a full disk.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "converters/wav_file.h"
#include "platform/testing/file_size_limit.h"
#include "platform/testing/scratch.h"
#include "tools/qap/tests/run_qap.h"

namespace {

using qap::testing::RunQap;

class WmaCommand : public ::testing::Test {
 protected:
  qap::testing::ScratchHive m_hive;
  qap::testing::ScratchDir m_dir;
};

TEST_F(WmaCommand, EncodeInfoAndDecodeCarryTheAudioAndTagsThroughAFile) {
  const std::string wav = m_dir.File("in.wav");
  std::string error;
  // Longer than the few seconds after which progress shows.
  ASSERT_TRUE(WriteToneWav(wav, WavFormat{22050, 1, 16}, 6.0, 440.0, &error)) << error;
  const std::string wma = m_dir.File("out.wma");
  auto result = RunQap({"wma", "encode", wav, wma, "--kbps", "100", "--title", "Grüße",
                        "--author", "An Author", "--description", "Six seconds"});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(result.out, "Encoded " + wav + " (22050 Hz, 16-bit, mono (codes 4, 2, 2)) into " +
                            wma + "\n");
  EXPECT_NE(result.err.find("encoding: 100%"), std::string::npos) << result.err;

  result = RunQap({"wma", "info", wma});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  const std::string head = "File:        " + wma +
                           "\n"
                           "Format:      22050 Hz, 16-bit, mono (codes 4, 2, 2)\n"
                           "Duration:    ";
  EXPECT_EQ(result.out.substr(0, head.size()), head);
  EXPECT_NE(result.out.find("Title:       Grüße\n"
                            "Author:      An Author\n"
                            "Description: Six seconds\n"),
            std::string::npos)
      << result.out;

  const std::string back = m_dir.File("back.wav");
  result = RunQap({"wma", "decode", wma, back});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  EXPECT_NE(result.err.find("decoding: 100%"), std::string::npos) << result.err;
  WavReader reader;
  ASSERT_TRUE(reader.Open(back, &error)) << error;
  EXPECT_EQ(reader.Format().rate, 22050u);
  EXPECT_EQ(reader.Format().channels, 1);
  EXPECT_EQ(reader.Format().bits, 16);
  EXPECT_NEAR(static_cast<double>(reader.DataBytes()) / 2, 6.0 * 22050, 2048.0);
}

TEST_F(WmaCommand, BadRequestsAreRefusedWithWhatIsWrongAndNothingIsLost) {
  const std::string wav = m_dir.File("in.wav");
  std::string error;
  ASSERT_TRUE(WriteToneWav(wav, WavFormat{44100, 2, 16}, 0.5, 440.0, &error)) << error;
  const std::string existing = m_dir.Write("existing.wma", "keep me");

  auto result = RunQap({"wma", "encode", wav, existing});
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_NE(result.err.find("exists; add --force"), std::string::npos) << result.err;
  EXPECT_EQ(qap::testing::ReadFile(existing), "keep me");

  result = RunQap({"wma", "decode", existing, m_dir.File("x.wav")});
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_NE(result.err.find("cannot read " + existing + ": it is not a WMA file"),
            std::string::npos)
      << result.err;
  EXPECT_FALSE(std::filesystem::exists(m_dir.File("x.wav")));
  result = RunQap({"wma", "info", m_dir.File("missing.wma")});
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_NE(result.err.find("it is missing"), std::string::npos) << result.err;

  ASSERT_TRUE(WriteToneWav(m_dir.File("hi.wav"), WavFormat{96000, 2, 16}, 0.1, 440.0, &error));
  result = RunQap({"wma", "encode", m_dir.File("hi.wav"), m_dir.File("hi.wma")});
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_NE(result.err.find("96000 Hz"), std::string::npos) << result.err;
  EXPECT_FALSE(std::filesystem::exists(m_dir.File("hi.wma")));

  EXPECT_EQ(RunQap({"wma"}).exitCode, 2);
  EXPECT_EQ(RunQap({"wma", "play", wav}).exitCode, 2);
  EXPECT_EQ(RunQap({"wma", "encode", wav}).exitCode, 2);
  EXPECT_EQ(RunQap({"wma", "encode", wav, m_dir.File("a.wma"), "--kbps", "fast"}).exitCode, 2);
  result = RunQap({"wma", "encode", wav, m_dir.File("a.wma"), "--title", std::string(300, 't')});
  EXPECT_EQ(result.exitCode, 2);
  EXPECT_NE(result.err.find("longer than 255 bytes"), std::string::npos);
  EXPECT_EQ(RunQap({"wma", "--help"}).exitCode, 0);

  result = RunQap({"wma", "encode", wav, existing, "--force"});
  EXPECT_EQ(result.exitCode, 0) << result.err;
}

TEST_F(WmaCommand, ACutFileIsNoWholeFileAndAFullDiskNoFinishedOne) {
  const std::string wav = m_dir.File("in.wav");
  std::string error;
  ASSERT_TRUE(WriteToneWav(wav, WavFormat{44100, 2, 16}, 20.0, 440.0, &error)) << error;
  const std::string wma = m_dir.File("in.wma");
  ASSERT_EQ(RunQap({"wma", "encode", wav, wma}).exitCode, 0);
  const std::string whole = qap::testing::ReadFile(wma);
  const std::string cut = m_dir.Write("cut.wma", whole.substr(0, whole.size() / 2));
  auto info = RunQap({"wma", "info", wma});
  ASSERT_EQ(info.exitCode, 0);
  const std::string duration = info.out.substr(info.out.find("Duration:"));
  info = RunQap({"wma", "info", cut});
  ASSERT_EQ(info.exitCode, 0) << info.err;
  EXPECT_EQ(info.out.substr(info.out.find("Duration:"), duration.find('\n')),
            duration.substr(0, duration.find('\n')))
      << "the header's duration, also of a file cut short";
  auto result = RunQap({"wma", "decode", cut, m_dir.File("cut.wav")});
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_NE(result.err.find("cannot decode " + cut + " whole: it is damaged: decoding stopped at"),
            std::string::npos)
      << result.err;
  EXPECT_FALSE(std::filesystem::exists(m_dir.File("cut.wav")));

  // The output of either direction is larger than the disk takes.
  const std::string tooLarge = std::strerror(EFBIG);
  {
    qap::testing::FileSizeLimit disk(256 * 1024);
    result = RunQap({"wma", "encode", wav, m_dir.File("out.wma")});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.err.find("cannot write " + m_dir.File("out.wma") + ": " + tooLarge),
              std::string::npos)
        << result.err;
    result = RunQap({"wma", "decode", wma, m_dir.File("out.wav")});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.err.find("cannot write " + m_dir.File("out.wav") + ": " + tooLarge),
              std::string::npos)
        << result.err;
  }
  EXPECT_FALSE(std::filesystem::exists(m_dir.File("out.wma")));
  EXPECT_FALSE(std::filesystem::exists(m_dir.File("out.wav")));
}

}  // namespace
