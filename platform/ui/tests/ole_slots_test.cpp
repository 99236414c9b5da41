// The OLE interfaces keep every member at its slot: data objects, drop
// sources and targets and hosted controls come from other modules and are
// called by index.
#include <gtest/gtest.h>

#include "platform/testing/vtable_slot.h"
#include "platform/ui/ole.h"

namespace {

using qap::testing::SlotOf;

TEST(OleSlots, DataObjectAndFormatEnumeratorMembersFollowIUnknownsThree) {
  EXPECT_EQ(SlotOf(&IDataObject::GetData), 3);
  EXPECT_EQ(SlotOf(&IDataObject::GetDataHere), 4);
  EXPECT_EQ(SlotOf(&IDataObject::QueryGetData), 5);
  EXPECT_EQ(SlotOf(&IDataObject::GetCanonicalFormatEtc), 6);
  EXPECT_EQ(SlotOf(&IDataObject::SetData), 7);
  EXPECT_EQ(SlotOf(&IDataObject::EnumFormatEtc), 8);
  EXPECT_EQ(SlotOf(&IDataObject::DAdvise), 9);
  EXPECT_EQ(SlotOf(&IDataObject::DUnadvise), 10);
  EXPECT_EQ(SlotOf(&IDataObject::EnumDAdvise), 11);

  EXPECT_EQ(SlotOf(&IEnumFORMATETC::Next), 3);
  EXPECT_EQ(SlotOf(&IEnumFORMATETC::Skip), 4);
  EXPECT_EQ(SlotOf(&IEnumFORMATETC::Reset), 5);
  EXPECT_EQ(SlotOf(&IEnumFORMATETC::Clone), 6);
}

TEST(OleSlots, DropSourceTargetAndHostedControlMembersSitAtTheirSlots) {
  EXPECT_EQ(SlotOf(&IDropSource::QueryContinueDrag), 3);
  EXPECT_EQ(SlotOf(&IDropSource::GiveFeedback), 4);

  EXPECT_EQ(SlotOf(&IDropTarget::DragEnter), 3);
  EXPECT_EQ(SlotOf(&IDropTarget::DragOver), 4);
  EXPECT_EQ(SlotOf(&IDropTarget::DragLeave), 5);
  EXPECT_EQ(SlotOf(&IDropTarget::Drop), 6);

  EXPECT_EQ(SlotOf(&IHostedControl::CreateControlWindow), 3);
  EXPECT_EQ(SlotOf(&IHostedControl::MoveControlWindow), 4);
  EXPECT_EQ(SlotOf(&IHostedControl::DestroyControlWindow), 5);

  EXPECT_EQ(SlotOf(&IProvideClassInfo2::GetClassInfo), 3);
  EXPECT_EQ(SlotOf(&IProvideClassInfo2::GetGUID), 4);
}

}  // namespace
