// Names, filters, folders and the result layout of the file-open dialog.
#include "platform/ui/controls/file_names.h"

#include <algorithm>
#include <cstring>
#include <filesystem>

#include "platform/base/codepage.h"
#include "platform/base/paths.h"
#include "platform/ui/controls/control_support.h"

namespace ui::controls {

namespace {

namespace fs = std::filesystem;

char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool MatchFrom(std::string_view name, std::string_view pattern) {
  size_t n = 0;
  size_t p = 0;
  size_t starP = std::string_view::npos;
  size_t starN = 0;
  while (n < name.size()) {
    if (p < pattern.size() && (pattern[p] == '?' || LowerAscii(pattern[p]) == LowerAscii(name[n]))) {
      ++n;
      ++p;
    } else if (p < pattern.size() && pattern[p] == '*') {
      starP = p++;
      starN = n;
    } else if (starP != std::string_view::npos) {
      p = starP + 1;
      n = ++starN;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

std::string Trimmed(std::string_view text) {
  size_t first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  size_t last = text.find_last_not_of(" \t");
  return std::string(text.substr(first, last - first + 1));
}

// The fixed start of a path ("C:\", "\\server\share\", "/", "\") and the
// separator its components use.
size_t RootLength(std::string_view path, char* separator) {
  *separator = '\\';
  if (DriveLetterOf(path) != 0) return path.size() > 2 && IsPathSeparator(path[2]) ? 3 : 2;
  if (path.size() >= 2 && IsPathSeparator(path[0]) && IsPathSeparator(path[1])) {
    // \\server\share\ counts as the root of a UNC path.
    size_t server = path.find_first_of("\\/", 2);
    if (server == std::string_view::npos) return path.size();
    size_t share = path.find_first_of("\\/", server + 1);
    return share == std::string_view::npos ? path.size() : share + 1;
  }
  if (!path.empty() && path[0] == '/') {
    *separator = '/';
    return 1;
  }
  if (!path.empty() && path[0] == '\\') return 1;
  return 0;
}

std::string NormalizePath(std::string_view path) {
  char separator;
  size_t rootLength = RootLength(path, &separator);
  std::string root(path.substr(0, rootLength));
  if (rootLength == 0 && path.find('/') != std::string_view::npos &&
      path.find('\\') == std::string_view::npos) {
    separator = '/';
  }
  std::vector<std::string> parts;
  size_t at = rootLength;
  while (at <= path.size()) {
    size_t end = path.find_first_of("\\/", at);
    if (end == std::string_view::npos) end = path.size();
    std::string part(path.substr(at, end - at));
    if (part == "..") {
      if (!parts.empty() && parts.back() != "..") {
        parts.pop_back();
      } else if (rootLength == 0) {
        parts.push_back(part);
      }
    } else if (!part.empty() && part != ".") {
      parts.push_back(part);
    }
    at = end + 1;
  }
  std::string out = root;
  for (size_t i = 0; i < parts.size(); ++i) {
    if (i > 0) out += separator;
    out += parts[i];
  }
  return out;
}

fs::file_status StatusOf(const std::string& path) {
  std::string host = ToHostPath(path);
  std::error_code error;
  return host.empty() ? fs::file_status(fs::file_type::not_found) : fs::status(host, error);
}

}  // namespace

std::vector<FilterEntry> ParseFilter(LPCSTR filter) {
  std::vector<FilterEntry> entries;
  if (filter == nullptr) return entries;
  for (const char* at = filter; *at != '\0';) {
    FilterEntry entry;
    entry.description = at;
    at += entry.description.size() + 1;
    // A description without patterns ends the list, as it does on Windows.
    if (*at == '\0') break;
    std::string patterns = at;
    at += patterns.size() + 1;
    size_t start = 0;
    while (start <= patterns.size()) {
      size_t end = patterns.find(';', start);
      if (end == std::string::npos) end = patterns.size();
      std::string pattern = Trimmed(std::string_view(patterns).substr(start, end - start));
      if (!pattern.empty()) entry.patterns.push_back(pattern);
      start = end + 1;
    }
    entries.push_back(std::move(entry));
  }
  return entries;
}

bool MatchesPattern(std::string_view name, std::string_view pattern) {
  if (pattern == "*.*" || pattern == "*") return true;
  return MatchFrom(name, pattern);
}

bool MatchesAny(std::string_view name, const std::vector<std::string>& patterns) {
  if (patterns.empty()) return true;
  return std::any_of(patterns.begin(), patterns.end(),
                     [&](const std::string& pattern) { return MatchesPattern(name, pattern); });
}

bool HasWildcards(std::string_view name) { return name.find_first_of("*?") != std::string_view::npos; }

std::vector<std::string> SplitTypedNames(const std::string& typed) {
  std::vector<std::string> names;
  if (typed.find('"') == std::string::npos) {
    std::string name = Trimmed(typed);
    if (!name.empty()) names.push_back(name);
    return names;
  }
  size_t at = 0;
  while ((at = typed.find('"', at)) != std::string::npos) {
    size_t end = typed.find('"', at + 1);
    // An unclosed quote runs to the end of the text.
    std::string name = typed.substr(at + 1, end == std::string::npos ? std::string::npos : end - at - 1);
    if (!name.empty()) names.push_back(name);
    if (end == std::string::npos) break;
    at = end + 1;
  }
  return names;
}

bool IsAbsolutePath(std::string_view path) {
  char separator;
  return RootLength(path, &separator) > 0;
}

std::string ResolvePath(const std::string& folder, const std::string& name) {
  if (IsAbsolutePath(name)) return NormalizePath(name);
  return NormalizePath(AppendSeparator(folder) + name);
}

std::string FolderForResult(const std::string& folder) {
  char separator;
  size_t root = RootLength(folder, &separator);
  std::string out = folder;
  while (out.size() > std::max<size_t>(root, 1) && IsPathSeparator(out.back())) out.pop_back();
  // A bare drive ("C:") is its root.
  if (out.size() == 2 && DriveLetterOf(out) != 0) out += '\\';
  return out;
}

bool PathIsFolder(const std::string& path) { return fs::is_directory(StatusOf(path)); }

bool PathExists(const std::string& path) { return fs::exists(StatusOf(path)); }

std::vector<FolderEntry> ListFolder(const std::string& folder,
                                    const std::vector<std::string>& patterns) {
  std::vector<FolderEntry> folders;
  std::vector<FolderEntry> files;
  std::string host = ToHostPath(folder);
  std::error_code error;
  if (host.empty()) return {};
  for (fs::directory_iterator it(host, error), end; !error && it != end; it.increment(error)) {
    std::string name = Utf8ToAnsi(it->path().filename().string());
    if (name.empty() || name[0] == '.') continue;
    std::error_code kindError;
    if (it->is_directory(kindError)) {
      folders.push_back({name, true});
    } else if (MatchesAny(name, patterns)) {
      files.push_back({name, false});
    }
  }
  auto byName = [](const FolderEntry& a, const FolderEntry& b) { return CompareNoCase(a.name, b.name) < 0; };
  std::sort(folders.begin(), folders.end(), byName);
  std::sort(files.begin(), files.end(), byName);
  folders.insert(folders.end(), files.begin(), files.end());
  return folders;
}

DWORD WriteResult(OPENFILENAMEA* ofn, const std::string& folder,
                  const std::vector<std::string>& names) {
  std::string result;
  WORD fileOffset = 0;
  WORD extensionOffset = 0;
  bool multi = (ofn->Flags & OFN_ALLOWMULTISELECT) && names.size() > 1;
  std::string base = FolderForResult(folder);
  if (multi) {
    bool explorer = (ofn->Flags & OFN_EXPLORER) != 0;
    result = base;
    for (const std::string& name : names) result += (explorer ? '\0' : ' ') + name;
    result += '\0';
    if (explorer) result += '\0';
    fileOffset = static_cast<WORD>(base.size() + 1);
  } else {
    result = ResolvePath(folder, names.front());
    size_t slash = result.find_last_of("\\/");
    fileOffset = static_cast<WORD>(slash == std::string::npos ? 0 : slash + 1);
    size_t dot = result.rfind('.');
    if (dot == std::string::npos || dot < fileOffset) {
      extensionOffset = static_cast<WORD>(result.size());
    } else {
      // A name that ends in a dot has no extension offset at all.
      extensionOffset = dot + 1 == result.size() ? 0 : static_cast<WORD>(dot + 1);
    }
    std::string title = result.substr(fileOffset);
    result += '\0';
    // In multiple-selection mode the list always ends with two zeros.
    if (ofn->Flags & OFN_ALLOWMULTISELECT) result += '\0';
    if (ofn->lpstrFileTitle != nullptr && ofn->nMaxFileTitle > 0) {
      CopyText(title, ofn->lpstrFileTitle, ofn->nMaxFileTitle);
    }
  }
  if (ofn->lpstrFile == nullptr || result.size() > ofn->nMaxFile) {
    // The caller learns the size it needs from the buffer's first two bytes.
    if (ofn->lpstrFile != nullptr && ofn->nMaxFile >= sizeof(WORD)) {
      auto needed = static_cast<WORD>(std::min<size_t>(result.size(), 0xFFFF));
      std::memcpy(ofn->lpstrFile, &needed, sizeof needed);
    }
    return FNERR_BUFFERTOOSMALL;
  }
  std::memcpy(ofn->lpstrFile, result.data(), result.size());
  ofn->nFileOffset = fileOffset;
  ofn->nFileExtension = extensionOffset;
  return 0;
}

}  // namespace ui::controls

namespace ui {

std::string FilterFromBars(const std::string& bars) {
  std::string filter = bars;
  std::replace(filter.begin(), filter.end(), '|', '\0');
  while (filter.size() < 2 || filter[filter.size() - 1] != '\0' || filter[filter.size() - 2] != '\0') {
    filter += '\0';
  }
  return filter;
}

}  // namespace ui
