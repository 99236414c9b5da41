// The base of every request in the manager's queue: the address it works on,
// the connection types that may serve it, its progress counters and the three
// state flags clients read while the worker changes them.
#pragma once

#include <atomic>
#include <mutex>

#include "platform/base/cstring.h"
#include "platform/base/win_types.h"

class CConnectionManager;

// Every request of this program may be served by any connection.
constexpr DWORD kAnyConnection = 0xFFFFFFFF;

class CConnectionRequest {
 public:
  explicit CConnectionRequest(DWORD connectionMask = kAnyConnection);
  virtual ~CConnectionRequest() = default;
  CConnectionRequest(const CConnectionRequest&) = delete;
  CConnectionRequest& operator=(const CConnectionRequest&) = delete;

  virtual BOOL IsUpload() const = 0;
  // Runs the transfer on the manager's worker thread.
  virtual void Start(CConnectionManager& manager) = 0;
  virtual void AddProgress(DWORD count);
  virtual void Dump() const;

  DWORD ConnectionMask() const { return m_connectionMask; }
  CString GetURL() const;
  void SetURL(const CString& url);

  bool Done() const { return m_done.load() == 1; }
  bool Failed() const { return m_failed.load() == 1; }
  bool InProcess() const { return m_inProcess.load() == 1; }
  void SetDone(bool on) { m_done.store(on ? 1 : 0); }
  void SetFailed(bool on) { m_failed.store(on ? 1 : 0); }
  void SetInProcess(bool on) { m_inProcess.store(on ? 1 : 0); }
  // Sets IsFailed and keeps why; the first reason given is the one kept,
  // since what fails after it only follows from it.
  void Fail(const CString& reason);
  CString FailureReason() const;

  // A request reported to the clients by name (a file the agent queued):
  // its queuing, start and end reach the event sink.
  void ReportAs(const CString& name) { m_reportedAs = name; }
  bool Reported() const { return !m_reportedAs.IsEmpty(); }
  const CString& ReportedAs() const { return m_reportedAs; }

  DWORD BytesDone() const { return m_bytesDone; }
  DWORD TotalBytes() const { return m_totalBytes; }

 protected:
  DWORD m_bytesDone = 0;
  DWORD m_totalBytes = 0;

 private:
  DWORD m_connectionMask;
  // Also guards m_failureReason.
  mutable std::mutex m_urlMutex;
  CString m_url;
  CString m_failureReason;
  CString m_reportedAs;
  std::atomic<DWORD> m_done{0};
  std::atomic<DWORD> m_failed{0};
  std::atomic<DWORD> m_inProcess{0};
};

// "TRUE" or "FALSE", as the dumps write flags.
const char* FlagText(bool on);
