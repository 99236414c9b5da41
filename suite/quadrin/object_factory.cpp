// Each object keeps its module until the component's object is gone; a
// module file, once loaded, stays loaded for the rest of the process.
#include "suite/quadrin/object_factory.h"

#include <map>
#include <memory>
#include <mutex>
#include <new>

#include "converters/component_loader.h"
#include "suite/quadrin/cd_image_device.h"
#include "suite/quadrin/device_object.h"
#include "suite/quadrin/portable_device.h"
#include "suite/quadrin/reader_object.h"
#include "suite/quadrin/recorder_object.h"
#include "suite/quadrin/writer_object.h"

namespace quadrin {
namespace {

// As a program's libraries stay loaded until it frees them on purpose: the
// device list makes and ends an object of every module each time a dialog
// opens, and a reader built on FFmpeg brings a hundred libraries with it,
// tens of milliseconds to load and link each time. A file that failed to
// load is tried again next time.
std::shared_ptr<ComponentModule> LoadModule(const std::string& path) {
  static std::mutex lock;
  static std::map<std::string, std::shared_ptr<ComponentModule>> loaded;
  std::lock_guard guard(lock);
  std::shared_ptr<ComponentModule>& module = loaded[path];
  if (!module || !module->Loaded()) module = std::make_shared<ComponentModule>(path);
  return module;
}

}  // namespace

std::vector<ModuleEntry> BuiltinModules() {
  return {
      {kCdWriterId, "Audio CD writer - CD-DA disc image with a CUE sheet", "", "", kStyleDevice},
      {kPortableId, "Portable player - music folder of MP3 and WMA files", "mp3\\wma", "",
       kStyleDevice},
      {kRecorderId, "Recorder - prepares tracks for a device and burns them", "", "",
       kStyleRecorder},
  };
}

CommunicationObject* MakeObject(const std::string& shortId, ModuleEntry* entry,
                                std::string* error) {
  std::optional<ModuleEntry> found = FindModule(shortId);
  if (!found) {
    *error = "no module \"" + shortId + "\" is registered";
    return nullptr;
  }
  *entry = *found;
  if (found->moduleFile.empty()) {
    if (shortId == kCdWriterId) return new DeviceObject(std::make_shared<CdImageModule>());
    if (shortId == kPortableId) return new DeviceObject(std::make_shared<PortableModule>());
    if (shortId == kRecorderId) return new RecorderObject;
    *error = "the module \"" + shortId + "\" names no module file";
    return nullptr;
  }
  const std::string path = ModuleFilePath(found->moduleFile);
  std::shared_ptr<ComponentModule> module = LoadModule(path);
  if (!module->Loaded()) {
    *error = module->Error();
    return nullptr;
  }
  ConverterPtr converter = module->Create();
  DWORD kind = 0;
  if (!converter || converter->Command(ConvGetKind, &kind) != kConvSuccess) {
    *error = path + " could not make a converter object";
    return nullptr;
  }
  if (kind == kModuleStyleReader) return new ReaderObject(std::move(module), std::move(converter));
  if (kind == kModuleStyleWriter) return new WriterObject(std::move(module), std::move(converter));
  *error = path + " is neither a reader nor a writer";
  return nullptr;
}

ObjectPtr MakeOwnedObject(const std::string& shortId, std::string* error) {
  ModuleEntry entry;
  return Own(MakeObject(shortId, &entry, error));
}

}  // namespace quadrin
