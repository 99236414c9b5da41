// The platform message box with the library's caption.
#include "drumlet/platform_box.h"

#include "platform/ui/user32.h"

namespace drumlet {

int PlatformBox(const char* text, UINT style) {
  return MessageBoxA(GetForegroundWindow(), text, kBoxCaption, style);
}

}  // namespace drumlet
