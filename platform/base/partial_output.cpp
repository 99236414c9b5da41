// The plain-file check before the removal.
#include "platform/base/partial_output.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

bool RemovePartialOutput(const std::string& hostPath) {
  struct stat status {};
  if (hostPath.empty() || lstat(hostPath.c_str(), &status) != 0) return errno == ENOENT;
  if (!S_ISREG(status.st_mode)) return false;
  return unlink(hostPath.c_str()) == 0 || errno == ENOENT;
}
