// The transfer-layer interface Drumlet is compiled against: the slots of the
// communication object and the tag object, and the records as the bytes
// that cross the boundary (their offsets are asserted in the header).
#include <gtest/gtest.h>

#include <cstring>
#include <type_traits>

#include "drumlet/transfer_layer.h"
#include "platform/testing/vtable_slot.h"

namespace {

using qap::testing::SlotOf;

// Records are copied as bytes and may sit at any offset of a block.
static_assert(std::is_trivially_copyable_v<TrackEntry> && alignof(TrackEntry) == 1);
static_assert(std::is_trivially_copyable_v<TagBlock> && alignof(TagBlock) == 1);
static_assert(std::is_trivially_copyable_v<DeviceInfo> && alignof(DeviceInfo) == 1);
static_assert(std::is_trivially_copyable_v<ModuleInfo> && alignof(ModuleInfo) == 1);
static_assert(std::is_trivially_copyable_v<TQuadrinInitStruct>);
static_assert(std::is_trivially_copyable_v<OpenParams>);

TEST(TransferInterface, CommunicationObjectSlotsAreInContractOrder) {
  EXPECT_EQ(SlotOf(&ICommunication::Destroy), 0);
  EXPECT_EQ(SlotOf(&ICommunication::Command), 1);
  EXPECT_EQ(SlotOf(&ICommunication::Read), 2);
  EXPECT_EQ(SlotOf(&ICommunication::Write), 3);
  EXPECT_EQ(SlotOf(&ICommunication::SetNotifyCallback), 4);
}

TEST(TransferInterface, TagObjectGettersAndSettersSitInTheirSlots) {
  EXPECT_EQ(SlotOf(&TagObject::Destroy), 0);
  EXPECT_EQ(SlotOf(&TagObject::GetPresence), 1);
  EXPECT_EQ(SlotOf(&TagObject::Read), 2);
  EXPECT_EQ(SlotOf(&TagObject::Write), 3);
  EXPECT_EQ(SlotOf(&TagObject::GetTitle), 4);
  EXPECT_EQ(SlotOf(&TagObject::GetGenre), 5);
  EXPECT_EQ(SlotOf(&TagObject::GetArtist), 6);
  EXPECT_EQ(SlotOf(&TagObject::GetAlbum), 7);
  EXPECT_EQ(SlotOf(&TagObject::GetYear), 8);
  EXPECT_EQ(SlotOf(&TagObject::GetLengthMs), 9);
  EXPECT_EQ(SlotOf(&TagObject::SetTitle), 10);
  EXPECT_EQ(SlotOf(&TagObject::SetGenre), 11);
  EXPECT_EQ(SlotOf(&TagObject::SetArtist), 12);
  EXPECT_EQ(SlotOf(&TagObject::SetAlbum), 13);
  EXPECT_EQ(SlotOf(&TagObject::SetYear), 14);
}

TEST(TransferInterface, APreparedTrackListIsACountFollowedByWholeEntries) {
  // The block notification 106 hands over, built byte by byte.
  std::vector<BYTE> block(4 + 2 * 2450, 0);
  const DWORD count = 2;
  const DWORD size = 0x01020304;
  std::memcpy(block.data(), &count, 4);
  std::memcpy(block.data() + 4 + 2450 + 1050, &size, 4);
  std::memcpy(block.data() + 4 + 2450 + 1062, "second", 7);
  std::memcpy(block.data() + 4 + 2450 + 1574 + 768, "2001", 5);
  const auto* list = reinterpret_cast<const PreparedTrackList*>(block.data());
  ASSERT_EQ(DWORD{list->count}, 2u);
  EXPECT_EQ(DWORD{list->entries[1].size}, size);
  EXPECT_STREQ(list->entries[1].name, "second");
  EXPECT_STREQ(list->entries[1].tags.year, "2001");
}

}  // namespace
