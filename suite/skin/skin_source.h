// What buttons and labels ask of the container they are handed: the skin
// it read. Private to the skin controls.
#pragma once

#include "platform/com/unknown.h"
#include "suite/skin/skin_file.h"

// {C9109F9B-CEAC-4762-9550-43D01ECF39A7}
constexpr IID IID_ISkinSource{
    0xC9109F9B, 0xCEAC, 0x4762, {0x95, 0x50, 0x43, 0xD0, 0x1E, 0xCF, 0x39, 0xA7}};

class ISkinSource : public IUnknown {
 public:
  // Null while no skin file gave a skin: the controls keep the desktop's look.
  virtual const Skin* CurrentSkin() = 0;
};
