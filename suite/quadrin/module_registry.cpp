// Reading and writing module entries.
#include "suite/quadrin/module_registry.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

#include "platform/base/module_path.h"
#include "platform/base/paths.h"
#include "platform/registry/reg_key.h"

namespace quadrin {
namespace {

std::string ModulesPath() { return std::string(kRegistryRoot) + "\\" + kModulesKey; }

std::string ReadText(const RegKey& key, const char* name) {
  std::string text;
  key.ReadString(name, &text);
  return text;
}

std::string Upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

}  // namespace

std::vector<std::string> RegisteredModuleIds() {
  std::vector<std::string> ids;
  RegKey modules;
  if (modules.Open(HKEY_CURRENT_USER, ModulesPath().c_str()) != ERROR_SUCCESS) return ids;
  for (DWORD index = 0;; ++index) {
    char name[256];
    DWORD size = sizeof name;
    const LONG result =
        RegEnumKeyExA(modules.Get(), index, name, &size, nullptr, nullptr, nullptr, nullptr);
    if (result == ERROR_NO_MORE_ITEMS) break;
    if (result == ERROR_SUCCESS) ids.emplace_back(name, size);
  }
  return ids;
}

std::optional<ModuleEntry> FindModule(const std::string& shortId) {
  if (shortId.empty() || shortId.size() >= kModuleIdSize) return std::nullopt;
  RegKey key;
  if (key.Open(HKEY_CURRENT_USER, (ModulesPath() + "\\" + shortId).c_str()) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  ModuleEntry entry;
  entry.shortId = shortId;
  DWORD type = 0;
  DWORD size = sizeof entry.style;
  if (RegQueryValueExA(key.Get(), kStyleValue, nullptr, &type,
                       reinterpret_cast<BYTE*>(&entry.style), &size) != ERROR_SUCCESS ||
      size != sizeof entry.style) {
    entry.style = 0;
  }
  entry.description = ReadText(key, kDescriptionValue);
  entry.extensions = ReadText(key, kExtensionsValue);
  entry.moduleFile = ReadText(key, kModuleFileValue);
  return entry;
}

std::optional<ModuleEntry> FindModuleForExtension(ModuleStyle style,
                                                  const std::string& extension) {
  if (extension.empty()) return std::nullopt;
  const std::string wanted = Upper(extension);
  for (const std::string& id : RegisteredModuleIds()) {
    std::optional<ModuleEntry> entry = FindModule(id);
    if (entry && (entry->style & style) != 0 &&
        Upper(entry->extensions).find(wanted) != std::string::npos) {
      return entry;
    }
  }
  return std::nullopt;
}

bool WriteModule(const ModuleEntry& entry, std::string* error) {
  const std::string path = ModulesPath() + "\\" + entry.shortId;
  RegKey key;
  LONG result = key.Create(HKEY_CURRENT_USER, path.c_str());
  auto text = [&](const char* name, const std::string& value) {
    if (result == ERROR_SUCCESS) {
      result = RegSetValueExA(key.Get(), name, 0, REG_SZ,
                              reinterpret_cast<const BYTE*>(value.c_str()),
                              static_cast<DWORD>(value.size() + 1));
    }
  };
  if (result == ERROR_SUCCESS) {
    result = RegSetValueExA(key.Get(), kStyleValue, 0, REG_DWORD,
                            reinterpret_cast<const BYTE*>(&entry.style), sizeof entry.style);
  }
  text(kExtensionsValue, entry.extensions);
  text(kDescriptionValue, entry.description);
  if (entry.moduleFile.empty()) {
    if (result == ERROR_SUCCESS) RegDeleteValueA(key.Get(), kModuleFileValue);
  } else {
    text(kModuleFileValue, entry.moduleFile);
  }
  if (result == ERROR_SUCCESS) result = RegFlushKey(key.Get());
  if (result != ERROR_SUCCESS) {
    const std::string hive = RegHiveError();
    *error = "cannot write HKEY_CURRENT_USER\\" + path + ": " +
             (hive.empty() ? SystemMessage(result) : hive);
    return false;
  }
  return true;
}

bool RemoveModule(const std::string& shortId) {
  if (shortId.empty()) return false;
  RegKey modules;
  if (modules.Open(HKEY_CURRENT_USER, ModulesPath().c_str(), KEY_ALL_ACCESS) != ERROR_SUCCESS) {
    return false;
  }
  const bool removed = RegDeleteTreeA(modules.Get(), shortId.c_str()) == ERROR_SUCCESS;
  RegFlushKey(modules.Get());
  return removed;
}

std::string ModuleFilePath(const std::string& moduleFile) {
  if (moduleFile.find('/') != std::string::npos) return ToHostPath(moduleFile);
  return (std::filesystem::path(LayerFolder()) / moduleFile).string();
}

std::string LayerFolder() {
  static const int kAnchor = 0;
  return std::filesystem::path(ModulePathOf(&kAnchor)).parent_path().string();
}

}  // namespace quadrin
