// The recorder exports' checks: without the host's options nothing starts,
// and only one recorder user interface runs at a time.
#include "drumlet/drumlet.h"
#include "drumlet/library_state.h"
#include "platform/ui/user32.h"

namespace {

using drumlet::Library;

// Whether a recorder user interface may start: options that the layer takes,
// and none running (else the warning, without an owner).
bool RecorderMayStart(IRecordingOption* options, const char* busyWarning) {
  if (options == nullptr) return false;
  TQuadrinInitStruct init{};
  if (ConvertOptionsToTQuadrinInitStruct(options, &init) != kQuadrinOk) return false;
  if (Library().recorderState != drumlet::kRecorderIdle) {
    MessageBoxA(nullptr, busyWarning, "Warning", MB_OK | MB_ICONWARNING);
    return false;
  }
  return true;
}

}  // namespace

extern "C" {

void InvokeAdvancedDlg(IRecordingOption* options) {
  RecorderMayStart(options, "Burning has already been started");
}

void InvokeSimpleMode(IRecordingOption* options, const char*, DWORD) {
  RecorderMayStart(options, "Recording is already started");
}

BYTE CloseSimpleMode() {
  return Library().recorderState != drumlet::kSimpleModeRunning ? 1 : 0;
}

}  // extern "C"
