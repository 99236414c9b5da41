// Showing windows to a person. The window system works headless; a
// front-end (platform/ui/qt, a module loaded at run time, so that nothing but
// it links Qt) mirrors the windows of one thread into real widgets and sends
// the person's actions back through the driver. It is used when there is a
// display (DISPLAY or WAYLAND_DISPLAY) unless QAP_UI=headless, or when
// QAP_UI=gui; screenshots load it offscreen on demand.
#pragma once

#include <string>

#include "platform/base/export.h"
#include "platform/ui/ui_types.h"

namespace ui {

enum class DisplayMode { kAuto, kGui, kHeadless };

// Overrides QAP_UI for this process (qap's --gui and --headless).
QAP_EXPORT void SetDisplayMode(DisplayMode mode);
// Whether this process was told to show windows (--gui, or QAP_UI=gui).
QAP_EXPORT bool WantsDisplayAsked();
// Whether windows of this process should be shown to a person.
QAP_EXPORT bool WantsDisplay();
// Starts the front-end on the calling thread when windows should be shown
// and none runs yet; true when one runs on the calling thread. offscreen
// renders without a display (for pictures only).
QAP_EXPORT bool StartFrontEnd(bool offscreen = false, std::string* error = nullptr);
QAP_EXPORT bool FrontEndRunsHere();
// A PNG picture of a window as the front-end shows it, made on the window's
// thread; starts the front-end offscreen there when none runs.
QAP_EXPORT bool Screenshot(HWND window, const std::string& file, std::string* error);

// Starts the window script named by QAP_UI_SCRIPT on the calling thread,
// once per process (see platform/ui/script/SCRIPT.md).
QAP_EXPORT void StartScriptFromEnvironment();

// What the front-end module offers the window system, filled in by its entry
// point "QapUiStartFrontEnd".
struct FrontEndInterface {
  bool (*screenshot)(HWND window, const char* file, std::string* error);
};
using StartFrontEndFunction = bool (*)(bool offscreen, FrontEndInterface* out, std::string* error);

}  // namespace ui
