// Name rules shared by the registry code: case folding, sub-key path
// components and the predefined roots' fixed rows in the hive.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/registry/registry.h"

namespace qap::registry {

// The roots are the hive's first three key rows, in the order of their
// predefined handle values.
constexpr std::int64_t kClassesRootId = 1;
constexpr std::int64_t kCurrentUserId = 2;
constexpr std::int64_t kLocalMachineId = 3;

inline bool IsRootId(std::int64_t id) { return id >= kClassesRootId && id <= kLocalMachineId; }

// The key row of a predefined root handle; false for any other handle.
bool RootKeyId(HKEY key, std::int64_t* id);

// Windows' limits, in characters: a key name, a value name, and how deep a
// tree may grow below its root.
constexpr std::size_t kMaxKeyNameChars = 255;
constexpr std::size_t kMaxValueNameChars = 16383;
constexpr int kMaxKeyDepth = 512;

// Whether a name in the calling process's code page has at most limit
// characters (UTF-16 units, as Windows counts them).
bool NameFits(std::string_view name, std::size_t limit);

// Windows compares registry names by upper-casing them, which is why '_'
// sorts after the letters in regedit; we keep that order. Only ASCII letters
// fold: names with other bytes compare those bytes exactly.
std::string FoldName(std::string_view name);

// Walks the backslash-separated components of a sub-key path, skipping empty
// ones, and stops at the first result other than ERROR_SUCCESS.
template <typename Fn>
LONG ForEachComponent(std::string_view path, Fn&& fn) {
  std::size_t start = 0;
  while (start <= path.size()) {
    std::size_t end = path.find('\\', start);
    if (end == std::string_view::npos) end = path.size();
    if (end > start) {
      const bool last = path.find_first_not_of('\\', end) == std::string_view::npos;
      const LONG result = fn(path.substr(start, end - start), last);
      if (result != ERROR_SUCCESS) return result;
    }
    start = end + 1;
  }
  return ERROR_SUCCESS;
}

}  // namespace qap::registry
