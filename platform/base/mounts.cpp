// Reading the mount table, and what a mount means to a Windows program.
#include "platform/base/mounts.h"

#include <climits>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "platform/base/paths.h"

namespace {

// mountinfo escapes blanks and backslashes in paths as octal (\040).
std::string Unescape(std::string_view field) {
  std::string out;
  for (size_t i = 0; i < field.size(); ++i) {
    if (field[i] == '\\' && i + 3 < field.size()) {
      const std::string digits(field.substr(i + 1, 3));
      if (digits.find_first_not_of("01234567") == std::string::npos) {
        out += static_cast<char>(std::strtol(digits.c_str(), nullptr, 8));
        i += 3;
        continue;
      }
    }
    out += field[i];
  }
  return out;
}

bool IsNetworkType(const std::string& type) {
  return type == "nfs" || type == "nfs4" || type == "cifs" || type == "smb3" ||
         type == "smbfs" || type == "fuse.sshfs" || type == "sshfs";
}

bool IsDiscType(const std::string& type) { return type == "iso9660" || type == "udf"; }

// Whether the kernel marks the block device (or the disk a partition is on)
// removable.
bool IsRemovableDevice(const std::string& source) {
  if (source.rfind("/dev/", 0) != 0) return false;
  char resolved[PATH_MAX];
  const std::string device = "/sys/class/block/" + FileNameOf(source);
  if (realpath(device.c_str(), resolved) == nullptr) return false;
  for (std::string folder = resolved; folder.size() > 1;
       folder = folder.substr(0, folder.find_last_of('/'))) {
    std::ifstream flag(folder + "/removable");
    char value = '0';
    if (flag >> value) return value == '1';
  }
  return false;
}

// The mount holding hostPath: the longest mount point that is a prefix of it
// at a folder boundary.
const Mount* MountOf(const std::vector<Mount>& mounts, const std::string& hostPath) {
  const Mount* best = nullptr;
  for (const Mount& mount : mounts) {
    const std::string& point = mount.mountPoint;
    const bool inside = hostPath.rfind(point, 0) == 0 &&
                        (point == "/" || hostPath.size() == point.size() ||
                         hostPath[point.size()] == '/');
    if (inside && (best == nullptr || point.size() >= best->mountPoint.size())) best = &mount;
  }
  return best;
}

std::string LastFolder(std::string path) {
  while (!path.empty() && path.back() == '/') path.pop_back();
  return path.substr(path.find_last_of('/') + 1);
}

}  // namespace

std::vector<Mount> ParseMountInfo(std::string_view text) {
  std::vector<Mount> mounts;
  std::istringstream lines{std::string(text)};
  std::string line;
  while (std::getline(lines, line)) {
    // id parent major:minor root mount-point options [optional...] - type source super
    std::istringstream fields(line);
    std::vector<std::string> before;
    std::string field;
    while (fields >> field && field != "-") before.push_back(field);
    Mount mount;
    if (before.size() < 5 || !(fields >> mount.type >> mount.source)) continue;
    mount.mountPoint = Unescape(before[4]);
    mount.source = Unescape(mount.source);
    mounts.push_back(std::move(mount));
  }
  return mounts;
}

std::vector<Mount> CurrentMounts() {
  const char* file = std::getenv("QAP_MOUNTINFO");
  std::ifstream in(file != nullptr && *file != '\0' ? file : "/proc/self/mountinfo");
  std::ostringstream text;
  text << in.rdbuf();
  return ParseMountInfo(text.str());
}

UINT DriveTypeOfFolder(const std::vector<Mount>& mounts, const std::string& hostPath) {
  char resolved[PATH_MAX];
  const std::string path = realpath(hostPath.c_str(), resolved) != nullptr ? resolved : hostPath;
  const Mount* mount = MountOf(mounts, path);
  if (mount == nullptr) return DRIVE_FIXED;
  if (IsDiscType(mount->type)) return DRIVE_CDROM;
  if (IsNetworkType(mount->type)) return DRIVE_REMOTE;
  if (IsRemovableDevice(mount->source)) return DRIVE_REMOVABLE;
  return DRIVE_FIXED;
}

std::vector<NetworkShare> MountedShares(const std::vector<Mount>& mounts) {
  std::vector<NetworkShare> shares;
  for (const Mount& mount : mounts) {
    if (!IsNetworkType(mount.type)) continue;
    NetworkShare share{"", "", mount.mountPoint};
    const std::string& source = mount.source;
    if (source.rfind("//", 0) == 0) {  // CIFS: //server/share[/folder]
      const size_t slash = source.find('/', 2);
      share.server = source.substr(2, slash == std::string::npos ? std::string::npos : slash - 2);
      share.share = slash == std::string::npos ? "" : LastFolder(source.substr(slash));
    } else if (const size_t colon = source.find(':'); colon != std::string::npos) {
      // NFS server:/path, SSHFS [user@]host:[path]
      std::string host = source.substr(0, colon);
      share.server = host.substr(host.find('@') + 1);
      share.share = LastFolder(source.substr(colon + 1));
      if (share.share.empty() && mount.type.find("sshfs") != std::string::npos) {
        share.share = "home";
      }
    }
    if (!share.server.empty() && !share.share.empty()) shares.push_back(std::move(share));
  }
  return shares;
}
