// The bridge between the window system's clipboard and the desktop's.
#pragma once

#include <vector>

#include "platform/ui/ole/clipboard.h"

namespace ui::qt {

class DesktopClipboard final : public ui::ole::ClipboardBridge {
 public:
  DesktopClipboard();
  ~DesktopClipboard() override;

  void OnLocalChange(const std::vector<UINT>& formats) override;
  std::vector<UINT> OutsideFormats() override;
  bool ReadOutside(UINT format, std::vector<BYTE>* bytes) override;

 private:
  bool m_settingDesktop = false;
};

}  // namespace ui::qt
