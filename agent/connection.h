// A connection: one way of moving data (here HTTP), asked in turn by each
// request whether it can serve it. The base runs the generic chunk loops of
// uploads and downloads over the transfer operations each kind provides.
#pragma once

#include "agent/file_ptr.h"
#include "platform/base/cstring.h"
#include "platform/base/win_types.h"
#include "platform/inet/internet_handle.h"

class CConnectionManager;
class CConnectionRequest;
class CDownloadRequest;
class CUploadRequest;

// Connection type codes (GetType), also the bits of a request's mask.
constexpr DWORD kHttpConnectionType = 1;
constexpr DWORD kLockerConnectionType = 1024;

class CConnection {
 public:
  CConnection(CConnectionManager& manager, DWORD chunkSize);
  virtual ~CConnection() = default;
  CConnection(const CConnection&) = delete;
  CConnection& operator=(const CConnection&) = delete;

  // The operations in their slot order. Transfer handles are owned: the
  // operations that take one by value close it.
  virtual BOOL CanDownload(CConnectionRequest& request);
  virtual BOOL Download(CDownloadRequest& request);
  virtual BOOL CanUpload(CConnectionRequest& request);
  virtual DWORD GetType() const = 0;
  virtual InternetHandle OpenDownload(CDownloadRequest& request) = 0;
  virtual void CloseDownload(InternetHandle handle) = 0;
  virtual BOOL ReadDownload(const InternetHandle& handle, void* buffer, DWORD size,
                            DWORD* read) = 0;
  virtual void OnDownloadCanceled(FilePtr file, const CString& path, CDownloadRequest& request);
  // Null, with the request failed for a reason, when the upload cannot
  // begin.
  virtual InternetHandle OpenUpload(CUploadRequest& request) = 0;
  // Finishes the body and closes; true when the far side accepted the whole
  // upload, else the request is failed for a reason.
  virtual BOOL CloseUpload(InternetHandle handle, CUploadRequest& request) = 0;
  virtual BOOL WriteUpload(const InternetHandle& handle, const void* bytes, DWORD count) = 0;
  virtual void OnUploadCanceled(InternetHandle handle, CUploadRequest& request);

  // The generic upload: the request's file in chunks of ChunkSize(), the
  // manager's cancel flag seen between chunks. The progress comes from the
  // connection as the bytes leave for the network, not as they are handed
  // over.
  BOOL Upload(CUploadRequest& request);
  DWORD ChunkSize() const { return m_chunkSize; }

 protected:
  CConnectionManager& m_manager;

 private:
  bool MaskAllows(const CConnectionRequest& request) const;

  DWORD m_chunkSize;
};
