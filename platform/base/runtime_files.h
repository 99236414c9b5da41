// Where the suite keeps its per-user runtime files: the hive, the cookie jar
// and the music database. Each can be moved by its own environment variable;
// otherwise it lives in the XDG folder for its kind. Header-only, so that the
// registry, which sits below this library, can use it too.
#pragma once

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

namespace qap {

inline std::string HomeFolder() {
  if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') return home;
  if (const passwd* entry = getpwuid(getuid()); entry != nullptr && entry->pw_dir != nullptr) {
    return entry->pw_dir;
  }
  return ".";
}

// $overrideVariable when set, else $xdgVariable/qap/fileName, where a missing
// or relative XDG folder (which XDG says to ignore) becomes
// HOME/xdgDefaultUnderHome.
inline std::string RuntimeFilePath(const char* overrideVariable, const char* xdgVariable,
                                   const char* xdgDefaultUnderHome, const char* fileName) {
  if (const char* path = std::getenv(overrideVariable); path != nullptr && *path != '\0') {
    return path;
  }
  const char* xdg = std::getenv(xdgVariable);
  std::string folder = xdg != nullptr && xdg[0] == '/'
                           ? std::string(xdg)
                           : HomeFolder() + "/" + xdgDefaultUnderHome;
  return folder + "/qap/" + fileName;
}

inline std::string RegistryHivePath() {
  return RuntimeFilePath("QAP_REGISTRY", "XDG_CONFIG_HOME", ".config", "registry.db");
}
inline std::string CookieJarPath() {
  return RuntimeFilePath("QAP_COOKIE_JAR", "XDG_DATA_HOME", ".local/share", "cookies.txt");
}
inline std::string MusicDatabasePath() {
  return RuntimeFilePath("QAP_MUSIC_DB", "XDG_DATA_HOME", ".local/share", "music.db");
}

}  // namespace qap
