// The private clipboard block byte for byte, and blocks that lie about
// their count.
#include "shellfolder/transfer_block.h"

#include <gtest/gtest.h>

#include <vector>

#include "shellfolder/music_item.h"

namespace cobrell {
namespace {

std::vector<BYTE> Word(DWORD value) {
  return {static_cast<BYTE>(value), static_cast<BYTE>(value >> 8), static_cast<BYTE>(value >> 16),
          static_cast<BYTE>(value >> 24)};
}

void Append(std::vector<BYTE>* to, const std::vector<BYTE>& bytes) {
  to->insert(to->end(), bytes.begin(), bytes.end());
}

TEST(TransferBlock, TwoSongsAreTheHeaderTheIdsAndThePathsInAZeroFilledBlock) {
  TransferBlock block;
  block.sourceKind = kKindPlaylist;
  block.sourceId = 7;
  block.flag = kTransferCut;
  block.ids = {12, 0x01020304};
  block.paths = {u"/m/a.mp3", u"C:\\\u00e9.wav"};
  const std::vector<BYTE> bytes = EncodeTransferBlock(block);

  std::vector<BYTE> expected;
  for (DWORD value : {5u, 7u, 1u, 2u, 12u, 0x01020304u}) Append(&expected, Word(value));
  for (const std::u16string& path : block.paths) {
    for (char16_t unit : path)
      Append(&expected, {static_cast<BYTE>(unit), static_cast<BYTE>(unit >> 8)});
    Append(&expected, {0, 0});
  }
  expected.resize(2 * 526 + 24, 0);
  EXPECT_EQ(bytes, expected);

  const auto read = DecodeTransferBlock(bytes.data(), bytes.size());
  ASSERT_TRUE(read);
  EXPECT_EQ(read->ids, block.ids);
  EXPECT_EQ(read->paths, block.paths);
  EXPECT_EQ(read->flag, kTransferCut);
}

TEST(TransferBlock, PlaylistsCarryIdsOnlyAndTheirSourceIdIsZero) {
  TransferBlock block;
  block.sourceKind = kKindPlayLists;
  block.sourceId = 9;
  block.ids = {3};
  const std::vector<BYTE> bytes = EncodeTransferBlock(block);
  ASSERT_EQ(bytes.size(), 526u + 24u);
  EXPECT_EQ(std::vector<BYTE>(bytes.begin() + 4, bytes.begin() + 8), Word(0));
  EXPECT_EQ(std::vector<BYTE>(bytes.begin() + 16, bytes.begin() + 20), Word(3));
  EXPECT_TRUE(std::all_of(bytes.begin() + 20, bytes.end(), [](BYTE b) { return b == 0; }));
}

TEST(TransferBlock, APathLongerThanTheBlockHoldsIsLeftOutAndNotCounted) {
  TransferBlock block;
  block.sourceKind = kKindPlaylist;
  block.ids = {1, 2};
  block.paths = {std::u16string(261, u'x'), std::u16string(260, u'y')};
  size_t leftOut = 0;
  const std::vector<BYTE> bytes = EncodeTransferBlock(block, &leftOut);
  EXPECT_EQ(leftOut, 1u);
  ASSERT_EQ(bytes.size(), 526u + 24u);
  const auto read = DecodeTransferBlock(bytes.data(), bytes.size());
  ASSERT_TRUE(read);
  EXPECT_EQ(read->ids, std::vector<DWORD>{2});
  EXPECT_EQ(read->paths, std::vector<std::u16string>{std::u16string(260, u'y')});
}

TEST(TransferBlock, ABlockWhoseCountDoesNotMatchItsSizeOrWhosePathRunsOnIsRefused) {
  TransferBlock block;
  block.sourceKind = kKindPlaylist;
  block.ids = {1};
  block.paths = {u"/a.mp3"};
  std::vector<BYTE> bytes = EncodeTransferBlock(block);
  EXPECT_FALSE(DecodeTransferBlock(bytes.data(), bytes.size() - 1));
  bytes[12] = 200;  // a count the block has no room for
  EXPECT_FALSE(DecodeTransferBlock(bytes.data(), bytes.size()));
  bytes[12] = 0xFF;
  bytes[15] = 0xFF;  // a count whose size wraps round
  EXPECT_FALSE(DecodeTransferBlock(bytes.data(), bytes.size()));
  std::vector<BYTE> endless = EncodeTransferBlock(block);
  std::fill(endless.begin() + 20, endless.end(), 'x');
  EXPECT_FALSE(DecodeTransferBlock(endless.data(), endless.size()));
  EXPECT_FALSE(DecodeTransferBlock(endless.data(), 10));
}

}  // namespace
}  // namespace cobrell
