// The module registry: HKEY_CURRENT_USER\SOFTWARE\ZelVar\Quadrin, one subkey
// per module short ID with "style" (REG_DWORD), "extensions" and
// "description" (REG_SZ) and, for a converter component, "module" (REG_SZ:
// its file as an absolute path; a bare file name lies beside the layer's own
// library, which keeps the components built with the layer registered
// wherever the build is moved). Modules without a "module" value are the
// layer's built-in ones.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "drumlet/transfer_layer.h"

namespace quadrin {

constexpr const char* kRegistryRoot = "SOFTWARE\\ZelVar";
constexpr const char* kModulesKey = "Quadrin";
constexpr const char* kStyleValue = "style";
constexpr const char* kExtensionsValue = "extensions";
constexpr const char* kDescriptionValue = "description";
constexpr const char* kModuleFileValue = "module";

struct ModuleEntry {
  std::string shortId;
  std::string description;
  std::string extensions;  // '\'-separated, no dots
  std::string moduleFile;  // empty for a built-in module
  ModuleStyle style = 0;
};

// Short IDs in registry order.
std::vector<std::string> RegisteredModuleIds();
std::optional<ModuleEntry> FindModule(const std::string& shortId);
// The first module of the style whose extension list holds the extension
// (upper-case substring match, as hosts look readers up); nullopt when none.
std::optional<ModuleEntry> FindModuleForExtension(ModuleStyle style, const std::string& extension);
bool WriteModule(const ModuleEntry& entry, std::string* error);
bool RemoveModule(const std::string& shortId);

// The module file's host path.
std::string ModuleFilePath(const std::string& moduleFile);
// The folder of the layer's own library.
std::string LayerFolder();

}  // namespace quadrin
