// One message queue per thread, made on first use and ended with the
// thread: posted messages, input (keys and the driver's actions), messages
// sent by other threads, timers and the quit flag, and the thread's
// keyboard state (focus, key state, hooks). Retrieval follows Windows'
// order: sent messages are handled first, then posted messages, then input,
// then WM_QUIT, then timers.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <vector>

#include "platform/ui/driver.h"
#include "platform/ui/messages.h"

namespace ui::core {

using Clock = std::chrono::steady_clock;
using Deadline = std::optional<Clock::time_point>;

class MessageQueue;
class Window;

// A message (or a call) handed to another thread, which answers it.
struct SentMessage {
  HWND window = nullptr;
  UINT message = 0;
  WPARAM wParam = 0;
  LPARAM lParam = 0;
  std::function<void()> call;  // runs instead of a message when set
  LRESULT result = 0;
  bool done = false;    // under the sender's queue lock
  bool failed = false;  // the receiver had ended
  std::weak_ptr<MessageQueue> sender;
};

struct Timer {
  HWND window = nullptr;
  UINT_PTR id = 0;
  UINT elapse = 0;
  TIMERPROC proc = nullptr;
  Clock::time_point due;
};

// Marks a message in the input queue as the driver's: DispatchMessage runs
// the action stored under the message's lParam. It lies in the range that
// Windows keeps for itself, so no program uses it.
constexpr UINT WM_QAP_ACTION = 0x03FE;

class MessageQueue : public std::enable_shared_from_this<MessageQueue> {
 public:
  explicit MessageQueue(DWORD threadId);
  ~MessageQueue();

  // The calling thread's queue, made on first use.
  static std::shared_ptr<MessageQueue> Current();
  // The same without a reference count, for the hot paths.
  static MessageQueue& Here();
  // The calling thread's queue, or null, without a reference count.
  static const MessageQueue* CurrentIfAnyRaw();
  // The calling thread's queue if it has one.
  static std::shared_ptr<MessageQueue> CurrentIfAny();
  static std::shared_ptr<MessageQueue> ForThread(DWORD threadId);

  DWORD ThreadId() const { return m_threadId; }
  bool IsCurrent() const;

  // ---- any thread ----
  bool Post(const MSG& msg);
  // window null: whatever window has the focus when the message is taken.
  bool PostInput(const MSG& msg);
  bool PostAction(HWND window, std::function<void()> action);
  // Hands message to this queue's thread and waits (handling messages sent
  // to the caller meanwhile) until it is answered or the deadline passes.
  bool Send(const std::shared_ptr<SentMessage>& message, Deadline deadline);
  void Wake();
  // True once the queue's thread waits with nothing left to do.
  bool WaitForIdle(Clock::duration timeout);
  bool IsDead() const;
  // The front-end's loop that blocks for this thread, if one is attached.
  void SetBlocker(driver::Blocker* blocker) { m_blocker = blocker; }

  // ---- the owning thread ----
  enum class Mode { kWait, kPeekRemove, kPeekKeep };
  // False: nothing (peek), or WM_QUIT was taken (wait; *out holds it).
  bool Take(MSG* out, HWND filter, UINT filterMin, UINT filterMax, Mode mode);
  // Handles every message sent by other threads; true when there was one.
  bool HandleSent();
  // Waits until one of handles is signalled (its index), the queue has
  // something (count), or the deadline passes (WAIT_TIMEOUT).
  DWORD WaitForInput(DWORD count, const HANDLE* handles, Deadline deadline);
  bool RunAction(LPARAM token);
  // Waits for event while handling the messages other threads send to this
  // one, and nothing else, as a thread blocked in SendMessage does; false
  // when the deadline passed first.
  bool WaitHandlingSent(HANDLE event, Deadline deadline);
  void Quit(int code);

  UINT_PTR SetTimer(HWND window, UINT_PTR id, UINT elapse, TIMERPROC proc);
  bool KillTimer(HWND window, UINT_PTR id);
  void ForgetWindow(HWND window);
  void AdoptWindow(HWND window);

  // Keyboard state of the thread.
  HWND focus = nullptr;
  HWND active = nullptr;
  HWND capture = nullptr;
  BYTE keyState[256] = {};
  std::vector<HHOOK> hooks;  // newest first
  int sendDepth = 0;         // > 0 while handling a message sent by another thread
  LONG messageTime = 0;
  bool inTurn = false;
  // The two windows the thread looked up last (LookupWindow), latest
  // first: two, because a control and the parent it notifies take turns.
  struct LookupCache {
    struct Entry {
      HWND handle = nullptr;
      std::shared_ptr<Window> object;
    };
    Entry entries[2];
  } lookupCache;

 private:
  bool Matches(const MSG& msg, HWND filter, UINT filterMin, UINT filterMax) const;
  bool HasWorkLocked(HWND filter, UINT filterMin, UINT filterMax, Clock::time_point now) const;
  bool TakeLocked(MSG* out, HWND filter, UINT filterMin, UINT filterMax, bool remove,
                  bool* fromInput);
  Deadline NextTimerLocked() const;
  // Block for the thread: the front-end's loop, or the queue's event.
  DWORD Block(DWORD count, const HANDLE* handles, Deadline deadline, HWND filter, UINT filterMin,
              UINT filterMax);
  void MarkDead();
  void Complete(const std::shared_ptr<SentMessage>& message, LRESULT result, bool failed);
  // How the owning thread waits, so that an arrival wakes it the cheap way.
  enum class WaitMode { kRunning, kCondition, kEvent };
  // Call with m_mutex held after something arrived; then Deliver the answer
  // once the lock is released.
  WaitMode ArrivedLocked();
  void Deliver(WaitMode mode);
  friend struct QueueHolder;

  const DWORD m_threadId;
  mutable std::mutex m_mutex;
  std::condition_variable m_idleChanged;
  // A thread that waits on its queue alone sleeps on this; one that also
  // waits on events (MsgWaitForMultipleObjects) sleeps on m_wake, a
  // manual-reset event of platform/base.
  std::condition_variable m_arrived;
  HANDLE m_wake;
  WaitMode m_waitMode = WaitMode::kRunning;
  bool m_woken = false;
  std::atomic<driver::Blocker*> m_blocker{nullptr};
  std::deque<MSG> m_posted;
  std::deque<MSG> m_input;
  std::deque<std::shared_ptr<SentMessage>> m_sent;
  std::atomic<bool> m_hasSent{false};  // lets HandleSent skip the lock
  std::map<LPARAM, std::function<void()>> m_actions;
  LPARAM m_nextAction = 1;
  std::vector<Timer> m_timers;
  UINT_PTR m_nextTimerId = 1;
  bool m_quit = false;
  int m_quitCode = 0;
  bool m_idle = false;
  bool m_dead = false;
  std::set<HWND> m_windows;
};

// Whether msg is one of the keyboard messages.
bool IsKeyMessage(UINT message);

}  // namespace ui::core
