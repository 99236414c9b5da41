// The locker service's endpoints over cpp-httplib.
#include "tools/locker-service/locker_service.h"

#include <httplib.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

namespace qap::locker {
namespace {

namespace fs = std::filesystem;

constexpr const char* kCookieName = "lbblue";
constexpr const char* kFilePart = "file-to-upload-01";
constexpr int kSessionSeconds = 86400;
constexpr const char* kLockerPath = "/locker";
// User names and file names are UTF-8 bytes; a browser must not take the
// pages for another encoding, nor send the login form in one.
constexpr const char* kHtml = "text/html; charset=utf-8";

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::string FormDecode(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '+') {
      out += ' ';
    } else if (text[i] == '%' && i + 2 < text.size() && HexValue(text[i + 1]) >= 0 &&
               HexValue(text[i + 2]) >= 0) {
      out += static_cast<char>(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2]));
      i += 2;
    } else {
      out += text[i];
    }
  }
  return out;
}

// The fields of a form body; the first of a repeated name wins.
std::map<std::string, std::string> FormFields(const std::string& body) {
  std::map<std::string, std::string> fields;
  std::istringstream in(body);
  std::string pair;
  while (std::getline(in, pair, '&')) {
    size_t equals = pair.find('=');
    std::string name = FormDecode(pair.substr(0, equals));
    std::string value = equals == std::string::npos ? "" : FormDecode(pair.substr(equals + 1));
    fields.emplace(name, value);
  }
  return fields;
}

std::string CookieValue(const httplib::Request& request, const std::string& name) {
  std::string header = request.get_header_value("Cookie");
  std::istringstream in(header);
  std::string pair;
  while (std::getline(in, pair, ';')) {
    size_t start = pair.find_first_not_of(' ');
    if (start == std::string::npos) continue;
    pair.erase(0, start);
    if (pair.compare(0, name.size() + 1, name + "=") == 0) return pair.substr(name.size() + 1);
  }
  return {};
}

// The stored name of an uploaded file: its last path component, never one
// that would leave the user's folder.
std::string SafeFileName(const std::string& name) {
  size_t slash = name.find_last_of("/\\");
  std::string base = slash == std::string::npos ? name : name.substr(slash + 1);
  if (base.empty() || base == "." || base == ".." || base.front() == '.') return {};
  return base;
}

std::string HtmlEscape(const std::string& text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '&': out += "&amp;"; break;
      case '"': out += "&quot;"; break;
      default: out += c;
    }
  }
  return out;
}

std::string NewToken() {
  static std::mutex mutex;
  static std::mt19937_64 generator{std::random_device{}()};
  std::lock_guard<std::mutex> guard(mutex);
  char text[33];
  std::snprintf(text, sizeof text, "%016llx%016llx", static_cast<unsigned long long>(generator()),
                static_cast<unsigned long long>(generator()));
  return text;
}

const char* kLoginPage =
    "<html><body><h1>Lokbin locker</h1>"
    "<form method=\"POST\" action=\"/servlet/Authenticate\">"
    "User <input name=\"LB_USERID\"> Password <input type=\"password\" name=\"LB_PASSWD\">"
    "<input type=\"submit\" value=\"Log in\"></form></body></html>";

}  // namespace

class LockerService::Impl {
 public:
  explicit Impl(const ServiceConfig& config) : m_config(config) {}

  void Routes();
  std::string UserOf(const httplib::Request& request) const;
  std::string UserDirectory(const std::string& user) const {
    return (fs::path(m_config.dataDirectory) / user).string();
  }
  void Note(const std::string& text) {
    if (m_config.log) m_config.log(text);
  }

  void Login(const httplib::Request& request, httplib::Response& response);
  void Upload(const httplib::Request& request, httplib::Response& response,
              const httplib::ContentReader& reader);
  void Transfer(const httplib::Request& request, httplib::Response& response);
  void Locker(const httplib::Request& request, httplib::Response& response);

  const ServiceConfig& m_config;
  httplib::Server m_server;
  mutable std::mutex m_mutex;
  std::map<std::string, std::string> m_sessions;  // token -> user
  std::vector<LinkTransfer> m_transfers;
};

std::string LockerService::Impl::UserOf(const httplib::Request& request) const {
  std::string token = CookieValue(request, kCookieName);
  std::lock_guard<std::mutex> guard(m_mutex);
  auto found = m_sessions.find(token);
  return found == m_sessions.end() ? std::string() : found->second;
}

void LockerService::Impl::Login(const httplib::Request& request, httplib::Response& response) {
  std::map<std::string, std::string> fields = FormFields(request.body);
  std::string user = fields["LB_USERID"];
  auto account = m_config.users.find(user);
  if (user.empty() || account == m_config.users.end() || account->second != fields["LB_PASSWD"]) {
    Note("login refused for '" + user + "'");
    response.set_content(std::string("<html><body><p>Wrong user name or password.</p>") +
                             kLoginPage + "</body></html>",
                         kHtml);
    return;
  }
  std::string token = NewToken();
  {
    std::lock_guard<std::mutex> guard(m_mutex);
    m_sessions[token] = user;
  }
  Note("login of '" + user + "'");
  // The agent knows a successful login by "auth=1" in a header line and
  // follows no redirect; a browser follows this one, with the session
  // cookie, to the user's locker.
  response.set_header("X-Lokbin-Login", "auth=1");
  response.set_header("Set-Cookie", std::string(kCookieName) + "=" + token +
                                        "; Path=/; Max-Age=" + std::to_string(kSessionSeconds));
  response.set_redirect(kLockerPath, 303);
  response.set_content(
      std::string("<html><body><a href=\"") + kLockerPath + "\">Your locker</a></body></html>",
      kHtml);
}

void LockerService::Impl::Upload(const httplib::Request& request, httplib::Response& response,
                                 const httplib::ContentReader& reader) {
  std::string user = UserOf(request);
  if (user.empty()) {
    response.status = 403;
    response.set_content("Not logged in: no valid lbblue cookie\n", "text/plain");
    return;
  }
  if (!request.is_multipart_form_data()) {
    response.status = 400;
    response.set_content("Expected a multipart/form-data body\n", "text/plain");
    return;
  }
  fs::path folder = UserDirectory(user);
  std::error_code error;
  fs::create_directories(folder, error);
  std::string storedName;
  fs::path partial;
  std::ofstream out;
  bool inFile = false;
  bool failed = false;
  std::uint64_t bytes = 0;
  bool read = reader(
      [&](const httplib::MultipartFormData& part) {
        if (inFile) {
          out.close();
          inFile = false;
        }
        if (part.name != kFilePart || !storedName.empty()) return true;
        storedName = SafeFileName(part.filename);
        if (storedName.empty()) {
          failed = true;
          return false;
        }
        partial = folder / ("." + storedName + ".part");
        out.open(partial, std::ios::binary | std::ios::trunc);
        inFile = out.is_open();
        failed = !inFile;
        return inFile;
      },
      [&](const char* data, size_t length) {
        if (!inFile) return true;
        out.write(data, static_cast<std::streamsize>(length));
        bytes += length;
        failed = !out;
        return !failed;
      });
  if (inFile) out.close();
  if (!read || failed || storedName.empty() || !out) {
    if (!partial.empty()) fs::remove(partial, error);
    response.status = failed && read ? 500 : 400;
    response.set_content(storedName.empty() ? "No usable file-to-upload-01 part\n"
                                            : "The upload could not be stored\n",
                         "text/plain");
    return;
  }
  fs::rename(partial, folder / storedName, error);
  if (error) {
    response.status = 500;
    response.set_content("The upload could not be stored\n", "text/plain");
    return;
  }
  Note("stored '" + storedName + "' (" + std::to_string(bytes) + " bytes) for '" + user + "'");
  response.set_content("Stored " + storedName + "\n", "text/plain");
}

void LockerService::Impl::Transfer(const httplib::Request& request, httplib::Response& response) {
  std::map<std::string, std::string> fields = FormFields(request.body);
  LinkTransfer transfer{fields["lb_remote_url"], fields["lb_remote_cookie"]};
  if (transfer.link.empty()) {
    response.status = 400;
    response.set_content("No lb_remote_url\n", "text/plain");
    return;
  }
  {
    std::lock_guard<std::mutex> guard(m_mutex);
    m_transfers.push_back(transfer);
    std::error_code error;
    fs::create_directories(m_config.dataDirectory, error);
    std::ofstream(fs::path(m_config.dataDirectory) / "transfers.txt", std::ios::app)
        << transfer.link << '\t' << transfer.cookie << '\n';
  }
  Note("link transfer of '" + transfer.link + "'");
  response.set_content("Transfer recorded\n", "text/plain");
}

void LockerService::Impl::Locker(const httplib::Request& request, httplib::Response& response) {
  std::string user = UserOf(request);
  if (user.empty()) {
    response.set_content(kLoginPage, kHtml);
    return;
  }
  std::ostringstream page;
  page << "<html><body><h1>Locker of " << HtmlEscape(user) << "</h1><ul>";
  std::error_code error;
  for (fs::directory_iterator entry(UserDirectory(user), error), end; !error && entry != end;
       entry.increment(error)) {
    std::string name = entry->path().filename().string();
    if (!entry->is_regular_file(error) || name.front() == '.') continue;
    page << "<li>" << HtmlEscape(name) << " (" << entry->file_size(error) << " bytes)</li>";
  }
  page << "</ul></body></html>";
  response.set_content(page.str(), kHtml);
}

void LockerService::Impl::Routes() {
  m_server.Post("/servlet/Authenticate",
                [this](const httplib::Request& q, httplib::Response& r) { Login(q, r); });
  m_server.Get("/get_ulhost/lb/", [this](const httplib::Request&, httplib::Response& r) {
    // The agent's lookup is a GET with a body, which this server leaves
    // unread; closing the connection keeps it from being taken for the
    // start of the next request.
    r.set_header("Connection", "close");
    r.set_content(m_config.uploadHost, "text/plain");
  });
  m_server.Post("/c/u", [this](const httplib::Request& q, httplib::Response& r,
                               const httplib::ContentReader& reader) { Upload(q, r, reader); });
  m_server.Post(m_config.transferPath,
                [this](const httplib::Request& q, httplib::Response& r) { Transfer(q, r); });
  auto page = [this](const httplib::Request& q, httplib::Response& r) { Locker(q, r); };
  m_server.Get(kLockerPath, page);
  m_server.Get("/", page);
  m_server.set_logger([this](const httplib::Request& q, const httplib::Response& r) {
    // A connection closed after the lookup leaves its unread body behind as
    // a request without a method: no request of anyone's.
    if (q.method.empty()) return;
    Note(q.method + " " + q.path + " " + std::to_string(r.status) +
         " (Host: " + q.get_header_value("Host") + ")");
  });
  m_server.set_keep_alive_max_count(1000);
}

LockerService::LockerService(ServiceConfig config) : m_config(std::move(config)) {}

LockerService::~LockerService() { Stop(); }

bool LockerService::Start() {
  std::error_code error;
  fs::create_directories(m_config.dataDirectory, error);
  if (error) {
    m_error = "cannot create the data folder " + m_config.dataDirectory + ": " + error.message();
    return false;
  }
  m_impl = std::make_unique<Impl>(m_config);
  m_impl->Routes();
  m_port = m_config.port == 0
               ? m_impl->m_server.bind_to_any_port(m_config.bindAddress)
               : (m_impl->m_server.bind_to_port(m_config.bindAddress, m_config.port) ? m_config.port
                                                                                     : -1);
  if (m_port <= 0) {
    m_error = "cannot listen on " + m_config.bindAddress + ":" + std::to_string(m_config.port);
    m_impl.reset();
    return false;
  }
  m_thread = std::thread([this] { m_impl->m_server.listen_after_bind(); });
  // The socket already listens; stopping must wait until the accept loop
  // runs, or the stop would be missed.
  for (int i = 0; i < 5000 && !m_impl->m_server.is_running(); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}

void LockerService::Stop() {
  if (!m_impl) return;
  m_impl->m_server.stop();
  if (m_thread.joinable()) m_thread.join();
  m_impl.reset();
}

std::string LockerService::UserOfToken(const std::string& token) const {
  if (!m_impl) return {};
  std::lock_guard<std::mutex> guard(m_impl->m_mutex);
  auto found = m_impl->m_sessions.find(token);
  return found == m_impl->m_sessions.end() ? std::string() : found->second;
}

std::vector<LinkTransfer> LockerService::Transfers() const {
  if (!m_impl) return {};
  std::lock_guard<std::mutex> guard(m_impl->m_mutex);
  return m_impl->m_transfers;
}

std::string LockerService::UserDirectory(const std::string& user) const {
  return (fs::path(m_config.dataDirectory) / user).string();
}

}  // namespace qap::locker
