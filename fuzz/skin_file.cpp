// Fuzz target: a skin file as the skin container reads it. The input is the
// skin's text, then (after the first NUL byte) the bytes of a picture. The
// picture lies first inside the skin's folder as "face.png", then only
// beside that folder as "outside.png": a skin may name pictures of its own
// folder, never one outside it.
#include <cstdio>
#include <filesystem>
#include <string>

#include "fuzz/fuzz_support.h"
#include "suite/skin/skin_file.h"

namespace {

void CheckLook(const ui::WindowLook& look) {
  if (look.fontPointSize != 0 && (look.fontPointSize < 6 || look.fontPointSize > 72))
    qap::fuzz::Fail("a font size outside 6 to 72 was taken");
  for (const ui::Pixels* face : {&look.face, &look.pressedFace}) {
    if (face->width > 512 || face->height > 512 ||
        face->data.size() != static_cast<size_t>(face->width) * static_cast<size_t>(face->height))
      qap::fuzz::Fail("a face picture larger than allowed or not as large as it says");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::string folder = [] {
    const std::string path = qap::fuzz::Scratch().File("skins/this");
    std::filesystem::create_directories(path);
    return path;
  }();
  const std::string_view input = qap::fuzz::Bytes(data, size);
  const size_t split = input.find('\0');
  const std::string skinPath = folder + "/Drumlet.skn";
  qap::fuzz::WriteInput("skins/this/Drumlet.skn", input.substr(0, split));
  const std::string_view picture =
      split == std::string_view::npos ? std::string_view() : input.substr(split + 1);

  qap::fuzz::WriteInput("skins/this/face.png", picture);
  Skin skin;
  if (LoadSkinFile(skinPath, &skin)) {
    CheckLook(skin.button);
    CheckLook(skin.label);
  }
  std::remove((folder + "/face.png").c_str());

  qap::fuzz::WriteInput("skins/outside.png", picture);
  Skin moved;
  if (LoadSkinFile(skinPath, &moved) && (moved.button.face.width != 0 || moved.button.pressedFace.width != 0))
    qap::fuzz::Fail("a picture outside the skin's folder was taken");
  std::remove(qap::fuzz::Scratch().File("skins/outside.png").c_str());
  return 0;
}
