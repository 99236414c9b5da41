// Windows-style path handling and the one place where a program's path
// becomes a host path.
//
// Both separators are accepted everywhere. A drive-letter path
// ("C:\Music\a.mp3") maps through the drive table, a UNC path
// ("\\server\share\x") through the share table, and a POSIX absolute path is
// used as it is. Both tables live in the registry under
// HKEY_CURRENT_USER\Software\QAP\Platform: "Drives\<letter>" and
// "Shares\<server>\<share>", each with a "Path" (host folder) and for drives
// a "Type" (REG_DWORD). Without an entry, C: is the home folder and Z: is
// "/"; an entry with an empty Path removes a drive. A drive without a Type
// is of the kind its folder's mount makes it (a disc, a network file system,
// a removable device, else fixed). Network shares that are mounted (CIFS,
// NFS, SSHFS) are reached as \\server\share too, after the share table.
#pragma once

#include <string>
#include <string_view>

#include <vector>

#include "platform/base/export.h"
#include "platform/base/mounts.h"
#include "platform/base/win_types.h"

constexpr UINT DRIVE_UNKNOWN = 0;
constexpr UINT DRIVE_NO_ROOT_DIR = 1;
constexpr UINT DRIVE_REMOVABLE = 2;
constexpr UINT DRIVE_FIXED = 3;
constexpr UINT DRIVE_REMOTE = 4;
constexpr UINT DRIVE_CDROM = 5;
constexpr UINT DRIVE_RAMDISK = 6;

struct PathParts {
  std::string folder;     // up to and including the last separator
  std::string baseName;   // the name without its extension
  std::string extension;  // from the last dot of the name on, dot included
};

QAP_EXPORT bool IsPathSeparator(char c);
QAP_EXPORT PathParts SplitPath(std::string_view path);
// The last component (name and extension).
QAP_EXPORT std::string FileNameOf(std::string_view path);
// Appends the separator the path already uses ('\' when it uses none, or
// when it is a drive-letter path), unless it already ends in one.
QAP_EXPORT std::string AppendSeparator(std::string_view path);
// Upper-case drive letter of "X:..." or 0. A POSIX path has no letter here;
// callers that need a drive count such a path as lying on C:.
QAP_EXPORT char DriveLetterOf(std::string_view path);

// Win32 shape: root like "C:\", "C:" or "C:/"; null means drive C:.
QAP_EXPORT UINT GetDriveTypeA(LPCSTR root);
// Bit 0 = A: ... bit 25 = Z:, for every drive in the table.
QAP_EXPORT DWORD GetLogicalDrives();
// Drive table maintenance (tests and set-up). An empty host path removes the
// drive; type DRIVE_UNKNOWN leaves the type to the folder's mount.
QAP_EXPORT bool SetDriveMapping(char letter, const std::string& hostPath, UINT type);
QAP_EXPORT bool SetShareMapping(const std::string& server, const std::string& share,
                                const std::string& hostPath);

// Every share that a UNC path reaches: the share table's, then the mounted
// ones it does not name (server and share names compare case-blind).
QAP_EXPORT std::vector<NetworkShare> ReachableShares();

// The host path of a program path; empty when the path names an unmapped
// drive or share. Relative paths keep being relative, with '/' separators.
// The program path is in the system code page; the result is UTF-8, as host
// file names are.
QAP_EXPORT std::string ToHostPath(std::string_view path);
