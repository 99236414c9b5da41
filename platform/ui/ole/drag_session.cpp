// One drag, step by step, in the order Windows' drag loop calls the source
// and the targets.
#include <memory>

#include "platform/ui/driver.h"
#include "platform/ui/ole/pending_drop.h"
#include "platform/ui/window_api.h"

namespace ui::ole {

namespace {

constexpr DWORD kButtons = MK_LBUTTON | MK_RBUTTON | MK_MBUTTON;

// A target's answer, shared with the call that gets it: a call handed to
// another thread that does not answer in time may still run there later.
struct Answer {
  HRESULT result = E_FAIL;
  DWORD effect = DROPEFFECT_NONE;
};

// Runs call on window's thread (directly when that is this one) with the
// effects allowed; a window or thread that is gone answers E_FAIL.
template <typename Call>
Answer AskOnThreadOf(HWND window, DWORD allowed, Call call) {
  auto answer = std::make_shared<Answer>();
  answer->effect = allowed;
  if (!ui::driver::RunOnWindowThread(window,
                                     [answer, call] { answer->result = call(&answer->effect); })) {
    return Answer{};
  }
  return *answer;
}

// The window at the pointer: the deepest shown window there, unless the
// mover knows better (another window may lie on top of the one it means).
HWND WindowAt(const DragPointer& pointer) {
  HWND at = WindowFromPoint(pointer.screen);
  if (pointer.over == nullptr) return at;
  return at == pointer.over || IsChild(pointer.over, at) ? at : pointer.over;
}

}  // namespace

DragSession::DragSession(IDataObject* data, IDropSource* source, DWORD allowed)
    : m_data(data), m_source(source), m_allowed(allowed) {}

DragSession::~DragSession() { Cancel(); }

void DragSession::Cancel() {
  if (!m_done) End(DRAGDROP_S_CANCEL);
}

bool DragSession::Step(const DragPointer& pointer) {
  if (m_done) return false;
  m_point = POINTL{pointer.screen.x, pointer.screen.y};
  m_keys = pointer.keys;
  HRESULT answer;
  if (m_source) {
    answer = m_source->QueryContinueDrag(pointer.escape ? TRUE : FALSE, pointer.keys);
  } else if (pointer.escape) {
    answer = DRAGDROP_S_CANCEL;
  } else {
    answer = (pointer.keys & kButtons) != 0 ? S_OK : DRAGDROP_S_DROP;
  }
  HWND window = WindowAt(pointer);
  if (window != m_over && (answer == S_OK || answer == DRAGDROP_S_DROP)) {
    Leave();
    if (window != nullptr) Enter(window);
    Feedback();
  }
  if (answer != S_OK) {
    End(answer);
    return false;
  }
  if (m_target) {
    Answer answer =
        AskOnThreadOf(m_targetWindow, m_allowed,
                      [target = m_target, keys = m_keys, point = m_point](DWORD* effect) {
                        return target->DragOver(keys, point, effect);
                      });
    m_effect = SUCCEEDED(answer.result) ? answer.effect & m_allowed : DROPEFFECT_NONE;
  }
  Feedback();
  return true;
}

void DragSession::Enter(HWND window) {
  m_over = window;
  HWND registered = nullptr;
  ComPtr<IDropTarget> target = FindDropTarget(window, &registered);
  if (!target) return;
  Answer answer =
      AskOnThreadOf(registered, m_allowed,
                    [target, data = m_data, keys = m_keys, point = m_point](DWORD* effect) {
                      return target->DragEnter(data.Get(), keys, point, effect);
                    });
  if (answer.result != S_OK) {
    // A target that fails DragEnter is no target; it is asked again when
    // the pointer comes back.
    m_over = nullptr;
    return;
  }
  m_target = target;
  m_targetWindow = registered;
  m_effect = answer.effect & m_allowed;
}

void DragSession::Leave() {
  m_over = nullptr;
  if (!m_target) return;
  AskOnThreadOf(m_targetWindow, DROPEFFECT_NONE,
                [target = std::move(m_target)](DWORD*) { return target->DragLeave(); });
  m_targetWindow = nullptr;
}

void DragSession::Feedback() {
  if (!m_target) m_effect = DROPEFFECT_NONE;
  if (m_source) m_source->GiveFeedback(m_effect);
}

void DragSession::End(HRESULT result) {
  m_done = true;
  m_result = result;
  if (!m_target) {
    m_effect = DROPEFFECT_NONE;
    return;
  }
  if (result == DRAGDROP_S_DROP && m_effect != DROPEFFECT_NONE) {
    Answer answer =
        AskOnThreadOf(m_targetWindow, m_allowed,
                      [target = std::move(m_target), data = m_data, keys = m_keys, point = m_point](
                          DWORD* effect) { return target->Drop(data.Get(), keys, point, effect); });
    m_effect = answer.effect & m_allowed;
    if (FAILED(answer.result)) m_result = answer.result;
  } else {
    Leave();
    m_effect = DROPEFFECT_NONE;
  }
  m_targetWindow = nullptr;
  m_over = nullptr;
}

}  // namespace ui::ole
