// Reading a skin file (the format is described in SKIN.md) into the looks
// of the skinned controls.
#pragma once

#include <string>

#include "platform/ui/window_look.h"

struct Skin {
  std::string file;  // as the dialog named it
  std::string name;
  ui::WindowLook button;
  ui::WindowLook label;
};

// false, with *skin untouched, when the file cannot be read or is no skin.
// Settings that cannot be used (a colour that is no colour, a picture that
// cannot be read) are passed over: those parts keep the desktop's look.
bool LoadSkinFile(const std::string& path, Skin* skin);
