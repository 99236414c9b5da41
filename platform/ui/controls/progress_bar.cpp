// The "msctls_progress32" class: a range (0 to 100 at first), a position
// kept inside it, and a step (10) that PBM_STEPIT adds, wrapping past the
// end back to the start as Windows does.
#include <algorithm>

#include "platform/ui/controls/control_procs.h"
#include "platform/ui/core/announce.h"
#include "platform/ui/core/window.h"
#include "platform/ui/driver.h"
#include "platform/ui/progress_status.h"
#include "platform/ui/window_api.h"

namespace ui::controls {

namespace {

class ProgressState : public core::ControlState, public driver::ProgressModel {
 public:
  explicit ProgressState(HWND window) : m_window(window) {}

  void* QueryModel(const std::type_info& type) override {
    return core::QueryModels<ProgressState, driver::ProgressModel>(this, type);
  }
  int Minimum() const override { return m_low; }
  int Maximum() const override { return m_high; }
  int Position() const override { return m_position; }

  LRESULT SetRange(int low, int high) {
    auto old = static_cast<LRESULT>(MAKELONG(static_cast<WORD>(m_low), static_cast<WORD>(m_high)));
    if (low != m_low || high != m_high) {
      m_low = low;
      m_high = high;
      SetPosition(m_position);
      core::Announce(m_window, driver::Change::kValue);
    }
    return old;
  }

  int SetPosition(int position) {
    int old = m_position;
    // The position stays inside the range, whichever way round it was given.
    position = std::clamp(position, std::min(m_low, m_high), std::max(m_low, m_high));
    if (position != m_position) {
      m_position = position;
      core::Announce(m_window, driver::Change::kValue);
    }
    return old;
  }

  int StepIt() {
    int position = m_position + m_step;
    int span = m_high - m_low;
    if (span <= 0) {
      position = m_low;
    } else if (position > m_high) {
      position = (position - m_low) % span + m_low;
    } else if (position < m_low) {
      position = (position - m_low) % span + m_high;
    }
    return SetPosition(position);
  }

  HWND m_window;
  int m_low = 0;
  int m_high = 100;
  int m_position = 0;
  int m_step = 10;
};

}  // namespace

LRESULT ProgressProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    core::SetControlState(window, std::make_unique<ProgressState>(window));
    return DefWindowProcA(window, message, wParam, lParam);
  }
  auto* state = core::ControlOf<ProgressState>(window);
  if (state == nullptr) return DefWindowProcA(window, message, wParam, lParam);
  switch (message) {
    case PBM_SETRANGE:
      return state->SetRange(LOWORD(static_cast<WPARAM>(lParam)), HIWORD(static_cast<WPARAM>(lParam)));
    case PBM_SETRANGE32:
      return state->SetRange(static_cast<int>(wParam), static_cast<int>(lParam));
    case PBM_GETRANGE:
      if (lParam != 0) *reinterpret_cast<PBRANGE*>(lParam) = PBRANGE{state->m_low, state->m_high};
      return wParam != 0 ? state->m_low : state->m_high;
    case PBM_SETPOS:
      return state->SetPosition(static_cast<int>(wParam));
    case PBM_DELTAPOS:
      return state->SetPosition(state->m_position + static_cast<int>(wParam));
    case PBM_SETSTEP: {
      int old = state->m_step;
      state->m_step = static_cast<int>(wParam);
      return old;
    }
    case PBM_STEPIT:
      return state->StepIt();
    case PBM_GETPOS:
      return state->m_position;
    default:
      return DefWindowProcA(window, message, wParam, lParam);
  }
}

}  // namespace ui::controls
