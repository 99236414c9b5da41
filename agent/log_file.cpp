// The agent's log file.
#include "agent/log_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cstdarg>
#include <ctime>

#include "platform/base/paths.h"

namespace {

std::atomic<CLogFile*> g_current{nullptr};

const char* PrefixOf(int level) {
  switch (level) {
    case kLogMessage: return "Message at ";
    case kLogWarning: return "Warning at ";
    case kLogError: return "Error at ";
    case kLogFatal: return "Fatal error at ";
    default: return "";
  }
}

}  // namespace

CLogFile::CLogFile(const std::string& folder)
    : m_fileName(AppendSeparator(folder) + "LogFile.log") {
  std::string host = ToHostPath(m_fileName.str());
  if (!host.empty()) {
    m_fd = open(host.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_APPEND | O_CLOEXEC, 0600);
  }
  // The log carries the session cookie: for its owner's eyes only, also when
  // an earlier log was left with wider permissions. A log that cannot be
  // kept private is not kept.
  if (m_fd >= 0 && fchmod(m_fd, 0600) != 0) {
    close(m_fd);
    m_fd = -1;
  }
  g_current.store(this);
  Write("LogFile was created.", kLogMessage);
}

CLogFile::~CLogFile() {
  Write("LogFile was closed.", kLogMessage);
  if (m_fd >= 0) close(m_fd);
  CLogFile* self = this;
  g_current.compare_exchange_strong(self, nullptr);
}

CLogFile* CLogFile::Current() { return g_current.load(); }

void CLogFile::Write(const char* message, int level) {
  if (m_fd < 0) return;
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char stamp[64] = {};
  asctime_r(&local, stamp);
  std::string time(stamp);
  if (!time.empty() && time.back() == '\n') time.pop_back();
  std::string line = std::string(PrefixOf(level)) + time + " : " + message + "\r\n";
  (void)!write(m_fd, line.data(), line.size());
}

void AgentLog(int level, const char* format, ...) {
  CLogFile* log = CLogFile::Current();
  if (log == nullptr || !log->IsOpen()) return;
  CString message;
  va_list args;
  va_start(args, format);
  message.FormatV(format, args);
  va_end(args);
  log->Write(message, level);
}
