// Opening the agent's files through the path mapping.
#include "agent/file_ptr.h"

#include <unistd.h>

#include "platform/base/paths.h"

FilePtr OpenFile(const std::string& path, const char* mode) {
  std::string host = ToHostPath(path);
  if (host.empty()) return nullptr;
  return FilePtr(std::fopen(host.c_str(), mode));
}

bool FileExists(const std::string& path) {
  std::string host = ToHostPath(path);
  return !host.empty() && access(host.c_str(), F_OK) == 0;
}
