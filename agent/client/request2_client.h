// The host's side of the agent: an IRequest2 that reaches the agent's
// Request2 object over the session bus (starting LBAgent2 when it is not
// running), and a subscription that delivers its events to callbacks.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "agent/irequest2.h"
#include "platform/com/com_ptr.h"
#include "platform/com/connection_point.h"

// Takes a reference on the agent's object; releasing the proxy's last
// reference gives it back. REGDB_E_CLASSNOTREG when LBAgent2 is not
// registered, CO_E_SERVER_EXEC_FAILURE when it cannot be reached.
HRESULT CreateRequest2Proxy(ComPtr<IRequest2>* proxy);

// Whether an LBAgent2 serves Request2 on the session bus now.
bool IsAgentRunning();

// What a subscriber hears of; a callback left empty is not wanted. Texts are
// in the system code page.
struct Request2Events {
  std::function<void(short value)> onNotify;
  std::function<void(LONG request, const std::string& file)> onQueued;
  std::function<void(LONG request)> onStarted;
  std::function<void(LONG request, bool sent, const std::string& reason)> onFinished;
};

class Request2Subscription {
 public:
  Request2Subscription() = default;
  ~Request2Subscription();
  Request2Subscription(const Request2Subscription&) = delete;
  Request2Subscription& operator=(const Request2Subscription&) = delete;

  // The callbacks receive the agent's events on the bus connection's
  // thread, in the order the agent sent them (an event sent before a call's
  // reply comes before the call returns), until Unsubscribe (or
  // destruction) returns. They must not release the proxy's last reference.
  HRESULT Subscribe(IRequest2* request, Request2Events events);
  void Unsubscribe();

 private:
  struct Advised {
    ComPtr<IConnectionPoint> point;
    ComPtr<IDispatch> sink;
    DWORD cookie = 0;
  };
  std::vector<Advised> m_advised;
};
