// The connection manager: the installed connections, the queue of every
// request ever added, and the one worker thread that starts them in order.
// Clients append from their own threads; the worker never holds the lock
// while a request runs.
#pragma once

#include <atomic>
#include <memory>
#include <vector>

#include "agent/connection.h"
#include "agent/connection_request.h"
#include "agent/event_sink.h"
#include "platform/base/critical_section.h"
#include "platform/base/cstring.h"
#include "platform/base/sync.h"

class CLinkRequest;

class CConnectionManager {
 public:
  // tempDirectory null: $TEMP (then $TMPDIR) with a separator, else "C:\".
  // events may be null (no one listens). Starts the worker.
  explicit CConnectionManager(const char* tempDirectory = nullptr,
                              IAgentEventSink* events = nullptr);
  // Cancels a running transfer at its next chunk, stops the worker and frees
  // every request.
  virtual ~CConnectionManager();
  CConnectionManager(const CConnectionManager&) = delete;
  CConnectionManager& operator=(const CConnectionManager&) = delete;

  // Marks every request from the running one on as failed and moves the
  // worker's position so that its pass ends when the running one returns.
  virtual void CancelRemaining();
  virtual void Dump() const;
  virtual void InstallConnections() = 0;

  // A reported request is announced to the event sink before the worker
  // can start it.
  void AddRequest(std::unique_ptr<CConnectionRequest> request);
  void AddDownload(const CString& source, const char* directory);
  void RequestCancel() { m_cancel.store(1); }
  bool CancelPending() const { return m_cancel.load() == 1; }
  // Every request added has been started.
  BOOL IsIdle() const;
  // Some started request has exactly this URL, is done and did not fail.
  BOOL IsDone(const CString& url) const;
  // Where uploads go: the upload host the locker connection named, or
  // empty when there is no locker connection or it named none.
  virtual CString UploadUrl() const { return CString(); }
  // Hands a link to the locker connection, which posts it to the transfer
  // URL; false when there is no locker connection.
  virtual bool TransferLink(CLinkRequest&) { return false; }
  const CString& TempDirectory() const { return m_tempDirectory; }
  const std::vector<CConnection*>& Connections() const { return m_connectionList; }
  void Notify(short value);

  size_t RequestCount() const;
  // The request at index; requests are never removed while the manager
  // lives, so the pointer stays valid.
  CConnectionRequest* RequestAt(size_t index) const;

 protected:
  void Install(std::unique_ptr<CConnection> connection);
  // Ends the worker; a derived manager calls it first in its destructor so
  // that no request runs while the derived part is already gone.
  void StopWorker();

 private:
  DWORD WorkerLoop();
  // The end of a reported request, with why it did not count (logged too).
  void ReportFinished(DWORD index, const CConnectionRequest& request);

  IAgentEventSink* m_events;
  CString m_tempDirectory;
  std::vector<std::unique_ptr<CConnection>> m_connections;
  std::vector<CConnection*> m_connectionList;
  mutable CCriticalSection m_lock;
  std::vector<std::unique_ptr<CConnectionRequest>> m_requests;
  UniqueHandle m_workEvent;
  UniqueHandle m_stopEvent;
  std::atomic<DWORD> m_position{0};
  std::atomic<DWORD> m_cancel{0};
  UniqueHandle m_worker;
};
