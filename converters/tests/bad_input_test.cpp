// Files that are not good WMA: the reader refuses them at once with their
// cause, or plays what there is and says what was wrong; nothing crashes or
// hangs.
#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <random>

#include "converters/tests/converter_test_support.h"
#include "platform/base/last_error.h"

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

TEST_F(BadInput, FilesThatAreNotWmaAreRefusedWithTheirCauseAndLeaveNoFileOpen) {
  const std::string good = MakeAsf(m_dir, "good.wma", 44100, 2, 1.0, {"-c:a", "wmav2"});
  const std::string wholeFile = qap::testing::ReadFile(good);
  const std::string wav = MakeToneWav(m_dir, "tone.wav", WavFormat{44100, 2, 16}, 0.5);
  std::filesystem::create_directory(m_dir.File("folder.wma"));
  struct Case {
    const char* what;
    std::string path;
    DWORD cause;  // in the thread's last error
  };
  const Case cases[] = {
      {"empty", m_dir.Write("empty.wma", ""), ERROR_BAD_FORMAT},
      {"header cut short", m_dir.Write("cut.wma", wholeFile.substr(0, 100)), ERROR_FILE_CORRUPT},
      {"WAV renamed", m_dir.Write("renamed.wma", qap::testing::ReadFile(wav)), ERROR_BAD_FORMAT},
      {"random bytes", m_dir.Write("random.wma", RandomBytes(64 * 1024, 7)), ERROR_BAD_FORMAT},
      {"random bytes after an ASF id",
       m_dir.Write("asfid.wma", wholeFile.substr(0, 16) + RandomBytes(4096, 8)), ERROR_FILE_CORRUPT},
      {"missing", m_dir.File("missing.wma"), ERROR_FILE_NOT_FOUND},
      {"a folder", m_dir.File("folder.wma"), Win32ErrorOfErrno(EISDIR)},
      {"an unmapped drive", "Q:\\music\\song.wma", ERROR_PATH_NOT_FOUND},
  };
  ConverterPtr reader = NewReader();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SetLastError(0);
    EXPECT_EQ(reader->Command(ConvOpen, const_cast<char*>(c.path.c_str())), kConvFailure);
    EXPECT_EQ(GetLastError(), c.cause) << SystemMessage(GetLastError());
    PcmFormat format{};
    EXPECT_EQ(reader->Command(ConvGetFormat, &format), kConvFailure);
    EXPECT_EQ(reader->Command(ConvStart, nullptr), kConvFailure);
  }
  // The object is still good for a real file.
  EXPECT_EQ(reader->Command(ConvOpen, const_cast<char*>(good.c_str())), kConvSuccess);
}

TEST_F(BadInput, AFileCutShortPlaysWhatThereIsAndSaysWhereItStopped) {
  const std::string good = MakeAsf(m_dir, "good.wma", 44100, 2, 10.0, {"-c:a", "wmav2"});
  const std::string bytes = qap::testing::ReadFile(good);
  const Decoded whole = DecodeFile(good);
  ASSERT_EQ(whole.openResult, kConvSuccess);
  EXPECT_FALSE(whole.damage) << "a whole file is no damaged one";
  for (const int percent : {10, 50, 99}) {
    SCOPED_TRACE(std::to_string(percent) + "%");
    const std::string cut =
        m_dir.Write("cut" + std::to_string(percent) + ".wma", bytes.substr(0, bytes.size() * percent / 100));
    const Decoded decoded = DecodeFile(cut);
    ASSERT_EQ(decoded.openResult, kConvSuccess) << "the header is intact";
    EXPECT_EQ(decoded.durationMs, whole.durationMs) << "the header's own duration";
    EXPECT_EQ(decoded.endEvents, 1);
    ASSERT_TRUE(decoded.damage);
    const StreamDamage& damage = *decoded.damage;
    EXPECT_EQ(damage.error, static_cast<DWORD>(ERROR_HANDLE_EOF));
    EXPECT_EQ(damage.durationMs, whole.durationMs);
    const double decodedMs = decoded.pcm.size() / 4 / 44.1;
    EXPECT_NEAR(damage.deliveredMs, decodedMs, 2);
    EXPECT_NEAR(damage.stoppedAtMs, decodedMs, 2);
    EXPECT_LT(damage.stoppedAtMs, whole.durationMs);
    EXPECT_NEAR(damage.stoppedAtMs, whole.durationMs * percent / 100.0, 600.0);
  }
}

TEST_F(BadInput, NoiseInTheAudioPlaysWhatThereIsAndEnds) {
  const std::string good = MakeAsf(m_dir, "good.wma", 44100, 2, 2.0, {"-c:a", "wmav2"});
  std::string damaged = qap::testing::ReadFile(good);
  const std::string noise = RandomBytes(4000, 9);
  damaged.replace(damaged.size() / 2, noise.size(), noise);
  const Decoded decoded = DecodeFile(m_dir.Write("noisy.wma", damaged));
  ASSERT_EQ(decoded.openResult, kConvSuccess) << "the header is intact";
  EXPECT_EQ(decoded.endEvents, 1);
  EXPECT_GT(decoded.pcm.size(), 0u);
  EXPECT_LE(decoded.pcm.size(), 4u * 2 * 44100 + 4 * 2048);
  ASSERT_TRUE(decoded.damage) << "packets that could not be decoded";
  EXPECT_EQ(decoded.damage->error, static_cast<DWORD>(ERROR_FILE_CORRUPT));
}

}  // namespace
