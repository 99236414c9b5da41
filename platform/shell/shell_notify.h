// The shell's change notifications (SHChangeNotify). There is no desktop
// shell to refresh here: a notification goes to the observers registered in
// this process, which is how tests and host tools see that one was sent.
#pragma once

#include <functional>

#include "platform/base/export.h"
#include "platform/base/win_types.h"

constexpr LONG SHCNE_MKDIR = 0x00000008;
constexpr LONG SHCNE_RMDIR = 0x00000010;
constexpr LONG SHCNE_UPDATEDIR = 0x00001000;
constexpr LONG SHCNE_RENAMEFOLDER = 0x00020000;
constexpr LONG SHCNE_ASSOCCHANGED = 0x08000000;
constexpr UINT SHCNF_IDLIST = 0x0000;

QAP_EXPORT void SHChangeNotify(LONG eventId, UINT flags, const void* item1, const void* item2);

struct ShellChange {
  LONG eventId = 0;
  UINT flags = 0;
  const void* item1 = nullptr;
  const void* item2 = nullptr;
};

using ShellChangeObserver = std::function<void(const ShellChange& change)>;

// Observers run on the notifying thread, in the order they were added. An
// exception thrown by one is swallowed. Once RemoveShellChangeObserver has
// returned, that observer is not called again (a notification running on
// another thread is waited for). An observer may add or remove observers.
QAP_EXPORT int AddShellChangeObserver(ShellChangeObserver observer);
QAP_EXPORT void RemoveShellChangeObserver(int id);

// Keeps an observer registered for its own lifetime.
class ShellChangeSubscription {
 public:
  explicit ShellChangeSubscription(ShellChangeObserver observer)
      : m_id(AddShellChangeObserver(std::move(observer))) {}
  ~ShellChangeSubscription() { RemoveShellChangeObserver(m_id); }
  ShellChangeSubscription(const ShellChangeSubscription&) = delete;
  ShellChangeSubscription& operator=(const ShellChangeSubscription&) = delete;

 private:
  int m_id;
};
