// CRequest2, the agent's one automation object: IRequest2 for clients, the
// connection points of _IRequest2Events and _IRequest2QueueEvents for their
// sinks, and the owner of the client list, the log and the connection
// manager. Every reference a client
// takes counts as a lock on the server; the object's life belongs to its
// class factory.
#pragma once

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "agent/agent_connection_manager.h"
#include "agent/client_manager.h"
#include "agent/event_sink.h"
#include "agent/irequest2.h"
#include "agent/log_file.h"
#include "agent/server_module.h"
#include "platform/automation/type_library.h"
#include "platform/com/connection_point_impl.h"

struct Request2Options {
  // Holds "lbagent.ini" and receives "gohome.htm": the executable's folder.
  std::string appDirectory;
  // Where "LogFile.log" is created: the current folder of the server.
  std::string logFolder = ".";
  // Takes the class's name on the session bus (the running object table).
  bool registerActiveObject = true;
  // Counts client references; may be null.
  IServerLock* serverLock = nullptr;
  // The thread that shows the agent's windows, by a window of its: a call
  // arrives on a thread of its own, which ends with the call, so a client's
  // chooser is shown on this one. Null: on the calling thread.
  HWND windowThread = nullptr;
  std::string lockerHost = kDefaultLockerHost;
};

class CRequest2 final : public WithoutTypeInfo<IRequest2>,
                        public IConnectionPointContainer,
                        private IAgentEventSink {
 public:
  explicit CRequest2(const Request2Options& options);
  ~CRequest2();
  CRequest2(const CRequest2&) = delete;
  CRequest2& operator=(const CRequest2&) = delete;

  HRESULT QueryInterface(REFIID iid, void** object) override;
  ULONG AddRef() override;
  ULONG Release() override;

  // IDispatch: names and dispatch identifiers come from the registered type
  // library, loaded on first use. No type information objects are offered.
  HRESULT GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale,
                        DISPID* dispIds) override;
  HRESULT Invoke(DISPID dispId, REFIID iid, LCID locale, WORD flags, DISPPARAMS* params,
                 VARIANT* result, EXCEPINFO* exception, UINT* argumentError) override;

  HRESULT AddFile(BSTR* path, LONG reserved1, LONG reserved2) override;
  HRESULT Login(BSTR* user, BSTR* password, BSTR* serviceCode, LONG reserved) override;
  HRESULT GotoLocker(LONG reserved1, LONG reserved2) override;
  HRESULT Logout(LONG reserved) override;
  HRESULT GetStatusText(VARIANT* status, LONG reserved) override;
  HRESULT DownloadToClient(BSTR* path) override;
  HRESULT AddClient(BSTR* name, BSTR* format, BSTR* path) override;
  HRESULT RemoveClient(BSTR* name) override;
  HRESULT Download(BSTR* url, BSTR* directory) override;
  HRESULT IsDone(VARIANT what) override;
  HRESULT CancelAll() override;
  HRESULT IsLoggedIn(LONG* loggedIn) override;
  HRESULT GetVersion(BSTR* version) override;

  HRESULT EnumConnectionPoints(IEnumConnectionPoints** points) override;
  HRESULT FindConnectionPoint(REFIID iid, IConnectionPoint** point) override;

  CAgentConnectionManager& Manager() { return *m_manager; }
  CClientManager& Clients() { return *m_clients; }

 private:
  // Progress from the worker, 23 after a logout: to every connected sink.
  void OnNotify(short value) override;
  void OnQueued(DWORD request, const CString& name) override;
  void OnStarted(DWORD request) override;
  void OnFinished(DWORD request, bool sent, const CString& reason) override;
  HRESULT LoadTypeLibrary(qap::automation::TypeLibraryPtr* library);
  HRESULT InvokeMethod(DISPID dispId, DISPPARAMS* params, VARIANT* result, UINT* argumentError);
  bool CountsAsLock() const;

  std::atomic<ULONG> m_refs{0};
  IServerLock* m_serverLock;
  // The thread whose references do not lock the server (while registering).
  std::atomic<std::thread::id> m_uncountedThread{};
  HWND m_windowThread;
  ConnectionPoint m_events;
  ConnectionPoint m_queueEvents;
  std::mutex m_typeLibraryMutex;
  qap::automation::TypeLibraryPtr m_typeLibrary;
  std::unique_ptr<CClientManager> m_clients;
  std::unique_ptr<CLogFile> m_log;
  std::unique_ptr<CAgentConnectionManager> m_manager;
  DWORD m_activeObject = 0;
};
