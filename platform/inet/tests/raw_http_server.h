// A loopback HTTP server for tests that works on raw sockets, so that a test
// sees every byte a client sent and can misbehave on purpose (reset the
// connection, stop reading, answer with oversized headers). Each accepted
// connection runs the test's handler on its own thread; every blocking step
// is bounded, and Stop() (or the destructor) ends everything.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace qap::testing {

struct RawRequest {
  std::string method;
  std::string path;
  std::vector<std::string> headerLines;        // without CRLF, request line excluded
  std::map<std::string, std::string> headers;  // lower-case names, last one wins
  std::string head;  // the request line and headers with the blank line, as sent
  std::string body;
};

class RawConnection {
 public:
  RawConnection(int fd, int stopFd) : m_fd(fd), m_stopFd(stopFd) {}
  ~RawConnection();
  RawConnection(const RawConnection&) = delete;
  RawConnection& operator=(const RawConnection&) = delete;

  // Reads the request line and headers; false when the peer closed first.
  bool ReadHead(RawRequest* request);
  // Reads exactly count body bytes (fewer when the peer closes).
  std::string ReadBody(size_t count);
  // ReadHead and then the body that Content-Length announces.
  bool ReadRequest(RawRequest* request);
  bool Send(const std::string& bytes);
  // Ends the connection with a TCP reset instead of an orderly close.
  void Reset();
  // Waits, reading nothing, until the server stops.
  void Hold();

 private:
  bool Fill();

  int m_fd;
  int m_stopFd;
  std::string m_buffer;
};

class RawHttpServer {
 public:
  using Handler = std::function<void(RawConnection&, RawHttpServer&)>;

  explicit RawHttpServer(Handler handler);
  ~RawHttpServer();
  RawHttpServer(const RawHttpServer&) = delete;
  RawHttpServer& operator=(const RawHttpServer&) = delete;

  int Port() const { return m_port; }
  // "HOST:80:127.0.0.1:PORT", an entry for QAP_CONNECT_TO.
  std::string ConnectTo(const std::string& host) const;
  void Stop();

  // Requests a handler chose to keep (Record), for the test to look at.
  void Record(const RawRequest& request);
  std::vector<RawRequest> Requests() const;
  int Connections() const { return m_connections.load(); }

  // A handler that records every request on a connection and answers it
  // with reply.
  static Handler Answer(std::string reply);
  // A handler that reads one whole request, records it and never answers,
  // holding the connection until the server stops.
  static Handler TakeAndHold();

 private:
  void AcceptLoop();

  Handler m_handler;
  int m_listenFd = -1;
  int m_stopPipe[2] = {-1, -1};
  int m_port = 0;
  std::atomic<int> m_connections{0};
  std::thread m_acceptThread;
  struct Worker {
    std::thread thread;
    std::shared_ptr<std::atomic<bool>> done;
  };

  std::mutex m_mutex;
  std::vector<Worker> m_workers;
  mutable std::mutex m_recordMutex;
  std::vector<RawRequest> m_requests;
  bool m_stopped = false;
};

// "HTTP/1.1 <status>\r\n" + extra header lines + Content-Length + body.
std::string HttpReply(const std::string& status, const std::string& body,
                      const std::string& extraHeaders = "");

}  // namespace qap::testing
