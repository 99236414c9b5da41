// The shell services a namespace extension relies on: class-item lists in
// the task allocator, and display names handed back in a STRRET.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "platform/com/com_ptr.h"
#include "platform/shell/counting_malloc.h"
#include "platform/shell/strret.h"

namespace {

std::vector<BYTE> BytesOf(LPCITEMIDLIST list) {
  const auto* bytes = reinterpret_cast<const BYTE*>(list);
  return std::vector<BYTE>(bytes, bytes + ILGetSize(list));
}

TEST(ItemIdLists, ClassPathsBecomeClassItemsInTheShellAllocator) {
  CountingMalloc allocator;
  LPITEMIDLIST list = nullptr;
  ASSERT_EQ(
      SHParseDisplayName(
          u"::{20D04FE0-3AEA-1069-A2D8-08002B30309D}\\::{00112233-4455-6677-8899-aabbccddeeff}",
          nullptr, &list, 0, nullptr),
      S_OK);
  EXPECT_EQ(allocator.Outstanding(), 1u);
  const std::vector<BYTE> expected = {
      20,   0,    0x1F, 0,    0xE0, 0x4F, 0xD0, 0x20, 0xEA, 0x3A, 0x69, 0x10, 0xA2, 0xD8,
      0x08, 0x00, 0x2B, 0x30, 0x30, 0x9D, 20,   0,    0x1F, 0,    0x33, 0x22, 0x11, 0x00,
      0x55, 0x44, 0x77, 0x66, 0x88, 0x99, 0xAA, 0xBB, 0xCC, 0xDD, 0xEE, 0xFF, 0,    0};
  EXPECT_EQ(BytesOf(list), expected);
  ILFree(list);
  EXPECT_EQ(allocator.Outstanding(), 0u);

  SFGAOF attributes = 7;
  for (const char16_t* name : {u"", u"C:\\Music", u"::{20D04FE0-3AEA-1069-A2D8-08002B30309D}\\",
                               u"::20D04FE0-3AEA-1069-A2D8-08002B30309D"}) {
    list = reinterpret_cast<LPITEMIDLIST>(&attributes);
    EXPECT_EQ(SHParseDisplayName(name, nullptr, &list, 0, &attributes), E_INVALIDARG);
    EXPECT_EQ(list, nullptr);
    EXPECT_EQ(attributes, 0u);
  }
  EXPECT_EQ(ILGetSize(nullptr), 0u);
}

TEST(StrRet, EveryFormCopiesIntoTheBufferCutToItsSize) {
  CountingMalloc allocator;
  ComPtr<IMalloc> shell;
  ASSERT_EQ(SHGetMalloc(shell.Out()), S_OK);
  STRRET name{};
  name.uType = STRRET_WSTR;
  name.pOleStr = static_cast<LPWSTR>(shell->Alloc(sizeof u"Play Lists"));
  std::memcpy(name.pOleStr, u"Play Lists", sizeof u"Play Lists");
  char16_t buffer[5];
  ASSERT_EQ(StrRetToBufW(&name, nullptr, buffer, 5), S_OK);
  EXPECT_EQ(std::u16string(buffer), u"Play");
  EXPECT_EQ(allocator.Outstanding(), 0u);

  name.uType = STRRET_CSTR;
  std::strcpy(name.cStr, "Grüße");
  char16_t wide[32];
  ASSERT_EQ(StrRetToBufW(&name, nullptr, wide, 32), S_OK);
  EXPECT_EQ(std::u16string(wide), u"Grüße");

  const BYTE item[] = {8, 0, 'a', 'b', 'c', 0, 0, 0, 0, 0};
  name.uType = STRRET_OFFSET;
  name.uOffset = 2;
  ASSERT_EQ(StrRetToBufW(&name, reinterpret_cast<LPCITEMIDLIST>(item), wide, 32), S_OK);
  EXPECT_EQ(std::u16string(wide), u"abc");
  name.uType = 9;
  EXPECT_EQ(StrRetToBufW(&name, nullptr, wide, 32), E_INVALIDARG);
}

}  // namespace
