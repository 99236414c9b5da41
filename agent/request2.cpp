// CRequest2's life, its interfaces and its thirteen methods.
#include "agent/request2.h"

#include "agent/link_request.h"
#include "agent/request2_ids.h"
#include "platform/automation/automation.h"
#include "platform/base/codepage.h"
#include "platform/ui/driver.h"
#include "platform/ui/message_box.h"

namespace {

// A string argument in the system code page; a missing one is empty, as a
// null BSTR is.
CString AnsiOf(const BSTR* text) {
  if (text == nullptr || *text == nullptr) return CString();
  return CString(WideToAnsi(std::u16string_view(*text, SysStringLen(*text))));
}

}  // namespace

CRequest2::CRequest2(const Request2Options& options)
    : m_serverLock(options.serverLock),
      m_windowThread(options.windowThread),
      m_events(this, DIID__IRequest2Events),
      m_queueEvents(this, DIID__IRequest2QueueEvents) {
  m_clients = std::make_unique<CClientManager>();
  m_log = std::make_unique<CLogFile>(options.logFolder);
  m_manager = std::make_unique<CAgentConnectionManager>(
      options.appDirectory, static_cast<IAgentEventSink*>(this), nullptr, options.lockerHost);
  // The registration's own passing references are no client's: counted,
  // they would start the shutdown countdown before any client came. A
  // client's call may already arrive meanwhile, on the bus's thread.
  m_uncountedThread.store(std::this_thread::get_id());
  HRESULT registered = options.registerActiveObject
                           ? RegisterActiveObject(static_cast<IRequest2*>(this), CLSID_Request2,
                                                  ACTIVEOBJECT_WEAK, &m_activeObject)
                           : S_OK;
  m_uncountedThread.store(std::thread::id());
  if (FAILED(registered)) MessageBoxA(nullptr, "LBAgent", "Failed to register in ROT", MB_OK);
}

CRequest2::~CRequest2() {
  // A call still waiting on the network (a client that left in the middle
  // of a login, say) ends now, so the revocation, which waits for the calls
  // being served, does not wait out a time-out.
  m_manager->AbortTransfers();
  if (m_activeObject != 0) RevokeActiveObject(m_activeObject, nullptr);
  m_manager.reset();
  m_log.reset();
  m_clients.reset();
  m_events.UnadviseAll();
  m_queueEvents.UnadviseAll();
}

HRESULT CRequest2::QueryInterface(REFIID iid, void** object) {
  IRequest2* request = this;
  return QueryInterfaceFromTable(request,
                                 {{&IID_IUnknown, request},
                                  {&IID_IDispatch, request},
                                  {&IID_IRequest2, request},
                                  {&IID_IConnectionPointContainer,
                                   static_cast<IConnectionPointContainer*>(this)}},
                                 iid, object);
}

bool CRequest2::CountsAsLock() const {
  return m_serverLock != nullptr && m_uncountedThread.load() != std::this_thread::get_id();
}

ULONG CRequest2::AddRef() {
  if (CountsAsLock()) m_serverLock->Lock();
  return m_refs.fetch_add(1) + 1;
}

ULONG CRequest2::Release() {
  ULONG left = m_refs.fetch_sub(1) - 1;
  if (CountsAsLock()) m_serverLock->Unlock();
  return left;
}

HRESULT CRequest2::AddFile(BSTR* path, LONG, LONG) {
  CString file = AnsiOf(path);
  if (m_manager->AddFile(file) == AddedPath::kLink) {
    m_manager->AddRequest(std::make_unique<CLinkRequest>(file));
  }
  return S_OK;
}

HRESULT CRequest2::Login(BSTR* user, BSTR* password, BSTR* serviceCode, LONG) {
  // The outcome is for IsLoggedIn to tell.
  m_manager->Locker()->Login(m_manager->Config().GetAuthUserURL(), AnsiOf(user), AnsiOf(password),
                             AnsiOf(serviceCode));
  return S_OK;
}

HRESULT CRequest2::GotoLocker(LONG, LONG) {
  switch (m_manager->Locker()->GotoLocker()) {
    case LockerPage::kOpened: return S_OK;
    case LockerPage::kNoBrowser: return kNoBrowserResult;
    default: return E_FAIL;
  }
}

HRESULT CRequest2::Logout(LONG) {
  m_manager->Locker()->Logout();
  OnNotify(23);
  return S_OK;
}

HRESULT CRequest2::GetStatusText(VARIANT* status, LONG) {
  if (status == nullptr) return E_POINTER;
  const char* text = !m_manager->Locker()->IsLoggedIn(nullptr) ? "User is not logged in"
                     : m_manager->IsIdle()                     ? "Drag files here"
                                                               : "Working...";
  VariantInit(status);
  status->vt = VT_BSTR;
  status->bstrVal = CComBSTR(text).Detach();
  return S_OK;
}

HRESULT CRequest2::DownloadToClient(BSTR* path) {
  CString file = AnsiOf(path);
  auto handOff = [this, &file] { m_clients->HandOff(file); };
  // The person may take a while over the chooser; the call waits for them.
  if (m_windowThread != nullptr) {
    ui::driver::RunOnWindowThread(m_windowThread, handOff, std::chrono::hours(24));
  } else {
    handOff();
  }
  return S_OK;
}

HRESULT CRequest2::AddClient(BSTR* name, BSTR* format, BSTR* path) {
  m_clients->Add(ClientInfo{AnsiOf(name), AnsiOf(format), AnsiOf(path)});
  return S_OK;
}

HRESULT CRequest2::RemoveClient(BSTR* name) {
  m_clients->Remove(AnsiOf(name));
  return S_OK;
}

HRESULT CRequest2::Download(BSTR* url, BSTR* directory) {
  m_manager->AddDownload(AnsiOf(url), AnsiOf(directory));
  return S_OK;
}

HRESULT CRequest2::IsDone(VARIANT what) {
  if (what.vt == VT_EMPTY) return m_manager->IsIdle() ? S_OK : E_FAIL;
  if (what.vt != VT_BSTR) return E_FAIL;
  return m_manager->IsDone(AnsiOf(&what.bstrVal)) ? S_OK : E_FAIL;
}

HRESULT CRequest2::CancelAll() {
  m_manager->RequestCancel();
  return S_OK;
}

HRESULT CRequest2::IsLoggedIn(LONG* loggedIn) {
  if (loggedIn == nullptr) return E_POINTER;
  *loggedIn = m_manager->Locker()->IsLoggedIn(nullptr) ? 1 : 0;
  return S_OK;
}

HRESULT CRequest2::GetVersion(BSTR* version) {
  if (version == nullptr) return E_POINTER;
  *version = SysAllocString(u"01.00");
  return *version != nullptr ? S_OK : E_OUTOFMEMORY;
}

HRESULT CRequest2::EnumConnectionPoints(IEnumConnectionPoints** points) {
  return CreateConnectionPointEnumerator({&m_events, &m_queueEvents}, points);
}

HRESULT CRequest2::FindConnectionPoint(REFIID iid, IConnectionPoint** point) {
  if (point == nullptr) return E_POINTER;
  *point = nullptr;
  for (ConnectionPoint* candidate : {&m_events, &m_queueEvents}) {
    if (IsEqualGUID(iid, candidate->EventInterface())) {
      candidate->AddRef();
      *point = candidate;
      return S_OK;
    }
  }
  return CONNECT_E_NOCONNECTION;
}

void CRequest2::OnNotify(short value) {
  CComVariant argument(static_cast<SHORT>(value));
  DISPPARAMS params{&argument, nullptr, 1, 0};
  m_events.FireInvoke(kDispIdOnNotify, &params);
}

void CRequest2::OnQueued(DWORD request, const CString& name) {
  CComVariant index(static_cast<std::int32_t>(request)), file(name.c_str());
  // Shallow copies, last argument first as IDispatch takes them.
  VARIANT arguments[] = {file, index};
  DISPPARAMS params{arguments, nullptr, 2, 0};
  m_queueEvents.FireInvoke(kDispIdOnQueued, &params);
}

void CRequest2::OnStarted(DWORD request) {
  CComVariant index(static_cast<std::int32_t>(request));
  DISPPARAMS params{&index, nullptr, 1, 0};
  m_queueEvents.FireInvoke(kDispIdOnStarted, &params);
}

void CRequest2::OnFinished(DWORD request, bool sent, const CString& reason) {
  CComVariant index(static_cast<std::int32_t>(request)), why(reason.c_str());
  VARIANT flag;
  VariantInit(&flag);
  flag.vt = VT_BOOL;
  flag.boolVal = sent ? VARIANT_TRUE : VARIANT_FALSE;
  VARIANT arguments[] = {why, flag, index};
  DISPPARAMS params{arguments, nullptr, 3, 0};
  m_queueEvents.FireInvoke(kDispIdOnFinished, &params);
}
