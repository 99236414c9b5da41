// The session's window directory: each process that shows windows takes a
// name of its own on the session bus and answers two calls there, the list
// of its windows and a copy-data message to one of them, so that a process
// can find and reach the windows of another as Windows' EnumWindows and
// WM_COPYDATA do across processes. The transport only: what a window is,
// is the window system's business.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/base/export.h"

namespace qap::automation {

struct DirectoryEntry {
  std::uint64_t window = 0;
  std::uint64_t parent = 0;  // 0 for a top-level window
  std::string className;
  std::string title;
};

// What a process answers about its own windows; called on the bus's
// threads.
class WindowDirectorySource {
 public:
  virtual std::vector<DirectoryEntry> Windows() = 0;
  // Delivers copy-data to one of the process's windows and waits for its
  // answer; false when there is no such window.
  virtual bool CopyData(std::uint64_t window, std::uint64_t from, std::uint64_t data,
                        const std::vector<std::uint8_t>& bytes, std::int64_t* result) = 0;
  // Writes a picture of one of the process's windows to file; false with
  // the reason when it cannot.
  virtual bool Picture(std::uint64_t window, const std::string& file, std::string* error) = 0;

 protected:
  ~WindowDirectorySource() = default;
};

// Takes this process's name and answers from source until the process
// ends. False when there is no session bus to be reached.
QAP_EXPORT bool PublishWindows(WindowDirectorySource* source);

// The windows of every other process of the session that publishes its
// own; a process that does not answer within timeout is left out.
QAP_EXPORT std::vector<DirectoryEntry> ListSessionWindows(std::chrono::milliseconds timeout);

// Copy-data to a window of another process (the process is named by the
// window's handle), waiting at most timeout for the answer; false when the
// process is gone, has no such window or did not answer in time.
QAP_EXPORT bool SendCopyData(std::uint64_t window, std::uint64_t from, std::uint64_t data,
                             const std::vector<std::uint8_t>& bytes, std::int64_t* result,
                             std::chrono::milliseconds timeout);

// Has the process of window write a picture of it to file.
QAP_EXPORT bool RequestPicture(std::uint64_t window, const std::string& file, std::string* error,
                               std::chrono::milliseconds timeout);

// The bus name of the process that made window.
QAP_EXPORT std::string DirectoryNameOf(std::uint64_t window);

}  // namespace qap::automation
