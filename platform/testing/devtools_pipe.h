// Test support: chromium's DevTools protocol over the pipe pair that
// --remote-debugging-pipe opens in the browser (it reads commands on its fd 3
// and writes answers and events on its fd 4, each message ended by a NUL).
// Commands are answered in order of asking; events that arrive meanwhile are
// kept for NextEvent.
#pragma once

#include <chrono>
#include <deque>
#include <optional>
#include <string>

#include <nlohmann/json.hpp>

namespace qap::testing {

class DevToolsPipe {
 public:
  using Clock = std::chrono::steady_clock;

  // The two ends this side keeps: commands are written to toBrowser,
  // messages read from fromBrowser. Both are owned and closed here.
  DevToolsPipe(int toBrowser, int fromBrowser);
  ~DevToolsPipe();
  DevToolsPipe(const DevToolsPipe&) = delete;
  DevToolsPipe& operator=(const DevToolsPipe&) = delete;

  // Sends method with params (to a page's session when one is named) and
  // waits until deadline for its answer: its "result", or nothing with
  // Error() saying why (the browser's own error, its end, or the time).
  std::optional<nlohmann::json> Call(const std::string& method, const nlohmann::json& params,
                                     const std::string& session, Clock::time_point deadline);
  // The next event, waited for until deadline; nothing when none came.
  std::optional<nlohmann::json> NextEvent(Clock::time_point deadline);

  const std::string& Error() const { return m_error; }
  // The browser closed its end: nothing more will come.
  bool Closed() const { return m_closed; }

 private:
  // The next whole message, waited for until deadline.
  std::optional<nlohmann::json> Read(Clock::time_point deadline);

  int m_to;
  int m_from;
  int m_nextId = 1;
  bool m_closed = false;
  std::string m_pending;
  std::deque<nlohmann::json> m_events;
  std::string m_error;
};

}  // namespace qap::testing
