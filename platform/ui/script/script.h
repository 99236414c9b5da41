// Window scripts (see SCRIPT.md): parsing, and a runner that takes its turns
// on the thread whose windows it drives.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/base/export.h"
#include "platform/ui/driver.h"

namespace ui::script {

// One parsed line.
struct Step {
  int line = 0;
  std::string text;               // the line as written, for messages
  std::vector<std::string> words;  // quotes removed
  std::vector<bool> quoted;        // per word: was it in quotes
  // A step written in C++ instead (tests, hosts): it acts on the current
  // window through the driver, and the next step comes after the thread has
  // handled what it did.
  std::function<void(HWND current)> native;
  // A wait written in C++: the step holds once the condition does (it may
  // act on the windows when it holds, as a person who saw it would).
  std::function<bool(HWND current)> until;
};

struct QAP_EXPORT Script {
  std::vector<Step> steps;

  // Appends steps written as script text; false with the line's error.
  bool Add(const std::string& text, std::string* error);
  // Appends a step written in C++.
  Script& Then(std::function<void(HWND current)> act);
  // Waits (timeout 5 s) for a shown window with this title, or of this
  // class, and acts on it.
  Script& When(const std::string& title, std::function<void(HWND window)> act);
  Script& WhenClass(const std::string& className, std::function<void(HWND window)> act);
  // Waits until condition holds, looking whenever the thread waits; fails
  // after timeout.
  Script& Until(std::function<bool(HWND current)> condition, std::chrono::seconds timeout);
};

// Parses text; on a bad line, false with "line N: ..." in *error.
QAP_EXPORT bool Parse(const std::string& text, Script* script, std::string* error);

// Things a step needs from outside the window system: the picture of a
// window (the front-end), standard output.
struct Services {
  std::function<bool(HWND window, const std::string& file, std::string* error)> screenshot;
  std::function<void(const std::string& text)> print;
};

// Runs a script on the calling thread, a step at a time, in the thread's
// turns. After a failure it ends whatever dialogs and menus of the thread
// are still open, so the program under it comes to an end rather than wait
// for answers that will not come.
class QAP_EXPORT Runner : public ui::driver::TurnTaker {
 public:
  Runner(Script script, Services services);
  ~Runner() override;
  Runner(const Runner&) = delete;
  Runner& operator=(const Runner&) = delete;

  // Starts taking turns on the calling thread.
  void Start();
  bool Finished() const { return m_next >= m_script.steps.size() || m_failed; }
  bool Failed() const { return m_failed; }
  // "line N: message", empty while nothing failed.
  const std::string& Failure() const { return m_failure; }
  // The program ended with steps left: fails the script, naming the line.
  void ProgramEnded();

  ui::driver::TurnResult TakeTurn() override;

 private:
  void Fail(const std::string& message);
  void Stop();

  Script m_script;
  Services m_services;
  size_t m_next = 0;
  bool m_started = false;
  bool m_failed = false;
  std::string m_failure;
  std::chrono::steady_clock::time_point m_stepStarted;
  HWND m_current = nullptr;
};

}  // namespace ui::script
