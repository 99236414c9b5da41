// Icons from modules' resources, found by the module's file.
#include "platform/shell/shell_icons.h"

#include <dlfcn.h>
#include <link.h>

#include "platform/base/codepage.h"
#include "platform/base/paths.h"
#include "platform/ui/resources.h"

void ShellImages(ui::res::ModuleResources* resources);

namespace {

// The handle (load address) of the module at host path, loading it when no
// one has; null when it cannot be loaded.
HINSTANCE ModuleAt(const std::string& hostPath) {
  void* handle = dlopen(hostPath.c_str(), RTLD_NOW | RTLD_NOLOAD);
  const bool wasLoaded = handle != nullptr;
  if (!wasLoaded) handle = dlopen(hostPath.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr) return nullptr;
  link_map* map = nullptr;
  HINSTANCE instance = nullptr;
  // The dynamic section lies inside the module, so it names the module.
  if (dlinfo(handle, RTLD_DI_LINKMAP, &map) == 0 && map != nullptr)
    instance = ui::res::ModuleHandleOf(map->l_ld);
  // A module loaded here stays, as the shell keeps what it extracted from.
  if (wasLoaded) dlclose(handle);
  return instance;
}

struct Nth {
  int wanted;
  int seen = 0;
  int id = 0;
};

BOOL TakeNth(HMODULE, LPCSTR, LPSTR name, LONG_PTR param) {
  auto* nth = reinterpret_cast<Nth*>(param);
  if (nth->seen++ != nth->wanted) return TRUE;
  nth->id = static_cast<int>(reinterpret_cast<std::uintptr_t>(name));
  return FALSE;
}

}  // namespace

HINSTANCE ShellModule() {
  static const ui::res::ModuleResources resources = [] {
    ui::res::ModuleResources made;
    ShellImages(&made);
    return made;
  }();
  static const HINSTANCE module = ui::res::RegisterModuleResources(&resources);
  return module;
}

UINT ExtractIconExW(LPCWSTR file, int index, HICON* large, HICON* small, UINT count) {
  if (large != nullptr) *large = nullptr;
  if (small != nullptr) *small = nullptr;
  if (file == nullptr || count == 0 || (large == nullptr && small == nullptr)) return 0;
  HINSTANCE module = ModuleAt(ToHostPath(WideToAnsi(file)));
  if (module == nullptr) return 0;
  int id = -index;
  if (index >= 0) {
    Nth nth{index};
    if (!EnumResourceNamesA(static_cast<HMODULE>(module), RT_GROUP_ICON, TakeNth,
                            reinterpret_cast<LONG_PTR>(&nth)) ||
        nth.id == 0)
      return 0;
    id = nth.id;
  }
  HICON icon = LoadIconA(module, MAKEINTRESOURCEA(id));
  if (icon == nullptr) return 0;
  if (large != nullptr) *large = icon;
  if (small != nullptr) *small = large != nullptr ? CopyIcon(icon) : icon;
  return 1;
}
