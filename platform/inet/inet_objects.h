// The objects behind internet handles (session, server connection, request)
// and the table that turns handles into them.
#pragma once

#include <curl/curl.h>

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/inet/wininet.h"

namespace qap::inet {

enum class Kind { kSession, kConnection, kRequest };

// WinINet's defaults; the agent lowers the send time-out itself. The status
// callback travels with the options: a handle takes both from its parent.
struct Options {
  DWORD connectTimeout = 60000;
  DWORD connectRetries = 5;
  DWORD sendTimeout = 30000;
  DWORD receiveTimeout = 30000;
  INTERNET_STATUS_CALLBACK statusCallback = nullptr;
};

// What a new session starts with; InternetSetOptionA on no handle sets it.
Options DefaultOptions();
bool SetDefaultOption(DWORD option, DWORD value);

class Object {
 public:
  Object(Kind kind, const Options& options) : m_kind(kind), m_options(options) {}
  virtual ~Object() = default;
  Object(const Object&) = delete;
  Object& operator=(const Object&) = delete;

  Kind GetKind() const { return m_kind; }
  Options GetOptions() const {
    std::lock_guard<std::mutex> guard(m_optionsMutex);
    return m_options;
  }
  bool SetOption(DWORD option, DWORD value);
  INTERNET_STATUS_CALLBACK SetStatusCallback(INTERNET_STATUS_CALLBACK callback);

  // The handle was closed: what the object does from now on is cancelled.
  void MarkClosed() { m_closed.store(true); }
  bool IsClosed() const { return m_closed.load(); }

 private:
  Kind m_kind;
  mutable std::mutex m_optionsMutex;
  Options m_options;
  std::atomic<bool> m_closed{false};
};

// Idle curl multi handles of one server. The connection cache belongs to the
// multi handle, so a request borrows one for its life and gives it back: the
// next request to the same server finds the kept-alive TCP connection there,
// while requests running at the same time (from other threads) each get
// their own.
class MultiPool {
 public:
  MultiPool() = default;
  ~MultiPool();
  MultiPool(const MultiPool&) = delete;
  MultiPool& operator=(const MultiPool&) = delete;

  CURLM* Take();
  void Give(CURLM* multi);

 private:
  std::mutex m_mutex;
  std::vector<CURLM*> m_idle;
};

class Session : public Object {
 public:
  Session(std::string agent, DWORD accessType, std::string proxy, std::string proxyBypass)
      : Object(Kind::kSession, DefaultOptions()),
        m_agent(std::move(agent)),
        m_accessType(accessType),
        m_proxy(std::move(proxy)),
        m_proxyBypass(std::move(proxyBypass)),
        m_urlPool(std::make_shared<MultiPool>()) {}

  const std::string& Agent() const { return m_agent; }
  DWORD AccessType() const { return m_accessType; }
  const std::string& Proxy() const { return m_proxy; }
  const std::string& ProxyBypass() const { return m_proxyBypass; }
  const std::shared_ptr<MultiPool>& UrlPool() const { return m_urlPool; }

 private:
  std::string m_agent;
  DWORD m_accessType;
  std::string m_proxy;
  std::string m_proxyBypass;
  std::shared_ptr<MultiPool> m_urlPool;
};

class Connection : public Object {
 public:
  Connection(std::shared_ptr<Session> session, std::string host, INTERNET_PORT port, DWORD flags)
      : Object(Kind::kConnection, session->GetOptions()),
        m_session(std::move(session)),
        m_host(std::move(host)),
        m_port(port),
        m_flags(flags),
        m_pool(std::make_shared<MultiPool>()) {}

  const std::shared_ptr<Session>& GetSession() const { return m_session; }
  const std::string& Host() const { return m_host; }
  INTERNET_PORT Port() const { return m_port; }
  DWORD Flags() const { return m_flags; }
  const std::shared_ptr<MultiPool>& Pool() const { return m_pool; }

 private:
  std::shared_ptr<Session> m_session;
  std::string m_host;
  INTERNET_PORT m_port;
  DWORD m_flags;
  std::shared_ptr<MultiPool> m_pool;
};

// The handle table. A handle is the address of its object; looking it up
// hands out a reference, so an object lives on while a call uses it even if
// another thread closes the handle meanwhile.
HINTERNET RegisterHandle(std::shared_ptr<Object> object);
std::shared_ptr<Object> LookUpHandle(HINTERNET handle);
bool UnregisterHandle(HINTERNET handle);

}  // namespace qap::inet
