// Pixmaps of image-list images, made once per image and kept until the list
// is shown afresh.
#pragma once

#include <QPixmap>
#include <QVariant>

#include <map>
#include <utility>

#include "platform/ui/driver.h"

namespace ui::qt {

class ImageCache {
 public:
  QVariant Get(HIMAGELIST list, int index) const;
  void Clear() { m_pixmaps.clear(); }

 private:
  mutable std::map<std::pair<HIMAGELIST, int>, QPixmap> m_pixmaps;
};

}  // namespace ui::qt
