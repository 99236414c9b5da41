// Windows of the session's other processes. Each process that has top-level
// windows lists them (with their children's titles and classes, which is
// what a search for a view window needs) through a provider that reaches
// the session bus; without one, other processes' windows are simply not
// seen, and everything within the process works the same.
#pragma once

#include <string>
#include <vector>

#include "platform/ui/driver.h"
#include "platform/ui/messages.h"

namespace ui::core {

using RemoteWindow = driver::ListedWindow;

class RemoteWindowProvider {
 public:
  virtual ~RemoteWindowProvider() = default;
  // Every window of every other process of the session, top-level windows
  // before their children.
  virtual std::vector<RemoteWindow> List() = 0;
  // Delivers WM_COPYDATA to window in its process and waits, for a bounded
  // time, for its answer; false when the process is gone or does not answer.
  virtual bool CopyData(HWND window, HWND from, const COPYDATASTRUCT& data, LRESULT* result) = 0;
};

void SetRemoteWindowProvider(RemoteWindowProvider* provider);
std::vector<RemoteWindow> RemoteWindows();
bool SendRemoteCopyData(HWND window, HWND from, const COPYDATASTRUCT& data, LRESULT* result);
// Lists this process's windows in the session's directory, the first time
// it shows a top-level window.
void PublishWindowsOnce();
// What the window's process last listed of it; false for an unknown window.
bool RemoteWindowOf(HWND window, RemoteWindow* out);

}  // namespace ui::core
