// One music file to send to the user's locker: the worker asks the locker for
// an upload host, then the first connection that can upload sends the file,
// reporting each whole percentage to the clients.
#pragma once

#include "agent/connection_request.h"

class CUploadRequest : public CConnectionRequest {
 public:
  // Reads the file's size now; 0 when it cannot be read.
  explicit CUploadRequest(const CString& filePath);

  BOOL IsUpload() const override { return TRUE; }
  void Start(CConnectionManager& manager) override;
  void AddProgress(DWORD count) override;
  void Dump() const override;

  const CString& FilePath() const { return m_filePath; }

 private:
  CString m_filePath;
  CConnectionManager* m_manager = nullptr;  // set by Start, for the progress events
};
