// Waitable objects. One process-wide mutex and condition variable serve every
// wait: waits on several objects need to see all of them change under one
// lock, and the deliverables wait on few objects at a time.
#include "platform/base/sync.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <unordered_map>
#include <vector>

#include "platform/base/last_error.h"

namespace {

enum class Kind { kEvent, kThread };

struct WaitObject {
  Kind kind;
  bool manualReset = true;
  bool signalled = false;
  DWORD exitCode = STILL_ACTIVE;
};

struct Table {
  std::mutex mutex;
  std::condition_variable changed;
  // The handle value is the key; objects stay alive while a waiter or a
  // running thread still holds them, even after CloseHandle.
  std::unordered_map<HANDLE, std::shared_ptr<WaitObject>> objects;
  std::atomic<std::uintptr_t> next{0x1000};
};

Table& GetTable() {
  // Never destroyed: detached threads may finish after static destruction.
  static Table* table = new Table;
  return *table;
}

HANDLE Register(Table& table, std::shared_ptr<WaitObject> object) {
  auto handle = reinterpret_cast<HANDLE>(table.next.fetch_add(4));
  table.objects.emplace(handle, std::move(object));
  return handle;
}

std::shared_ptr<WaitObject> Find(Table& table, HANDLE handle) {
  auto it = table.objects.find(handle);
  return it == table.objects.end() ? nullptr : it->second;
}

struct Listeners {
  std::mutex mutex;
  std::vector<std::pair<int, std::shared_ptr<std::function<void()>>>> entries;
  int next = 1;
};

Listeners& GetListeners() {
  static Listeners* listeners = new Listeners;
  return *listeners;
}

void NotifyListeners() {
  Listeners& listeners = GetListeners();
  std::vector<std::shared_ptr<std::function<void()>>> calls;
  {
    std::lock_guard lock(listeners.mutex);
    if (listeners.entries.empty()) return;
    for (auto& entry : listeners.entries) calls.push_back(entry.second);
  }
  for (auto& call : calls) (*call)();
}

std::atomic<DWORD> g_nextThreadId{1};
thread_local DWORD t_threadId = 0;

}  // namespace

HANDLE CreateEventA(const void*, BOOL manualReset, BOOL initialState, LPCSTR) {
  Table& table = GetTable();
  auto event = std::make_shared<WaitObject>();
  event->kind = Kind::kEvent;
  event->manualReset = manualReset != FALSE;
  event->signalled = initialState != FALSE;
  std::lock_guard lock(table.mutex);
  return Register(table, std::move(event));
}

static BOOL SetEventState(HANDLE handle, bool signalled) {
  Table& table = GetTable();
  {
    std::lock_guard lock(table.mutex);
    auto object = Find(table, handle);
    if (object == nullptr || object->kind != Kind::kEvent) {
      SetLastError(ERROR_INVALID_HANDLE);
      return FALSE;
    }
    object->signalled = signalled;
  }
  if (signalled) {
    table.changed.notify_all();
    NotifyListeners();
  }
  return TRUE;
}

BOOL SetEvent(HANDLE event) { return SetEventState(event, true); }

BOOL ResetEvent(HANDLE event) { return SetEventState(event, false); }

HANDLE CreateThread(std::function<DWORD()> fn, DWORD* threadId) {
  Table& table = GetTable();
  auto thread = std::make_shared<WaitObject>();
  thread->kind = Kind::kThread;
  DWORD id = g_nextThreadId.fetch_add(1);
  HANDLE handle;
  {
    std::lock_guard lock(table.mutex);
    handle = Register(table, thread);
  }
  try {
    std::thread([fn = std::move(fn), thread, id, &table]() {
      t_threadId = id;
      DWORD code = 0;
      try {
        code = fn();
      } catch (...) {
        code = static_cast<DWORD>(-1);
      }
      {
        std::lock_guard lock(table.mutex);
        thread->exitCode = code;
        thread->signalled = true;
      }
      table.changed.notify_all();
      NotifyListeners();
    }).detach();
  } catch (const std::system_error&) {
    std::lock_guard lock(table.mutex);
    table.objects.erase(handle);
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  if (threadId != nullptr) *threadId = id;
  return handle;
}

BOOL GetExitCodeThread(HANDLE handle, DWORD* exitCode) {
  Table& table = GetTable();
  std::lock_guard lock(table.mutex);
  auto object = Find(table, handle);
  if (object == nullptr || object->kind != Kind::kThread || exitCode == nullptr) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  *exitCode = object->exitCode;
  return TRUE;
}

DWORD GetCurrentThreadId() {
  if (t_threadId == 0) t_threadId = g_nextThreadId.fetch_add(1);
  return t_threadId;
}

DWORD WaitForSingleObject(HANDLE object, DWORD milliseconds) {
  return WaitForMultipleObjects(1, &object, FALSE, milliseconds);
}

DWORD WaitForMultipleObjects(DWORD count, const HANDLE* handles, BOOL waitAll,
                             DWORD milliseconds) {
  if (count == 0 || count > MAXIMUM_WAIT_OBJECTS || handles == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return WAIT_FAILED;
  }
  Table& table = GetTable();
  std::unique_lock lock(table.mutex);
  std::vector<std::shared_ptr<WaitObject>> objects;
  for (DWORD i = 0; i < count; ++i) {
    auto object = Find(table, handles[i]);
    if (object == nullptr) {
      SetLastError(ERROR_INVALID_HANDLE);
      return WAIT_FAILED;
    }
    objects.push_back(std::move(object));
  }
  auto ready = [&]() -> int {
    if (waitAll) {
      for (auto& object : objects) {
        if (!object->signalled) return -1;
      }
      return 0;
    }
    for (size_t i = 0; i < objects.size(); ++i) {
      if (objects[i]->signalled) return static_cast<int>(i);
    }
    return -1;
  };
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
  int index;
  while ((index = ready()) < 0) {
    if (milliseconds == INFINITE) {
      table.changed.wait(lock);
    } else if (table.changed.wait_until(lock, deadline) == std::cv_status::timeout) {
      if ((index = ready()) < 0) return WAIT_TIMEOUT;
      break;
    }
  }
  // A satisfied wait consumes the signal of auto-reset events.
  auto consume = [](WaitObject& object) {
    if (object.kind == Kind::kEvent && !object.manualReset) object.signalled = false;
  };
  if (waitAll) {
    for (auto& object : objects) consume(*object);
  } else {
    consume(*objects[static_cast<size_t>(index)]);
  }
  return WAIT_OBJECT_0 + static_cast<DWORD>(index);
}

BOOL CloseHandle(HANDLE object) {
  Table& table = GetTable();
  std::lock_guard lock(table.mutex);
  if (table.objects.erase(object) == 0) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  return TRUE;
}

int AddSignalListener(std::function<void()> listener) {
  Listeners& listeners = GetListeners();
  std::lock_guard lock(listeners.mutex);
  int id = listeners.next++;
  listeners.entries.emplace_back(id, std::make_shared<std::function<void()>>(std::move(listener)));
  return id;
}

void RemoveSignalListener(int id) {
  Listeners& listeners = GetListeners();
  std::lock_guard lock(listeners.mutex);
  std::erase_if(listeners.entries, [id](const auto& entry) { return entry.first == id; });
}

void Sleep(DWORD milliseconds) {
  std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

DWORD GetTickCount() {
  auto since = std::chrono::steady_clock::now().time_since_epoch();
  return static_cast<DWORD>(
      std::chrono::duration_cast<std::chrono::milliseconds>(since).count());
}
