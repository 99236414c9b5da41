// Module lists from the registry view, the extension lookups and the filter.
#include "drumlet/module_list.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include "platform/base/paths.h"
#include "platform/base/text_field.h"

namespace drumlet {

namespace {

// Fifty slots of a short ID each, as the layer enumerates its modules.
constexpr int kModuleSlots = static_cast<int>(kMaxModules);
constexpr int kSlotSize = static_cast<int>(kModuleIdSize);

std::string Upper(std::string_view text) {
  std::string upper(text);
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return upper;
}

}  // namespace

bool ListModules(ModuleStyle kind, std::vector<ModuleInfo>* modules) {
  CWMRegUtil registry;
  if (!registry.Open()) return false;
  std::vector<char> names(kMaxModules * kModuleIdSize, '\0');
  const int count = registry.EnumSubItems("Quadrin", names.data(), kModuleSlots, kSlotSize);
  for (int i = 0; i < count; ++i) {
    const char* name = names.data() + static_cast<size_t>(i) * kModuleIdSize;
    ModuleInfo info{};
    registry.SetPath("Quadrin", name);
    registry.GetValue("style", &info.style, sizeof info.style);
    if ((info.style & kind) == 0) continue;
    registry.GetValue("extensions", info.extensions, sizeof info.extensions);
    registry.GetValue("description", info.description, sizeof info.description);
    CopyToField(info.shortId, sizeof info.shortId, FieldText(name, kModuleIdSize));
    modules->push_back(info);
  }
  return true;
}

std::vector<std::string> ExtensionsOf(const ModuleInfo& module) {
  std::vector<std::string> extensions;
  const std::string_view list = FieldText(module.extensions, sizeof module.extensions);
  size_t start = 0;
  while (start <= list.size()) {
    const size_t end = std::min(list.find('\\', start), list.size());
    if (end > start) extensions.emplace_back(list.substr(start, end - start));
    start = end + 1;
  }
  return extensions;
}

std::vector<std::string> DistinctExtensions(const std::vector<ModuleInfo>& modules) {
  std::vector<std::string> extensions;
  for (const ModuleInfo& module : modules) {
    for (std::string& extension : ExtensionsOf(module)) {
      if (std::find(extensions.begin(), extensions.end(), extension) == extensions.end()) {
        extensions.push_back(std::move(extension));
      }
    }
  }
  return extensions;
}

const ModuleInfo* ModuleForExtension(const std::vector<ModuleInfo>& modules,
                                     std::string_view extension) {
  if (extension.empty()) return nullptr;
  const std::string wanted = Upper(extension);
  for (const ModuleInfo& module : modules) {
    if (Upper(FieldText(module.extensions, sizeof module.extensions)).find(wanted) !=
        std::string::npos) {
      return &module;
    }
  }
  return nullptr;
}

const ModuleInfo* ReaderForFile(const std::vector<ModuleInfo>& readers, std::string_view path) {
  const std::string extension = SplitPath(path).extension;
  // The extension keeps its dot; a name ending in a dot has none.
  return extension.size() < 2 ? nullptr : ModuleForExtension(readers, std::string_view(extension).substr(1));
}

std::string BuildFilter(const std::vector<ModuleInfo>& modules) {
  const std::vector<std::string> extensions = DistinctExtensions(modules);
  std::string filter = "All Files|";
  for (size_t i = 0; i < extensions.size(); ++i) {
    if (i > 0) filter += ';';
    filter += "*." + extensions[i];
  }
  filter += '|';
  for (const std::string& extension : extensions) filter += extension + "|*." + extension + "|";
  return filter + "|";
}

}  // namespace drumlet
