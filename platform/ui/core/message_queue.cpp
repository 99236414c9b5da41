// The message queue of a thread.
#include "platform/ui/core/message_queue.h"

#include <time.h>

#include <algorithm>
#include <unordered_map>

#include "platform/base/last_error.h"
#include "platform/base/sync.h"
#include "platform/ui/message_api.h"
#include "platform/ui/window_api.h"
#include "platform/ui/core/thread_hooks.h"

namespace ui::core {

namespace {

struct Registry {
  std::mutex mutex;
  std::unordered_map<DWORD, std::weak_ptr<MessageQueue>> queues;
};

Registry& GetRegistry() {
  static Registry* registry = new Registry;
  return *registry;
}

// A message's time, as GetTickCount gives it on Windows: a coarse clock
// (a few milliseconds) is what Windows has too, and it costs far less to read
// on every message than a precise one.
LONG NowMs() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC_COARSE, &now);
  return static_cast<LONG>(static_cast<long long>(now.tv_sec) * 1000 + now.tv_nsec / 1000000);
}

}  // namespace

// The queue is looked up on every message: a plain pointer in the
// initial-exec model keeps that one instruction, where a variable with a
// destructor would go through the dynamic loader on every access.
thread_local MessageQueue* t_queue __attribute__((tls_model("initial-exec"))) = nullptr;

// Ends the thread's queue with the thread, so that senders waiting on it are
// answered and its windows are gone.
struct QueueHolder {
  std::shared_ptr<MessageQueue> queue;
  ~QueueHolder() {
    if (queue) queue->MarkDead();
    t_queue = nullptr;
  }
};

thread_local QueueHolder t_holder;

bool IsKeyMessage(UINT message) { return message >= WM_KEYFIRST && message <= WM_KEYLAST; }

MessageQueue::MessageQueue(DWORD threadId)
    : m_threadId(threadId), m_wake(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}

MessageQueue::~MessageQueue() { CloseHandle(m_wake); }

std::shared_ptr<MessageQueue> MessageQueue::Current() {
  if (!t_holder.queue) {
    auto queue = std::make_shared<MessageQueue>(GetCurrentThreadId());
    Registry& registry = GetRegistry();
    std::lock_guard lock(registry.mutex);
    registry.queues[queue->ThreadId()] = queue;
    t_queue = queue.get();
    t_holder.queue = std::move(queue);
  }
  return t_holder.queue;
}

MessageQueue& MessageQueue::Here() {
  if (t_queue == nullptr) Current();
  return *t_queue;
}

const MessageQueue* MessageQueue::CurrentIfAnyRaw() { return t_queue; }

std::shared_ptr<MessageQueue> MessageQueue::CurrentIfAny() { return t_holder.queue; }

std::shared_ptr<MessageQueue> MessageQueue::ForThread(DWORD threadId) {
  if (threadId == GetCurrentThreadId()) return Current();
  Registry& registry = GetRegistry();
  std::lock_guard lock(registry.mutex);
  auto it = registry.queues.find(threadId);
  if (it == registry.queues.end()) return nullptr;
  auto queue = it->second.lock();
  return queue && !queue->IsDead() ? queue : nullptr;
}

bool MessageQueue::IsCurrent() const { return t_queue == this; }

bool MessageQueue::IsDead() const {
  std::lock_guard lock(m_mutex);
  return m_dead;
}

MessageQueue::WaitMode MessageQueue::ArrivedLocked() {
  m_woken = true;
  m_idle = false;
  return m_waitMode;
}

void MessageQueue::Deliver(WaitMode mode) {
  if (mode == WaitMode::kCondition) m_arrived.notify_all();
  if (mode == WaitMode::kEvent) SetEvent(m_wake);
  if (driver::Blocker* blocker = m_blocker.load()) blocker->Wake();
}

void MessageQueue::Wake() {
  WaitMode mode;
  {
    std::lock_guard lock(m_mutex);
    mode = ArrivedLocked();
  }
  Deliver(mode);
}

bool MessageQueue::Post(const MSG& msg) {
  WaitMode mode;
  {
    std::lock_guard lock(m_mutex);
    if (m_dead) return false;
    m_posted.push_back(msg);
    m_posted.back().time = static_cast<DWORD>(NowMs());
    mode = ArrivedLocked();
  }
  Deliver(mode);
  return true;
}

bool MessageQueue::PostInput(const MSG& msg) {
  WaitMode mode;
  {
    std::lock_guard lock(m_mutex);
    if (m_dead) return false;
    m_input.push_back(msg);
    m_input.back().time = static_cast<DWORD>(NowMs());
    mode = ArrivedLocked();
  }
  Deliver(mode);
  return true;
}

bool MessageQueue::PostAction(HWND window, std::function<void()> action) {
  LPARAM token;
  {
    std::lock_guard lock(m_mutex);
    if (m_dead) return false;
    token = m_nextAction++;
    m_actions.emplace(token, std::move(action));
  }
  return PostInput(MSG{window, WM_QAP_ACTION, 0, token, 0, {}});
}

bool MessageQueue::RunAction(LPARAM token) {
  std::function<void()> action;
  {
    std::lock_guard lock(m_mutex);
    auto it = m_actions.find(token);
    if (it == m_actions.end()) return false;
    action = std::move(it->second);
    m_actions.erase(it);
  }
  action();
  return true;
}

bool MessageQueue::WaitHandlingSent(HANDLE event, Deadline deadline) {
  for (;;) {
    HandleSent();
    if (WaitForSingleObject(event, 0) == WAIT_OBJECT_0) return true;
    DWORD ms = INFINITE;
    if (deadline) {
      auto left = std::chrono::ceil<std::chrono::milliseconds>(*deadline - Clock::now());
      if (left.count() <= 0) return false;
      ms = static_cast<DWORD>(left.count());
    }
    {
      std::lock_guard lock(m_mutex);
      if (!m_sent.empty()) continue;
      m_waitMode = WaitMode::kEvent;
      ResetEvent(m_wake);
    }
    HANDLE both[] = {event, m_wake};
    DWORD woken = WaitForMultipleObjects(2, both, FALSE, ms);
    {
      std::lock_guard lock(m_mutex);
      m_waitMode = WaitMode::kRunning;
    }
    if (woken == WAIT_OBJECT_0) return true;
  }
}

void MessageQueue::Quit(int code) {
  WaitMode mode;
  {
    std::lock_guard lock(m_mutex);
    m_quit = true;
    m_quitCode = code;
    mode = ArrivedLocked();
  }
  Deliver(mode);
}

bool MessageQueue::Matches(const MSG& msg, HWND filter, UINT filterMin, UINT filterMax) const {
  if (filter != nullptr && msg.hwnd != filter) return false;
  if (filterMin == 0 && filterMax == 0) return true;
  return msg.message >= filterMin && msg.message <= filterMax;
}

Deadline MessageQueue::NextTimerLocked() const {
  Deadline next;
  for (const Timer& timer : m_timers) {
    if (!next || timer.due < *next) next = timer.due;
  }
  return next;
}

bool MessageQueue::HasWorkLocked(HWND filter, UINT filterMin, UINT filterMax,
                                 Clock::time_point now) const {
  if (!m_sent.empty() || m_quit) return true;
  auto matches = [&](const MSG& msg) { return Matches(msg, filter, filterMin, filterMax); };
  if (std::any_of(m_posted.begin(), m_posted.end(), matches)) return true;
  // Input aimed at the focus is taken whatever the window filter says.
  for (const MSG& msg : m_input) {
    if (msg.hwnd == nullptr || matches(msg)) return true;
  }
  for (const Timer& timer : m_timers) {
    if (timer.due <= now && Matches(MSG{timer.window, WM_TIMER, 0, 0, 0, {}}, filter, filterMin,
                                    filterMax)) {
      return true;
    }
  }
  return false;
}

bool MessageQueue::TakeLocked(MSG* out, HWND filter, UINT filterMin, UINT filterMax, bool remove,
                              bool* fromInput) {
  *fromInput = false;
  for (auto it = m_posted.begin(); it != m_posted.end(); ++it) {
    if (!Matches(*it, filter, filterMin, filterMax)) continue;
    *out = *it;
    if (remove) {
      if (it == m_posted.begin()) {
        m_posted.pop_front();
      } else {
        m_posted.erase(it);
      }
    }
    return true;
  }
  for (auto it = m_input.begin(); it != m_input.end(); ++it) {
    MSG msg = *it;
    // Keys go to the focus, or to the active window when nothing has it.
    if (msg.hwnd == nullptr && msg.message != WM_QAP_ACTION) msg.hwnd = focus != nullptr ? focus : active;
    if (!Matches(msg, filter, filterMin, filterMax)) continue;
    *out = msg;
    *fromInput = true;
    if (remove) {
      if (it == m_input.begin()) {
        m_input.pop_front();
      } else {
        m_input.erase(it);
      }
    }
    return true;
  }
  if (m_quit && (filterMin == 0 && filterMax == 0 ? true
                                                  : WM_QUIT >= filterMin && WM_QUIT <= filterMax)) {
    *out = MSG{nullptr, WM_QUIT, static_cast<WPARAM>(m_quitCode), 0, 0, {}};
    if (remove) m_quit = false;
    return true;
  }
  Clock::time_point now = Clock::now();
  for (Timer& timer : m_timers) {
    if (timer.due > now) continue;
    MSG msg{timer.window, WM_TIMER, timer.id, reinterpret_cast<LPARAM>(timer.proc), 0, {}};
    if (!Matches(msg, filter, filterMin, filterMax)) continue;
    *out = msg;
    // Windows keeps at most one WM_TIMER of a timer pending, however late.
    if (remove) timer.due = now + std::chrono::milliseconds(timer.elapse);
    return true;
  }
  return false;
}

bool MessageQueue::Take(MSG* out, HWND filter, UINT filterMin, UINT filterMax, Mode mode) {
  for (;;) {
    if (m_hasSent.load(std::memory_order_relaxed)) HandleSent();
    bool fromInput = false;
    bool found;
    {
      std::lock_guard lock(m_mutex);
      // Most takes want the first posted message whatever it is.
      if (filter == nullptr && filterMin == 0 && filterMax == 0 && !m_posted.empty()) {
        *out = m_posted.front();
        if (mode != Mode::kPeekKeep) m_posted.pop_front();
        found = true;
      } else {
        found = TakeLocked(out, filter, filterMin, filterMax, mode != Mode::kPeekKeep, &fromInput);
      }
    }
    if (found) {
      messageTime = static_cast<LONG>(out->time);
      if (fromInput && IsKeyMessage(out->message) && mode != Mode::kPeekKeep) {
        bool down = out->message == WM_KEYDOWN || out->message == WM_SYSKEYDOWN;
        bool up = out->message == WM_KEYUP || out->message == WM_SYSKEYUP;
        BYTE& state = keyState[out->wParam & 0xFF];
        if (down) state = static_cast<BYTE>((state ^ 1) | 0x80);
        if (up) state = static_cast<BYTE>(state & ~0x80);
        if ((down || up) && CallKeyboardHooks(*this, *out, HC_ACTION)) continue;
      }
      return out->message != WM_QUIT || mode != Mode::kWait;
    }
    driver::TurnResult turn = TakeTurns(*this);
    if (turn.acted) continue;
    if (mode != Mode::kWait) return false;
    Deadline deadline;
    {
      std::lock_guard lock(m_mutex);
      deadline = NextTimerLocked();
    }
    if (turn.wakeBy && (!deadline || *turn.wakeBy < *deadline)) deadline = turn.wakeBy;
    Block(0, nullptr, deadline, filter, filterMin, filterMax);
  }
}

DWORD MessageQueue::WaitForInput(DWORD count, const HANDLE* handles, Deadline deadline) {
  for (;;) {
    HandleSent();
    if (count > 0) {
      DWORD ready = WaitForMultipleObjects(count, handles, FALSE, 0);
      if (ready < count) return ready;
    }
    {
      std::lock_guard lock(m_mutex);
      if (HasWorkLocked(nullptr, 0, 0, Clock::now())) return count;
    }
    driver::TurnResult turn = TakeTurns(*this);
    if (turn.acted) continue;
    if (deadline && Clock::now() >= *deadline) return WAIT_TIMEOUT;
    Deadline until = deadline;
    {
      std::lock_guard lock(m_mutex);
      Deadline timer = NextTimerLocked();
      if (timer && (!until || *timer < *until)) until = timer;
    }
    if (turn.wakeBy && (!until || *turn.wakeBy < *until)) until = turn.wakeBy;
    DWORD woken = Block(count, handles, until, nullptr, 0, 0);
    if (woken < count) return woken;
  }
}

DWORD MessageQueue::Block(DWORD count, const HANDLE* handles, Deadline deadline, HWND filter,
                          UINT filterMin, UINT filterMax) {
  driver::Blocker* blocker = m_blocker.load();
  {
    std::unique_lock lock(m_mutex);
    // Checked under the lock that every arrival takes, so no arrival can
    // slip between the look and the wait.
    if (HasWorkLocked(filter, filterMin, filterMax, Clock::now())) return count;
    m_idle = true;
    m_idleChanged.notify_all();
    if (blocker == nullptr && count == 0) {
      m_woken = false;
      m_waitMode = WaitMode::kCondition;
      auto woken = [this] { return m_woken; };
      bool arrived = deadline ? m_arrived.wait_until(lock, *deadline, woken) : (m_arrived.wait(lock, woken), true);
      m_waitMode = WaitMode::kRunning;
      m_idle = false;
      return arrived ? count : WAIT_TIMEOUT;
    }
    m_waitMode = WaitMode::kEvent;
    ResetEvent(m_wake);
  }
  DWORD result;
  if (blocker != nullptr) {
    DWORD ready = count > 0 ? WaitForMultipleObjects(count, handles, FALSE, 0) : WAIT_TIMEOUT;
    if (ready < count) {
      result = ready;
    } else {
      blocker->Block(deadline);
      result = count > 0 ? WaitForMultipleObjects(count, handles, FALSE, 0) : WAIT_TIMEOUT;
      if (result >= count) result = count;
    }
  } else {
    std::vector<HANDLE> all(handles, handles + count);
    all.push_back(m_wake);
    DWORD ms = INFINITE;
    if (deadline) {
      auto left = std::chrono::ceil<std::chrono::milliseconds>(*deadline - Clock::now());
      ms = static_cast<DWORD>(std::max<long long>(0, left.count()));
    }
    DWORD ready = WaitForMultipleObjects(static_cast<DWORD>(all.size()), all.data(), FALSE, ms);
    result = ready == WAIT_TIMEOUT ? WAIT_TIMEOUT : ready - WAIT_OBJECT_0;
    if (result > count) result = count;
  }
  std::lock_guard lock(m_mutex);
  m_waitMode = WaitMode::kRunning;
  m_idle = false;
  return result;
}

bool MessageQueue::WaitForIdle(Clock::duration timeout) {
  std::unique_lock lock(m_mutex);
  return m_idleChanged.wait_for(lock, timeout, [this] {
    return m_dead || (m_idle && m_posted.empty() && m_input.empty() && m_sent.empty());
  });
}

bool MessageQueue::HandleSent() {
  bool any = false;
  while (m_hasSent.load()) {
    std::shared_ptr<SentMessage> message;
    {
      std::lock_guard lock(m_mutex);
      if (m_sent.empty()) {
        m_hasSent = false;
        return any;
      }
      message = m_sent.front();
      m_sent.pop_front();
      m_hasSent = !m_sent.empty();
    }
    any = true;
    ++sendDepth;
    LRESULT result = 0;
    if (message->call) {
      message->call();
    } else {
      result = CallProcOf(message->window, message->message, message->wParam, message->lParam);
    }
    --sendDepth;
    Complete(message, result, false);
  }
  return any;
}

void MessageQueue::Complete(const std::shared_ptr<SentMessage>& message, LRESULT result,
                            bool failed) {
  auto sender = message->sender.lock();
  if (!sender) return;
  WaitMode mode;
  {
    std::lock_guard lock(sender->m_mutex);
    message->result = result;
    message->failed = failed;
    message->done = true;
    mode = sender->ArrivedLocked();
  }
  sender->Deliver(mode);
}

bool MessageQueue::Send(const std::shared_ptr<SentMessage>& message, Deadline deadline) {
  auto self = Current();
  message->sender = self;
  WaitMode mode;
  {
    std::lock_guard lock(m_mutex);
    if (m_dead) return false;
    m_sent.push_back(message);
    m_hasSent = true;
    mode = ArrivedLocked();
  }
  Deliver(mode);
  for (;;) {
    self->HandleSent();
    std::unique_lock lock(self->m_mutex);
    if (message->done) return !message->failed;
    if (!self->m_sent.empty()) continue;
    // While it waits for the answer, the sender answers what is sent to it,
    // and nothing else.
    auto answered = [&] { return message->done || !self->m_sent.empty(); };
    self->m_waitMode = WaitMode::kCondition;
    bool woken = deadline ? self->m_arrived.wait_until(lock, *deadline, answered)
                          : (self->m_arrived.wait(lock, answered), true);
    self->m_waitMode = WaitMode::kRunning;
    if (!woken) {
      // The receiver may still handle it later; nobody waits for the answer.
      message->sender.reset();
      SetLastError(ERROR_TIMEOUT);
      return false;
    }
  }
}

UINT_PTR MessageQueue::SetTimer(HWND window, UINT_PTR id, UINT elapse, TIMERPROC proc) {
  // USER_TIMER_MINIMUM.
  elapse = std::max<UINT>(elapse, 10);
  {
    std::lock_guard lock(m_mutex);
    if (window == nullptr) id = m_nextTimerId++;
    auto it = std::find_if(m_timers.begin(), m_timers.end(), [&](const Timer& timer) {
      return timer.window == window && timer.id == id;
    });
    Timer timer{window, id, elapse, proc, Clock::now() + std::chrono::milliseconds(elapse)};
    if (it != m_timers.end()) {
      *it = timer;
    } else {
      m_timers.push_back(timer);
    }
  }
  Wake();
  return window == nullptr ? id : (id != 0 ? id : 1);
}

bool MessageQueue::KillTimer(HWND window, UINT_PTR id) {
  std::lock_guard lock(m_mutex);
  auto before = m_timers.size();
  std::erase_if(m_timers,
                [&](const Timer& timer) { return timer.window == window && timer.id == id; });
  return m_timers.size() != before;
}

void MessageQueue::AdoptWindow(HWND window) {
  std::lock_guard lock(m_mutex);
  m_windows.insert(window);
}

void MessageQueue::ForgetWindow(HWND window) {
  std::lock_guard lock(m_mutex);
  m_windows.erase(window);
  std::erase_if(m_timers, [&](const Timer& timer) { return timer.window == window; });
  std::erase_if(m_posted, [&](const MSG& msg) { return msg.hwnd == window; });
  if (focus == window) focus = nullptr;
  if (active == window) active = nullptr;
  if (capture == window) capture = nullptr;
}

void MessageQueue::MarkDead() {
  std::deque<std::shared_ptr<SentMessage>> pending;
  std::set<HWND> windows;
  {
    std::lock_guard lock(m_mutex);
    m_dead = true;
    pending.swap(m_sent);
    windows.swap(m_windows);
    m_actions.clear();
  }
  m_idleChanged.notify_all();
  m_arrived.notify_all();
  for (auto& message : pending) Complete(message, 0, true);
  DropWindowsOfEndedThread(windows);
  Registry& registry = GetRegistry();
  std::lock_guard lock(registry.mutex);
  auto it = registry.queues.find(m_threadId);
  if (it != registry.queues.end() && it->second.lock().get() == this) registry.queues.erase(it);
}

}  // namespace ui::core
