// What the file-open dialog does with names and folders, apart from the
// dialog itself: the filter's pairs and their patterns, the names a person
// types (one, or several in double quotes), program paths joined and
// tidied, a folder's entries through the host file system, and the
// result written into OPENFILENAMEA in Windows' layout.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/ui/commdlg.h"

namespace ui::controls {

struct FilterEntry {
  std::string description;
  std::vector<std::string> patterns;  // "*.wav", "*.*"
};

// Windows' form: pairs of zero-terminated strings up to an empty one.
std::vector<FilterEntry> ParseFilter(LPCSTR filter);

// A name against "*" and "?" patterns, without regard to case; "*.*"
// matches every name, with or without a dot, as on Windows.
bool MatchesPattern(std::string_view name, std::string_view pattern);
bool MatchesAny(std::string_view name, const std::vector<std::string>& patterns);
bool HasWildcards(std::string_view name);

// The names typed into the file name box: the quoted ones when there are
// quotes, else the whole text without its surrounding spaces.
std::vector<std::string> SplitTypedNames(const std::string& typed);

bool IsAbsolutePath(std::string_view path);
// name in folder, or name itself when it is absolute; "." and ".."
// resolved.
std::string ResolvePath(const std::string& folder, const std::string& name);
// A folder as the result names it: no separator at the end, except for a
// root ("C:\", "/").
std::string FolderForResult(const std::string& folder);

bool PathIsFolder(const std::string& path);
bool PathExists(const std::string& path);

struct FolderEntry {
  std::string name;
  bool folder = false;
};
// The folders of folder, then its files that match patterns, each group
// sorted without regard to case; hidden entries (a leading dot) left out.
std::vector<FolderEntry> ListFolder(const std::string& folder,
                                    const std::vector<std::string>& patterns);

// Writes the chosen files (all in folder) into ofn: a single file as its
// full path; several, with OFN_ALLOWMULTISELECT, as the folder then each
// name, zero-separated and ended by two zeros (OFN_EXPLORER) or separated
// by spaces (the old style). Also nFileOffset, nFileExtension and
// lpstrFileTitle. Answers 0, or FNERR_BUFFERTOOSMALL with the size needed
// in the buffer's first two bytes.
DWORD WriteResult(OPENFILENAMEA* ofn, const std::string& folder,
                  const std::vector<std::string>& names);

}  // namespace ui::controls
