// The options record the layer makes from the player's recording options.
#include <cstdlib>

#include "options/options.h"
#include "suite/quadrin/tests/quadrin_test_support.h"

namespace {

TEST(InitStruct, OptionsGiveBothBitRatesTheTemporaryFolderAndTheHostDefaults) {
  qap::testing::ScratchHive hive;
  qap::testing::ScratchDir temp;
  const char* previous = std::getenv("TMPDIR");
  const std::string saved = previous != nullptr ? previous : "";
  setenv("TMPDIR", temp.Path().c_str(), 1);
  ASSERT_TRUE(LoadOptions());
  GetIRecordingOption().SetWMA_KBPS(64);
  GetIRecordingOption().SetCBR_KBPS(192);
  TQuadrinInitStruct init;
  std::memset(&init, 0xAB, sizeof init);
  const std::int32_t result = ConvertOptionsToTQuadrinInitStruct(&GetIRecordingOption(), &init);
  if (previous != nullptr) {
    setenv("TMPDIR", saved.c_str(), 1);
  } else {
    unsetenv("TMPDIR");
  }
  ASSERT_EQ(result, kQuadrinOk);
  const auto* bytes = reinterpret_cast<const BYTE*>(&init);
  auto word = [&](size_t offset) {
    DWORD value;
    std::memcpy(&value, bytes + offset, sizeof value);
    return value;
  };
  EXPECT_EQ(word(60), 64u);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(bytes + 92)), temp.Path());
  EXPECT_EQ(word(40), 10000u);
  EXPECT_EQ(word(44), 10000u);
  EXPECT_EQ(word(56), 2u);
  EXPECT_EQ(word(64), 16u);
  EXPECT_EQ(word(68), 192u) << "the MP3 bit rate";
  EXPECT_EQ(word(72), 0u);
  EXPECT_EQ(word(76), 0u);
  EXPECT_EQ(word(80), 1u);
  EXPECT_STREQ(reinterpret_cast<const char*>(bytes + 352), "FakeFilter");
  EXPECT_EQ(word(0), 0u);
  EXPECT_EQ(bytes[404] | bytes[405], 0) << "the 16-bit field behind the record";
}

TEST(InitStruct, WithoutAnOptionsObjectNothingIsFilled) {
  TQuadrinInitStruct init;
  std::memset(&init, 0xAB, sizeof init);
  EXPECT_NE(ConvertOptionsToTQuadrinInitStruct(nullptr, &init), kQuadrinOk);
  EXPECT_EQ(init.bitRateKbps, 0xABABABABu);
}

}  // namespace
