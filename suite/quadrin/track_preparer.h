// Preparing one track for a device: its source decoded by its reader module
// into the device's form (raw CD-DA for a CD; for a player an MP3 file made
// by the registered MP3 writer, or the source itself when the player plays
// it as it is). Runs on the recorder's thread and waits there for the
// reader's delivery, so that progress reaches the host from that thread.
#pragma once

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <string>

#include "suite/quadrin/device.h"

namespace quadrin {

struct PreparedFile {
  std::string path;  // host path
  std::uint64_t offset = 0;  // where its bytes begin in the file
  std::uint64_t bytes = 0;
  bool owned = false;  // made by the preparation, removed with the recorder
};

// What the recorder's thread waits on; aborting raises the flag under the
// lock and wakes the waiter.
struct WaitPoint {
  std::mutex& lock;
  std::condition_variable& changed;
  const std::atomic<bool>& abort;
};

// A reader module for the entry: its own reader short ID, else the first
// reader that lists the source's extension. Empty when none.
std::string ReaderIdFor(const TrackEntry& entry);

// outputBase: a host path without extension for the file made. landsAt:
// where on the medium's backing file the track is expected to be stored
// (Device::NextTrackOffset onwards); a CD track's file then lies alike
// within its pages, which lets the burn copy it in the kernel.
TransferResult PrepareTrack(const TrackEntry& entry, Device& device,
                            const TQuadrinInitStruct& options, const std::string& outputBase,
                            std::uint64_t landsAt,
                            const ProgressFunction& progress, WaitPoint wait,
                            PreparedFile* prepared, std::string* error);

}  // namespace quadrin
