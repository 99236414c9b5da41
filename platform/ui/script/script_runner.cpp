// Running a window script in the turns of its thread.
#include <cstdio>

#include "platform/ui/script/script.h"
#include "platform/ui/script/steps.h"
#include "platform/ui/user32.h"

namespace ui::script {

Runner::Runner(Script script, Services services)
    : m_script(std::move(script)), m_services(std::move(services)) {}

Runner::~Runner() { Stop(); }

void Runner::Start() {
  if (m_started) return;
  m_started = true;
  m_stepStarted = std::chrono::steady_clock::now();
  if (!Finished()) ui::driver::AddTurnTaker(this);
}

void Runner::Stop() {
  if (m_started) ui::driver::RemoveTurnTaker(this);
  m_started = false;
}

void Runner::Fail(const std::string& message) {
  const Step& step = m_script.steps[m_next];
  m_failed = true;
  m_failure = "line " + std::to_string(step.line) + " (" + step.words.front() + "): " + message;
  Stop();
  // Nobody will answer what is still open: end the modal loops and close
  // the rest, so the program comes to its end instead of waiting for ever.
  for (HWND window : ui::driver::TopLevelWindows()) {
    if (GetWindowThreadProcessId(window, nullptr) != GetCurrentThreadId()) continue;
    char className[16] = "";
    GetClassNameA(window, className, sizeof className);
    if (std::string(className) == "#32768" || std::string(className) == WC_DIALOG) {
      if (std::string(className) == WC_DIALOG) EndDialog(window, IDCANCEL);
      ui::driver::CloseWindow(window);
    } else {
      PostMessageA(window, WM_CLOSE, 0, 0);
    }
  }
}

void Runner::ProgramEnded() {
  // What is left may hold already ("wait gone" after the last window
  // closed): it gets one last turn.
  if (!Finished() && m_started) TakeTurn();
  if (Finished()) return;
  Fail("the program ended before this step could run");
}

ui::driver::TurnResult Runner::TakeTurn() {
  ui::driver::TurnResult result;
  while (!Finished()) {
    const Step& step = m_script.steps[m_next];
    StepContext context{&m_current, &m_services, m_stepStarted + TimeoutOf(step)};
    Outcome outcome = RunStep(step, context);
    switch (outcome.kind) {
      case Outcome::Kind::kDone:
        ++m_next;
        m_stepStarted = std::chrono::steady_clock::now();
        continue;
      case Outcome::Kind::kActed:
        ++m_next;
        m_stepStarted = std::chrono::steady_clock::now();
        result.acted = true;
        if (Finished()) Stop();
        return result;
      case Outcome::Kind::kAgain:
        result.acted = true;
        return result;
      case Outcome::Kind::kWaiting:
        if (std::chrono::steady_clock::now() >= context.deadline) {
          Fail(outcome.message.empty() ? "timed out" : outcome.message);
          result.acted = true;
          return result;
        }
        result.wakeBy = context.deadline;
        return result;
      case Outcome::Kind::kFailed:
        Fail(outcome.message);
        result.acted = true;
        return result;
    }
  }
  Stop();
  return result;
}

}  // namespace ui::script
