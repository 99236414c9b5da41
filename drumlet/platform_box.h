// The platform's own message box as the library shows it for the messages
// that do not use its skinned box: caption "zelvar QAP", owned by the
// foreground window.
#pragma once

#include "platform/ui/ui_types.h"

namespace drumlet {

inline constexpr const char* kBoxCaption = "zelvar QAP";

// style: the icon (MB_ICONERROR, MB_ICONWARNING) and buttons; the answer.
int PlatformBox(const char* text, UINT style);

}  // namespace drumlet
