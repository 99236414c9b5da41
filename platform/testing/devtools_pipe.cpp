#include "platform/testing/devtools_pipe.h"

#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>

namespace qap::testing {

DevToolsPipe::DevToolsPipe(int toBrowser, int fromBrowser) : m_to(toBrowser), m_from(fromBrowser) {
  // A browser that died must show as a failed write, not end the test.
  signal(SIGPIPE, SIG_IGN);
}

DevToolsPipe::~DevToolsPipe() {
  close(m_to);
  close(m_from);
}

std::optional<nlohmann::json> DevToolsPipe::Call(const std::string& method,
                                                 const nlohmann::json& params,
                                                 const std::string& session,
                                                 Clock::time_point deadline) {
  const int id = m_nextId++;
  nlohmann::json command = {{"id", id}, {"method", method}, {"params", params}};
  if (!session.empty()) command["sessionId"] = session;
  std::string bytes = command.dump();
  bytes.push_back('\0');
  for (size_t written = 0; written < bytes.size();) {
    ssize_t count = write(m_to, bytes.data() + written, bytes.size() - written);
    if (count < 0 && errno == EINTR) continue;
    if (count <= 0) {
      m_closed = true;
      m_error = "the browser ended before " + method;
      return std::nullopt;
    }
    written += static_cast<size_t>(count);
  }
  while (std::optional<nlohmann::json> message = Read(deadline)) {
    if (!message->contains("id")) {
      m_events.push_back(std::move(*message));
      continue;
    }
    if ((*message)["id"] != id) continue;
    if (message->contains("error")) {
      m_error = method + " failed: " + (*message)["error"].value("message", std::string("?"));
      return std::nullopt;
    }
    return message->value("result", nlohmann::json::object());
  }
  if (m_error.empty()) m_error = "no answer to " + method + " in time";
  return std::nullopt;
}

std::optional<nlohmann::json> DevToolsPipe::NextEvent(Clock::time_point deadline) {
  if (!m_events.empty()) {
    nlohmann::json event = std::move(m_events.front());
    m_events.pop_front();
    return event;
  }
  while (std::optional<nlohmann::json> message = Read(deadline)) {
    if (!message->contains("id")) return message;
  }
  return std::nullopt;
}

std::optional<nlohmann::json> DevToolsPipe::Read(Clock::time_point deadline) {
  for (;;) {
    size_t end = m_pending.find('\0');
    if (end != std::string::npos) {
      nlohmann::json message = nlohmann::json::parse(m_pending.substr(0, end), nullptr, false);
      m_pending.erase(0, end + 1);
      if (message.is_discarded()) {
        m_error = "the browser sent a message that is not JSON";
        return std::nullopt;
      }
      return message;
    }
    if (m_closed) return std::nullopt;
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    if (left.count() <= 0) return std::nullopt;
    pollfd ready{m_from, POLLIN, 0};
    int polled = poll(&ready, 1, static_cast<int>(left.count()));
    if (polled < 0 && errno == EINTR) continue;
    if (polled <= 0) return std::nullopt;
    char buffer[65536];
    ssize_t count = read(m_from, buffer, sizeof buffer);
    if (count < 0 && errno == EINTR) continue;
    if (count <= 0) {
      m_closed = true;
      m_error = "the browser ended";
      return std::nullopt;
    }
    m_pending.append(buffer, static_cast<size_t>(count));
  }
}

}  // namespace qap::testing
