// Image lists cut from bitmap strips with a mask colour, filled from icons,
// and what the driver hands on of them.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "platform/base/last_error.h"
#include "platform/ui/commctrl.h"
#include "platform/ui/driver.h"
#include "platform/ui/gdi.h"
#include "platform/ui/resources.h"
#include "platform/ui/window_api.h"

void UiTestImages(ui::res::ModuleResources* resources);

namespace {

constexpr int kStrip = 100;     // two 17-pixel images on white: red, blue
constexpr int kBadStrip = 101;  // 35 pixels wide

HINSTANCE TestModule() {
  static const ui::res::ModuleResources resources = [] {
    ui::res::ModuleResources made;
    UiTestImages(&made);
    return made;
  }();
  static const HINSTANCE module = ui::res::RegisterModuleResources(&resources);
  return module;
}

std::uint32_t PixelAt(const ui::Pixels& image, int x, int y) {
  return image.data[static_cast<size_t>(y) * image.width + x];
}

TEST(ImageList, StripIsCutByWidthWithItsMaskColourTransparent) {
  HIMAGELIST list = ImageList_LoadBitmap(TestModule(), MAKEINTRESOURCEA(kStrip), 17, 1, RGB(255, 255, 255));
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(ImageList_GetImageCount(list), 2);
  EXPECT_EQ(ui::driver::ImageCount(list), 2);
  int cx = 0, cy = 0;
  ASSERT_TRUE(ImageList_GetIconSize(list, &cx, &cy));
  EXPECT_EQ(cx, 17);
  EXPECT_EQ(cy, 17);
  ui::Pixels first, second;
  ASSERT_TRUE(ui::driver::GetImage(list, 0, &first));
  ASSERT_TRUE(ui::driver::GetImage(list, 1, &second));
  EXPECT_EQ(first.width, 17);
  EXPECT_EQ(PixelAt(first, 0, 0) >> 24, 0u);  // white: the mask colour
  EXPECT_EQ(PixelAt(first, 8, 8), 0xFFFF0000u);
  EXPECT_EQ(PixelAt(second, 8, 8), 0xFF0000FFu);
  EXPECT_FALSE(ui::driver::GetImage(list, 2, &first));

  // An icon appends at -1, replaces at an index, and is brought to size.
  HICON icon = ui::res::CreateIconFromPixels(ui::Pixels{2, 2, {0xFF00FF00, 0xFF00FF00, 0xFF00FF00, 0xFF00FF00}});
  EXPECT_EQ(ImageList_ReplaceIcon(list, -1, icon), 2);
  EXPECT_EQ(ImageList_ReplaceIcon(list, 0, icon), 0);
  EXPECT_EQ(ImageList_ReplaceIcon(list, 7, icon), -1);
  ASSERT_TRUE(ui::driver::GetImage(list, 2, &first));
  EXPECT_EQ(first.width, 17);
  EXPECT_EQ(PixelAt(first, 16, 16), 0xFF00FF00u);
  EXPECT_TRUE(ImageList_Remove(list, 1));
  EXPECT_EQ(ImageList_GetImageCount(list), 2);
  DestroyIcon(icon);

  // Gone is gone: every call on the old handle fails.
  EXPECT_TRUE(ImageList_Destroy(list));
  EXPECT_FALSE(ImageList_Destroy(list));
  EXPECT_EQ(ImageList_GetImageCount(list), 0);
  EXPECT_EQ(ui::driver::ImageCount(list), 0);
}

TEST(ImageList, StripNotAWholeNumberOfImagesWideIsRefused) {
  SetLastError(0);
  EXPECT_EQ(ImageList_LoadBitmap(TestModule(), MAKEINTRESOURCEA(kBadStrip), 17, 1, RGB(255, 255, 255)), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  EXPECT_EQ(ImageList_LoadBitmap(TestModule(), MAKEINTRESOURCEA(999), 17, 1, CLR_NONE), nullptr);

  HIMAGELIST list = ImageList_Create(17, 17, ILC_COLOR32 | ILC_MASK, 4, 4);
  HBITMAP bad = LoadBitmapA(TestModule(), MAKEINTRESOURCEA(kBadStrip));
  EXPECT_EQ(ImageList_AddMasked(list, bad, RGB(255, 255, 255)), -1);
  EXPECT_EQ(ImageList_GetImageCount(list), 0);
  // A mask bitmap: white in it is transparent in the image.
  HBITMAP strip = LoadBitmapA(TestModule(), MAKEINTRESOURCEA(kStrip));
  EXPECT_EQ(ImageList_Add(list, strip, strip), 0);
  ui::Pixels image;
  ASSERT_TRUE(ui::driver::GetImage(list, 1, &image));
  EXPECT_EQ(PixelAt(image, 0, 0) >> 24, 0u);
  EXPECT_EQ(PixelAt(image, 8, 8), 0xFF0000FFu);
  DeleteObject(bad);
  DeleteObject(strip);
  ImageList_Destroy(list);
}

BOOL CollectName(HMODULE, LPCSTR, LPSTR name, LONG_PTR param) {
  auto* ids = reinterpret_cast<std::vector<int>*>(param);
  ids->push_back(static_cast<int>(reinterpret_cast<std::uintptr_t>(name)));
  return ids->size() < 5;
}

TEST(ImageList, AModulesBitmapsAreEnumeratedInIdOrderAndMissingTypesFail) {
  std::vector<int> ids;
  ASSERT_TRUE(EnumResourceNamesA(TestModule(), RT_BITMAP, CollectName, reinterpret_cast<LONG_PTR>(&ids)));
  EXPECT_EQ(ids, (std::vector<int>{kStrip, kBadStrip}));
  SetLastError(0);
  EXPECT_FALSE(EnumResourceNamesA(TestModule(), RT_GROUP_ICON, CollectName, reinterpret_cast<LONG_PTR>(&ids)));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_TYPE_NOT_FOUND));
}

}  // namespace
