// The provider of other processes' windows.
#include "platform/ui/core/remote_windows.h"

#include <atomic>
#include <memory>
#include <thread>
#include <vector>

#include "platform/base/last_error.h"
#include "platform/base/sync.h"
#include "platform/ui/core/message_queue.h"
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
  if (provider == nullptr) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return false;
  }
  // The call travels on a thread of its own while this one goes on
  // answering what other threads send it: the other process may be sending
  // to this one at the same moment, as two windows of two threads may.
  struct Call {
    std::vector<BYTE> bytes;
    COPYDATASTRUCT data{};
    LRESULT result = 0;
    bool delivered = false;
    HANDLE done = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    ~Call() { CloseHandle(done); }
  };
  auto call = std::make_shared<Call>();
  const auto* first = static_cast<const BYTE*>(data.lpData);
  if (first != nullptr) call->bytes.assign(first, first + data.cbData);
  call->data = COPYDATASTRUCT{data.dwData, static_cast<DWORD>(call->bytes.size()), call->bytes.data()};
  std::thread([call, provider, window, from] {
    call->delivered = provider->CopyData(window, from, call->data, &call->result);
    SetEvent(call->done);
  }).detach();
  MessageQueue::Current()->WaitHandlingSent(call->done, std::nullopt);
  if (!call->delivered) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return false;
  }
  *result = call->result;
  return true;
}

}  // namespace ui::core

namespace ui::driver {

std::vector<ListedWindow> SessionWindows() { return core::RemoteWindows(); }

}  // namespace ui::driver
