// The view-state record as bytes: what a sort leaves in the stream, and
// the streams a view does not trust (short, long, another version, a name
// without its terminator).
#include <gtest/gtest.h>

#include <vector>

#include "shellfolder/view_state.h"

namespace {

std::vector<BYTE> Record(WORD version, BYTE direction, const std::u16string& name) {
  std::vector<BYTE> bytes(kViewStateSize, 0xEE);  // padding and the rest are not significant
  bytes[0] = static_cast<BYTE>(version);
  bytes[1] = static_cast<BYTE>(version >> 8);
  bytes[2] = direction;
  for (size_t i = 0; i < 32; ++i) {
    const char16_t unit = i < name.size() ? name[i] : u'\0';
    bytes[4 + 2 * i] = static_cast<BYTE>(unit);
    bytes[5 + 2 * i] = static_cast<BYTE>(unit >> 8);
  }
  return bytes;
}

TEST(ViewState, ARecordHoldsVersionDirectionAndTheZeroTerminatedName) {
  const auto bytes = EncodeViewState(ViewState{"Artist", false});
  std::vector<BYTE> expected(kViewStateSize, 0);
  expected[0] = 1;
  const char name[] = "Artist";
  for (size_t i = 0; i < 6; ++i) expected[4 + 2 * i] = static_cast<BYTE>(name[i]);
  EXPECT_EQ(std::vector<BYTE>(bytes.begin(), bytes.end()), expected);

  const std::optional<ViewState> read = DecodeViewState(bytes.data(), bytes.size());
  ASSERT_TRUE(read);
  EXPECT_EQ(read->sortName, CString("Artist"));
  EXPECT_FALSE(read->ascending);
}

TEST(ViewState, OnlyOneWholeRecordOfVersionOneIsTakenAndAnUnendedNameIsCut) {
  std::vector<BYTE> good = Record(1, 1, u"Duration");
  ASSERT_TRUE(DecodeViewState(good.data(), good.size()));
  EXPECT_FALSE(DecodeViewState(good.data(), good.size() - 1)) << "shorter";
  std::vector<BYTE> longer = good;
  longer.push_back(0);
  EXPECT_FALSE(DecodeViewState(longer.data(), longer.size())) << "longer";
  std::vector<BYTE> other = Record(2, 1, u"Duration");
  EXPECT_FALSE(DecodeViewState(other.data(), other.size())) << "another version";

  // 32 units and no terminator: the name is cut to 31 characters.
  const std::u16string full(32, u'x');
  std::vector<BYTE> unended = Record(1, 0, full);
  const std::optional<ViewState> read = DecodeViewState(unended.data(), unended.size());
  ASSERT_TRUE(read);
  EXPECT_EQ(read->sortName, CString(std::string(31, 'x')));
  // Writing a long name back keeps its terminator inside the record.
  const auto written = EncodeViewState(ViewState{std::string(40, 'y'), true});
  EXPECT_EQ(written[4 + 2 * 31], 0);
  EXPECT_EQ(written[4 + 2 * 30], 'y');
}

}  // namespace
