// The fuzz targets' loopback HTTP server.
#include "fuzz/loopback.h"

#include <stdlib.h>

namespace qap::fuzz {

LoopbackServer::LoopbackServer(Reply reply)
    : m_reply(std::move(reply)),
      m_server([this](qap::testing::RawConnection& connection, qap::testing::RawHttpServer&) {
        qap::testing::RawRequest request;
        if (connection.ReadRequest(&request)) connection.Send(m_reply(request));
      }) {
  // An empty host and port match every connection.
  setenv("QAP_CONNECT_TO", ("::127.0.0.1:" + std::to_string(m_server.Port())).c_str(), 1);
  setenv("no_proxy", "*", 1);
}

void ReplyBytes::Set(std::string bytes) {
  std::lock_guard<std::mutex> guard(m_mutex);
  m_bytes = std::move(bytes);
}

std::string ReplyBytes::Get() const {
  std::lock_guard<std::mutex> guard(m_mutex);
  return m_bytes;
}

}  // namespace qap::fuzz
