// Root names and handles, and the case folding that makes names compare
// without regard to case.
#include "platform/registry/names.h"

#include <array>
#include <cstring>

#include "platform/base/codepage.h"

namespace qap::registry {
namespace {

struct RootName {
  HKEY key;
  const char* longName;
  const char* shortName;
};

const std::array<RootName, 3>& Roots() {
  static const std::array<RootName, 3> roots = {{
      {HKEY_CLASSES_ROOT, "HKEY_CLASSES_ROOT", "HKCR"},
      {HKEY_CURRENT_USER, "HKEY_CURRENT_USER", "HKCU"},
      {HKEY_LOCAL_MACHINE, "HKEY_LOCAL_MACHINE", "HKLM"},
  }};
  return roots;
}

bool SameAscii(std::string_view a, std::string_view b) {
  return a.size() == b.size() && FoldName(a) == FoldName(b);
}

}  // namespace

bool RootKeyId(HKEY key, std::int64_t* id) {
  const auto value = reinterpret_cast<std::uintptr_t>(key);
  const auto first = reinterpret_cast<std::uintptr_t>(HKEY_CLASSES_ROOT);
  if (value < first || value > reinterpret_cast<std::uintptr_t>(HKEY_LOCAL_MACHINE)) return false;
  *id = kClassesRootId + static_cast<std::int64_t>(value - first);
  return true;
}

bool NameFits(std::string_view name, std::size_t limit) {
  // No code page has fewer bytes than characters.
  return name.size() <= limit || AnsiToWide(name).size() <= limit;
}

std::string FoldName(std::string_view name) {
  std::string folded(name);
  for (char& c : folded) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return folded;
}

}  // namespace qap::registry

using namespace qap::registry;

bool RegParseKeyName(const std::string& fullName, HKEY* root, std::string* path) {
  try {
    const std::size_t separator = fullName.find('\\');
    const std::string_view rootName = std::string_view(fullName).substr(0, separator);
    for (const RootName& candidate : Roots()) {
      if (!SameAscii(rootName, candidate.longName) && !SameAscii(rootName, candidate.shortName))
        continue;
      if (root != nullptr) *root = candidate.key;
      if (path != nullptr)
        *path = separator == std::string::npos ? std::string() : fullName.substr(separator + 1);
      return true;
    }
  } catch (...) {
  }
  return false;
}

const char* RegRootName(HKEY root) {
  for (const RootName& candidate : Roots()) {
    if (candidate.key == root) return candidate.longName;
  }
  return "";
}
