// The layer's inside view of a device: what the device objects answer and
// what the recorder burns and erases through. Two kinds exist: a disc image
// written as an audio CD, and a portable player's music folder.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "drumlet/transfer_layer.h"

namespace quadrin {

// Whole percents, from the thread doing the work.
using ProgressFunction = std::function<void(unsigned percent)>;

// The form tracks take on a device.
enum class DeviceForm {
  kCdAudio,      // raw CD-DA: 44100 Hz, 16 bits, stereo, little-endian
  kPlayerFiles,  // files a player plays (MP3, WMA), one per track
};

// One track ready to be stored: its prepared file and what names it.
struct PreparedTrack {
  std::string file;  // host path
  std::uint64_t offset = 0;  // where its bytes begin in the file
  std::uint64_t bytes = 0;
  std::string name;  // system code page
  TagBlock tags{};
};

class Device {
 public:
  virtual ~Device() = default;

  // The storage's name for messages (system code page).
  virtual std::string StorageName() const = 0;
  virtual DeviceForm Form() const = 0;
  // For kPlayerFiles: whether a file with this extension (lower case, no
  // dot) is stored as it is.
  virtual bool TakesAsIs(const std::string& extension) const = 0;
  virtual std::uint64_t Capacity() = 0;
  virtual std::uint64_t FreeSpace() = 0;
  // The room a prepared file of this size takes on the medium.
  virtual std::uint64_t SpaceFor(std::uint64_t bytes) const = 0;
  // Where the next track stored would begin in the file that backs the
  // medium, so that a preparation can lay its file out alike (0 when each
  // track is a file of its own).
  virtual std::uint64_t NextTrackOffset() { return 0; }
  // How many more tracks the medium can hold.
  virtual std::size_t TracksLeft() = 0;
  // False, with what is wrong, when the medium cannot be read; tracks
  // cannot be added to it then either.
  virtual bool ListTracks(std::vector<TrackEntry>* tracks, std::string* error) = 0;
  // Leaves the medium as it was when it fails or is aborted.
  virtual bool Store(const PreparedTrack& track, const ProgressFunction& progress,
                     const std::atomic<bool>& abort, std::string* error) = 0;
  // Stops between tracks when aborted: each track is there or gone.
  virtual bool Erase(const ProgressFunction& progress, const std::atomic<bool>& abort,
                     std::string* error) = 0;
};

class DeviceModule {
 public:
  virtual ~DeviceModule() = default;
  virtual std::vector<std::string> DeviceNames() = 0;
  // imagePath (system code page) may be null; null with a reason when the
  // device cannot be opened.
  virtual std::shared_ptr<Device> Open(DWORD index, const char* imagePath, std::string* error) = 0;
};

}  // namespace quadrin
