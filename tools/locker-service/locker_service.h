// A small locker service for local use and tests: the login servlet, the
// upload-host lookup, the multipart upload into each user's folder, the link
// transfer endpoint and a page listing a user's files. Its host names are
// configuration: the login cookie "lbblue" belongs to the web host, and the
// lookup answers with the upload host.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace qap::locker {

struct ServiceConfig {
  std::string bindAddress = "127.0.0.1";
  int port = 0;  // 0: any free port
  std::string dataDirectory = "locker-data";
  std::map<std::string, std::string> users;  // name -> password
  std::string webHost = "www.lokbin.com";
  std::string uploadHost = "upload.lokbin.com";
  std::string transferPath = "/servlet/UploadLink";
  // Receives one line per request handled (method, path, status, note).
  std::function<void(const std::string&)> log;
};

struct LinkTransfer {
  std::string link;
  std::string cookie;
};

class LockerService {
 public:
  explicit LockerService(ServiceConfig config);
  ~LockerService();
  LockerService(const LockerService&) = delete;
  LockerService& operator=(const LockerService&) = delete;

  // Binds and starts serving on a thread of its own; false (see Error())
  // when the address cannot be bound or the data folder cannot be made.
  bool Start();
  void Stop();
  int Port() const { return m_port; }
  const std::string& Error() const { return m_error; }

  // The user a "lbblue" value belongs to, or empty.
  std::string UserOfToken(const std::string& token) const;
  std::vector<LinkTransfer> Transfers() const;
  // The folder of a user's stored files.
  std::string UserDirectory(const std::string& user) const;

 private:
  class Impl;
  std::unique_ptr<Impl> m_impl;
  ServiceConfig m_config;
  std::thread m_thread;
  int m_port = 0;
  std::string m_error;
};

}  // namespace qap::locker
