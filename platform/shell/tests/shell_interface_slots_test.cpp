// The shell interfaces keep every member at its slot: folders, enumerators,
// icon extractors and allocators from other modules are called by index.
#include <gtest/gtest.h>

#include "platform/shell/extract_icon.h"
#include "platform/shell/shell_folder.h"
#include "platform/shell/shell_malloc.h"
#include "platform/testing/vtable_slot.h"

namespace {

using qap::testing::SlotOf;

TEST(ShellInterfaceSlots, ShellFolderMembersFollowIUnknownsThree) {
  EXPECT_EQ(SlotOf(&IShellFolder::QueryInterface), 0);
  EXPECT_EQ(SlotOf(&IShellFolder::Release), 2);
  EXPECT_EQ(SlotOf(&IShellFolder::ParseDisplayName), 3);
  EXPECT_EQ(SlotOf(&IShellFolder::EnumObjects), 4);
  EXPECT_EQ(SlotOf(&IShellFolder::BindToObject), 5);
  EXPECT_EQ(SlotOf(&IShellFolder::BindToStorage), 6);
  EXPECT_EQ(SlotOf(&IShellFolder::CompareIDs), 7);
  EXPECT_EQ(SlotOf(&IShellFolder::CreateViewObject), 8);
  EXPECT_EQ(SlotOf(&IShellFolder::GetAttributesOf), 9);
  EXPECT_EQ(SlotOf(&IShellFolder::GetUIObjectOf), 10);
  EXPECT_EQ(SlotOf(&IShellFolder::GetDisplayNameOf), 11);
  EXPECT_EQ(SlotOf(&IShellFolder::SetNameOf), 12);
}

TEST(ShellInterfaceSlots, EnumeratorPersistenceIconAndAllocatorMembersSitAtTheirSlots) {
  EXPECT_EQ(SlotOf(&IEnumIDList::Next), 3);
  EXPECT_EQ(SlotOf(&IEnumIDList::Skip), 4);
  EXPECT_EQ(SlotOf(&IEnumIDList::Reset), 5);
  EXPECT_EQ(SlotOf(&IEnumIDList::Clone), 6);

  EXPECT_EQ(SlotOf(&IPersistFolder2::GetClassID), 3);
  EXPECT_EQ(SlotOf(&IPersistFolder2::Initialize), 4);
  EXPECT_EQ(SlotOf(&IPersistFolder2::GetCurFolder), 5);

  EXPECT_EQ(SlotOf(&IExtractIconA::GetIconLocation), 3);
  EXPECT_EQ(SlotOf(&IExtractIconA::Extract), 4);
  EXPECT_EQ(SlotOf(&IExtractIconW::GetIconLocation), 3);
  EXPECT_EQ(SlotOf(&IExtractIconW::Extract), 4);

  EXPECT_EQ(SlotOf(&IMalloc::Alloc), 3);
  EXPECT_EQ(SlotOf(&IMalloc::Realloc), 4);
  EXPECT_EQ(SlotOf(&IMalloc::Free), 5);
  EXPECT_EQ(SlotOf(&IMalloc::GetSize), 6);
  EXPECT_EQ(SlotOf(&IMalloc::DidAlloc), 7);
  EXPECT_EQ(SlotOf(&IMalloc::HeapMinimize), 8);
}

}  // namespace
