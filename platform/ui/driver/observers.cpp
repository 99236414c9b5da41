// The driver's observers and the announcements made to them.
#include <algorithm>
#include <atomic>
#include <mutex>
#include <vector>

#include "platform/ui/core/announce.h"
#include "platform/ui/core/window.h"

namespace ui::core {

namespace {

struct Observers {
  std::mutex mutex;
  std::vector<driver::Observer*> list;
  std::atomic<int> count{0};
};

Observers& GetObservers() {
  static auto* observers = new Observers;
  return *observers;
}

template <typename Call>
void Notify(Call call) {
  Observers& observers = GetObservers();
  if (observers.count.load() == 0) return;
  std::vector<driver::Observer*> copy;
  {
    std::lock_guard lock(observers.mutex);
    copy = observers.list;
  }
  for (driver::Observer* observer : copy) call(observer);
}

}  // namespace

bool HasObservers() { return GetObservers().count.load() > 0; }

void AnnounceCreated(HWND window) {
  Notify([&](driver::Observer* observer) { observer->OnCreated(window); });
}

void AnnounceDestroyed(HWND window) {
  Notify([&](driver::Observer* observer) { observer->OnDestroyed(window); });
}

void Announce(HWND window, driver::Change change, int first, int count) {
  Notify([&](driver::Observer* observer) { observer->OnChanged(window, change, first, count); });
}

void AnnounceRows(HWND window, driver::Change change, int first, int count) {
  if (!HasObservers()) return;
  if (auto object = FindWindowObject(window)) {
    std::lock_guard lock(WindowLock());
    if (!object->redraw) return;
  }
  Announce(window, change, first, count);
}

}  // namespace ui::core

namespace ui::driver {

void AddObserver(Observer* observer) {
  auto& observers = core::GetObservers();
  std::lock_guard lock(observers.mutex);
  observers.list.push_back(observer);
  ++observers.count;
}

void RemoveObserver(Observer* observer) {
  auto& observers = core::GetObservers();
  std::lock_guard lock(observers.mutex);
  auto before = observers.list.size();
  std::erase(observers.list, observer);
  observers.count -= static_cast<int>(before - observers.list.size());
}

}  // namespace ui::driver
