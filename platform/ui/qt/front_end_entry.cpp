// The front-end module's entry point, which the window system looks up when
// it loads the module.
#include "platform/base/export.h"
#include "platform/ui/front_end.h"
#include "platform/ui/qt/front_end.h"

extern "C" QAP_EXPORT bool QapUiStartFrontEnd(bool offscreen, ui::FrontEndInterface* out,
                                               std::string* error) {
  auto* frontEnd = new ui::qt::FrontEnd(offscreen);
  if (!frontEnd->Start(error)) {
    delete frontEnd;
    return false;
  }
  out->screenshot = [](HWND window, const char* file, std::string* reason) {
    ui::qt::FrontEnd* instance = ui::qt::FrontEnd::Instance();
    return instance != nullptr && instance->Screenshot(window, file, reason);
  };
  return true;
}
