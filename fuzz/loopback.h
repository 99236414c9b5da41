// For the fuzz targets whose input comes from the network: a loopback HTTP
// server that every connection of the HTTP layer reaches, whatever host and
// port it names (QAP_CONNECT_TO), answering each request with what the
// target makes of it, one request per connection.
#pragma once

#include <functional>
#include <mutex>
#include <string>

#include "platform/inet/tests/raw_http_server.h"

namespace qap::fuzz {

class LoopbackServer {
 public:
  // Called on the connection's thread.
  using Reply = std::function<std::string(const qap::testing::RawRequest& request)>;

  explicit LoopbackServer(Reply reply);
  LoopbackServer(const LoopbackServer&) = delete;
  LoopbackServer& operator=(const LoopbackServer&) = delete;

 private:
  Reply m_reply;
  qap::testing::RawHttpServer m_server;
};

// The reply bytes for the current input, shared with the server's threads.
class ReplyBytes {
 public:
  void Set(std::string bytes);
  std::string Get() const;

 private:
  mutable std::mutex m_mutex;
  std::string m_bytes;
};

}  // namespace qap::fuzz
