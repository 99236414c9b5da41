// The locker connection: one cached server connection, the login that opens
// the user's locker session (its cookie "lbblue" kept by the shared cookie
// store), the upload-host lookup and the multipart upload in 1024-byte
// chunks.
#pragma once

#include <atomic>
#include <mutex>

#include "agent/http_connection.h"

class CAgentConnectionManager;
class CLinkRequest;

// What became of a go-to-locker.
enum class LockerPage { kOpened, kNotLoggedIn, kNotWritten, kNoBrowser };

class CLokbinHTTPConnection : public CHTTPConnection {
 public:
  CLokbinHTTPConnection(CAgentConnectionManager& manager, DWORD chunkSize);

  BOOL CanUpload(CConnectionRequest&) override { return IsLoggedIn(nullptr); }
  DWORD GetType() const override { return kLockerConnectionType; }
  InternetHandle OpenUpload(CUploadRequest& request) override;
  BOOL CloseUpload(InternetHandle handle, CUploadRequest& request) override {
    return OnShutdownUpload(std::move(handle), request);
  }
  BOOL WriteUpload(const InternetHandle& handle, const void* bytes, DWORD count) override {
    return OnLoopUploadData(handle, bytes, count);
  }

  // The server connection for host (port 80), reused while the host stays
  // the same; null when it cannot be made.
  HINTERNET Connect(const CString& host);
  // Connect and open a request on that connection as one step, so that a
  // client thread switching the cached host cannot close the connection in
  // between. *connected tells a failed connect from a refused request.
  // context: the upload request whose body the request carries, if any.
  InternetHandle OpenRequest(const CString& host, const char* verb, const CString& path,
                             DWORD flags, bool* connected, CUploadRequest* context = nullptr);

  BOOL Login(const CString& url, const CString& user, const CString& password,
             const CString& serviceCode);
  // user null: any user with a non-empty session cookie.
  BOOL IsLoggedIn(const char* user);
  void Logout() { m_loggedIn.store(0); }
  // "http://<host the locker names>/c/u", or empty when the lookup failed.
  CString GetUploadUrl();

  // Posts the link and the cookies its site set to the configured XferURL;
  // the reply is only logged.
  void TransferLink(CLinkRequest& request);
  // Writes "gohome.htm" into the agent's folder, a page that logs the stored
  // user in at the login URL, and opens it in the browser.
  LockerPage GotoLocker();

  // Ends the multipart body, finishes the request, logs the reply; true
  // when the whole body went out and the locker answered with a 2xx status,
  // else the request is failed with the reason.
  BOOL OnShutdownUpload(InternetHandle handle, CUploadRequest& request);
  BOOL OnLoopUploadData(const InternetHandle& handle, const void* bytes, DWORD count);

 private:
  HINTERNET ConnectLocked(const CString& host);
  // The session's status callback: the body bytes of an upload that left.
  static void OnStatus(HINTERNET handle, DWORD_PTR context, DWORD status, LPVOID information,
                       DWORD length);

  CAgentConnectionManager& m_agent;
  std::recursive_mutex m_connectMutex;
  InternetHandle m_server;
  CString m_connectedHost;
  std::atomic<DWORD> m_loggedIn{0};
};
