// An image as 32-bit pixels, 0xAARRGGBB, rows top to bottom: what bitmaps,
// icons and image lists hold, and what the driver hands the front-end.
#pragma once

#include <cstdint>
#include <vector>

namespace ui {

struct Pixels {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> data;
};

}  // namespace ui
