// Scripted turns for tests.
#include "platform/ui/tests/turn_script.h"

#include <vector>

#include "platform/ui/dialog.h"
#include "platform/ui/menu.h"
#include "platform/ui/message_api.h"
#include "platform/ui/window_api.h"

namespace ui::testing {

TurnScript::TurnScript(std::chrono::milliseconds patience) : m_patience(patience) {
  driver::AddTurnTaker(this);
}

TurnScript::~TurnScript() { driver::RemoveTurnTaker(this); }

TurnScript& TurnScript::When(const std::string& title, std::function<void(HWND)> act) {
  m_steps.push_back(Step{title, {}, std::move(act)});
  return *this;
}

TurnScript& TurnScript::WhenClass(const std::string& className, std::function<void(HWND)> act) {
  m_steps.push_back(Step{{}, className, std::move(act)});
  return *this;
}

HWND TurnScript::FindWindowFor(const Step& step) const {
  for (HWND window : driver::TopLevelWindows()) {
    driver::WindowInfo info;
    if (!driver::GetWindowInfo(window, &info) || !info.visible || !info.enabled) continue;
    if (GetWindowThreadProcessId(window, nullptr) != GetCurrentThreadId()) continue;
    if (!step.title.empty() && info.text == step.title) return window;
    if (!step.className.empty() && info.className == step.className) return window;
  }
  return nullptr;
}

namespace {

bool IsModalClass(HWND window) {
  char name[32] = {};
  GetClassNameA(window, name, sizeof name);
  return std::string(name) == WC_DIALOG || std::string(name) == kMenuWindowClass;
}

// The dialogs and menus open on the calling thread.
std::vector<HWND> ModalWindows() {
  std::vector<HWND> windows;
  for (HWND window : driver::TopLevelWindows()) {
    if (GetWindowThreadProcessId(window, nullptr) == GetCurrentThreadId() && IsWindowVisible(window) &&
        IsModalClass(window)) {
      windows.push_back(window);
    }
  }
  return windows;
}

}  // namespace

void TurnScript::GiveUp() {
  m_gaveUp = true;
  m_steps.clear();
  for (HWND window : ModalWindows()) {
    char name[32] = {};
    GetClassNameA(window, name, sizeof name);
    if (std::string(name) == WC_DIALOG) {
      EndDialog(window, IDCANCEL);
    } else {
      PostMessageA(window, WM_CLOSE, 0, 0);
    }
  }
}

driver::TurnResult TurnScript::TakeTurn() {
  driver::TurnResult result;
  // With every step taken, a dialog or menu left open would wait for ever.
  if (m_steps.empty() && (m_gaveUp || ModalWindows().empty())) return result;
  auto now = std::chrono::steady_clock::now();
  if (!m_waiting) {
    m_waiting = true;
    m_waitingSince = now;
  }
  if (HWND window = m_steps.empty() ? nullptr : FindWindowFor(m_steps.front())) {
    Step step = std::move(m_steps.front());
    m_steps.pop_front();
    m_waiting = false;
    step.act(window);
    result.acted = true;
    return result;
  }
  if (now - m_waitingSince >= m_patience) {
    GiveUp();
    result.acted = true;
    return result;
  }
  result.wakeBy = m_waitingSince + m_patience;
  return result;
}

}  // namespace ui::testing
