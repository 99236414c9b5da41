// Global memory blocks: locks, sizes, growth, and handles that are no
// longer (or never were) blocks.
#include "platform/ui/ole/global_memory.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "platform/base/last_error.h"

namespace {

TEST(GlobalMemory, MovableBlocksCountTheirLocksKeepTheirBytesAndDieCleanly) {
  HGLOBAL memory = GlobalAlloc(GHND, 10);
  ASSERT_NE(memory, nullptr);
  EXPECT_EQ(GlobalSize(memory), 10u);
  auto* bytes = static_cast<BYTE*>(GlobalLock(memory));
  ASSERT_NE(bytes, nullptr);
  EXPECT_EQ(std::count(bytes, bytes + 10, 0), 10);
  std::memcpy(bytes, "0123456789", 10);
  EXPECT_EQ(GlobalLock(memory), bytes);
  EXPECT_TRUE(GlobalUnlock(memory));
  EXPECT_FALSE(GlobalUnlock(memory));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS));
  EXPECT_FALSE(GlobalUnlock(memory));
  EXPECT_EQ(GetLastError(), ERROR_NOT_LOCKED);

  ASSERT_EQ(GlobalReAlloc(memory, 16, GMEM_ZEROINIT), memory);
  EXPECT_EQ(GlobalSize(memory), 16u);
  bytes = static_cast<BYTE*>(GlobalLock(memory));
  EXPECT_EQ(std::memcmp(bytes, "0123456789\0\0\0\0\0\0", 16), 0);
  GlobalUnlock(memory);
  ASSERT_EQ(GlobalReAlloc(memory, 4, 0), memory);
  EXPECT_EQ(GlobalSize(memory), 4u);

  EXPECT_EQ(GlobalFree(memory), nullptr);
  for (HGLOBAL stale : {memory, reinterpret_cast<HGLOBAL>(0x1234)}) {
    SetLastError(0);
    EXPECT_EQ(GlobalSize(stale), 0u);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    EXPECT_EQ(GlobalLock(stale), nullptr);
    EXPECT_FALSE(GlobalUnlock(stale));
    EXPECT_EQ(GlobalReAlloc(stale, 8, 0), nullptr);
    EXPECT_EQ(GlobalFree(stale), stale);
  }
  HGLOBAL next = GlobalAlloc(GMEM_MOVEABLE, 1);
  EXPECT_NE(next, memory) << "a handle is never handed out twice";
  GlobalFree(next);
}

TEST(GlobalMemory, FixedBlocksAreTheirAddressAndMoveOnlyWhenAllowed) {
  HGLOBAL fixed = GlobalAlloc(GPTR, 8);
  ASSERT_NE(fixed, nullptr);
  EXPECT_EQ(GlobalLock(fixed), fixed);
  EXPECT_TRUE(GlobalUnlock(fixed));
  std::memcpy(fixed, "abcdefg", 8);
  EXPECT_EQ(GlobalReAlloc(fixed, 4096, 0), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_ENOUGH_MEMORY));
  HGLOBAL moved = GlobalReAlloc(fixed, 4096, GMEM_MOVEABLE);
  ASSERT_NE(moved, nullptr);
  EXPECT_EQ(GlobalSize(moved), 4096u);
  EXPECT_STREQ(static_cast<char*>(moved), "abcdefg");
  if (moved != fixed) {
    EXPECT_EQ(GlobalSize(fixed), 0u);
  }
  GlobalFree(moved);

  HGLOBAL discarded = GlobalAlloc(GMEM_MOVEABLE, 0);
  ASSERT_NE(discarded, nullptr);
  EXPECT_EQ(GlobalLock(discarded), nullptr);
  EXPECT_EQ(GlobalSize(discarded), 0u);
  GlobalFree(discarded);
  EXPECT_EQ(GlobalAlloc(0x8000, 4), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

}  // namespace
