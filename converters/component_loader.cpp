// dlopen, the three exports, dlclose.
#include "converters/component_loader.h"

#include <dlfcn.h>

#include <cstdlib>
#include <filesystem>

#include "platform/base/module_path.h"

ComponentModule::ComponentModule(const std::string& path) {
  m_handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (m_handle == nullptr) {
    const char* reason = dlerror();
    m_error = reason != nullptr ? reason : "cannot load " + path;
    return;
  }
  auto create = reinterpret_cast<CreateObjectFunction>(dlsym(m_handle, kCreateObjectExport));
  m_description =
      reinterpret_cast<GetDescriptionFunction>(dlsym(m_handle, kGetDescriptionExport));
  m_extensions = reinterpret_cast<GetExtensionsFunction>(dlsym(m_handle, kGetExtensionsExport));
  if (create == nullptr || m_description == nullptr || m_extensions == nullptr) {
    m_error = path + " is not a converter component (an export is missing)";
    return;
  }
  m_create = create;
}

ComponentModule::~ComponentModule() {
  if (m_handle != nullptr) dlclose(m_handle);
}

const ConverterDescription* ComponentModule::Description() const {
  return m_description != nullptr ? m_description() : nullptr;
}

const char* ComponentModule::Extensions() const {
  return m_extensions != nullptr ? m_extensions() : nullptr;
}

ConverterPtr ComponentModule::Create() const {
  Converter* object = nullptr;
  if (m_create == nullptr || m_create(&object) != kConvSuccess) return nullptr;
  return ConverterPtr(object);
}

std::string ComponentPath(const std::string& component) {
  const char* binDir = std::getenv("QAP_BIN_DIR");
  std::filesystem::path folder = binDir != nullptr && *binDir != '\0'
                                     ? std::filesystem::path(binDir)
                                     : std::filesystem::path(ExecutablePath()).parent_path();
  return (folder / ("lib" + component + ".so")).string();
}
