// The provider of other processes' windows.
#include "platform/ui/core/remote_windows.h"

#include <atomic>

#include "platform/base/last_error.h"
#include "platform/ui/window_api.h"

namespace ui::core {

namespace {
std::atomic<RemoteWindowProvider*> g_provider{nullptr};
}

void SetRemoteWindowProvider(RemoteWindowProvider* provider) { g_provider = provider; }

std::vector<RemoteWindow> RemoteWindows() {
  RemoteWindowProvider* provider = g_provider.load();
  return provider != nullptr ? provider->List() : std::vector<RemoteWindow>{};
}

bool SendRemoteCopyData(HWND window, HWND from, const COPYDATASTRUCT& data, LRESULT* result) {
  RemoteWindowProvider* provider = g_provider.load();
  if (provider == nullptr || !provider->CopyData(window, from, data, result)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return false;
  }
  return true;
}

}  // namespace ui::core

namespace ui::driver {

std::vector<ListedWindow> SessionWindows() { return core::RemoteWindows(); }

}  // namespace ui::driver
