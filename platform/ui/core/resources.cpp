// The resource registry: modules by handle, and the lookups by id.
#include "platform/ui/resources.h"

#include <dlfcn.h>

#include <algorithm>
#include <cstring>
#include <mutex>
#include <unordered_map>

#include "platform/base/last_error.h"
#include "platform/ui/window_api.h"

namespace ui::res {

namespace {

struct Registry {
  std::mutex mutex;
  std::unordered_map<HINSTANCE, std::vector<const ModuleResources*>> modules;
};

Registry& GetRegistry() {
  static auto* registry = new Registry;
  return *registry;
}

// Resources are named by number here; a name that is a string of digits
// ("#102" in resource scripts) means the same number.
bool IdOf(LPCSTR name, int* id) {
  if (name == nullptr) return false;
  if (IS_INTRESOURCE(name)) {
    *id = static_cast<int>(reinterpret_cast<std::uintptr_t>(name));
    return true;
  }
  const char* digits = name[0] == '#' ? name + 1 : name;
  if (*digits == '\0') return false;
  for (const char* c = digits; *c != '\0'; ++c) {
    if (*c < '0' || *c > '9') return false;
  }
  *id = std::atoi(digits);
  return true;
}

template <typename Pick>
auto Lookup(HINSTANCE instance, LPCSTR name, Pick pick) -> decltype(pick(nullptr, 0)) {
  int id;
  if (!IdOf(name, &id)) {
    SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
    return {};
  }
  Registry& registry = GetRegistry();
  std::vector<const ModuleResources*> lists;
  {
    std::lock_guard lock(registry.mutex);
    auto it = registry.modules.find(instance);
    if (it == registry.modules.end()) {
      SetLastError(ERROR_RESOURCE_TYPE_NOT_FOUND);
      return {};
    }
    lists = it->second;
  }
  for (const ModuleResources* resources : lists) {
    if (auto found = pick(resources, id)) return found;
  }
  SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
  return {};
}

}  // namespace

HINSTANCE ModuleHandleOf(const void* address) {
  Dl_info info{};
  if (address == nullptr || dladdr(address, &info) == 0) return nullptr;
  return info.dli_fbase;
}

HINSTANCE RegisterModuleResources(const ModuleResources* resources) {
  HINSTANCE instance = ModuleHandleOf(resources);
  if (instance == nullptr) return nullptr;
  Registry& registry = GetRegistry();
  std::lock_guard lock(registry.mutex);
  registry.modules[instance].push_back(resources);
  return instance;
}

const MenuTemplate* FindMenuTemplate(HINSTANCE instance, LPCSTR name) {
  return Lookup(instance, name, [](const ModuleResources* resources, int id) -> const MenuTemplate* {
    if (resources == nullptr) return nullptr;
    for (const MenuTemplate* menu : resources->menus) {
      if (menu->id == id) return menu;
    }
    return nullptr;
  });
}

const AcceleratorTemplate* FindAcceleratorTemplate(HINSTANCE instance, LPCSTR name) {
  return Lookup(instance, name,
                [](const ModuleResources* resources, int id) -> const AcceleratorTemplate* {
                  if (resources == nullptr) return nullptr;
                  for (const AcceleratorTemplate* table : resources->accelerators) {
                    if (table->id == id) return table;
                  }
                  return nullptr;
                });
}

const ImageResource* FindImage(HINSTANCE instance, LPCSTR name, bool icon) {
  return Lookup(instance, name,
                [icon](const ModuleResources* resources, int id) -> const ImageResource* {
                  if (resources == nullptr) return nullptr;
                  for (const ImageResource& image : icon ? resources->icons : resources->bitmaps) {
                    if (image.id == id) return &image;
                  }
                  return nullptr;
                });
}

}  // namespace ui::res

using namespace ui::res;

const DialogTemplate* FindDialogTemplate(HINSTANCE instance, LPCSTR name) {
  return Lookup(instance, name, [](const ModuleResources* resources, int id) -> const DialogTemplate* {
    if (resources == nullptr) return nullptr;
    for (const DialogTemplate* dialog : resources->dialogs) {
      if (dialog->id == id) return dialog;
    }
    return nullptr;
  });
}

int LoadStringA(HINSTANCE instance, UINT id, LPSTR buffer, int size) {
  const char* text = Lookup(instance, MAKEINTRESOURCEA(static_cast<int>(id)),
                            [](const ModuleResources* resources, int wanted) -> const char* {
                              if (resources == nullptr) return nullptr;
                              for (const StringEntry& entry : resources->strings) {
                                if (entry.id == wanted) return entry.text;
                              }
                              return nullptr;
                            });
  if (buffer == nullptr || size <= 0) return 0;
  buffer[0] = '\0';
  if (text == nullptr) return 0;
  int length = std::min(static_cast<int>(std::strlen(text)), size - 1);
  std::memcpy(buffer, text, static_cast<size_t>(length));
  buffer[length] = '\0';
  return length;
}

HACCEL LoadAcceleratorsA(HINSTANCE instance, LPCSTR name) {
  const AcceleratorTemplate* table = FindAcceleratorTemplate(instance, name);
  if (table == nullptr) return nullptr;
  return CreateAcceleratorTableA(table->entries.data(), static_cast<int>(table->entries.size()));
}

BOOL EnumResourceNamesA(HMODULE module, LPCSTR type, ENUMRESNAMEPROCA proc, LONG_PTR param) {
  if (proc == nullptr || !IS_INTRESOURCE(type)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  std::vector<int> ids;
  {
    Registry& registry = GetRegistry();
    std::lock_guard lock(registry.mutex);
    auto it = registry.modules.find(module);
    if (it != registry.modules.end()) {
      for (const ModuleResources* resources : it->second) {
        auto add = [&ids](const auto& entries, auto idOf) {
          for (const auto& entry : entries) ids.push_back(idOf(entry));
        };
        auto image = [](const ImageResource& entry) { return entry.id; };
        auto byPointer = [](const auto* entry) { return entry->id; };
        if (type == RT_GROUP_ICON) add(resources->icons, image);
        if (type == RT_BITMAP) add(resources->bitmaps, image);
        if (type == RT_MENU) add(resources->menus, byPointer);
        if (type == RT_DIALOG) add(resources->dialogs, byPointer);
        if (type == RT_ACCELERATOR) add(resources->accelerators, byPointer);
      }
    }
  }
  std::sort(ids.begin(), ids.end());
  ids.erase(std::unique(ids.begin(), ids.end()), ids.end());
  if (ids.empty()) {
    SetLastError(ERROR_RESOURCE_TYPE_NOT_FOUND);
    return FALSE;
  }
  // proc runs without the registry's lock: it may look resources up.
  for (int id : ids) {
    if (!proc(module, type, const_cast<LPSTR>(MAKEINTRESOURCEA(id)), param)) break;
  }
  return TRUE;
}
