// The host's side of the agent: an IRequest2 that reaches the agent's
// Request2 object over the session bus (starting LBAgent2 when it is not
// running), and a subscription that delivers OnNotify to a callback.
#pragma once

#include <functional>

#include "agent/irequest2.h"
#include "platform/com/com_ptr.h"
#include "platform/com/connection_point.h"

// Takes a reference on the agent's object; releasing the proxy's last
// reference gives it back. REGDB_E_CLASSNOTREG when LBAgent2 is not
// registered, CO_E_SERVER_EXEC_FAILURE when it cannot be reached.
HRESULT CreateRequest2Proxy(ComPtr<IRequest2>* proxy);

// Whether an LBAgent2 serves Request2 on the session bus now.
bool IsAgentRunning();

class NotifySubscription {
 public:
  NotifySubscription() = default;
  ~NotifySubscription();
  NotifySubscription(const NotifySubscription&) = delete;
  NotifySubscription& operator=(const NotifySubscription&) = delete;

  // callback receives each OnNotify value, on the bus connection's thread,
  // in the order the agent sent them, until Unsubscribe (or destruction)
  // returns. It must not release the proxy's last reference.
  HRESULT Subscribe(IRequest2* request, std::function<void(short)> callback);
  void Unsubscribe();

 private:
  ComPtr<IConnectionPoint> m_point;
  ComPtr<IDispatch> m_sink;
  DWORD m_cookie = 0;
};
