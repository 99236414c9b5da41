// Where the agent's progress events go: the automation object implements this
// and passes each value on to its connected clients.
#pragma once

class IAgentEventSink {
 public:
  // 0 when an upload starts, 1 to 100 for each whole percentage it reaches,
  // 23 after a logout. Called on the worker thread (uploads) or on the
  // caller's thread (logout).
  virtual void OnNotify(short value) = 0;

 protected:
  ~IAgentEventSink() = default;
};
