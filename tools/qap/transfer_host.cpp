// The transfer verbs' shared pieces.
#include "tools/qap/transfer_host.h"

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>

#include "options/options.h"
#include "platform/base/paths.h"
#include "platform/base/text_field.h"
#include "suite/hobrin/tag_block.h"

namespace qap {
namespace {

std::string Upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

}  // namespace

TransferObject CreateObject(const std::string& shortId) {
  ICommunication* object = nullptr;
  ModuleDescriptor descriptor;
  if (CreateCommunicationObject(&object, shortId.c_str(), &descriptor) != kQuadrinOk) return nullptr;
  return TransferObject(object);
}

std::vector<ModuleInfo> ListModules(ModuleStyle mask) {
  std::vector<ModuleInfo> modules;
  CWMRegUtil registry;
  if (!registry.Open()) return modules;
  std::vector<char> names(kMaxModules * kModuleIdSize);
  const int count = registry.EnumSubItems("Quadrin", names.data(), kMaxModules, kModuleIdSize);
  for (int i = 0; i < count; ++i) {
    const char* name = names.data() + static_cast<size_t>(i) * kModuleIdSize;
    ModuleInfo info{};
    if (!registry.SetPath("Quadrin", name) ||
        !registry.GetValue("style", &info.style, sizeof info.style) ||
        (info.style & mask) == 0) {
      continue;
    }
    CopyToField(info.shortId, sizeof info.shortId, name);
    registry.GetValue("extensions", info.extensions, sizeof info.extensions);
    registry.GetValue("description", info.description, sizeof info.description);
    modules.push_back(info);
  }
  return modules;
}

const ModuleInfo* ModuleForExtension(const std::vector<ModuleInfo>& modules,
                                     const std::string& extension) {
  if (extension.empty()) return nullptr;
  const std::string wanted = Upper(extension);
  for (const ModuleInfo& module : modules) {
    if (Upper(module.extensions).find(wanted) != std::string::npos) return &module;
  }
  return nullptr;
}

std::vector<DeviceInfo> ListDevices() {
  std::vector<DeviceInfo> devices;
  std::vector<char> ids(kMaxModules * kModuleIdSize);
  DWORD count = 0;
  if (EnumRegisteredModules(ids.data(), kModuleIdSize, &count) != kQuadrinOk) return devices;
  for (DWORD i = 0; i < count; ++i) {
    const std::string id = ids.data() + static_cast<size_t>(i) * kModuleIdSize;
    TransferObject module = CreateObject(id);
    ModuleStyle style = 0;
    DWORD deviceCount = 0;
    if (!module || module->Command(kCmdGetStyle, &style) != kQuadrinOk ||
        (style & kStyleDevice) == 0 ||
        module->Command(kCmdGetDeviceCount, &deviceCount) != kQuadrinOk) {
      continue;
    }
    for (DWORD index = 0; index < deviceCount; ++index) {
      DeviceNameQuery query{};
      query.index = index;
      if (module->Command(kCmdDescribeDevice, &query) != kQuadrinOk) continue;
      DeviceInfo device{};
      CopyToField(device.moduleId, sizeof device.moduleId, id);
      device.index = index;
      std::memcpy(device.name, query.name, sizeof device.name);
      devices.push_back(device);
    }
  }
  return devices;
}

bool LoadTransferOptions(TQuadrinInitStruct* init) {
  LoadOptions();
  return ConvertOptionsToTQuadrinInitStruct(&GetIRecordingOption(), init) == kQuadrinOk;
}

bool ReadTags(const std::string& path, TrackEntry* entry) {
  if (!ReadTagBlock(path.c_str(), &entry->tags)) return false;
  if (entry->tags.presence != 0) entry->flags |= kTrackTagsRead;
  return true;
}

std::string ExtensionOf(const std::string& path) {
  std::string extension = SplitPath(path).extension;
  return extension.empty() ? extension : extension.substr(1);
}

}  // namespace qap
