// The exports over the library's state: the device table and its cursor, the
// track queue, the skin path and the running flags.
#include <cstring>
#include <string_view>

#include "drumlet/device_list.h"
#include "drumlet/drumlet.h"
#include "drumlet/library_state.h"
#include "platform/base/text_field.h"

namespace {

using drumlet::Library;

// Whether text fits a field of size bytes with its terminator.
bool Fits(const char* text, size_t size) { return std::strlen(text) < size; }

}  // namespace

extern "C" {

BYTE EnumAllDevices() {
  return drumlet::EnumerateDeviceModules(&Library().deviceTable) ? 1 : 0;
}

BYTE EnumDevicesReset() {
  Library().deviceCursor = 0;
  return 1;
}

BYTE EnumDevicesNext(DeviceInfo* pDI) {
  drumlet::LibraryState& library = Library();
  if (pDI == nullptr || library.deviceCursor >= library.deviceTable.size()) return 0;
  *pDI = library.deviceTable[library.deviceCursor++];
  return 1;
}

BYTE GetShortID(const char* deviceName, DWORD deviceIndex, char* shortId) {
  if (deviceName == nullptr || shortId == nullptr) return 0;
  for (const DeviceInfo& device : Library().deviceTable) {
    if (device.index == deviceIndex && FieldText(device.name, sizeof device.name) == deviceName) {
      std::memcpy(shortId, device.moduleId, sizeof device.moduleId);
      return 1;
    }
  }
  return 0;
}

DWORD AddNewTrack(const char* name, const char* sourcePath, const char* readerShortId) {
  drumlet::LibraryState& library = Library();
  if (library.trackCount >= drumlet::kTrackQueueCapacity) return 0;
  // A text that does not fit its field would run into the next one.
  if (name == nullptr || sourcePath == nullptr || readerShortId == nullptr ||
      !Fits(name, kTrackNameSize) || !Fits(sourcePath, kTrackPathSize) ||
      !Fits(readerShortId, kModuleIdSize)) {
    return 0;
  }
  TrackEntry& entry = library.trackQueue[library.trackCount];
  std::memset(&entry, 0, sizeof entry);
  std::strcpy(entry.sourcePath, sourcePath);
  std::strcpy(entry.readerId, readerShortId);
  std::strcpy(entry.name, name);
  ++library.trackCount;
  return 1;
}

DWORD GetTrackQueueSize() { return Library().trackCount; }

void FreeTrackQueue() { Library().trackCount = 0; }

void SetSkinPath(const char* path) {
  if (path != nullptr) Library().skinPath = path;
}

BYTE IsConverting() { return Library().converting; }

DWORD IsRecording() { return Library().recorderState != drumlet::kRecorderIdle ? 1 : 0; }

}  // extern "C"
