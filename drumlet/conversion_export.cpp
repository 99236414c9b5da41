// InvokeConversionDlg: the options the layer makes of the host's, or the
// defaults without them, and the dialog run modally.
#include <cstring>

#include "drumlet/conversion_dialog.h"
#include "drumlet/drumlet.h"
#include "drumlet/library_state.h"
#include "drumlet/platform_box.h"
#include "platform/com/hresult.h"
#include "platform/ui/driver.h"
#include "platform/ui/user32.h"
#include "platform/base/text_field.h"

namespace {

// The options of a host that gives none; without a temporary folder every run
// asks where the files go.
TQuadrinInitStruct DefaultOptions() {
  TQuadrinInitStruct init;
  std::memset(&init, 0, sizeof init);
  init.value40 = 10000;
  init.value44 = 10000;
  init.value56 = 2;
  init.bitRateKbps = 96;
  init.value64 = 16;
  init.value72 = 0;
  init.value76 = 0;
  init.value80 = 1;
  CopyToField(init.filterName, sizeof init.filterName, "FakeFilter");
  return init;
}

}  // namespace

extern "C" void InvokeConversionDlg(IRecordingOption* options) {
  TQuadrinInitStruct init = DefaultOptions();
  if (options != nullptr) {
    std::memset(&init, 0, sizeof init);
    if (ConvertOptionsToTQuadrinInitStruct(options, &init) != kQuadrinOk) return;
  }
  drumlet::LibraryState& library = drumlet::Library();
  library.converting = 1;
  {
    drumlet::ConversionDialog dialog(init);
    if (dialog.DoModal() == -1) {
      // Nobody there to answer it has been said already; a template that
      // cannot be made has not.
      const bool unregistered = static_cast<HRESULT>(GetLastError()) == REGDB_E_CLASSNOTREG;
      if (ui::driver::HasClient()) {
        drumlet::PlatformBox(unregistered ? "The conversion dialog cannot be shown: the skin controls it "
                                            "embeds are not registered"
                                          : "The conversion dialog cannot be shown",
                             MB_OK | MB_ICONERROR);
      }
    }
  }
  library.converting = 0;
}
