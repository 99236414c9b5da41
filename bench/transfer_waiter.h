// Waiting for a transfer-layer object's end notifications in the
// benchmarks that drive the layer directly: a reader's end, a recorder's
// preparation, burn and erase.
#pragma once

#include <condition_variable>
#include <mutex>

#include "drumlet/transfer_layer.h"

namespace qap::bench {

struct TransferWaiter {
  std::mutex lock;
  std::condition_variable changed;
  DWORD code = 0;
  DWORD value = 0;

  // For SetNotifyCallback, with the waiter as its context.
  static DWORD Callback(DWORD value, DWORD code, void*, void* context) {
    auto* waiter = static_cast<TransferWaiter*>(context);
    std::lock_guard guard(waiter->lock);
    if (code == kNotifyEnd || code == kNotifyPrepared || code == kNotifyBurnDone ||
        code == kNotifyEraseDone) {
      waiter->code = code;
      waiter->value = value;
      waiter->changed.notify_all();
    }
    return 0;
  }

  // Whether the notification wanted came with a completed transfer.
  bool WaitFor(DWORD wanted) {
    std::unique_lock guard(lock);
    changed.wait(guard, [&] { return code == wanted; });
    code = 0;
    return value == kTransferCompleted;
  }
};

}  // namespace qap::bench
