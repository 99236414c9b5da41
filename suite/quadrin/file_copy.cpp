// The copy loop. Where source and destination lie alike within their pages
// (a player's file, a disc's first track, a disc image's track whose
// prepared file was laid out for the place it lands on), the kernel copies
// from file to file, page for page. Audio CD sectors (2352 bytes) put the
// other tracks mid-page, where the kernel's file-to-file copy writes each
// page in two pieces; there the source is mapped and written from memory,
// which is about a sixth faster. The mapped sources are the recorder's own
// prepared files.
#include "suite/quadrin/file_copy.h"

#include <sys/mman.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

namespace quadrin {
namespace {

// Big enough for full speed, small enough for a prompt stop and a smooth
// progress figure.
constexpr std::uint64_t kChunkBytes = 8 << 20;

// Calls copy(offset, length) for each chunk, with the stop and the progress
// between chunks.
template <typename Copy>
CopyResult ForEachChunk(std::uint64_t bytes, const ProgressFunction& progress,
                        const std::atomic<bool>& abort, std::string* error, Copy&& copy) {
  unsigned shown = 0;
  progress(0);
  for (std::uint64_t done = 0; done < bytes;) {
    if (abort) return CopyResult::kAborted;
    const auto chunk = static_cast<size_t>(std::min(kChunkBytes, bytes - done));
    const ssize_t copied = copy(done, chunk);
    if (copied < 0) {
      *error = std::strerror(errno);
      return CopyResult::kFailed;
    }
    if (copied == 0) {
      *error = "the prepared file is shorter than it was";
      return CopyResult::kFailed;
    }
    done += static_cast<std::uint64_t>(copied);
    const auto percent = static_cast<unsigned>(done * 100 / bytes);
    if (percent != shown) progress(shown = percent);
  }
  return CopyResult::kDone;
}

ssize_t WriteAll(int out, const char* data, size_t length, std::uint64_t at) {
  size_t written = 0;
  while (written < length) {
    const ssize_t n = pwrite(out, data + written, length - written, static_cast<off_t>(at + written));
    if (n <= 0) return -1;
    written += static_cast<size_t>(n);
  }
  return static_cast<ssize_t>(written);
}

struct Mapping {
  void* address = MAP_FAILED;
  size_t length = 0;
  ~Mapping() {
    if (address != MAP_FAILED) munmap(address, length);
  }
};

}  // namespace

std::string SystemError(const std::string& what) {
  return what + ": " + std::strerror(errno);
}

CopyResult CopyInto(int in, std::uint64_t inOffset, int out, std::uint64_t outOffset,
                    std::uint64_t bytes, const ProgressFunction& progress,
                    const std::atomic<bool>& abort, std::string* error) {
  struct stat status {};
  // A source shorter than it should be is left to the copy below, which
  // reports it; reading a mapping past its file's end would fault.
  if (outOffset % kPageBytes != inOffset % kPageBytes && bytes != 0 && fstat(in, &status) == 0 &&
      static_cast<std::uint64_t>(status.st_size) >= inOffset + bytes) {
    // Mapped from the page that holds inOffset.
    const std::uint64_t skipped = inOffset % kPageBytes;
    Mapping source;
    source.length = static_cast<size_t>(skipped + bytes);
    source.address = mmap(nullptr, source.length, PROT_READ, MAP_SHARED | MAP_POPULATE, in,
                          static_cast<off_t>(inOffset - skipped));
    if (source.address != MAP_FAILED) {
      const char* data = static_cast<const char*>(source.address) + skipped;
      return ForEachChunk(bytes, progress, abort, error, [&](std::uint64_t done, size_t chunk) {
        return WriteAll(out, data + done, chunk, outOffset + done);
      });
    }
  }
  bool kernelCopy = true;
  std::vector<char> buffer;
  return ForEachChunk(bytes, progress, abort, error, [&](std::uint64_t done, size_t chunk) -> ssize_t {
    auto inAt = static_cast<off_t>(inOffset + done);
    auto outAt = static_cast<off_t>(outOffset + done);
    if (kernelCopy) {
      const ssize_t copied = copy_file_range(in, &inAt, out, &outAt, chunk, 0);
      if (copied >= 0 || (errno != EXDEV && errno != ENOSYS && errno != EINVAL &&
                          errno != EOPNOTSUPP)) {
        return copied;
      }
      kernelCopy = false;
    }
    buffer.resize(chunk);
    const ssize_t got = pread(in, buffer.data(), chunk, inAt);
    return got <= 0 ? got : WriteAll(out, buffer.data(), static_cast<size_t>(got), outOffset + done);
  });
}

}  // namespace quadrin
