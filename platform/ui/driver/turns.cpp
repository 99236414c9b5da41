// Who takes turns on which thread, who blocks for it, and whether anyone is
// there to answer a window at all.
#include <algorithm>
#include <atomic>
#include <mutex>
#include <unordered_map>
#include <vector>

#include "platform/base/sync.h"
#include "platform/ui/core/message_queue.h"
#include "platform/ui/core/thread_hooks.h"
#include "platform/ui/core/window.h"
#include "platform/ui/driver.h"
#include "platform/ui/front_end.h"

namespace ui::core {

namespace {

struct ThreadParties {
  std::vector<driver::TurnTaker*> takers;
  driver::Blocker* blocker = nullptr;
};

struct Parties {
  std::mutex mutex;
  std::unordered_map<DWORD, ThreadParties> threads;
  std::atomic<int> clients{0};
  std::atomic<int> takers{0};  // lets a thread without takers skip the lock
};

Parties& GetParties() {
  static auto* parties = new Parties;
  return *parties;
}

}  // namespace

driver::TurnResult TakeTurns(MessageQueue& queue) {
  driver::TurnResult merged;
  Parties& parties = GetParties();
  if (queue.inTurn || parties.takers.load() == 0) return merged;
  std::vector<driver::TurnTaker*> takers;
  {
    std::lock_guard lock(parties.mutex);
    auto it = parties.threads.find(queue.ThreadId());
    if (it == parties.threads.end() || it->second.takers.empty()) return merged;
    takers = it->second.takers;
  }
  queue.inTurn = true;
  for (driver::TurnTaker* taker : takers) {
    {
      // A taker that left during an earlier turn gets no more.
      std::lock_guard lock(parties.mutex);
      auto& current = parties.threads[queue.ThreadId()].takers;
      if (std::find(current.begin(), current.end(), taker) == current.end()) continue;
    }
    driver::TurnResult result = taker->TakeTurn();
    merged.acted = merged.acted || result.acted;
    if (result.wakeBy && (!merged.wakeBy || *result.wakeBy < *merged.wakeBy)) {
      merged.wakeBy = result.wakeBy;
    }
  }
  queue.inTurn = false;
  return merged;
}

}  // namespace ui::core

namespace ui::driver {

using core::GetParties;

void AddTurnTaker(TurnTaker* taker) {
  auto& parties = GetParties();
  {
    std::lock_guard lock(parties.mutex);
    parties.threads[GetCurrentThreadId()].takers.push_back(taker);
  }
  ++parties.clients;
  ++parties.takers;
  core::MessageQueue::Current()->Wake();
}

void RemoveTurnTaker(TurnTaker* taker) {
  auto& parties = GetParties();
  std::lock_guard lock(parties.mutex);
  for (auto& [thread, entry] : parties.threads) {
    auto before = entry.takers.size();
    std::erase(entry.takers, taker);
    if (entry.takers.size() != before) {
      --parties.clients;
      --parties.takers;
    }
  }
}

void SetBlocker(Blocker* blocker) {
  auto& parties = GetParties();
  std::lock_guard lock(parties.mutex);
  Blocker*& slot = parties.threads[GetCurrentThreadId()].blocker;
  if (slot != nullptr) --parties.clients;
  slot = blocker;
  if (slot != nullptr) ++parties.clients;
  core::MessageQueue::Current()->SetBlocker(blocker);
}

bool HasClient() {
  // A script the program was given answers too, from the first question on.
  StartScriptFromEnvironment();
  return GetParties().clients.load() > 0;
}

void AddClient() { ++GetParties().clients; }

void RemoveClient() { --GetParties().clients; }

bool RunOnWindowThread(HWND window, const std::function<void()>& call,
                       std::chrono::milliseconds timeout) {
  auto object = core::FindWindowObject(window);
  if (!object) return false;
  auto queue = object->queue.lock();
  if (!queue || queue->IsDead()) return false;
  if (queue->IsCurrent()) {
    call();
    return true;
  }
  auto sent = std::make_shared<core::SentMessage>();
  sent->call = call;
  return queue->Send(sent, core::Clock::now() + timeout);
}

bool WaitForIdle(HWND window, std::chrono::milliseconds timeout) {
  auto object = core::FindWindowObject(window);
  if (!object) return false;
  auto queue = object->queue.lock();
  return queue && !queue->IsDead() && queue->WaitForIdle(timeout);
}

}  // namespace ui::driver
