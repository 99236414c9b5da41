// One music file to send to the user's locker: the worker asks the locker for
// an upload host, then the first connection that can upload sends the file,
// reporting each whole percentage to the clients as the file's bytes leave.
#pragma once

#include <cstdint>

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

  // How many of the body's bytes come before the file's, once the upload
  // has opened.
  void SetBodyHead(std::uint64_t bytes) { m_bodyHead = bytes; }
  // count more bytes of the body left for the network: the file's bytes
  // among them are progress.
  void OnBodySent(DWORD count);

 private:
  CString m_filePath;
  CConnectionManager* m_manager = nullptr;  // set by Start, for the progress events
  std::uint64_t m_bodyHead = 0;
  std::uint64_t m_bodySent = 0;
};
