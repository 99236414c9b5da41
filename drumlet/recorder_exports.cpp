// The recorder exports: without the host's options nothing starts, and only
// one recorder user interface runs at a time; the recorder dialog runs
// modally, the simple mode until its burn has ended.
#include "drumlet/drumlet.h"
#include "drumlet/library_state.h"
#include "drumlet/platform_box.h"
#include "drumlet/recorder_dialog.h"
#include "drumlet/simple_mode.h"
#include "platform/com/hresult.h"
#include "platform/ui/driver.h"
#include "platform/ui/user32.h"

namespace {

using drumlet::Library;

// Whether a recorder user interface may start: options that the layer takes
// (into *init), and none running (else the warning, without an owner).
bool RecorderMayStart(IRecordingOption* options, const char* busyWarning, TQuadrinInitStruct* init) {
  if (options == nullptr) return false;
  if (ConvertOptionsToTQuadrinInitStruct(options, init) != kQuadrinOk) return false;
  if (Library().recorderState != drumlet::kRecorderIdle) {
    MessageBoxA(nullptr, busyWarning, "Warning", MB_OK | MB_ICONWARNING);
    return false;
  }
  return true;
}

}  // namespace

extern "C" {

void InvokeAdvancedDlg(IRecordingOption* options) {
  TQuadrinInitStruct init{};
  if (!RecorderMayStart(options, "Burning has already been started", &init)) return;
  drumlet::LibraryState& library = Library();
  library.recorderState = drumlet::kRecorderDialogOpen;
  {
    drumlet::RecorderDialog dialog(init);
    // Nobody there to answer it has been said already; a template that
    // cannot be made has not.
    if (dialog.DoModal() == -1 && ui::driver::HasClient()) {
      const bool unregistered = static_cast<HRESULT>(GetLastError()) == REGDB_E_CLASSNOTREG;
      drumlet::PlatformBox(unregistered ? "The recorder dialog cannot be shown: the skin controls it "
                                          "embeds are not registered"
                                        : "The recorder dialog cannot be shown",
                           MB_OK | MB_ICONERROR);
    }
  }
  library.recorderState = drumlet::kRecorderIdle;
}

void InvokeSimpleMode(IRecordingOption* options, const char* shortId, DWORD deviceIndex) {
  TQuadrinInitStruct init{};
  if (!RecorderMayStart(options, "Recording is already started", &init)) return;
  drumlet::LibraryState& library = Library();
  library.recorderState = drumlet::kSimpleModeRunning;
  drumlet::SimpleMode& mode = drumlet::SimpleMode::Instance();
  mode.Invoke(init, shortId, deviceIndex);
  // A burn goes on under its window: the simple mode runs until it ends.
  if (!mode.Running()) library.recorderState = drumlet::kRecorderIdle;
}

BYTE CloseSimpleMode() {
  if (Library().recorderState != drumlet::kSimpleModeRunning) return 1;
  return drumlet::SimpleMode::Instance().Close();
}

}  // extern "C"
