// One HTTP request handle: its headers, the curl transfer that carries it
// (driven through a borrowed multi handle, so that a body can be pushed in
// pieces), and the response's status, raw headers and body.
#pragma once

#include <curl/curl.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "platform/inet/cookie_store.h"
#include "platform/inet/inet_objects.h"

namespace qap::inet {

class Request : public Object {
 public:
  // connection is null for a URL opened directly on the session.
  Request(std::shared_ptr<Session> session, std::shared_ptr<Connection> connection, std::string url,
          std::string verb, DWORD flags, const Options& options, DWORD_PTR context);
  ~Request() override;

  // Each call below reports failure as false with the reason in
  // GetLastError().
  bool AddHeaders(std::string_view block, DWORD modifiers);
  bool Send(std::string_view headers, std::string_view body);
  bool Begin(std::string_view headers, std::uint64_t total);
  bool Write(const char* data, DWORD count);
  bool End();
  bool Read(char* buffer, DWORD count, DWORD* read);
  DWORD Status();
  std::vector<std::string> RawHeaders();

 private:
  enum class State { kOpen, kSending, kAnswered, kFailed };

  struct Header {
    std::string name;  // lower case, for comparison
    std::string line;  // as the caller wrote it
  };

  static size_t ReadCallback(char* buffer, size_t size, size_t count, void* self);
  static size_t WriteCallback(char* data, size_t size, size_t count, void* self);
  static size_t HeaderCallback(char* data, size_t size, size_t count, void* self);
  static int PrereqCallback(void* self, char*, char*, int, int);

  bool HasHeader(const std::string& lowerName) const;
  curl_slist* BuildHeaderList();
  bool StartTransfer(std::uint64_t total);
  bool Drive(const std::function<bool()>& done);
  void CollectFinished();
  void Abort(DWORD error);
  void Fail(DWORD error);
  DWORD FinishError() const;
  void Resume();
  // The request or its session was closed meanwhile.
  bool Cancelled() const { return IsClosed() || m_session->IsClosed(); }
  void ReportSent();
  size_t Pending() const { return m_pending.size() - m_pendingOffset; }
  void MarkProgress() { m_lastProgress = std::chrono::steady_clock::now(); }

  std::mutex m_callMutex;  // one call at a time on a request
  std::shared_ptr<Session> m_session;
  std::shared_ptr<Connection> m_connection;
  std::shared_ptr<MultiPool> m_pool;
  std::string m_url;
  std::string m_verb;
  DWORD m_flags;
  DWORD_PTR m_context;
  INTERNET_STATUS_CALLBACK m_statusCallback;
  bool m_sendCookies;
  CookieUrl m_cookieUrl;
  bool m_hasCookieUrl;
  std::vector<Header> m_headers;

  State m_state = State::kOpen;
  CURL* m_easy = nullptr;
  CURLM* m_multi = nullptr;
  curl_slist* m_headerList = nullptr;
  curl_slist* m_connectTo = nullptr;
  bool m_inMulti = false;
  bool m_connected = false;
  bool m_finished = false;
  CURLcode m_result = CURLE_OK;
  DWORD m_abortError = 0;
  DWORD m_attempts = 0;
  std::chrono::steady_clock::time_point m_lastProgress;

  // The body going out: announced total, bytes taken from the caller, and
  // the gathered bytes curl has not taken yet.
  std::uint64_t m_total = 0;
  std::uint64_t m_pushed = 0;
  std::uint64_t m_consumed = 0;
  std::uint64_t m_reportedSent = 0;
  std::string m_pending;
  size_t m_pendingOffset = 0;
  bool m_readPaused = false;

  // The response.
  bool m_headersComplete = false;
  DWORD m_status = 0;
  DWORD m_lineStatus = 0;
  std::vector<std::string> m_headerLines;
  std::string m_body;
  size_t m_bodyOffset = 0;
  bool m_writePaused = false;
};

// The curl error of a failed transfer as a WinINet error code.
DWORD ErrorFromCurl(CURLcode code);

}  // namespace qap::inet
