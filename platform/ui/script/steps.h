// The steps of window scripts: what each command takes, and carrying one
// out in a turn of the thread.
#pragma once

#include <chrono>
#include <string>

#include "platform/ui/script/script.h"

namespace ui::script {

struct Outcome {
  enum class Kind {
    kDone,     // go on with the next step in this turn
    kActed,    // queued input: the next step comes after the thread handled it
    kAgain,    // queued input and the step goes on: run it again next turn
    kWaiting,  // nothing yet: look again when the thread next waits
    kFailed,
  };
  Kind kind = Kind::kDone;
  std::string message;  // why it failed
};

struct StepContext {
  HWND* current;  // the script's current window
  const Services* services;
  std::chrono::steady_clock::time_point deadline;  // of a waiting step
};

// Whether step names a command with the words it takes.
bool CheckStep(const Step& step, std::string* error);
// The time-out of a waiting step ("timeout S" at its end), 10 s unless given.
std::chrono::milliseconds TimeoutOf(const Step& step);
Outcome RunStep(const Step& step, StepContext& context);

}  // namespace ui::script
