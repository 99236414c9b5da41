// The person a host puts at the dialog library's recorder dialog: a window
// script that chooses the device, erases the medium when asked, presses
// Prepare and waits for the preparation, presses Burn and waits for the
// burn, reads what became of every track and exits.
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
};

// The script; outcome is filled in as it runs.
ui::script::Script BurnScript(const BurnRequest& request, std::shared_ptr<BurnOutcome> outcome);

}  // namespace qap
