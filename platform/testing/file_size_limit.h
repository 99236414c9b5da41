// A full disk for the writers under test: while the object lives, no file
// of this process or of the programs it starts may grow past a size. A
// write past it fails with EFBIG ("File too large") as a write to a full
// disk fails with ENOSPC, without needing a file system of its own.
#pragma once

#include <signal.h>
#include <sys/resource.h>

#include <cstdint>

namespace qap::testing {

class FileSizeLimit {
 public:
  explicit FileSizeLimit(std::uint64_t bytes);
  ~FileSizeLimit();
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

 private:
  rlimit m_previous{};
  struct sigaction m_previousAction {};
};

}  // namespace qap::testing
