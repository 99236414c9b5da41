// The image cache.
#include "platform/ui/qt/image_cache.h"

#include "platform/ui/qt/mirror.h"

namespace ui::qt {

QVariant ImageCache::Get(HIMAGELIST list, int index) const {
  if (list == nullptr || index < 0) return {};
  auto key = std::make_pair(list, index);
  auto it = m_pixmaps.find(key);
  if (it == m_pixmaps.end()) {
    ui::Pixels pixels;
    QPixmap pixmap;
    if (driver::GetImage(list, index, &pixels)) pixmap = PixmapOf(pixels);
    it = m_pixmaps.emplace(key, pixmap).first;
  }
  if (it->second.isNull()) return {};
  return it->second;
}

}  // namespace ui::qt
