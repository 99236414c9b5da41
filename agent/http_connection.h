// The plain HTTP connection: the internet session, URL splitting, and
// downloads of http URLs. It cannot upload.
#pragma once

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
  InternetHandle OpenUpload(CUploadRequest&) override { return InternetHandle(); }
  BOOL CloseUpload(InternetHandle) override { return FALSE; }
  BOOL WriteUpload(const InternetHandle&, const void*, DWORD) override { return FALSE; }

  // Host and path (with any query) of url, and its scheme when asked; logs
  // "Failed to parse URL: '%s'" and returns false when it does not parse.
  // The URL's port is never used: every connection goes to port 80.
  static BOOL SplitUrl(const CString& url, CString* host, CString* path, CString* scheme = nullptr);

 protected:
  HINTERNET Session() const { return m_session.Get(); }
  // The retry count and send time-out the agent keeps on its session.
  void ApplySessionOptions();

 private:
  InternetHandle m_session;
};
