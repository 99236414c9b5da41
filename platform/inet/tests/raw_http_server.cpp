// Raw-socket loopback HTTP server for tests.
#include "platform/inet/tests/raw_http_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cctype>
#include <cstring>
#include <stdexcept>

namespace qap::testing {
namespace {

// No step of a test server waits longer than this.
constexpr int kWaitMilliseconds = 15000;

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

// Waits until fd is readable; false on time-out or when the server stops.
bool WaitReadable(int fd, int stopFd) {
  pollfd fds[2] = {{fd, POLLIN, 0}, {stopFd, POLLIN, 0}};
  int ready = poll(fds, 2, kWaitMilliseconds);
  return ready > 0 && (fds[1].revents & POLLIN) == 0;
}

}  // namespace

RawConnection::~RawConnection() {
  if (m_fd >= 0) close(m_fd);
}

bool RawConnection::Fill() {
  if (!WaitReadable(m_fd, m_stopFd)) return false;
  char chunk[65536];
  ssize_t got = recv(m_fd, chunk, sizeof chunk, 0);
  if (got <= 0) return false;
  m_buffer.append(chunk, static_cast<size_t>(got));
  return true;
}

bool RawConnection::ReadHead(RawRequest* request) {
  size_t end;
  while ((end = m_buffer.find("\r\n\r\n")) == std::string::npos) {
    if (!Fill()) return false;
  }
  *request = RawRequest();
  request->head = m_buffer.substr(0, end + 4);
  m_buffer.erase(0, end + 4);
  size_t lineStart = 0;
  bool first = true;
  while (lineStart < request->head.size()) {
    size_t lineEnd = request->head.find("\r\n", lineStart);
    std::string line = request->head.substr(lineStart, lineEnd - lineStart);
    lineStart = lineEnd + 2;
    if (line.empty()) break;
    if (first) {
      size_t space = line.find(' ');
      request->method = line.substr(0, space);
      request->path = line.substr(space + 1, line.rfind(' ') - space - 1);
      first = false;
      continue;
    }
    request->headerLines.push_back(line);
    size_t colon = line.find(':');
    std::string value = line.substr(colon + 1);
    value.erase(0, value.find_first_not_of(' '));
    request->headers[Lower(line.substr(0, colon))] = value;
  }
  return true;
}

std::string RawConnection::ReadBody(size_t count) {
  while (m_buffer.size() < count) {
    if (!Fill()) break;
  }
  std::string body = m_buffer.substr(0, count);
  m_buffer.erase(0, body.size());
  return body;
}

bool RawConnection::ReadRequest(RawRequest* request) {
  if (!ReadHead(request)) return false;
  auto length = request->headers.find("content-length");
  if (length != request->headers.end()) {
    request->body = ReadBody(std::stoull(length->second));
  }
  return true;
}

bool RawConnection::Send(const std::string& bytes) {
  size_t sent = 0;
  while (sent < bytes.size()) {
    ssize_t done = send(m_fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
    if (done <= 0) return false;
    sent += static_cast<size_t>(done);
  }
  return true;
}

void RawConnection::Reset() {
  linger hard{1, 0};
  setsockopt(m_fd, SOL_SOCKET, SO_LINGER, &hard, sizeof hard);
  close(m_fd);
  m_fd = -1;
}

void RawConnection::Hold() {
  pollfd stop{m_stopFd, POLLIN, 0};
  poll(&stop, 1, kWaitMilliseconds);
}

RawHttpServer::RawHttpServer(Handler handler) : m_handler(std::move(handler)) {
  if (pipe(m_stopPipe) != 0) throw std::runtime_error("pipe failed");
  m_listenFd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t size = sizeof address;
  if (m_listenFd < 0 || bind(m_listenFd, reinterpret_cast<sockaddr*>(&address), size) != 0 ||
      listen(m_listenFd, 16) != 0 ||
      getsockname(m_listenFd, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
    throw std::runtime_error("cannot listen on loopback");
  }
  m_port = ntohs(address.sin_port);
  m_acceptThread = std::thread([this] { AcceptLoop(); });
}

RawHttpServer::~RawHttpServer() { Stop(); }

std::string RawHttpServer::ConnectTo(const std::string& host) const {
  return host + ":80:127.0.0.1:" + std::to_string(m_port);
}

void RawHttpServer::AcceptLoop() {
  while (true) {
    pollfd fds[2] = {{m_listenFd, POLLIN, 0}, {m_stopPipe[0], POLLIN, 0}};
    if (poll(fds, 2, -1) <= 0 || (fds[1].revents & POLLIN) != 0) return;
    int fd = accept4(m_listenFd, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd < 0) continue;
    ++m_connections;
    std::lock_guard<std::mutex> guard(m_mutex);
    if (m_stopped) {
      close(fd);
      return;
    }
    // Connections that ended are joined here, so that a server taking
    // connections for hours (a fuzz target's) holds no more threads than
    // are at work.
    std::erase_if(m_workers, [](Worker& worker) {
      if (!*worker.done) return false;
      worker.thread.join();
      return true;
    });
    auto done = std::make_shared<std::atomic<bool>>(false);
    m_workers.push_back({std::thread([this, fd, done] {
                           {
                             RawConnection connection(fd, m_stopPipe[0]);
                             m_handler(connection, *this);
                           }
                           *done = true;
                         }),
                         done});
  }
}

void RawHttpServer::Stop() {
  {
    std::lock_guard<std::mutex> guard(m_mutex);
    if (m_stopped) return;
    m_stopped = true;
  }
  char wake = 1;
  (void)!write(m_stopPipe[1], &wake, 1);
  m_acceptThread.join();
  std::vector<Worker> workers;
  {
    std::lock_guard<std::mutex> guard(m_mutex);
    workers.swap(m_workers);
  }
  for (Worker& worker : workers) worker.thread.join();
  close(m_listenFd);
  close(m_stopPipe[0]);
  close(m_stopPipe[1]);
}

void RawHttpServer::Record(const RawRequest& request) {
  std::lock_guard<std::mutex> guard(m_recordMutex);
  m_requests.push_back(request);
}

std::vector<RawRequest> RawHttpServer::Requests() const {
  std::lock_guard<std::mutex> guard(m_recordMutex);
  return m_requests;
}

RawHttpServer::Handler RawHttpServer::Answer(std::string reply) {
  return [reply](RawConnection& connection, RawHttpServer& server) {
    RawRequest request;
    while (connection.ReadRequest(&request)) {
      server.Record(request);
      if (!connection.Send(reply)) return;
    }
  };
}

RawHttpServer::Handler RawHttpServer::TakeAndHold() {
  return [](RawConnection& connection, RawHttpServer& server) {
    RawRequest request;
    if (!connection.ReadRequest(&request)) return;
    server.Record(request);
    connection.Hold();
  };
}

std::string HttpReply(const std::string& status, const std::string& body,
                      const std::string& extraHeaders) {
  return "HTTP/1.1 " + status + "\r\n" + extraHeaders +
         "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
}

}  // namespace qap::testing
