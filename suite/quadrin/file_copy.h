// Copying a prepared track onto a medium: in large chunks through the
// kernel (copy_file_range, falling back to read and write), with progress
// and a prompt stop between chunks.
#pragma once

#include <unistd.h>

#include <atomic>
#include <cstdint>
#include <string>

#include "platform/base/unique_fd.h"
#include "suite/quadrin/device.h"

namespace quadrin {

enum class CopyResult { kDone, kAborted, kFailed };

constexpr std::uint64_t kPageBytes = 4096;

// Copies bytes from in at inOffset to out at outOffset. A source shorter
// than that fails. On failure, error is the system's reason alone ("No
// space left on device"), for the caller to say what it was copying to.
CopyResult CopyInto(int in, std::uint64_t inOffset, int out, std::uint64_t outOffset,
                    std::uint64_t bytes,
                    const ProgressFunction& progress, const std::atomic<bool>& abort,
                    std::string* error);

// "No room left on the medium" and the like, for errno.
std::string SystemError(const std::string& what);

}  // namespace quadrin
