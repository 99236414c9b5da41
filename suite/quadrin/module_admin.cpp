// Registration: a component describes itself through its exports and its
// kind (command 6); what it says is checked before it goes into the registry.
#include "suite/quadrin/module_admin.h"

#include <cstring>
#include <filesystem>

#include "converters/component_loader.h"
#include "platform/base/codepage.h"
#include "platform/base/paths.h"
#include "platform/base/text_field.h"
#include "suite/quadrin/object_factory.h"
#include "suite/quadrin/portable_device.h"

namespace quadrin {
namespace {

// The components built with the layer, by module file.
constexpr const char* kBuiltinComponents[] = {
    "libLumbrix.so",          "libWentrix.so",          "libQuadrinWavReader.so",
    "libQuadrinWavWriter.so", "libQuadrinMp3Reader.so", "libQuadrinMp3Writer.so",
};

void Report(const std::string& text, char* error, DWORD errorSize) {
  if (error != nullptr && errorSize != 0) CopyToField(error, errorSize, text);
}

bool IsBuiltinId(const std::string& shortId) {
  for (const ModuleEntry& entry : BuiltinModules()) {
    if (entry.shortId == shortId) return true;
  }
  return false;
}

// storedAs: what the registry keeps as the module file.
bool RegisterComponent(const std::string& hostPath, const std::string& storedAs,
                       ModuleEntry* registered, std::string* error) {
  ComponentModule module(hostPath);
  if (!module.Loaded()) {
    *error = module.Error();
    return false;
  }
  const ConverterDescription* description = module.Description();
  const char* extensions = module.Extensions();
  if (description == nullptr || extensions == nullptr) {
    *error = hostPath + " does not describe itself";
    return false;
  }
  ModuleEntry entry;
  entry.shortId = FieldText(description->shortName, sizeof description->shortName);
  entry.description = FieldText(description->description, sizeof description->description);
  entry.extensions = FieldText(extensions, kExtensionListSize);
  entry.moduleFile = storedAs;
  if (entry.shortId.empty() || entry.shortId.size() >= kModuleIdSize ||
      entry.shortId.find('\\') != std::string::npos || IsBuiltinId(entry.shortId)) {
    *error = hostPath + " names itself \"" + entry.shortId + "\", which cannot be a module's short ID";
    return false;
  }
  if (entry.extensions.size() >= kExtensionListSize) {
    *error = hostPath + " lists more extensions than fit";
    return false;
  }
  ConverterPtr object = module.Create();
  DWORD kind = 0;
  if (!object || object->Command(ConvGetKind, &kind) != kConvSuccess ||
      (kind != kModuleStyleReader && kind != kModuleStyleWriter)) {
    *error = hostPath + " is neither a reader nor a writer";
    return false;
  }
  object.reset();
  entry.style = kind;
  if (!WriteModule(entry, error)) return false;
  *registered = entry;
  return true;
}

}  // namespace
}  // namespace quadrin

using namespace quadrin;

extern "C" {

QAP_EXPORT std::int32_t RegisterModuleFile(const char* path, ModuleDescriptor* registered,
                                           char* error, DWORD errorSize) {
  try {
    if (path == nullptr || *path == '\0') {
      Report("no module file named", error, errorSize);
      return kQuadrinFailed;
    }
    std::error_code failure;
    const std::string host = ToHostPath(path);
    const std::filesystem::path absolute = std::filesystem::absolute(host, failure);
    if (host.empty() || failure || !std::filesystem::is_regular_file(absolute, failure)) {
      Report(std::string(path) + " is not a file", error, errorSize);
      return kQuadrinFailed;
    }
    ModuleEntry entry;
    std::string reason;
    if (!RegisterComponent(absolute.string(), Utf8ToAnsi(absolute.string()), &entry, &reason)) {
      Report(reason, error, errorSize);
      return kQuadrinFailed;
    }
    if (registered != nullptr) {
      CopyToField(registered->shortId, sizeof registered->shortId, entry.shortId);
      CopyToField(registered->description, sizeof registered->description, entry.description);
    }
    return kQuadrinOk;
  } catch (...) {
    Report("out of memory", error, errorSize);
    return kQuadrinFailed;
  }
}

QAP_EXPORT std::int32_t RegisterBuiltinModules(char* error, DWORD errorSize) {
  try {
    std::string reasons;
    for (const char* file : kBuiltinComponents) {
      const std::string host = ModuleFilePath(file);
      ModuleEntry entry;
      std::string reason;
      if (!RegisterComponent(host, file, &entry, &reason)) {
        reasons += (reasons.empty() ? "" : "; ") + reason;
      }
    }
    for (const ModuleEntry& entry : BuiltinModules()) {
      std::string reason;
      if (!WriteModule(entry, &reason)) reasons += (reasons.empty() ? "" : "; ") + reason;
    }
    Report(reasons, error, errorSize);
    return reasons.empty() ? kQuadrinOk : kQuadrinFailed;
  } catch (...) {
    Report("out of memory", error, errorSize);
    return kQuadrinFailed;
  }
}

QAP_EXPORT std::int32_t UnregisterModule(const char* shortId) {
  try {
    return shortId != nullptr && RemoveModule(shortId) ? kQuadrinOk : kQuadrinFailed;
  } catch (...) {
    return kQuadrinFailed;
  }
}

QAP_EXPORT std::int32_t AddPortablePlayer(const char* name, const char* folder, DWORD capacityMb,
                                          char* error, DWORD errorSize) {
  try {
    std::string reason;
    if (name == nullptr || folder == nullptr) {
      Report("a player needs a name and a folder", error, errorSize);
      return kQuadrinFailed;
    }
    if (!AddPortableDevice(PortableConfig{name, folder, capacityMb}, &reason)) {
      Report(reason, error, errorSize);
      return kQuadrinFailed;
    }
    return kQuadrinOk;
  } catch (...) {
    Report("out of memory", error, errorSize);
    return kQuadrinFailed;
  }
}

QAP_EXPORT std::int32_t RemovePortablePlayer(const char* name) {
  try {
    return name != nullptr && RemovePortableDevice(name) ? kQuadrinOk : kQuadrinFailed;
  } catch (...) {
    return kQuadrinFailed;
  }
}

}  // extern "C"
