// A file to fetch from a URL into a local folder (the manager's temp folder
// when none is given), under a name that does not overwrite anything.
#pragma once

#include "agent/connection_request.h"

class CDownloadRequest : public CConnectionRequest {
 public:
  CDownloadRequest(const CString& source, const CString& directory);

  BOOL IsUpload() const override { return FALSE; }
  void Start(CConnectionManager& manager) override;
  void Dump() const override;

  const CString& Source() const { return m_source; }
  const CString& Directory() const { return m_directory; }
  CString LocalPath() const;
  void SetLocalPath(const CString& path);
  bool ShouldDelete() const { return m_shouldDelete.load() == 1; }
  bool IsLocal() const { return m_isLocal.load() == 1; }
  void SetShouldDelete(bool on) { m_shouldDelete.store(on ? 1 : 0); }
  void SetIsLocal(bool on) { m_isLocal.store(on ? 1 : 0); }

 private:
  // After a failed download: no empty file stays behind.
  void LeaveNothingEmpty();

  CString m_source;
  CString m_directory;
  mutable std::mutex m_pathMutex;
  CString m_localPath;
  std::atomic<DWORD> m_shouldDelete{1};
  std::atomic<DWORD> m_isLocal{0};
};
