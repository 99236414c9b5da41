// The plain HTTP connection: the internet session, URL splitting, and
// downloads of http URLs. It cannot upload.
#pragma once

#include <atomic>

#include "agent/connection.h"

class CHTTPConnection : public CConnection {
 public:
  // Opens the session as "lokbin agent" with the preconfigured proxy, three
  // connect retries and a send time-out of 1000 ms.
  CHTTPConnection(CConnectionManager& manager, DWORD chunkSize);

  BOOL CanDownload(CConnectionRequest& request) override;
  BOOL CanUpload(CConnectionRequest&) override { return FALSE; }
  DWORD GetType() const override { return kHttpConnectionType; }
  InternetHandle OpenDownload(CDownloadRequest& request) override;
  void CloseDownload(InternetHandle handle) override;
  BOOL ReadDownload(const InternetHandle& handle, void* buffer, DWORD size, DWORD* read) override;
  InternetHandle OpenUpload(CUploadRequest& request) override;
  BOOL CloseUpload(InternetHandle handle, CUploadRequest& request) override;
  BOOL WriteUpload(const InternetHandle&, const void*, DWORD) override { return FALSE; }

  // Host and path (with any query) of url, and its scheme when asked; logs
  // "Failed to parse URL: '%s'" and returns false when it does not parse.
  // The URL's port is never used: every connection goes to port 80.
  static BOOL SplitUrl(const CString& url, CString* host, CString* path, CString* scheme = nullptr);

  ~CHTTPConnection() override { CloseSession(); }
  // Closes the session: a transfer or login waiting on the network on any
  // thread ends at once, and every later one fails. For the agent's end,
  // so that nothing waits out a time-out.
  void CloseSession();

 protected:
  // Null once the session is closed.
  HINTERNET Session() const { return m_session.load(); }
  // The retry count and send time-out the agent keeps on its session.
  void ApplySessionOptions();

 private:
  // Closed from one thread while others use it: a single word.
  std::atomic<HINTERNET> m_session;
};
