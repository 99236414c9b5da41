// The library's one registration of resources. A dialog's template lives in
// the dialog's own file, declared in resources.h; list it here.
#include "drumlet/resources.h"

#include <iterator>

#include "drumlet/conversion_resources.h"
#include "drumlet/recorder_resources.h"
#include "drumlet/simple_resources.h"

// Made by qap_embed_images from drumlet/images.
void DrumletImages(ui::res::ModuleResources* resources);

namespace {

const ui::res::ModuleResources& Resources() {
  static const ui::res::ModuleResources resources = [] {
    ui::res::ModuleResources made;
    made.dialogs = {
        &kZVMessageBoxTemplate,
        &kDestinationPathTemplate,
        &drumlet::kConversionTemplate,
        &drumlet::kRecorderTemplate,
        &drumlet::kDefaultRecorderTemplate,
        &drumlet::kInsertDiskTemplate,
        &drumlet::kDeviceContentTemplate,
        &drumlet::kSelectRecorderTemplate,
        &drumlet::kErasingTemplate,
        &drumlet::kSimpleBurningTemplate,
        &drumlet::kListingTemplate,
    };
    made.menus = {&drumlet::kConversionMenu};
    made.strings.assign(std::begin(drumlet::kConversionStrings), std::end(drumlet::kConversionStrings));
    DrumletImages(&made);
    return made;
  }();
  return resources;
}

}  // namespace

HINSTANCE DrumletInstance() {
  static const HINSTANCE instance = ui::res::RegisterModuleResources(&Resources());
  return instance;
}
