// The process's list of shell change observers.
#include "platform/shell/shell_notify.h"

#include <algorithm>
#include <mutex>
#include <utility>
#include <vector>

namespace {

struct Observers {
  // Recursive, so that an observer may add or remove observers; held while
  // observers run, so that a removal waits for a running notification.
  std::recursive_mutex mutex;
  std::vector<std::pair<int, ShellChangeObserver>> list;
  int nextId = 1;
};

Observers& TheObservers() {
  static Observers observers;
  return observers;
}

}  // namespace

void SHChangeNotify(LONG eventId, UINT flags, const void* item1, const void* item2) {
  try {
    Observers& observers = TheObservers();
    std::lock_guard<std::recursive_mutex> lock(observers.mutex);
    const ShellChange change{eventId, flags, item1, item2};
    // A copy, so that observers may change the list while it is walked; one
    // removed meanwhile is skipped.
    const auto snapshot = observers.list;
    for (const auto& [id, observer] : snapshot) {
      const bool stillThere =
          std::any_of(observers.list.begin(), observers.list.end(),
                      [id = id](const auto& entry) { return entry.first == id; });
      if (!stillThere) continue;
      try {
        observer(change);
      } catch (...) {
      }
    }
  } catch (...) {
  }
}

int AddShellChangeObserver(ShellChangeObserver observer) {
  try {
    Observers& observers = TheObservers();
    std::lock_guard<std::recursive_mutex> lock(observers.mutex);
    const int id = observers.nextId++;
    observers.list.emplace_back(id, std::move(observer));
    return id;
  } catch (...) {
    return 0;
  }
}

void RemoveShellChangeObserver(int id) {
  Observers& observers = TheObservers();
  std::lock_guard<std::recursive_mutex> lock(observers.mutex);
  std::erase_if(observers.list, [id](const auto& entry) { return entry.first == id; });
}
