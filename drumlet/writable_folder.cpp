// Folders the conversion may write into.
#include "drumlet/writable_folder.h"

#include <unistd.h>

#include <filesystem>

#include "platform/base/paths.h"

namespace drumlet {

bool FolderIsWritable(const std::string& folder) {
  const std::string host = ToHostPath(folder);
  std::error_code failure;
  return !host.empty() && std::filesystem::is_directory(host, failure) &&
         access(host.c_str(), W_OK | X_OK) == 0;
}

}  // namespace drumlet
