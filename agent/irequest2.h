// IRequest2, the agent's automation interface: a dual interface whose
// thirteen methods follow IDispatch's in this slot order. Strings arrive by
// reference and are the caller's.
#pragma once

#include "platform/com/dispatch.h"

class IRequest2 : public IDispatch {
 public:
  virtual HRESULT AddFile(BSTR* path, LONG reserved1, LONG reserved2) = 0;
  virtual HRESULT Login(BSTR* user, BSTR* password, BSTR* serviceCode, LONG reserved) = 0;
  // S_OK when the locker page opened in a browser; kNoBrowserResult when
  // it was written but no browser could be started; E_FAIL when the user
  // is not logged in or the page could not be written.
  virtual HRESULT GotoLocker(LONG reserved1, LONG reserved2) = 0;
  virtual HRESULT Logout(LONG reserved) = 0;
  virtual HRESULT GetStatusText(VARIANT* status, LONG reserved) = 0;
  virtual HRESULT DownloadToClient(BSTR* path) = 0;
  virtual HRESULT AddClient(BSTR* name, BSTR* format, BSTR* path) = 0;
  virtual HRESULT RemoveClient(BSTR* name) = 0;
  virtual HRESULT Download(BSTR* url, BSTR* directory) = 0;
  // S_OK when done, E_FAIL when not, E_FAIL for a VARIANT that is neither
  // empty nor a string.
  virtual HRESULT IsDone(VARIANT what) = 0;
  virtual HRESULT CancelAll() = 0;
  virtual HRESULT IsLoggedIn(LONG* loggedIn) = 0;
  virtual HRESULT GetVersion(BSTR* version) = 0;
};
