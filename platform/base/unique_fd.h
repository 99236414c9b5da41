// Owns a POSIX file descriptor and closes it.
#pragma once

#include <unistd.h>

#include "platform/base/unique_owner.h"

struct FdTraits {
  using Handle = int;
  static constexpr int kNone = -1;
  static void Close(int fd) { ::close(fd); }
};

class UniqueFd : public UniqueOwner<FdTraits> {
 public:
  using UniqueOwner::UniqueOwner;
  // Closes now; false when the close reports a failed write, which a
  // writer must not take for a complete file.
  bool Close() {
    const int fd = Release();
    return fd < 0 || ::close(fd) == 0;
  }
};
