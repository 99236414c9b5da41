// Path splitting and the drive and share tables. Everything that turns a
// program path into a host path goes through ToHostPath.
#include "platform/base/paths.h"

#include <strings.h>

#include <cctype>
#include <cstdlib>

#include "platform/base/codepage.h"
#include "platform/registry/reg_key.h"

namespace {

constexpr const char* kPlatformKey = "Software\\QAP\\Platform";

// The tables hold host names, which are UTF-8 whatever the process's code
// page: they are read and written in the wide form.
bool ReadString(HKEY key, const char16_t* name, std::string* value) {
  DWORD type = 0;
  DWORD size = 0;
  if (RegQueryValueExW(key, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
      type != REG_SZ) {
    return false;
  }
  std::u16string data(size / sizeof(char16_t), u'\0');
  if (RegQueryValueExW(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(data.data()),
                       &size) != ERROR_SUCCESS) {
    return false;
  }
  data.resize(size / sizeof(char16_t));
  while (!data.empty() && data.back() == u'\0') data.pop_back();
  *value = WideToAnsi(data, CP_UTF8);
  return true;
}

std::string HomeFolder() {
  const char* home = std::getenv("HOME");
  return home != nullptr && *home != '\0' ? home : "/";
}

struct Drive {
  std::string hostPath;  // empty: no such drive
  UINT type = DRIVE_NO_ROOT_DIR;  // DRIVE_UNKNOWN: as the folder's mount makes it
};

Drive LookUpDrive(char letter) {
  letter = static_cast<char>(std::toupper(static_cast<unsigned char>(letter)));
  Drive drive;
  if (letter < 'A' || letter > 'Z') return drive;
  RegKey key;
  std::string subKey = std::string(kPlatformKey) + "\\Drives\\" + letter;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, subKey.c_str(), 0, KEY_READ, key.Out()) ==
      ERROR_SUCCESS) {
    ReadString(key.Get(), u"Path", &drive.hostPath);
    DWORD type = DRIVE_UNKNOWN;
    DWORD size = sizeof type;
    DWORD valueType = 0;
    if (RegQueryValueExA(key.Get(), "Type", nullptr, &valueType, reinterpret_cast<BYTE*>(&type),
                         &size) != ERROR_SUCCESS ||
        valueType != REG_DWORD) {
      type = DRIVE_UNKNOWN;
    }
    drive.type = type;
  } else if (letter == 'C') {
    drive = {HomeFolder(), DRIVE_UNKNOWN};
  } else if (letter == 'Z') {
    drive = {"/", DRIVE_UNKNOWN};
  }
  if (drive.hostPath.empty()) drive.type = DRIVE_NO_ROOT_DIR;
  return drive;
}

// Program paths are in the system code page, host file names in UTF-8; the
// mapped folders of the tables are host names already.
std::string Slashes(std::string_view path) {
  std::string out = AnsiToUtf8(path);
  for (char& c : out) {
    if (c == '\\') c = '/';
  }
  return out;
}

// host + "/" + rest, without doubling the slash.
std::string Join(std::string host, std::string_view rest) {
  std::string tail = Slashes(rest);
  size_t skip = 0;
  while (skip < tail.size() && tail[skip] == '/') ++skip;
  tail.erase(0, skip);
  if (tail.empty()) return host;
  if (host.empty() || host.back() != '/') host += '/';
  return host + tail;
}

bool SameName(const std::string& a, const std::string& b) {
  return strcasecmp(a.c_str(), b.c_str()) == 0;
}

bool WriteMapping(const std::string& subKey, const std::string& hostPath, const UINT* type) {
  RegKey key;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, subKey.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr,
                      key.Out(), nullptr) != ERROR_SUCCESS) {
    return false;
  }
  const std::u16string wide = AnsiToWide(hostPath, CP_UTF8);
  bool ok = RegSetValueExW(key.Get(), u"Path", 0, REG_SZ,
                           reinterpret_cast<const BYTE*>(wide.c_str()),
                           static_cast<DWORD>((wide.size() + 1) * sizeof(char16_t))) ==
            ERROR_SUCCESS;
  if (ok && type != nullptr && *type != DRIVE_UNKNOWN) {
    DWORD value = *type;
    ok = RegSetValueExA(key.Get(), "Type", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                        sizeof value) == ERROR_SUCCESS;
  } else if (ok && type != nullptr) {
    RegDeleteValueA(key.Get(), "Type");
  }
  return ok;
}

}  // namespace

bool IsPathSeparator(char c) { return c == '\\' || c == '/'; }

PathParts SplitPath(std::string_view path) {
  PathParts parts;
  size_t slash = path.find_last_of("\\/");
  size_t nameStart = slash == std::string_view::npos ? 0 : slash + 1;
  // "C:name" has its folder in the drive prefix.
  if (slash == std::string_view::npos && DriveLetterOf(path) != 0) nameStart = 2;
  parts.folder = std::string(path.substr(0, nameStart));
  std::string_view name = path.substr(nameStart);
  size_t dot = name.rfind('.');
  if (dot == std::string_view::npos) {
    parts.baseName = std::string(name);
  } else {
    parts.baseName = std::string(name.substr(0, dot));
    parts.extension = std::string(name.substr(dot));
  }
  return parts;
}

std::string FileNameOf(std::string_view path) {
  PathParts parts = SplitPath(path);
  return parts.baseName + parts.extension;
}

std::string AppendSeparator(std::string_view path) {
  std::string out(path);
  if (!out.empty() && IsPathSeparator(out.back())) return out;
  size_t last = out.find_last_of("\\/");
  char separator = '\\';
  if (last != std::string::npos) {
    separator = out[last];
  } else if (DriveLetterOf(out) == 0 && !out.empty() && out.front() == '/') {
    separator = '/';
  }
  out += separator;
  return out;
}

char DriveLetterOf(std::string_view path) {
  if (path.size() >= 2 && path[1] == ':' && std::isalpha(static_cast<unsigned char>(path[0]))) {
    return static_cast<char>(std::toupper(static_cast<unsigned char>(path[0])));
  }
  return 0;
}

UINT GetDriveTypeA(LPCSTR root) {
  std::string_view text(root != nullptr ? root : "C:");
  char letter = DriveLetterOf(text);
  if (letter == 0) return DRIVE_NO_ROOT_DIR;
  if (text.size() > 3 || (text.size() == 3 && !IsPathSeparator(text[2]))) {
    return DRIVE_NO_ROOT_DIR;
  }
  const Drive drive = LookUpDrive(letter);
  // The mount table is read only for the type, never for a path.
  return drive.type == DRIVE_UNKNOWN ? DriveTypeOfFolder(CurrentMounts(), drive.hostPath)
                                     : drive.type;
}

DWORD GetLogicalDrives() {
  DWORD mask = 0;
  for (char letter = 'A'; letter <= 'Z'; ++letter) {
    if (!LookUpDrive(letter).hostPath.empty()) mask |= 1u << (letter - 'A');
  }
  return mask;
}

bool SetDriveMapping(char letter, const std::string& hostPath, UINT type) {
  letter = static_cast<char>(std::toupper(static_cast<unsigned char>(letter)));
  if (letter < 'A' || letter > 'Z') return false;
  return WriteMapping(std::string(kPlatformKey) + "\\Drives\\" + letter, hostPath, &type);
}

bool SetShareMapping(const std::string& server, const std::string& share,
                     const std::string& hostPath) {
  if (server.empty() || share.empty() || server.find_first_of("\\/") != std::string::npos ||
      share.find_first_of("\\/") != std::string::npos) {
    return false;
  }
  return WriteMapping(std::string(kPlatformKey) + "\\Shares\\" + server + "\\" + share,
                      hostPath, nullptr);
}

std::string ToHostPath(std::string_view path) {
  if (path.empty()) return {};
  if (path.size() >= 2 && IsPathSeparator(path[0]) && IsPathSeparator(path[1])) {
    std::string_view rest = path.substr(2);
    size_t serverEnd = rest.find_first_of("\\/");
    if (serverEnd == 0 || serverEnd == std::string_view::npos) return {};
    std::string_view server = rest.substr(0, serverEnd);
    rest = rest.substr(serverEnd + 1);
    size_t shareEnd = rest.find_first_of("\\/");
    std::string_view share = rest.substr(0, shareEnd);
    rest = shareEnd == std::string_view::npos ? std::string_view() : rest.substr(shareEnd);
    if (share.empty()) return {};
    RegKey key;
    std::string subKey = std::string(kPlatformKey) + "\\Shares\\" + std::string(server) + "\\" +
                         std::string(share);
    std::string host;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, subKey.c_str(), 0, KEY_READ, key.Out()) ==
        ERROR_SUCCESS) {
      if (!ReadString(key.Get(), u"Path", &host) || host.empty()) return {};
      return Join(host, rest);
    }
    for (const NetworkShare& mounted : MountedShares(CurrentMounts())) {
      if (SameName(mounted.server, std::string(server)) &&
          SameName(mounted.share, std::string(share))) {
        return Join(mounted.hostPath, rest);
      }
    }
    return {};
  }
  if (char letter = DriveLetterOf(path); letter != 0) {
    Drive drive = LookUpDrive(letter);
    if (drive.hostPath.empty()) return {};
    return Join(drive.hostPath, path.substr(2));
  }
  return Slashes(path);
}

std::vector<NetworkShare> ReachableShares() {
  std::vector<NetworkShare> shares;
  RegKey table;
  const std::string tableKey = std::string(kPlatformKey) + "\\Shares";
  if (RegOpenKeyExA(HKEY_CURRENT_USER, tableKey.c_str(), 0, KEY_READ, table.Out()) ==
      ERROR_SUCCESS) {
    char server[256];
    for (DWORD i = 0; RegEnumKeyA(table.Get(), i, server, sizeof server) == ERROR_SUCCESS; ++i) {
      RegKey serverKey;
      if (RegOpenKeyExA(table.Get(), server, 0, KEY_READ, serverKey.Out()) != ERROR_SUCCESS) {
        continue;
      }
      char share[256];
      for (DWORD j = 0; RegEnumKeyA(serverKey.Get(), j, share, sizeof share) == ERROR_SUCCESS;
           ++j) {
        RegKey shareKey;
        std::string host;
        if (RegOpenKeyExA(serverKey.Get(), share, 0, KEY_READ, shareKey.Out()) == ERROR_SUCCESS &&
            ReadString(shareKey.Get(), u"Path", &host) && !host.empty()) {
          shares.push_back({server, share, host});
        }
      }
    }
  }
  const size_t fromTable = shares.size();
  for (NetworkShare& mounted : MountedShares(CurrentMounts())) {
    bool named = false;
    for (size_t i = 0; i < fromTable && !named; ++i) {
      named = SameName(shares[i].server, mounted.server) &&
              SameName(shares[i].share, mounted.share);
    }
    if (!named) shares.push_back(std::move(mounted));
  }
  return shares;
}
