// The agent's log, "LogFile.log": one line per event with a level prefix and
// the local time, written by every part of the agent through the process-wide
// current log.
#pragma once

#include <string>

#include "platform/base/cstring.h"

enum LogLevel : int {
  kLogMessage = 0,
  kLogWarning = 1,
  kLogError = 2,
  kLogFatal = 3,
};

class CLogFile {
 public:
  // Creates folder\LogFile.log afresh (the log starts empty at every run)
  // and becomes the current log. A log that cannot be created stays silent.
  explicit CLogFile(const std::string& folder);
  ~CLogFile();
  CLogFile(const CLogFile&) = delete;
  CLogFile& operator=(const CLogFile&) = delete;

  // The log that AgentLog writes to, or null.
  static CLogFile* Current();

  bool IsOpen() const { return m_fd >= 0; }
  const CString& FileName() const { return m_fileName; }
  // One line: the level's prefix, the asctime() text of the local time
  // without its newline, " : ", the message and CRLF, in one write call so
  // that lines of different threads never mix.
  void Write(const char* message, int level);

 private:
  int m_fd = -1;
  CString m_fileName;
};

// Formats and writes one line to the current log; nothing without one.
void AgentLog(int level, const char* format, ...) __attribute__((format(printf, 2, 3)));
