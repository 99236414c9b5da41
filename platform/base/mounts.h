// The host's mounted file systems, as /proc/self/mountinfo lists them (or
// the file $QAP_MOUNTINFO names, for tests): what kind of drive a folder
// lies on, and the network shares that are mounted.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/base/export.h"
#include "platform/base/win_types.h"

struct Mount {
  std::string mountPoint;  // host path
  std::string type;        // file system type ("ext4", "nfs4", "fuse.sshfs")
  std::string source;      // what is mounted ("/dev/sr0", "//nas/music", "nas:/srv/music")
};

// A network share and the host folder where it can be reached.
struct NetworkShare {
  std::string server;
  std::string share;
  std::string hostPath;
};

QAP_EXPORT std::vector<Mount> ParseMountInfo(std::string_view text);
// Read afresh on every call: media come and go.
QAP_EXPORT std::vector<Mount> CurrentMounts();
// The drive type of a host folder from the mount it lies on: DRIVE_CDROM for
// a disc's file system, DRIVE_REMOTE for a network file system,
// DRIVE_REMOVABLE for a device the kernel calls removable, else DRIVE_FIXED.
QAP_EXPORT UINT DriveTypeOfFolder(const std::vector<Mount>& mounts, const std::string& hostPath);
// The mounted network file systems (CIFS, NFS, SSHFS) as server and share:
// the server from the source, the share the last folder of the remote path
// ("home" for an SSHFS mount of the remote home).
QAP_EXPORT std::vector<NetworkShare> MountedShares(const std::vector<Mount>& mounts);
