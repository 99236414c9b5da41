// The person a host puts at the dialog library's conversion dialog: a window
// script that chooses the kind of output, the destination (the temporary
// folder, or a folder typed into "Select Destination Path"), presses
// Convert, waits for every track's status, reads them and exits.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/ui/script/script.h"

namespace qap {

struct ConversionRequest {
  std::string extension;    // of the output kind, as the dialog lists it
  std::string destination;  // empty: the temporary folder
  size_t tracks = 0;        // how many rows the dialog will list
  // Called with the dialog when its choices are made ("ready") and when
  // every track has its status ("done"); for pictures.
  std::function<void(HWND dialog, const std::string& moment)> onMoment;
};

struct TrackResult {
  std::string name;    // the track column
  std::string status;  // the status column: the output's path when converted
  bool converted = false;
};

struct ConversionOutcome {
  std::string error;  // why the dialog could not be driven to the end
  std::vector<TrackResult> rows;
};

// The script; outcome is filled in as it runs.
ui::script::Script ConversionScript(const ConversionRequest& request,
                                    std::shared_ptr<ConversionOutcome> outcome);

}  // namespace qap
