// locker-service: runs the small locker service until interrupted, printing
// where it listens and one line per request.
#include <signal.h>

#include <cstdlib>
#include <cstring>
#include <iostream>
#include <mutex>
#include <string>

#include "tools/locker-service/locker_service.h"

namespace {

const char* kUsage =
    "usage: locker-service [--port N] [--bind ADDRESS] [--data DIR] --user NAME:PASSWORD...\n"
    "                      [--web-host HOST] [--upload-host HOST] [--transfer-path PATH]\n"
    "\n"
    "Serves a Lokbin-style locker over HTTP for local use and tests:\n"
    "  POST /servlet/Authenticate  login (LB_USERID, LB_PASSWD); sets the cookie lbblue\n"
    "                              and redirects to /locker\n"
    "  GET  /get_ulhost/lb/        the upload host name\n"
    "  POST /c/u                   multipart upload into DIR/<user>/ (needs lbblue)\n"
    "  POST <transfer-path>        link transfer (lb_remote_url, lb_remote_cookie),\n"
    "                              recorded in DIR/transfers.txt\n"
    "  GET  /locker                the logged-in user's files\n"
    "\n"
    "  --port N          port to listen on; 0 (the default) picks a free one\n"
    "  --bind ADDRESS    address to listen on (default 127.0.0.1)\n"
    "  --data DIR        where uploads are stored (default ./locker-data)\n"
    "  --user NAME:PW    an account; repeat for more\n"
    "  --web-host HOST   the locker's web host name (default www.lokbin.com)\n"
    "  --upload-host H   the host the lookup names (default upload.lokbin.com)\n"
    "  --transfer-path P the link transfer endpoint (default /servlet/UploadLink)\n"
    "\n"
    "Clients that speak to port 80 reach it through QAP_CONNECT_TO, for instance\n"
    "QAP_CONNECT_TO=www.lokbin.com:80:127.0.0.1:N,upload.lokbin.com:80:127.0.0.1:N\n";

int UsageError(const std::string& message) {
  std::cerr << "locker-service: " << message << "\n\n" << kUsage;
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  qap::locker::ServiceConfig config;
  for (int i = 1; i < argc; ++i) {
    std::string option = argv[i];
    if (option == "--help" || option == "-h") {
      std::cout << kUsage;
      return 0;
    }
    if (i + 1 >= argc) return UsageError("missing value after " + option);
    std::string value = argv[++i];
    if (option == "--port") {
      char* end = nullptr;
      long port = std::strtol(value.c_str(), &end, 10);
      if (value.empty() || *end != '\0' || port < 0 || port > 65535) {
        return UsageError("bad port '" + value + "'");
      }
      config.port = static_cast<int>(port);
    } else if (option == "--bind") {
      config.bindAddress = value;
    } else if (option == "--data") {
      config.dataDirectory = value;
    } else if (option == "--user") {
      size_t colon = value.find(':');
      if (colon == std::string::npos || colon == 0) {
        return UsageError("--user wants NAME:PASSWORD, not '" + value + "'");
      }
      config.users[value.substr(0, colon)] = value.substr(colon + 1);
    } else if (option == "--web-host") {
      config.webHost = value;
    } else if (option == "--upload-host") {
      config.uploadHost = value;
    } else if (option == "--transfer-path") {
      if (value.empty() || value.front() != '/')
        return UsageError("the transfer path starts with '/'");
      config.transferPath = value;
    } else {
      return UsageError("unknown option " + option);
    }
  }
  if (config.users.empty()) return UsageError("no account: give at least one --user NAME:PASSWORD");

  // Interrupts are taken by sigwait below, in this thread only.
  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGINT);
  sigaddset(&stopSignals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

  std::mutex logMutex;
  config.log = [&logMutex](const std::string& line) {
    std::lock_guard<std::mutex> guard(logMutex);
    std::cerr << line << std::endl;
  };
  qap::locker::LockerService service(config);
  if (!service.Start()) {
    std::cerr << "locker-service: " << service.Error() << "\n";
    return 1;
  }
  std::cout << "locker-service: listening on http://" << config.bindAddress << ":" << service.Port()
            << " (web host " << config.webHost << ", upload host " << config.uploadHost << ", data "
            << config.dataDirectory << ")" << std::endl;
  int received = 0;
  sigwait(&stopSignals, &received);
  service.Stop();
  std::cout << "locker-service: stopped" << std::endl;
  return 0;
}
