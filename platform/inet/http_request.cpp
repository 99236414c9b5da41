// The request handle's transfer: building the curl request, pushing the body
// through a read callback that pauses when the gathered bytes run out, and
// waiting for the response with the handle's time-outs.
#include "platform/inet/http_request.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>

namespace qap::inet {
namespace {

// Pushed writes gather this much before curl is driven, so that small writes
// cost no more than large ones.
constexpr size_t kPushBuffer = 64 * 1024;
// A response body is read ahead up to this much; then the transfer pauses
// until the caller reads.
constexpr size_t kReceiveAhead = 256 * 1024;
constexpr long kPollMilliseconds = 50;

std::string Lower(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

std::string_view TrimView(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

// QAP_CONNECT_TO's comma-separated entries, as curl takes them.
curl_slist* ConnectToList() {
  const char* value = std::getenv("QAP_CONNECT_TO");
  if (value == nullptr) return nullptr;
  curl_slist* list = nullptr;
  std::string_view rest(value);
  while (!rest.empty()) {
    size_t comma = rest.find(',');
    std::string entry(TrimView(rest.substr(0, comma)));
    if (!entry.empty()) list = curl_slist_append(list, entry.c_str());
    if (comma == std::string_view::npos) break;
    rest.remove_prefix(comma + 1);
  }
  return list;
}

}  // namespace

DWORD ErrorFromCurl(CURLcode code) {
  switch (code) {
    case CURLE_OK: return ERROR_SUCCESS;
    case CURLE_COULDNT_CONNECT: return ERROR_INTERNET_CANNOT_CONNECT;
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_RESOLVE_PROXY: return ERROR_INTERNET_NAME_NOT_RESOLVED;
    case CURLE_OPERATION_TIMEDOUT: return ERROR_INTERNET_TIMEOUT;
    case CURLE_SEND_ERROR:
    case CURLE_RECV_ERROR: return ERROR_INTERNET_CONNECTION_RESET;
    case CURLE_GOT_NOTHING:
    case CURLE_WEIRD_SERVER_REPLY:
    case CURLE_PARTIAL_FILE: return ERROR_HTTP_INVALID_SERVER_RESPONSE;
    case CURLE_URL_MALFORMAT: return ERROR_INTERNET_INVALID_URL;
    case CURLE_UNSUPPORTED_PROTOCOL: return ERROR_INTERNET_UNRECOGNIZED_SCHEME;
    default: return ERROR_INTERNET_INTERNAL_ERROR;
  }
}

Request::Request(std::shared_ptr<Session> session, std::shared_ptr<Connection> connection,
                 std::string url, std::string verb, DWORD flags, const Options& options,
                 DWORD_PTR context)
    : Object(Kind::kRequest, options),
      m_session(std::move(session)),
      m_connection(std::move(connection)),
      m_pool(m_connection ? m_connection->Pool() : m_session->UrlPool()),
      m_url(std::move(url)),
      m_verb(verb.empty() ? "GET" : std::move(verb)),
      m_flags(flags),
      m_context(context),
      m_statusCallback(options.statusCallback) {
  DWORD connectionFlags = m_connection ? m_connection->Flags() : 0;
  m_sendCookies = ((flags | connectionFlags) & INTERNET_FLAG_NO_COOKIES) == 0;
  m_hasCookieUrl = CookieUrlOf(m_url, &m_cookieUrl);
}

Request::~Request() {
  if (m_easy != nullptr) {
    if (m_inMulti) {
      // A reply that has arrived whole but was not read to its end still
      // leaves the connection reusable; anything less closes it.
      if (!m_finished && m_headersComplete) {
        int running = 0;
        curl_multi_perform(m_multi, &running);
      }
      curl_multi_remove_handle(m_multi, m_easy);
    }
    curl_easy_cleanup(m_easy);
  }
  if (m_multi != nullptr) m_pool->Give(m_multi);
  curl_slist_free_all(m_headerList);
  curl_slist_free_all(m_connectTo);
}

bool Request::HasHeader(const std::string& lowerName) const {
  return std::any_of(m_headers.begin(), m_headers.end(),
                     [&](const Header& header) { return header.name == lowerName; });
}

bool Request::AddHeaders(std::string_view block, DWORD modifiers) {
  std::lock_guard<std::mutex> guard(m_callMutex);
  if (m_state != State::kOpen) {
    SetLastError(ERROR_INTERNET_INCORRECT_HANDLE_STATE);
    return false;
  }
  std::vector<Header> added;
  while (!block.empty()) {
    size_t end = block.find('\n');
    std::string_view line = block.substr(0, end);
    block = end == std::string_view::npos ? std::string_view() : block.substr(end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.empty()) continue;
    size_t colon = line.find(':');
    std::string_view name = TrimView(line.substr(0, colon == std::string_view::npos ? 0 : colon));
    // A stray CR or a nameless line would smuggle something else onto the wire.
    if (colon == std::string_view::npos || name.empty() ||
        line.find('\r') != std::string_view::npos) {
      SetLastError(ERROR_HTTP_INVALID_HEADER);
      return false;
    }
    added.push_back({Lower(name), std::string(line)});
  }
  for (Header& header : added) {
    if ((modifiers & HTTP_ADDREQ_FLAG_REPLACE) != 0) {
      std::erase_if(m_headers, [&](const Header& old) { return old.name == header.name; });
    }
    m_headers.push_back(std::move(header));
  }
  return true;
}

curl_slist* Request::BuildHeaderList() {
  curl_slist* list = nullptr;
  for (const Header& header : m_headers) {
    std::string_view value =
        TrimView(std::string_view(header.line).substr(header.line.find(':') + 1));
    // curl drops "Name:" with nothing after it; "Name;" sends it empty.
    std::string line =
        value.empty() ? header.line.substr(0, header.line.find(':')) + ";" : header.line;
    list = curl_slist_append(list, line.c_str());
  }
  // Only the headers a WinINet request would send: no Accept or Content-Type
  // of curl's own, and no waiting for "100 Continue" before large bodies.
  if (!HasHeader("accept")) list = curl_slist_append(list, "Accept:");
  if (!HasHeader("content-type")) list = curl_slist_append(list, "Content-Type:");
  list = curl_slist_append(list, "Expect:");
  if (m_sendCookies && m_hasCookieUrl && !HasHeader("cookie")) {
    std::string text;
    for (const Cookie& cookie : CookieStore::Instance().CookiesFor(m_cookieUrl)) {
      if (!text.empty()) text += "; ";
      text += cookie.name + "=" + cookie.value;
    }
    if (!text.empty()) list = curl_slist_append(list, ("Cookie: " + text).c_str());
  }
  return list;
}

bool Request::StartTransfer(std::uint64_t total) {
  if (Cancelled()) {
    Fail(ERROR_INTERNET_OPERATION_CANCELLED);
    return false;
  }
  m_easy = curl_easy_init();
  m_multi = m_pool->Take();
  if (m_easy == nullptr || m_multi == nullptr) {
    Fail(ERROR_NOT_ENOUGH_MEMORY);
    return false;
  }
  Options options = GetOptions();
  m_total = total;
  m_headerList = BuildHeaderList();
  m_connectTo = ConnectToList();
  curl_easy_setopt(m_easy, CURLOPT_URL, m_url.c_str());
  curl_easy_setopt(m_easy, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(m_easy, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1));
  curl_easy_setopt(m_easy, CURLOPT_FOLLOWLOCATION, 0L);
  curl_easy_setopt(m_easy, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(options.connectTimeout));
  curl_easy_setopt(m_easy, CURLOPT_USERAGENT, m_session->Agent().c_str());
  curl_easy_setopt(m_easy, CURLOPT_HTTPHEADER, m_headerList);
  if (m_connectTo != nullptr) curl_easy_setopt(m_easy, CURLOPT_CONNECT_TO, m_connectTo);
  if (m_session->AccessType() == INTERNET_OPEN_TYPE_DIRECT) {
    curl_easy_setopt(m_easy, CURLOPT_PROXY, "");
  } else if (m_session->AccessType() == INTERNET_OPEN_TYPE_PROXY) {
    curl_easy_setopt(m_easy, CURLOPT_PROXY, m_session->Proxy().c_str());
    curl_easy_setopt(m_easy, CURLOPT_NOPROXY, m_session->ProxyBypass().c_str());
  }
  curl_easy_setopt(m_easy, CURLOPT_HEADERFUNCTION, &Request::HeaderCallback);
  curl_easy_setopt(m_easy, CURLOPT_HEADERDATA, this);
  curl_easy_setopt(m_easy, CURLOPT_WRITEFUNCTION, &Request::WriteCallback);
  curl_easy_setopt(m_easy, CURLOPT_WRITEDATA, this);
  curl_easy_setopt(m_easy, CURLOPT_PREREQFUNCTION, &Request::PrereqCallback);
  curl_easy_setopt(m_easy, CURLOPT_PREREQDATA, this);
  if (m_verb == "POST" || total > 0) {
    curl_easy_setopt(m_easy, CURLOPT_POST, 1L);
    // Without the size curl would add chunked encoding beside the caller's
    // Content-Length.
    curl_easy_setopt(m_easy, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(total));
    curl_easy_setopt(m_easy, CURLOPT_READFUNCTION, &Request::ReadCallback);
    curl_easy_setopt(m_easy, CURLOPT_READDATA, this);
    curl_easy_setopt(m_easy, CURLOPT_UPLOAD_BUFFERSIZE, static_cast<long>(kPushBuffer));
    if (m_verb != "POST") curl_easy_setopt(m_easy, CURLOPT_CUSTOMREQUEST, m_verb.c_str());
  } else if (m_verb == "HEAD") {
    curl_easy_setopt(m_easy, CURLOPT_NOBODY, 1L);
  } else if (m_verb != "GET") {
    curl_easy_setopt(m_easy, CURLOPT_CUSTOMREQUEST, m_verb.c_str());
  }
  m_attempts = 1;
  if (curl_multi_add_handle(m_multi, m_easy) != CURLM_OK) {
    Fail(ERROR_INTERNET_INTERNAL_ERROR);
    return false;
  }
  m_inMulti = true;
  m_state = State::kSending;
  MarkProgress();
  return true;
}

size_t Request::ReadCallback(char* buffer, size_t size, size_t count, void* self) {
  auto* request = static_cast<Request*>(self);
  size_t available = request->Pending();
  if (available == 0) {
    if (request->m_consumed >= request->m_total) return 0;
    request->m_readPaused = true;
    return CURL_READFUNC_PAUSE;
  }
  size_t taken = std::min(size * count, available);
  std::memcpy(buffer, request->m_pending.data() + request->m_pendingOffset, taken);
  request->m_pendingOffset += taken;
  request->m_consumed += taken;
  if (request->m_pendingOffset == request->m_pending.size()) {
    request->m_pending.clear();
    request->m_pendingOffset = 0;
  }
  request->MarkProgress();
  return taken;
}

size_t Request::WriteCallback(char* data, size_t size, size_t count, void* self) {
  auto* request = static_cast<Request*>(self);
  if (request->m_body.size() - request->m_bodyOffset >= kReceiveAhead) {
    request->m_writePaused = true;
    return CURL_WRITEFUNC_PAUSE;
  }
  request->m_body.append(data, size * count);
  request->MarkProgress();
  return size * count;
}

size_t Request::HeaderCallback(char* data, size_t size, size_t count, void* self) {
  auto* request = static_cast<Request*>(self);
  std::string_view line(data, size * count);
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.remove_suffix(1);
  request->MarkProgress();
  if (line.substr(0, 5) == "HTTP/") {
    // A new response (after an interim 1xx one) starts the lines afresh.
    request->m_headerLines.clear();
    size_t space = line.find(' ');
    request->m_lineStatus = space == std::string_view::npos
                                ? 0
                                : static_cast<DWORD>(std::strtoul(
                                      std::string(line.substr(space + 1)).c_str(), nullptr, 10));
    request->m_headerLines.emplace_back(line);
    return size * count;
  }
  if (line.empty()) {
    if (request->m_lineStatus >= 200) {
      request->m_status = request->m_lineStatus;
      request->m_headersComplete = true;
    }
    return size * count;
  }
  request->m_headerLines.emplace_back(line);
  size_t colon = line.find(':');
  if (colon != std::string_view::npos && request->m_hasCookieUrl &&
      Lower(TrimView(line.substr(0, colon))) == "set-cookie") {
    // Kept even on a no-cookies connection: such a connection only never
    // sends cookies by itself.
    CookieStore::Instance().SetFromHeader(request->m_cookieUrl,
                                          std::string(TrimView(line.substr(colon + 1))));
  }
  return size * count;
}

int Request::PrereqCallback(void* self, char*, char*, int, int) {
  auto* request = static_cast<Request*>(self);
  request->m_connected = true;
  request->MarkProgress();
  return CURL_PREREQFUNC_OK;
}

void Request::CollectFinished() {
  int left = 0;
  while (CURLMsg* message = curl_multi_info_read(m_multi, &left)) {
    if (message->msg != CURLMSG_DONE || message->easy_handle != m_easy) continue;
    CURLcode result = message->data.result;
    Options options = GetOptions();
    if (result == CURLE_COULDNT_CONNECT && m_consumed == 0 &&
        m_attempts < std::max<DWORD>(options.connectRetries, 1)) {
      ++m_attempts;
      curl_multi_remove_handle(m_multi, m_easy);
      m_readPaused = false;
      if (curl_multi_add_handle(m_multi, m_easy) == CURLM_OK) continue;
      m_inMulti = false;
    }
    m_finished = true;
    m_result = result;
  }
}

void Request::Resume() {
  if (!m_inMulti || m_finished) return;
  bool send = m_readPaused && Pending() > 0;
  bool receive = m_writePaused && m_body.size() - m_bodyOffset < kReceiveAhead;
  if (!send && !receive) return;
  if (send) m_readPaused = false;
  if (receive) m_writePaused = false;
  curl_easy_pause(m_easy,
                  (m_readPaused ? CURLPAUSE_SEND : 0) | (m_writePaused ? CURLPAUSE_RECV : 0));
}

void Request::ReportSent() {
  if (m_consumed == m_reportedSent) return;
  DWORD sent = static_cast<DWORD>(m_consumed - m_reportedSent);
  m_reportedSent = m_consumed;
  if (m_statusCallback != nullptr && m_context != 0) {
    m_statusCallback(static_cast<Object*>(this), m_context, INTERNET_STATUS_REQUEST_SENT, &sent,
                     sizeof sent);
  }
}

bool Request::Drive(const std::function<bool()>& done) {
  while (!done() && !m_finished) {
    if (Cancelled()) {
      Abort(ERROR_INTERNET_OPERATION_CANCELLED);
      return false;
    }
    Resume();
    int running = 0;
    if (curl_multi_perform(m_multi, &running) != CURLM_OK) {
      Abort(ERROR_INTERNET_INTERNAL_ERROR);
      return false;
    }
    CollectFinished();
    ReportSent();
    if (done() || m_finished) break;
    if (m_connected) {
      Options options = GetOptions();
      bool sending = m_consumed < m_total;
      DWORD limit = sending ? options.sendTimeout : options.receiveTimeout;
      auto idle = std::chrono::steady_clock::now() - m_lastProgress;
      if (limit != 0 && idle > std::chrono::milliseconds(limit)) {
        Abort(ERROR_INTERNET_TIMEOUT);
        return false;
      }
    }
    curl_multi_poll(m_multi, nullptr, 0, kPollMilliseconds, nullptr);
  }
  return true;
}

void Request::Abort(DWORD error) {
  // Taking the handle out mid-transfer closes its connection, so nothing
  // half-sent is ever reused.
  if (m_inMulti) curl_multi_remove_handle(m_multi, m_easy);
  m_inMulti = false;
  m_finished = true;
  m_result = CURLE_ABORTED_BY_CALLBACK;
  m_abortError = error;
}

void Request::Fail(DWORD error) {
  m_state = State::kFailed;
  SetLastError(error);
}

DWORD Request::FinishError() const {
  if (m_abortError != 0) return m_abortError;
  if (m_result != CURLE_OK) return ErrorFromCurl(m_result);
  // The transfer ended (the server answered and closed) before the body
  // was all taken.
  return ERROR_INTERNET_CONNECTION_ABORTED;
}

bool Request::Send(std::string_view headers, std::string_view body) {
  if (!headers.empty() && !AddHeaders(headers, HTTP_ADDREQ_FLAG_ADD | HTTP_ADDREQ_FLAG_REPLACE))
    return false;
  std::lock_guard<std::mutex> guard(m_callMutex);
  if (m_state != State::kOpen) {
    SetLastError(ERROR_INTERNET_INCORRECT_HANDLE_STATE);
    return false;
  }
  m_pending.assign(body);
  m_pushed = body.size();
  if (!StartTransfer(body.size())) return false;
  Drive([this] { return m_headersComplete; });
  if (!m_headersComplete) {
    Fail(FinishError());
    return false;
  }
  m_state = State::kAnswered;
  return true;
}

bool Request::Begin(std::string_view headers, std::uint64_t total) {
  if (!headers.empty() && !AddHeaders(headers, HTTP_ADDREQ_FLAG_ADD | HTTP_ADDREQ_FLAG_REPLACE))
    return false;
  std::lock_guard<std::mutex> guard(m_callMutex);
  if (m_state != State::kOpen) {
    SetLastError(ERROR_INTERNET_INCORRECT_HANDLE_STATE);
    return false;
  }
  return StartTransfer(total);
}

bool Request::Write(const char* data, DWORD count) {
  std::lock_guard<std::mutex> guard(m_callMutex);
  if (m_state != State::kSending) {
    SetLastError(ERROR_INTERNET_INCORRECT_HANDLE_STATE);
    return false;
  }
  if (m_finished) {
    SetLastError(FinishError());
    return false;
  }
  if (m_pushed + count > m_total) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return false;
  }
  m_pending.append(data, count);
  m_pushed += count;
  if (Pending() < kPushBuffer) return true;
  if (!Drive([this] { return Pending() == 0; }) || (m_finished && Pending() != 0)) {
    SetLastError(FinishError());
    return false;
  }
  return true;
}

bool Request::End() {
  std::lock_guard<std::mutex> guard(m_callMutex);
  if (m_state != State::kSending) {
    SetLastError(ERROR_INTERNET_INCORRECT_HANDLE_STATE);
    return false;
  }
  if (m_pushed < m_total) {
    // The server would wait for the rest for ever; give the connection up.
    // A transfer that had already failed keeps the error that stopped it.
    if (!m_finished) Abort(ERROR_INTERNET_CONNECTION_ABORTED);
    m_state = State::kFailed;
    SetLastError(FinishError());
    return false;
  }
  Drive([this] { return m_headersComplete; });
  if (!m_headersComplete) {
    Fail(FinishError());
    return false;
  }
  m_state = State::kAnswered;
  return true;
}

bool Request::Read(char* buffer, DWORD count, DWORD* read) {
  std::lock_guard<std::mutex> guard(m_callMutex);
  *read = 0;
  if (m_state != State::kAnswered) {
    SetLastError(ERROR_INTERNET_INCORRECT_HANDLE_STATE);
    return false;
  }
  while (*read < count) {
    size_t available = m_body.size() - m_bodyOffset;
    if (available > 0) {
      size_t taken = std::min<size_t>(available, count - *read);
      std::memcpy(buffer + *read, m_body.data() + m_bodyOffset, taken);
      m_bodyOffset += taken;
      *read += static_cast<DWORD>(taken);
      if (m_bodyOffset == m_body.size() || m_bodyOffset > kReceiveAhead) {
        m_body.erase(0, m_bodyOffset);
        m_bodyOffset = 0;
      }
      continue;
    }
    if (m_finished) break;
    if (!Drive([this] { return m_body.size() > m_bodyOffset; })) break;
  }
  if (*read == 0 && m_finished && (m_result != CURLE_OK || m_abortError != 0)) {
    SetLastError(FinishError());
    return false;
  }
  return true;
}

DWORD Request::Status() {
  std::lock_guard<std::mutex> guard(m_callMutex);
  return m_headersComplete ? m_status : 0;
}

std::vector<std::string> Request::RawHeaders() {
  std::lock_guard<std::mutex> guard(m_callMutex);
  return m_headersComplete ? m_headerLines : std::vector<std::string>();
}

}  // namespace qap::inet
