// Sending, posting, taking and dispatching messages; timers; registered
// messages; the message-aware wait.
#include "platform/ui/message_api.h"

#include "platform/base/last_error.h"
#include "platform/ui/core/atoms.h"
#include "platform/ui/core/message_queue.h"
#include "platform/ui/core/remote_windows.h"
#include "platform/ui/core/thread_hooks.h"
#include "platform/ui/core/window.h"

using namespace ui::core;

namespace {

std::shared_ptr<MessageQueue> QueueOf(HWND window) {
  Window* found = LookupWindow(window);
  auto queue = found != nullptr ? found->queue.lock() : nullptr;
  if (!queue) SetLastError(ERROR_INVALID_WINDOW_HANDLE);
  return queue;
}

bool SendAcross(const std::shared_ptr<MessageQueue>& queue, HWND window, UINT message, WPARAM wParam,
                LPARAM lParam, Deadline deadline, LRESULT* result) {
  auto sent = std::make_shared<SentMessage>();
  sent->window = window;
  sent->message = message;
  sent->wParam = wParam;
  sent->lParam = lParam;
  if (!queue->Send(sent, deadline)) {
    if (GetLastError() != ERROR_TIMEOUT) SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return false;
  }
  *result = sent->result;
  return true;
}

LRESULT SendWithDeadline(HWND window, UINT message, WPARAM wParam, LPARAM lParam, Deadline deadline,
                         bool* ok) {
  *ok = false;
  if (HandleTable::IsForeign(HandleValue(window))) {
    // Only copy-data crosses to another process: its data travels whole.
    LRESULT result = 0;
    if (message == WM_COPYDATA && lParam != 0) {
      *ok = SendRemoteCopyData(window, reinterpret_cast<HWND>(wParam),
                               *reinterpret_cast<const COPYDATASTRUCT*>(lParam), &result);
    } else {
      SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    }
    return result;
  }
  Window* object = LookupWindow(window);
  if (object != nullptr && object->ownerQueue == MessageQueue::CurrentIfAnyRaw()) {
    // The caller's own window: a direct call of the procedure just found.
    *ok = true;
    WNDPROC proc = object->proc.load();
    return proc != nullptr ? proc(window, message, wParam, lParam) : 0;
  }
  auto queue = QueueOf(window);
  if (!queue) return 0;
  LRESULT result = 0;
  *ok = SendAcross(queue, window, message, wParam, lParam, deadline, &result);
  return result;
}

}  // namespace

LRESULT SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  bool ok;
  return SendWithDeadline(window, message, wParam, lParam, std::nullopt, &ok);
}

LRESULT SendMessageTimeoutA(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT,
                            UINT timeoutMs, DWORD_PTR* result) {
  bool ok;
  LRESULT answer = SendWithDeadline(window, message, wParam, lParam,
                                    Clock::now() + std::chrono::milliseconds(timeoutMs), &ok);
  if (result != nullptr) *result = static_cast<DWORD_PTR>(answer);
  return ok ? 1 : 0;
}

BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (window == nullptr) return PostThreadMessageA(GetCurrentThreadId(), message, wParam, lParam);
  Window* object = LookupWindow(window);
  if (object != nullptr && object->ownerQueue == MessageQueue::CurrentIfAnyRaw()) {
    // The caller's own window: its queue lives as long as the caller.
    return MessageQueue::Here().Post(MSG{window, message, wParam, lParam, 0, {}}) ? TRUE : FALSE;
  }
  auto queue = QueueOf(window);
  if (!queue) return FALSE;
  return queue->Post(MSG{window, message, wParam, lParam, 0, {}}) ? TRUE : FALSE;
}

BOOL PostThreadMessageA(DWORD threadId, UINT message, WPARAM wParam, LPARAM lParam) {
  auto queue = MessageQueue::ForThread(threadId);
  if (!queue || !queue->Post(MSG{nullptr, message, wParam, lParam, 0, {}})) {
    SetLastError(ERROR_INVALID_THREAD_ID);
    return FALSE;
  }
  return TRUE;
}

BOOL InSendMessage() {
  auto queue = MessageQueue::CurrentIfAny();
  return queue && queue->sendDepth > 0;
}

BOOL GetMessageA(MSG* msg, HWND window, UINT filterMin, UINT filterMax) {
  if (msg == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return -1;
  }
  if (window != nullptr && !IsWindow(window)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return -1;
  }
  return MessageQueue::Here().Take(msg, window, filterMin, filterMax, MessageQueue::Mode::kWait)
             ? TRUE
             : FALSE;
}

BOOL PeekMessageA(MSG* msg, HWND window, UINT filterMin, UINT filterMax, UINT remove) {
  if (msg == nullptr) return FALSE;
  auto mode = (remove & PM_REMOVE) ? MessageQueue::Mode::kPeekRemove : MessageQueue::Mode::kPeekKeep;
  return MessageQueue::Here().Take(msg, window, filterMin, filterMax, mode) ? TRUE : FALSE;
}

BOOL WaitMessage() {
  MessageQueue::Current()->WaitForInput(0, nullptr, std::nullopt);
  return TRUE;
}

LONG GetMessageTime() { return MessageQueue::Current()->messageTime; }

LRESULT DispatchMessageA(const MSG* msg) {
  if (msg == nullptr) return 0;
  if (msg->message == WM_QAP_ACTION) {
    MessageQueue::Current()->RunAction(msg->lParam);
    return 0;
  }
  if (msg->message == WM_TIMER && msg->lParam != 0) {
    reinterpret_cast<TIMERPROC>(msg->lParam)(msg->hwnd, WM_TIMER, msg->wParam, GetTickCount());
    return 0;
  }
  if (msg->hwnd == nullptr) return 0;
  Window* object = LookupWindow(msg->hwnd);
  if (object == nullptr) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return 0;
  }
  if (object->ownerQueue != MessageQueue::CurrentIfAnyRaw()) {
    SetLastError(ERROR_ACCESS_DENIED);
    return 0;
  }
  WNDPROC proc = object->proc.load();
  return proc != nullptr ? proc(msg->hwnd, msg->message, msg->wParam, msg->lParam) : 0;
}

void PostQuitMessage(int exitCode) { MessageQueue::Current()->Quit(exitCode); }

UINT_PTR SetTimer(HWND window, UINT_PTR id, UINT elapseMs, TIMERPROC proc) {
  if (window != nullptr) {
    auto object = FindWindowObject(window);
    if (!object || object->threadId != GetCurrentThreadId()) {
      SetLastError(ERROR_INVALID_WINDOW_HANDLE);
      return 0;
    }
  }
  return MessageQueue::Current()->SetTimer(window, id, elapseMs, proc);
}

BOOL KillTimer(HWND window, UINT_PTR id) {
  return MessageQueue::Current()->KillTimer(window, id) ? TRUE : FALSE;
}

UINT RegisterWindowMessageA(LPCSTR name) {
  if (name == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  return AddAtom(name);
}

DWORD MsgWaitForMultipleObjects(DWORD count, const HANDLE* handles, BOOL waitAll, DWORD milliseconds,
                                DWORD) {
  if (count >= MAXIMUM_WAIT_OBJECTS || (count > 0 && handles == nullptr)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return WAIT_FAILED;
  }
  Deadline deadline;
  if (milliseconds != INFINITE) deadline = Clock::now() + std::chrono::milliseconds(milliseconds);
  if (waitAll) {
    // Waiting for all objects and input together is not something the
    // suite does; refuse rather than wait in a way Windows would not.
    SetLastError(ERROR_NOT_SUPPORTED);
    return WAIT_FAILED;
  }
  auto queue = MessageQueue::Current();
  DWORD woken = queue->WaitForInput(count, handles, deadline);
  return woken == WAIT_TIMEOUT ? WAIT_TIMEOUT : WAIT_OBJECT_0 + woken;
}

BOOL MessageBeep(UINT) { return TRUE; }
