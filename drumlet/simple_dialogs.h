// The simple mode's small dialogs: "Default Recorder" and "Insert Disk"
// (a question answered with OK or Cancel), "Select Recorder" with the
// device list built under "Listing...", and the two progress windows,
// "Burning" and "Erasing", which show what the simple mode reports.
#pragma once

#include <string>
#include <vector>

#include "drumlet/simple_resources.h"
#include "drumlet/transfer_layer.h"
#include "platform/ui/framework/cdialog.h"

namespace drumlet {

class SimpleMode;

// A dialog whose skinned buttons IDOK and IDCANCEL end it (plain buttons
// end it as any dialog's do).
class SimpleQuestionDialog : public CDialog {
 public:
  SimpleQuestionDialog(int templateId, bool skinned);

 protected:
  BOOL OnInitDialog() override;
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

 private:
  bool m_skinned;
};

// "Select Recorder": true with the device chosen.
bool SelectRecorder(DeviceInfo* chosen);

// "Burning": the progress of preparing and burning; its Cancel asks before
// it cancels. Finish and Cancel are the simple mode's to handle.
class SimpleBurnDialog : public CDialog {
 public:
  explicit SimpleBurnDialog(SimpleMode* mode);
  // Refreshes the bar and texts from what the simple mode reported.
  void Refresh();

 protected:
  BOOL OnInitDialog() override;
  void OnCancel() override;
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

 private:
  SimpleMode* m_mode;
};

// "Erasing": the progress of formatting.
class SimpleEraseDialog : public CDialog {
 public:
  explicit SimpleEraseDialog(SimpleMode* mode);

 protected:
  BOOL OnInitDialog() override;
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;

 private:
  SimpleMode* m_mode;
};

// The registered messages of the two progress windows.
UINT SimpleBurnProgressMessage();
UINT SimpleBurnFinishMessage();
UINT SimpleBurnCancelMessage();
UINT SimpleEraseProgressMessage();

}  // namespace drumlet
