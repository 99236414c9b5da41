// The layer's objects as both recorder user interfaces make and read them.
#include "drumlet/recorder_objects.h"

#include <cstring>
#include <filesystem>

#include "drumlet/library_state.h"
#include "platform/base/paths.h"

namespace drumlet {

CommunicationPtr MakeCommunicationObject(const char* shortId) {
  ModuleDescriptor descriptor;
  std::memset(&descriptor, 0, sizeof descriptor);
  ICommunication* object = nullptr;
  if (CreateCommunicationObject(&object, shortId, &descriptor) != kQuadrinOk) return nullptr;
  return CommunicationPtr(object);
}

bool IsDiscImageDevice(const char* moduleId, DWORD index) {
  return index == 0 && std::strncmp(moduleId, "QuadrinCDWriter", kModuleIdSize) == 0;
}

std::string FreshDiscImagePath() {
  const std::string path = SplitPath(Library().skinPath).folder + "image.cdi";
  namespace fs = std::filesystem;
  // The CUE sheet beside the image is its table of contents: the two go
  // together, or the writer would find a sheet without its disc.
  for (const std::string& host : {ToHostPath(path), ToHostPath(path + ".cue")}) {
    std::error_code failure;
    if (!fs::is_regular_file(fs::symlink_status(host, failure))) continue;
    fs::permissions(host, fs::perms::owner_write, fs::perm_options::add, failure);
    fs::remove(host, failure);
  }
  return path;
}

bool EndSucceeded(DWORD value, const void* data) {
  if (value != kTransferCompleted) return false;
  if (data == nullptr) return true;
  DWORD word = 0;
  std::memcpy(&word, data, sizeof word);
  return word == 0;
}

}  // namespace drumlet
