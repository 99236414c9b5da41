// The library's state, one instance per process from load to unload: the
// device table with its cursor, the track queue, the skin path, and whether
// a dialog runs.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "drumlet/transfer_layer.h"

namespace drumlet {

constexpr size_t kTrackQueueCapacity = 100;

// Which recorder user interface runs (only one may at a time).
constexpr DWORD kRecorderIdle = 0;
constexpr DWORD kRecorderDialogOpen = 1;
constexpr DWORD kSimpleModeRunning = 2;

struct LibraryState {
  LibraryState();

  std::vector<DeviceInfo> deviceTable;
  DWORD deviceCursor = 0;
  std::array<TrackEntry, kTrackQueueCapacity> trackQueue{};
  DWORD trackCount = 0;
  std::string skinPath;  // the host program's folder + "Drumlet.skn" until a host names one
  BYTE converting = 0;
  DWORD recorderState = kRecorderIdle;
};

LibraryState& Library();

}  // namespace drumlet
