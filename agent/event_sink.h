// Where the agent's events go: the automation object implements this and
// passes each one on to its connected clients.
#pragma once

#include "platform/base/cstring.h"
#include "platform/base/win_types.h"

class IAgentEventSink {
 public:
  // 0 when an upload starts, 1 to 100 for each whole percentage it reaches,
  // 23 after a logout. Called on the worker thread (uploads) or on the
  // caller's thread (logout).
  virtual void OnNotify(short value) = 0;

  // The life of a reported request (a file queued for upload), known by its
  // place in the queue: queued (on the thread that added it, before the
  // worker can see it), started and finished (on the worker thread), in
  // that order. A request canceled before it started only finishes. A sink
  // that does not follow the queue leaves these as they are.
  virtual void OnQueued(DWORD /*request*/, const CString& /*name*/) {}
  virtual void OnStarted(DWORD /*request*/) {}
  // sent: the locker took the whole file; otherwise reason says why not.
  virtual void OnFinished(DWORD /*request*/, bool /*sent*/, const CString& /*reason*/) {}

 protected:
  ~IAgentEventSink() = default;
};
