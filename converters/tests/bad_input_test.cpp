// Files that are not good WMA: the reader refuses them at once, or plays
// what there is and ends; nothing crashes or hangs.
#include <gtest/gtest.h>

#include <filesystem>
#include <random>

#include "converters/tests/converter_test_support.h"

namespace {

using namespace converter_test;

class BadInput : public ::testing::Test {
 protected:
  qap::testing::ScratchDir m_dir;
};

std::string RandomBytes(size_t size, unsigned seed) {
  std::mt19937 random(seed);
  std::string bytes(size, '\0');
  for (char& byte : bytes) byte = static_cast<char>(random());
  return bytes;
}

TEST_F(BadInput, FilesThatAreNotWmaAreRefusedAndLeaveNoFileOpen) {
  const std::string good = MakeAsf(m_dir, "good.wma", 44100, 2, 1.0, {"-c:a", "wmav2"});
  const std::string wholeFile = qap::testing::ReadFile(good);
  const std::string wav = MakeToneWav(m_dir, "tone.wav", WavFormat{44100, 2, 16}, 0.5);
  std::filesystem::create_directory(m_dir.File("folder.wma"));
  const std::pair<const char*, std::string> cases[] = {
      {"empty", m_dir.Write("empty.wma", "")},
      {"header cut short", m_dir.Write("cut.wma", wholeFile.substr(0, 100))},
      {"WAV renamed", m_dir.Write("renamed.wma", qap::testing::ReadFile(wav))},
      {"random bytes", m_dir.Write("random.wma", RandomBytes(64 * 1024, 7))},
      {"random bytes after an ASF id", m_dir.Write("asfid.wma", wholeFile.substr(0, 16) +
                                                                    RandomBytes(4096, 8))},
      {"missing", m_dir.File("missing.wma")},
      {"a folder", m_dir.File("folder.wma")},
      {"an unmapped drive", "Q:\\music\\song.wma"},
  };
  ConverterPtr reader = NewReader();
  for (const auto& [what, path] : cases) {
    SCOPED_TRACE(what);
    EXPECT_EQ(reader->Command(ConvOpen, const_cast<char*>(path.c_str())), kConvFailure);
    PcmFormat format{};
    EXPECT_EQ(reader->Command(ConvGetFormat, &format), kConvFailure);
    EXPECT_EQ(reader->Command(ConvStart, nullptr), kConvFailure);
  }
  // The object is still good for a real file.
  EXPECT_EQ(reader->Command(ConvOpen, const_cast<char*>(good.c_str())), kConvSuccess);
}

TEST_F(BadInput, AFileCutOrDamagedInItsAudioPlaysWhatThereIsAndEnds) {
  const std::string good = MakeAsf(m_dir, "good.wma", 44100, 2, 2.0, {"-c:a", "wmav2"});
  const std::string bytes = qap::testing::ReadFile(good);
  std::string damaged = bytes;
  const std::string noise = RandomBytes(4000, 9);
  damaged.replace(damaged.size() / 2, noise.size(), noise);
  const std::pair<const char*, std::string> cases[] = {
      {"cut in the audio", m_dir.Write("cut.wma", bytes.substr(0, bytes.size() * 2 / 3))},
      {"noise in the audio", m_dir.Write("noisy.wma", damaged)},
  };
  for (const auto& [what, path] : cases) {
    SCOPED_TRACE(what);
    const Decoded decoded = DecodeFile(path);
    ASSERT_EQ(decoded.openResult, kConvSuccess) << "the header is intact";
    EXPECT_EQ(decoded.endEvents, 1);
    EXPECT_GT(decoded.pcm.size(), 0u);
    EXPECT_LE(decoded.pcm.size(), 4u * 2 * 44100 + 4 * 2048);
  }
}

}  // namespace
