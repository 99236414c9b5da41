// Image lists: images of one size cut from bitmap strips or taken from
// icons, kept as pixels in the handle table; a mask makes pixels
// transparent (alpha 0), which is how the driver hands them on.
#include <algorithm>
#include <memory>
#include <mutex>
#include <utility>
#include <vector>

#include "platform/base/last_error.h"
#include "platform/ui/commctrl.h"
#include "platform/ui/core/handle_table.h"
#include "platform/ui/driver.h"
#include "platform/ui/gdi.h"
#include "platform/ui/resources.h"

namespace ui::controls {

namespace {

using core::HandleTable;
using core::ObjectKind;

class ImageListObject : public core::UserObject {
 public:
  ImageListObject(int cx, int cy, UINT flags)
      : UserObject(ObjectKind::kImageList), width(cx), height(cy), flags(flags) {}

  // Image lists may be shared between threads (one list, several views).
  std::mutex mutex;
  const int width;
  const int height;
  const UINT flags;
  COLORREF background = CLR_NONE;
  std::vector<Pixels> images;
};

std::shared_ptr<ImageListObject> Find(HIMAGELIST list) {
  auto object = HandleTable::Get().Find<ImageListObject>(list, ObjectKind::kImageList);
  if (!object) SetLastError(ERROR_INVALID_HANDLE);
  return object;
}

bool SameColor(std::uint32_t pixel, COLORREF color) {
  return ((pixel >> 16) & 0xFF) == GetRValue(color) && ((pixel >> 8) & 0xFF) == GetGValue(color) &&
         (pixel & 0xFF) == GetBValue(color);
}

// Monochrome masks are white where the image is transparent.
bool MaskSet(std::uint32_t pixel) {
  int sum = static_cast<int>(((pixel >> 16) & 0xFF) + ((pixel >> 8) & 0xFF) + (pixel & 0xFF));
  return sum >= 3 * 128;
}

// The image at column `index` of a strip, at the list's size; what lies
// outside the strip stays transparent.
Pixels Cut(const ImageListObject& list, const Pixels& strip, int index) {
  Pixels image{list.width, list.height,
               std::vector<std::uint32_t>(static_cast<size_t>(list.width) * list.height, 0)};
  int rows = std::min(list.height, strip.height);
  for (int y = 0; y < rows; ++y) {
    for (int x = 0; x < list.width; ++x) {
      int sx = index * list.width + x;
      if (sx >= strip.width) break;
      image.data[static_cast<size_t>(y) * list.width + x] =
          strip.data[static_cast<size_t>(y) * strip.width + sx];
    }
  }
  return image;
}

// Appends the images of a strip; a strip that is not a whole number of
// images wide is refused, and so is one narrower than a single image.
int AddStrip(HIMAGELIST handle, const Pixels& strip, const Pixels* mask, const COLORREF* maskColor) {
  auto list = Find(handle);
  if (!list) return -1;
  if (strip.width < list->width || strip.width % list->width != 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return -1;
  }
  std::lock_guard lock(list->mutex);
  bool masked = (list->flags & ILC_MASK) != 0;
  COLORREF color = maskColor != nullptr ? *maskColor : CLR_NONE;
  if (color == CLR_DEFAULT && !strip.data.empty()) {
    std::uint32_t corner = strip.data.front();
    color = RGB(static_cast<BYTE>(corner >> 16), static_cast<BYTE>(corner >> 8),
                static_cast<BYTE>(corner));
  }
  int first = static_cast<int>(list->images.size());
  for (int index = 0; index < strip.width / list->width; ++index) {
    Pixels image = Cut(*list, strip, index);
    Pixels imageMask = mask != nullptr ? Cut(*list, *mask, index) : Pixels{};
    for (size_t i = 0; i < image.data.size(); ++i) {
      std::uint32_t& pixel = image.data[i];
      bool transparent = false;
      if (masked && mask != nullptr) transparent = MaskSet(imageMask.data[i]);
      if (masked && color != CLR_NONE) transparent = transparent || SameColor(pixel, color);
      if (transparent) pixel &= 0x00FFFFFF;
    }
    list->images.push_back(std::move(image));
  }
  return first;
}

// Nearest-neighbour scaling, as an icon of another size is drawn into the list.
Pixels Scaled(const Pixels& source, int width, int height) {
  if (source.width == width && source.height == height) return source;
  Pixels out{width, height, std::vector<std::uint32_t>(static_cast<size_t>(width) * height, 0)};
  if (source.width == 0 || source.height == 0) return out;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      int sx = x * source.width / width;
      int sy = y * source.height / height;
      out.data[static_cast<size_t>(y) * width + x] =
          source.data[static_cast<size_t>(sy) * source.width + sx];
    }
  }
  return out;
}

}  // namespace

}  // namespace ui::controls

using namespace ui::controls;
using ui::Pixels;

void InitCommonControls() {}

BOOL InitCommonControlsEx(const INITCOMMONCONTROLSEX* init) {
  return init != nullptr && init->dwSize == sizeof(INITCOMMONCONTROLSEX) ? TRUE : FALSE;
}

HIMAGELIST ImageList_Create(int cx, int cy, UINT flags, int initial, int) {
  if (cx <= 0 || cy <= 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  auto list = std::make_shared<ImageListObject>(cx, cy, flags);
  list->images.reserve(static_cast<size_t>(std::max(0, initial)));
  return ui::core::AsHandle<HIMAGELIST>(HandleTable::Get().Insert(list));
}

BOOL ImageList_Destroy(HIMAGELIST list) {
  if (!Find(list)) return FALSE;
  HandleTable::Get().Remove(ui::core::HandleValue(list));
  return TRUE;
}

int ImageList_GetImageCount(HIMAGELIST handle) {
  auto list = Find(handle);
  if (!list) return 0;
  std::lock_guard lock(list->mutex);
  return static_cast<int>(list->images.size());
}

BOOL ImageList_GetIconSize(HIMAGELIST handle, int* cx, int* cy) {
  auto list = Find(handle);
  if (!list || cx == nullptr || cy == nullptr) return FALSE;
  *cx = list->width;
  *cy = list->height;
  return TRUE;
}

int ImageList_Add(HIMAGELIST list, HBITMAP image, HBITMAP mask) {
  Pixels strip, maskPixels;
  if (!ui::res::BitmapPixels(image, &strip)) {
    SetLastError(ERROR_INVALID_HANDLE);
    return -1;
  }
  bool hasMask = mask != nullptr && ui::res::BitmapPixels(mask, &maskPixels);
  return AddStrip(list, strip, hasMask ? &maskPixels : nullptr, nullptr);
}

int ImageList_AddMasked(HIMAGELIST list, HBITMAP image, COLORREF mask) {
  Pixels strip;
  if (!ui::res::BitmapPixels(image, &strip)) {
    SetLastError(ERROR_INVALID_HANDLE);
    return -1;
  }
  return AddStrip(list, strip, nullptr, &mask);
}

int ImageList_ReplaceIcon(HIMAGELIST handle, int index, HICON icon) {
  auto list = Find(handle);
  Pixels pixels;
  if (!list) return -1;
  if (!ui::res::IconPixels(icon, &pixels)) {
    SetLastError(ERROR_INVALID_HANDLE);
    return -1;
  }
  Pixels image = Scaled(pixels, list->width, list->height);
  std::lock_guard lock(list->mutex);
  if (index == -1) {
    list->images.push_back(std::move(image));
    return static_cast<int>(list->images.size()) - 1;
  }
  if (index < 0 || index >= static_cast<int>(list->images.size())) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return -1;
  }
  list->images[static_cast<size_t>(index)] = std::move(image);
  return index;
}

BOOL ImageList_Remove(HIMAGELIST handle, int index) {
  auto list = Find(handle);
  if (!list) return FALSE;
  std::lock_guard lock(list->mutex);
  if (index == -1) {
    list->images.clear();
    return TRUE;
  }
  if (index < 0 || index >= static_cast<int>(list->images.size())) return FALSE;
  list->images.erase(list->images.begin() + index);
  return TRUE;
}

COLORREF ImageList_SetBkColor(HIMAGELIST handle, COLORREF color) {
  auto list = Find(handle);
  if (!list) return CLR_NONE;
  std::lock_guard lock(list->mutex);
  return std::exchange(list->background, color);
}

COLORREF ImageList_GetBkColor(HIMAGELIST handle) {
  auto list = Find(handle);
  if (!list) return CLR_NONE;
  std::lock_guard lock(list->mutex);
  return list->background;
}

HIMAGELIST ImageList_LoadImageA(HINSTANCE instance, LPCSTR name, int cx, int grow, COLORREF mask,
                                UINT type, UINT) {
  if (type != IMAGE_BITMAP && type != IMAGE_ICON) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  Pixels pixels;
  if (type == IMAGE_ICON) {
    HICON icon = LoadIconA(instance, name);
    bool loaded = ui::res::IconPixels(icon, &pixels);
    DestroyIcon(icon);
    if (!loaded) return nullptr;
  } else {
    HBITMAP bitmap = LoadBitmapA(instance, name);
    bool loaded = ui::res::BitmapPixels(bitmap, &pixels);
    DeleteObject(bitmap);
    if (!loaded) return nullptr;
  }
  // Windows takes a width of 0 as "square images as high as the strip".
  if (cx == 0) cx = pixels.height;
  if (cx <= 0 || pixels.width % cx != 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  UINT flags = ILC_COLOR32 | (mask != CLR_NONE ? ILC_MASK : 0);
  HIMAGELIST list = ImageList_Create(cx, pixels.height, flags, pixels.width / cx, grow);
  if (list == nullptr) return nullptr;
  if (AddStrip(list, pixels, nullptr, &mask) < 0) {
    ImageList_Destroy(list);
    return nullptr;
  }
  return list;
}

namespace ui::driver {

int ImageCount(HIMAGELIST list) { return ImageList_GetImageCount(list); }

bool GetImage(HIMAGELIST handle, int index, Pixels* image) {
  auto list = ui::controls::Find(handle);
  if (!list || image == nullptr) return false;
  std::lock_guard lock(list->mutex);
  if (index < 0 || index >= static_cast<int>(list->images.size())) return false;
  *image = list->images[static_cast<size_t>(index)];
  return true;
}

}  // namespace ui::driver
