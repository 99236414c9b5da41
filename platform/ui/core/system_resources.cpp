// The window system's own resources: the system icons (IDI_*) that message
// boxes and LoadIcon(nullptr, ...) use.
#include "platform/ui/resources.h"

void UiSystemImages(ui::res::ModuleResources* resources);

namespace {

const ui::res::ModuleResources& SystemResources() {
  static const ui::res::ModuleResources resources = [] {
    ui::res::ModuleResources made;
    UiSystemImages(&made);
    return made;
  }();
  return resources;
}

const HINSTANCE g_registered = ui::res::RegisterModuleResources(&SystemResources());

}  // namespace
