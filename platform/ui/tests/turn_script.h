// A person's steps for a test that opens modal windows: each step waits
// until a window with the title (or class) it names shows on the test's
// thread, enabled, then acts on it through the driver. A script that waits
// too long for a window, or whose steps are all taken while a dialog or
// menu stays open, gives up and closes what is open, so a test fails
// instead of hanging.
#pragma once

#include <chrono>
#include <deque>
#include <functional>
#include <string>

#include "platform/ui/driver.h"

namespace ui::testing {

class TurnScript : public driver::TurnTaker {
 public:
  explicit TurnScript(std::chrono::milliseconds patience = std::chrono::seconds(5));
  ~TurnScript() override;
  TurnScript(const TurnScript&) = delete;
  TurnScript& operator=(const TurnScript&) = delete;

  TurnScript& When(const std::string& title, std::function<void(HWND)> act);
  TurnScript& WhenClass(const std::string& className, std::function<void(HWND)> act);

  bool Finished() const { return m_steps.empty() && !m_gaveUp; }
  bool GaveUp() const { return m_gaveUp; }

  driver::TurnResult TakeTurn() override;

 private:
  struct Step {
    std::string title;
    std::string className;
    std::function<void(HWND)> act;
  };
  HWND FindWindowFor(const Step& step) const;
  void GiveUp();

  std::chrono::milliseconds m_patience;
  std::deque<Step> m_steps;
  std::chrono::steady_clock::time_point m_waitingSince;
  bool m_waiting = false;
  bool m_gaveUp = false;
};

}  // namespace ui::testing
