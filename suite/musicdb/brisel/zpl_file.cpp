// Playlist files: UTF-8 lines of song paths, relative ones resolved against
// the file's own folder, so that a folder of songs with its playlist can be
// moved as a whole.
#include "suite/musicdb/brisel/zpl_file.h"

#include <sys/stat.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/base/paths.h"
#include "suite/musicdb/core/text_codec.h"

namespace qap::musicdb {
namespace {

std::string_view Trim(std::string_view text) {
  const auto first = text.find_first_not_of(" \t\r");
  if (first == std::string_view::npos) return {};
  const auto last = text.find_last_not_of(" \t\r");
  return text.substr(first, last - first + 1);
}

// Length of the part of a path that ".." never climbs out of: "C:\",
// "\\server\share\", "/", or nothing for a relative path.
size_t RootLength(std::string_view path) {
  if (path.size() >= 2 && IsPathSeparator(path[0]) && IsPathSeparator(path[1])) {
    size_t at = 2;
    for (int part = 0; part < 2 && at < path.size(); ++part) {
      while (at < path.size() && !IsPathSeparator(path[at])) ++at;
      if (at < path.size()) ++at;
    }
    return at;
  }
  if (DriveLetterOf(path) != 0) return path.size() > 2 && IsPathSeparator(path[2]) ? 3 : 2;
  return !path.empty() && IsPathSeparator(path[0]) ? 1 : 0;
}

// Folds "." and ".." segments after the root and writes every separator as
// separator.
std::string Fold(std::string_view path, char separator) {
  const size_t root = RootLength(path);
  std::vector<std::string_view> segments;
  size_t at = root;
  while (at <= path.size()) {
    size_t end = at;
    while (end < path.size() && !IsPathSeparator(path[end])) ++end;
    const std::string_view segment = path.substr(at, end - at);
    if (segment == "..") {
      if (!segments.empty() && segments.back() != "..") {
        segments.pop_back();
      } else if (root == 0) {
        segments.push_back(segment);
      }
    } else if (!segment.empty() && segment != ".") {
      segments.push_back(segment);
    }
    at = end + 1;
  }
  std::string folded(path.substr(0, root));
  for (char& c : folded) {
    if (IsPathSeparator(c)) c = separator;
  }
  for (size_t i = 0; i < segments.size(); ++i) {
    if (i != 0) folded += separator;
    folded += segments[i];
  }
  return folded;
}

}  // namespace

CString ResolveZplEntry(std::string_view zplPath, std::string_view entry) {
  if (DriveLetterOf(entry) != 0 || entry[0] == '/') return CString(entry);
  if (entry[0] == '\\') {
    // "\Music\a.mp3" lies on the playlist file's drive; "\\server\..." is UNC.
    const bool unc = entry.size() >= 2 && IsPathSeparator(entry[1]);
    if (!unc && DriveLetterOf(zplPath) != 0)
      return CString(std::string(zplPath.substr(0, 2)) + std::string(entry));
    return CString(entry);
  }
  const std::string folder = SplitPath(zplPath).folder;
  const char separator = !folder.empty() ? folder.back() : '/';
  return CString(Fold(folder + std::string(entry), separator));
}

bool ReadZplFile(const CString& path, IQAPStorage* storage) {
  const std::string host = ToHostPath(path.str());
  struct stat status {};
  if (host.empty() || stat(host.c_str(), &status) != 0 || !S_ISREG(status.st_mode)) return false;
  std::ifstream in(host, std::ios::binary);
  if (!in) return false;
  std::ostringstream bytes;
  bytes << in.rdbuf();
  if (in.bad()) return false;
  std::string text = bytes.str();
  if (text.rfind("\xEF\xBB\xBF", 0) == 0) text.erase(0, 3);

  const TextCodec codec;
  storage->name = CString(SplitPath(path.str()).baseName);
  storage->paths.clear();
  std::string_view rest = text;
  while (!rest.empty()) {
    const size_t end = rest.find('\n');
    const std::string_view line = Trim(rest.substr(0, end));
    rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
    if (line.empty() || line[0] == '#') continue;
    storage->paths.push_back(ResolveZplEntry(path.str(), codec.FromDb(line).str()));
  }
  return true;
}

}  // namespace qap::musicdb
