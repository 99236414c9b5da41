// Bitmaps and icons: PNG resources decoded with libpng into pixels kept by
// the handle table, and the system's own icons.
#include <png.h>

#include <cstring>

#include "platform/base/last_error.h"
#include "platform/ui/core/handle_table.h"
#include "platform/ui/driver.h"
#include "platform/ui/resources.h"
#include "platform/ui/std_controls.h"
#include "platform/ui/window_api.h"

namespace ui::res {

const ImageResource* FindImage(HINSTANCE instance, LPCSTR name, bool icon);

namespace {

class ImageObject : public core::UserObject {
 public:
  explicit ImageObject(core::ObjectKind kind) : UserObject(kind) {}
  Pixels pixels;
};

struct PngInput {
  const unsigned char* bytes;
  std::size_t size;
  std::size_t offset;
};

void ReadFromMemory(png_structp png, png_bytep out, png_size_t length) {
  auto* input = static_cast<PngInput*>(png_get_io_ptr(png));
  if (input->size - input->offset < length) png_error(png, "truncated");
  std::memcpy(out, input->bytes + input->offset, length);
  input->offset += length;
}

template <typename Handle>
Handle Store(core::ObjectKind kind, Pixels pixels) {
  auto object = std::make_shared<ImageObject>(kind);
  object->pixels = std::move(pixels);
  return core::AsHandle<Handle>(core::HandleTable::Get().Insert(object));
}

bool PixelsOf(const void* handle, core::ObjectKind kind, Pixels* out) {
  auto object = core::HandleTable::Get().Find<ImageObject>(handle, kind);
  if (!object || out == nullptr) return false;
  *out = object->pixels;
  return true;
}

// The system icons live among the window system's own resources.
HINSTANCE SystemModule() {
  static HINSTANCE module = ModuleHandleOf(reinterpret_cast<const void*>(&SystemModule));
  return module;
}

}  // namespace

bool DecodePng(const unsigned char* bytes, std::size_t size, Pixels* out) {
  if (bytes == nullptr || size < 8 || png_sig_cmp(bytes, 0, 8) != 0) return false;
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  if (png == nullptr) return false;
  png_infop info = png_create_info_struct(png);
  if (info == nullptr) {
    png_destroy_read_struct(&png, nullptr, nullptr);
    return false;
  }
  PngInput input{bytes, size, 0};
  Pixels pixels;
  std::vector<png_bytep> rows;
  // libpng reports errors by longjmp; nothing owning is alive across it but
  // the vectors, which are only filled after the last call that can fail
  // before reading.
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_read_struct(&png, &info, nullptr);
    return false;
  }
  png_set_read_fn(png, &input, ReadFromMemory);
  png_read_info(png, info);
  png_uint_32 width = png_get_image_width(png, info);
  png_uint_32 height = png_get_image_height(png, info);
  if (width == 0 || height == 0 || width > 4096 || height > 4096) png_error(png, "size");
  png_set_expand(png);
  png_set_strip_16(png);
  png_set_gray_to_rgb(png);
  png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);
  // Little-endian 0xAARRGGBB is B, G, R, A in memory.
  png_set_bgr(png);
  png_read_update_info(png, info);
  pixels.width = static_cast<int>(width);
  pixels.height = static_cast<int>(height);
  pixels.data.assign(static_cast<std::size_t>(width) * height, 0);
  rows.resize(height);
  for (png_uint_32 y = 0; y < height; ++y) {
    rows[y] = reinterpret_cast<png_bytep>(pixels.data.data() + static_cast<std::size_t>(y) * width);
  }
  png_read_image(png, rows.data());
  png_read_end(png, nullptr);
  png_destroy_read_struct(&png, &info, nullptr);
  *out = std::move(pixels);
  return true;
}

HBITMAP CreateBitmapFromPixels(Pixels pixels) {
  return Store<HBITMAP>(core::ObjectKind::kBitmap, std::move(pixels));
}

HICON CreateIconFromPixels(Pixels pixels) {
  return Store<HICON>(core::ObjectKind::kIcon, std::move(pixels));
}

bool BitmapPixels(HBITMAP bitmap, Pixels* out) { return PixelsOf(bitmap, core::ObjectKind::kBitmap, out); }

bool IconPixels(HICON icon, Pixels* out) { return PixelsOf(icon, core::ObjectKind::kIcon, out); }

HANDLE LoadImageResource(HINSTANCE instance, LPCSTR name, bool icon) {
  if (instance == nullptr && icon) instance = SystemModule();
  const ImageResource* image = FindImage(instance, name, icon);
  if (image == nullptr) return nullptr;
  Pixels pixels;
  if (!DecodePng(image->png, image->size, &pixels)) {
    SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
    return nullptr;
  }
  if (icon) return CreateIconFromPixels(std::move(pixels));
  return CreateBitmapFromPixels(std::move(pixels));
}

}  // namespace ui::res

using namespace ui::res;

HBITMAP LoadBitmapA(HINSTANCE instance, LPCSTR name) {
  return static_cast<HBITMAP>(LoadImageResource(instance, name, false));
}

HICON LoadIconA(HINSTANCE instance, LPCSTR name) {
  return static_cast<HICON>(LoadImageResource(instance, name, true));
}

HCURSOR LoadCursorA(HINSTANCE, LPCSTR) {
  // Cursors are the front-end's to draw; a handle is all a window needs.
  static HCURSOR arrow = CreateIconFromPixels(Pixels{1, 1, {0}});
  return arrow;
}

HANDLE LoadImageA(HINSTANCE instance, LPCSTR name, UINT type, int, int, UINT) {
  if (type != IMAGE_BITMAP && type != IMAGE_ICON) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  return LoadImageResource(instance, name, type == IMAGE_ICON);
}

BOOL DestroyIcon(HICON icon) {
  if (!ui::core::HandleTable::Get().Find(ui::core::HandleValue(icon), ui::core::ObjectKind::kIcon)) {
    return FALSE;
  }
  ui::core::HandleTable::Get().Remove(ui::core::HandleValue(icon));
  return TRUE;
}

HICON CopyIcon(HICON icon) {
  Pixels pixels;
  if (!IconPixels(icon, &pixels)) return nullptr;
  return CreateIconFromPixels(std::move(pixels));
}

namespace ui::driver {

bool GetIconImage(HICON icon, Pixels* image) { return ui::res::IconPixels(icon, image); }

bool GetBitmapImage(HBITMAP bitmap, Pixels* image) { return ui::res::BitmapPixels(bitmap, image); }

}  // namespace ui::driver
