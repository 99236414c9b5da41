// The person a host puts at the dialog library's recorder dialog: a window
// script that chooses the device, erases the medium when asked, presses
// Prepare and waits for the preparation, presses Burn and waits for the
// burn, reads what became of every track and exits; and the person who
// answers the simple mode's questions.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/ui/script/script.h"

namespace qap {

struct BurnRequest {
  std::string device;  // as the dialog's device list names it
  bool erase = false;
  // Called with the dialog after the preparation ("prepared") and after
  // the burn ("burned"); for pictures.
  std::function<void(HWND dialog, const std::string& moment)> onMoment;
};

struct BurnOutcome {
  std::string error;  // why the dialog could not be driven to the end
  std::vector<std::string> messages;  // every box the dialog showed, in order
  std::vector<std::string> names;     // the track list's rows
  std::vector<bool> prepared;         // per row: drawn as prepared after the burn
  std::string status;                 // the status line at the end
  bool burned = false;                // "Burning completed"
  double prepareSeconds = 0;          // from Prepare pressed to its completion shown
  double burnSeconds = 0;             // from Burn pressed to its completion shown
};

// The script; outcome is filled in as it runs.
ui::script::Script BurnScript(const BurnRequest& request, std::shared_ptr<BurnOutcome> outcome);

// What the simple mode asked and said, and what became of the tracks.
struct SimpleOutcome {
  std::vector<std::string> messages;  // every box it showed, in order
  std::vector<int> refused;           // 1-based numbers of the tracks it left out
  bool sawBurning = false;            // its "Burning" window came
  bool pictured = false;
  bool deviceContent = false;         // "Device Content" was shown
};

// The person at the simple mode: refused tracks are let go, "Device
// Content" is answered with "Format medium" when erase is asked for (else
// the recording is cancelled there), every other question with Cancel.
// Holds until the simple mode has ended (IsRecording says 0).
ui::script::Script SimpleScript(bool erase, const std::function<void(HWND, const std::string&)>& onMoment,
                                std::shared_ptr<SimpleOutcome> outcome);

}  // namespace qap
