// The skin file: sections of settings, read with limits on everything, so
// that a damaged or hostile file can only leave the desktop's look.
#include "suite/skin/skin_file.h"

#include <strings.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <vector>

#include "platform/base/paths.h"
#include "platform/ui/resources.h"

namespace {

constexpr std::streamsize kMaxSkinBytes = 64 * 1024;
constexpr std::streamsize kMaxImageBytes = 1024 * 1024;
constexpr int kMaxImageSide = 512;
constexpr int kMinPoints = 6;
constexpr int kMaxPoints = 72;
constexpr size_t kMaxFaceLength = 64;

bool Same(const std::string& a, const char* b) { return strcasecmp(a.c_str(), b) == 0; }

std::string Trimmed(const std::string& text) {
  const size_t first = text.find_first_not_of(" \t\r");
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

// At most limit bytes of a host file; false when it cannot be read or is
// larger.
bool ReadLimited(const std::string& hostPath, std::streamsize limit, std::string* bytes) {
  std::ifstream in(hostPath, std::ios::binary);
  if (!in) return false;
  std::string data(static_cast<size_t>(limit) + 1, '\0');
  in.read(data.data(), limit + 1);
  const std::streamsize got = in.gcount();
  if (got > limit || in.bad()) return false;
  data.resize(static_cast<size_t>(got));
  *bytes = std::move(data);
  return true;
}

bool ParseColor(const std::string& value, COLORREF* color) {
  if (value.size() != 7 || value[0] != '#' ||
      value.find_first_not_of("0123456789abcdefABCDEF", 1) != std::string::npos) {
    return false;
  }
  const unsigned long rgb = std::strtoul(value.c_str() + 1, nullptr, 16);
  *color = RGB(static_cast<BYTE>(rgb >> 16), static_cast<BYTE>(rgb >> 8), static_cast<BYTE>(rgb));
  return true;
}

// "Face[, points[, bold]]"
bool ParseFont(const std::string& value, ui::WindowLook* look) {
  std::vector<std::string> parts;
  std::istringstream in(value);
  for (std::string part; std::getline(in, part, ',');) parts.push_back(Trimmed(part));
  if (parts.empty() || parts.size() > 3 || parts[0].empty() || parts[0].size() > kMaxFaceLength) {
    return false;
  }
  int points = 0;
  if (parts.size() >= 2) {
    char* end = nullptr;
    points = static_cast<int>(std::strtol(parts[1].c_str(), &end, 10));
    if (end == parts[1].c_str() || *end != '\0' || points < kMinPoints || points > kMaxPoints) {
      return false;
    }
  }
  if (parts.size() == 3 && !Same(parts[2], "bold")) return false;
  look->fontFace = parts[0];
  look->fontPointSize = points;
  look->boldFont = parts.size() == 3;
  return true;
}

// Whether a relative name climbs out of its folder through a ".." step.
bool LeavesFolder(const std::string& name) {
  size_t start = 0;
  while (start <= name.size()) {
    size_t end = start;
    while (end < name.size() && !IsPathSeparator(name[end])) ++end;
    if (name.compare(start, end - start, "..") == 0) return true;
    start = end + 1;
  }
  return false;
}

// A picture named relative to the skin file's folder, and inside it: a skin
// passed around between users must not show (or probe for) their other files.
bool ParseImage(const std::string& skinFolder, const std::string& value, ui::Pixels* pixels) {
  if (value.empty() || IsPathSeparator(value[0]) || DriveLetterOf(value) != 0 ||
      LeavesFolder(value)) {
    return false;
  }
  std::string bytes;
  if (!ReadLimited(ToHostPath(skinFolder + value), kMaxImageBytes, &bytes)) return false;
  ui::Pixels decoded;
  if (!ui::res::DecodePng(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(),
                          &decoded) ||
      decoded.width <= 0 || decoded.height <= 0 || decoded.width > kMaxImageSide ||
      decoded.height > kMaxImageSide) {
    return false;
  }
  *pixels = std::move(decoded);
  return true;
}

void ApplySetting(const std::string& skinFolder, const std::string& key, const std::string& value,
                  bool isButton, ui::WindowLook* look) {
  if (Same(key, "Text")) {
    ParseColor(value, &look->textColor);
  } else if (Same(key, "Background")) {
    ParseColor(value, &look->backColor);
  } else if (Same(key, "Font")) {
    ParseFont(value, look);
  } else if (isButton && Same(key, "Face")) {
    ParseImage(skinFolder, value, &look->face);
  } else if (isButton && Same(key, "Pressed")) {
    ParseImage(skinFolder, value, &look->pressedFace);
  }
}

}  // namespace

bool LoadSkinFile(const std::string& path, Skin* skin) {
  std::string text;
  if (path.empty() || !ReadLimited(ToHostPath(path), kMaxSkinBytes, &text) ||
      text.find('\0') != std::string::npos) {
    return false;
  }
  Skin read;
  read.file = path;
  const std::string folder = SplitPath(path).folder;
  enum class Section { kNone, kSkin, kButton, kLabel, kOther } section = Section::kNone;
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);) {
    line = Trimmed(line);
    if (line.empty() || line[0] == ';' || line[0] == '#') continue;
    if (line.front() == '[' && line.back() == ']') {
      const std::string name = Trimmed(line.substr(1, line.size() - 2));
      if (section == Section::kNone && !Same(name, "Skin")) return false;
      section = Same(name, "Skin")     ? Section::kSkin
                : Same(name, "Button") ? Section::kButton
                : Same(name, "Label")  ? Section::kLabel
                                       : Section::kOther;
      continue;
    }
    // Settings before the [Skin] heading: this is no skin.
    if (section == Section::kNone) return false;
    const size_t equals = line.find('=');
    if (equals == std::string::npos) continue;
    const std::string key = Trimmed(line.substr(0, equals));
    const std::string value = Trimmed(line.substr(equals + 1));
    if (section == Section::kSkin && Same(key, "Name")) {
      read.name = value;
    } else if (section == Section::kButton) {
      ApplySetting(folder, key, value, true, &read.button);
    } else if (section == Section::kLabel) {
      ApplySetting(folder, key, value, false, &read.label);
    }
  }
  if (section == Section::kNone) return false;
  // A pressed face alone would show only while pressed.
  if (read.button.face.width == 0) read.button.pressedFace = {};
  *skin = std::move(read);
  return true;
}
