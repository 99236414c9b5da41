// Device listings through the layer's module objects.
#include "drumlet/device_list.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "drumlet/module_list.h"
#include "drumlet/platform_box.h"
#include "platform/base/text_field.h"
#include "platform/ui/user32.h"

namespace drumlet {

namespace {

CommunicationPtr MakeObject(const char* shortId, ModuleDescriptor* descriptor) {
  std::memset(descriptor, 0, sizeof *descriptor);
  ICommunication* object = nullptr;
  if (CreateCommunicationObject(&object, shortId, descriptor) != kQuadrinOk) return nullptr;
  return CommunicationPtr(object);
}

// Each device the module's object describes, in index order.
template <typename Append>
void DevicesOf(ICommunication* module, Append append) {
  DWORD count = 0;
  if (module->Command(kCmdGetDeviceCount, &count) != kQuadrinOk) return;
  for (DWORD index = 0; index < count; ++index) {
    DeviceNameQuery query{};
    query.index = index;
    if (module->Command(kCmdDescribeDevice, &query) != kQuadrinOk) continue;
    DeviceInfo device{};
    device.index = index;
    std::memcpy(device.name, query.name, sizeof device.name);
    device.name[sizeof device.name - 1] = '\0';
    append(device);
  }
}

}  // namespace

bool EnumerateDeviceModules(std::vector<DeviceInfo>* table) {
  table->clear();
  std::vector<ModuleInfo> modules;
  if (!ListModules(kStyleDevice, &modules)) return false;
  for (const ModuleInfo& module : modules) {
    ModuleDescriptor descriptor;
    CommunicationPtr object = MakeObject(module.shortId, &descriptor);
    if (!object) continue;
    DevicesOf(object.get(), [&](DeviceInfo device) {
      CopyToField(device.moduleId, sizeof device.moduleId, FieldText(module.shortId, sizeof module.shortId));
      table->push_back(device);
    });
  }
  return true;
}

void ListDevicesThroughObjects(std::vector<DeviceInfo>* devices, HWND combo) {
  std::vector<char> ids(kMaxModules * kModuleIdSize, '\0');
  DWORD count = 0;
  if (EnumRegisteredModules(ids.data(), kModuleIdSize, &count) != kQuadrinOk) return;
  for (DWORD i = 0; i < count && i < kMaxModules; ++i) {
    char id[kModuleIdSize];
    CopyToField(id, sizeof id, FieldText(ids.data() + i * kModuleIdSize, kModuleIdSize));
    ModuleDescriptor descriptor;
    CommunicationPtr object = MakeObject(id, &descriptor);
    if (!object) continue;
    ModuleStyle style = 0;
    object->Command(kCmdGetStyle, &style);
    if ((style & kStyleDevice) == 0) continue;
    DevicesOf(object.get(), [&](DeviceInfo device) {
      CopyToField(device.moduleId, sizeof device.moduleId,
                  FieldText(descriptor.shortId, sizeof descriptor.shortId));
      devices->push_back(device);
      if (combo != nullptr) {
        SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(device.name));
      }
    });
  }
}

int ListStoredTracks(ICommunication* pCommunication, std::vector<TrackEntry>* pTracks) {
  if (pCommunication == nullptr || pTracks == nullptr) return -1;
  if (pCommunication->Command(kCmdBeginTrackList, nullptr) != kQuadrinOk) {
    char storage[kDeviceNameSize] = "";
    pCommunication->Command(kCmdGetStorageName, storage);
    storage[sizeof storage - 1] = '\0';
    char text[sizeof storage + 64];
    std::snprintf(text, sizeof text, "Cannot start enumerating storage \"%s\"", storage);
    PlatformBox(text, MB_OK | MB_ICONERROR);
    return -1;
  }
  pTracks->clear();
  for (;;) {
    TrackEntry entry{};
    if (pCommunication->Command(kCmdNextTrack, &entry) != kQuadrinOk) break;
    pTracks->push_back(entry);
  }
  return static_cast<int>(pTracks->size());
}

}  // namespace drumlet
