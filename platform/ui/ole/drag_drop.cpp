// Drop target registrations, the driver's pending drop, the front-end's
// runner and DoDragDrop.
#include <algorithm>
#include <atomic>
#include <iterator>
#include <mutex>
#include <vector>

#include "platform/ui/messages.h"
#include "platform/ui/ole/pending_drop.h"
#include "platform/ui/window_api.h"

namespace ui::ole {

namespace {

struct Registration {
  HWND window;
  ComPtr<IDropTarget> target;
};

struct Registrations {
  std::mutex mutex;
  std::vector<Registration> list;

  // Takes out the targets of windows that are gone; the caller releases
  // them once the lock is released.
  std::vector<Registration> TakeDeadLocked() {
    std::vector<Registration> dead;
    auto gone = std::stable_partition(
        list.begin(), list.end(), [](const Registration& entry) { return IsWindow(entry.window); });
    std::move(gone, list.end(), std::back_inserter(dead));
    list.erase(gone, list.end());
    return dead;
  }
  Registration* FindLocked(HWND window) {
    auto it = std::find_if(list.begin(), list.end(),
                           [window](const Registration& entry) { return entry.window == window; });
    return it == list.end() ? nullptr : &*it;
  }
};

Registrations& TheRegistrations() {
  static auto* registrations = new Registrations;
  return *registrations;
}

thread_local std::optional<PendingDrop> t_pendingDrop;
std::atomic<DragRunner*> g_runner{nullptr};

}  // namespace

void SetPendingDrop(const PendingDrop& drop) { t_pendingDrop = drop; }

void ClearPendingDrop() { t_pendingDrop.reset(); }

std::optional<PendingDrop> TakePendingDrop() { return std::exchange(t_pendingDrop, std::nullopt); }

void RunPendingDrop(DragSession& session, const PendingDrop& drop) {
  DWORD keys = drop.keys & ~(MK_LBUTTON | MK_RBUTTON | MK_MBUTTON);
  if (session.Step(DragPointer{drop.screen, keys | MK_LBUTTON, false, drop.window})) {
    session.Step(DragPointer{drop.screen, keys, false, drop.window});
  }
}

ComPtr<IDropTarget> FindDropTarget(HWND window, HWND* registered) {
  Registrations& registrations = TheRegistrations();
  std::vector<Registration> dead;
  ComPtr<IDropTarget> found;
  {
    std::lock_guard lock(registrations.mutex);
    dead = registrations.TakeDeadLocked();
    for (HWND at = window; at != nullptr && !found; at = GetParent(at)) {
      if (Registration* entry = registrations.FindLocked(at)) {
        found = entry->target;
        if (registered != nullptr) *registered = at;
      }
    }
  }
  return found;
}

void SetDragRunner(DragRunner* runner) { g_runner = runner; }

}  // namespace ui::ole

using namespace ui::ole;

HRESULT RegisterDragDrop(HWND window, IDropTarget* target) {
  if (target == nullptr) return E_INVALIDARG;
  if (!IsWindow(window)) return DRAGDROP_E_INVALIDHWND;
  Registrations& registrations = TheRegistrations();
  std::vector<Registration> dead;
  std::lock_guard lock(registrations.mutex);
  dead = registrations.TakeDeadLocked();
  if (registrations.FindLocked(window) != nullptr) return DRAGDROP_E_ALREADYREGISTERED;
  registrations.list.push_back(Registration{window, ComPtr<IDropTarget>(target)});
  return S_OK;
}

HRESULT RevokeDragDrop(HWND window) {
  Registrations& registrations = TheRegistrations();
  std::vector<Registration> released;
  {
    std::lock_guard lock(registrations.mutex);
    released = registrations.TakeDeadLocked();
    if (!IsWindow(window)) return DRAGDROP_E_INVALIDHWND;
    Registration* entry = registrations.FindLocked(window);
    if (entry == nullptr) return DRAGDROP_E_NOTREGISTERED;
    released.push_back(std::move(*entry));
    std::erase_if(registrations.list,
                  [window](const Registration& e) { return e.window == window; });
  }
  return S_OK;
}

HRESULT DoDragDrop(IDataObject* data, IDropSource* source, DWORD allowed, DWORD* effect) {
  if (data == nullptr || source == nullptr || effect == nullptr) return E_INVALIDARG;
  *effect = DROPEFFECT_NONE;
  DragSession session(data, source, allowed);
  if (std::optional<PendingDrop> drop = TakePendingDrop()) {
    RunPendingDrop(session, *drop);
  } else if (DragRunner* runner = g_runner.load()) {
    runner->Run([&session](const DragPointer& pointer) { return session.Step(pointer); });
  }
  // A drag nobody moves, or one its runner gave up, is cancelled.
  session.Cancel();
  *effect = session.Effect();
  return session.Result();
}
