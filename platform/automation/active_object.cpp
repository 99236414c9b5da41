// The server side of the transport: an object exported on the session bus as
// the running instance of its class. Every bus call is served on a thread of
// its own, so that a call waiting on the network never holds up another
// client's; the references clients take are counted per client and given
// back when a client leaves the bus.
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <new>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "platform/automation/automation.h"
#include "platform/automation/bus_values.h"
#include "platform/automation/type_library.h"
#include "platform/base/last_error.h"
#include "platform/com/com_ptr.h"
#include "platform/com/connection_point_impl.h"
#include "platform/com/dispatch_sink.h"

namespace qap::automation {
namespace {

// Every name that loses its owner; a client that leaves the bus is one.
// Installed before the export takes its name, so that no client's leaving
// can pass unseen.
const std::string kDepartures = std::string("type='signal',sender='") + kBusName + "',path='" +
                                kBusPath + "',interface='" + kBusName +
                                "',member='NameOwnerChanged',arg2=''";

class CallThreads;
thread_local const CallThreads* t_servingFor = nullptr;

// The threads serving calls, one per call; each is joined once it is done.
class CallThreads {
 public:
  CallThreads() = default;
  ~CallThreads() { WaitAll(); }
  CallThreads(const CallThreads&) = delete;
  CallThreads& operator=(const CallThreads&) = delete;

  // False when no thread could be started.
  bool Start(std::function<void()> work) {
    std::lock_guard<std::mutex> guard(m_mutex);
    JoinDone();
    std::uint64_t id = m_nextId++;
    try {
      std::thread thread([this, id, work = std::move(work)]() mutable {
        t_servingFor = this;
        work();
        // What the work holds of the bus goes now: the bus's thread, which
        // joins done threads while it holds the bus's lock, must find
        // nothing left here that needs that lock.
        work = nullptr;
        std::lock_guard<std::mutex> finished(m_mutex);
        auto node = m_running.extract(id);
        m_done.push_back(std::move(node.mapped()));
        m_changed.notify_all();
      });
      m_running.emplace(id, std::move(thread));
    } catch (const std::system_error&) {
      return false;
    }
    return true;
  }
  void WaitAll() {
    std::unique_lock<std::mutex> lock(m_mutex);
    m_changed.wait(lock, [this] { return m_running.empty(); });
    JoinDone();
  }
  bool OnCallThread() const { return t_servingFor == this; }

 private:
  // A done thread has nothing left to do but return.
  void JoinDone() {
    for (std::thread& thread : m_done) thread.join();
    m_done.clear();
  }

  std::mutex m_mutex;
  std::condition_variable m_changed;
  std::map<std::uint64_t, std::thread> m_running;
  std::vector<std::thread> m_done;
  std::uint64_t m_nextId = 0;
};

class ActiveObjectExport {
 public:
  static HRESULT Create(IUnknown* object, REFCLSID clsid, std::unique_ptr<ActiveObjectExport>* out);
  ~ActiveObjectExport();
  ActiveObjectExport(const ActiveObjectExport&) = delete;
  ActiveObjectExport& operator=(const ActiveObjectExport&) = delete;

  // The bus's thread or one serving a call: the export cannot end there.
  bool OnServingThread() const {
    return m_loop.get_id() == std::this_thread::get_id() || m_calls.OnCallThread();
  }
  void Emit(const TypeInterface& events, DISPID dispId, DISPPARAMS* params);

 private:
  // The export's sink on one event interface: each event becomes a signal
  // of that interface (dispatch identifiers are unique only within one).
  struct Advised {
    DispatchSink* sink;
    IID iid;
    DWORD cookie;
  };

  ActiveObjectExport(TypeLibraryPtr library, IDispatch* dispatch)
      : m_library(std::move(library)), m_dispatch(dispatch) {}

  HRESULT Export();
  void Advise(IUnknown* object);
  void Unadvise();
  // On the bus's thread: hands the call to a thread of its own.
  void Serve(const TypeMember& member, sdbus::MethodCall call);
  void Call(const TypeMember& member, sdbus::MethodCall& call);
  // References are counted on the bus's thread, in the order the bus
  // delivers them, so a client's leaving is never counted before a
  // reference it took.
  void TakeReference(sdbus::MethodCall& call);
  void GiveReference(sdbus::MethodCall& call);
  bool HasOwner(const std::string& name);
  void OnOwnerChanged(sdbus::Message& message);
  void RunLoop();
  // Drops the references of the client name (every client when null).
  void DropClients(const std::string* name);

  TypeLibraryPtr m_library;
  // Not a reference of its own: the registration is weak.
  IDispatch* m_dispatch;
  std::unique_ptr<sdbus::IConnection> m_connection;
  std::unique_ptr<sdbus::IObject> m_object;
  std::unique_ptr<sdbus::IProxy> m_bus;
  sdbus::Slot m_departures;
  bool m_ownsName = false;
  // The connection's loop, on a thread of ours so that a bus that goes away
  // ends the loop instead of the process.
  std::thread m_loop;
  CallThreads m_calls;
  std::vector<Advised> m_advised;
  std::mutex m_clientMutex;
  std::map<std::string, ULONG> m_clients;
};

// A reply that can no longer be delivered (the caller or the bus went away)
// is nobody's loss.
void SendQuietly(const sdbus::MethodReply& reply) {
  try {
    reply.send();
  } catch (const sdbus::Error&) {
  }
}

void ReplyFailure(const sdbus::MethodCall& call, const sdbus::Error& error) {
  if (call.doesntExpectReply()) return;
  try {
    SendQuietly(call.createErrorReply(error));
  } catch (const sdbus::Error&) {
  }
}

HRESULT ActiveObjectExport::Create(IUnknown* object, REFCLSID clsid,
                                   std::unique_ptr<ActiveObjectExport>* out) {
  TypeLibraryPtr library;
  HRESULT hr = TypeLibraryOfClass(clsid, &library);
  if (FAILED(hr)) return hr;
  ComPtr<IDispatch> dispatch;
  hr = object->QueryInterface(IID_IDispatch, dispatch.OutVoid());
  if (FAILED(hr)) return hr;
  std::unique_ptr<ActiveObjectExport> created(new ActiveObjectExport(library, dispatch.Get()));
  dispatch.Reset();
  created->Advise(object);
  hr = created->Export();
  if (FAILED(hr)) return hr;
  *out = std::move(created);
  return S_OK;
}

void ActiveObjectExport::Advise(IUnknown* object) {
  ComPtr<IConnectionPointContainer> container;
  if (FAILED(object->QueryInterface(IID_IConnectionPointContainer, container.OutVoid()))) return;
  for (const TypeInterface& entry : m_library->interfaces) {
    ComPtr<IConnectionPoint> point;
    if (!entry.source || FAILED(container->FindConnectionPoint(entry.iid, point.Out()))) continue;
    auto* sink = new DispatchSink(entry.iid, [this, &entry](DISPID dispId, DISPPARAMS* params,
                                                            UINT*) {
      Emit(entry, dispId, params);
      return S_OK;
    });
    DWORD cookie = 0;
    if (SUCCEEDED(point->Advise(sink, &cookie))) {
      m_advised.push_back({sink, entry.iid, cookie});
    } else {
      sink->Release();
    }
  }
}

void ActiveObjectExport::Unadvise() {
  for (const Advised& advised : m_advised) advised.sink->Detach();
  ComPtr<IConnectionPointContainer> container;
  if (!m_advised.empty() &&
      SUCCEEDED(m_dispatch->QueryInterface(IID_IConnectionPointContainer, container.OutVoid()))) {
    for (const Advised& advised : m_advised) {
      ComPtr<IConnectionPoint> point;
      if (SUCCEEDED(container->FindConnectionPoint(advised.iid, point.Out()))) {
        point->Unadvise(advised.cookie);
      }
    }
  }
  for (const Advised& advised : m_advised) advised.sink->Release();
  m_advised.clear();
}

HRESULT ActiveObjectExport::Export() {
  try {
    m_connection = ConnectSessionBus();
    m_object = sdbus::createObject(*m_connection, m_library->objectPath);
    for (const TypeInterface& entry : m_library->interfaces) {
      for (const TypeMember& member : entry.members) {
        if (entry.source) {
          m_object->registerSignal(entry.name, member.name, member.InSignature());
          continue;
        }
        m_object->registerMethod(
            entry.name, member.name, member.InSignature(), member.OutSignature(),
            [this, &member](sdbus::MethodCall call) { Serve(member, std::move(call)); });
      }
    }
    m_object->registerMethod(kReferenceInterface, "AddRef", "", "",
                             [this](sdbus::MethodCall call) { TakeReference(call); });
    m_object->registerMethod(kReferenceInterface, "Release", "", "",
                             [this](sdbus::MethodCall call) { GiveReference(call); });
    // Everything is in place before the name is taken, so a call that starts
    // this server never arrives at an object still being set up.
    m_object->finishRegistration();
    m_bus = sdbus::createProxy(*m_connection, kBusName, kBusPath);
    m_departures =
        m_connection->addMatch(kDepartures, [this](sdbus::Message& message) {
          OnOwnerChanged(message);
        });
  } catch (const sdbus::Error&) {
    return RPC_E_DISCONNECTED;
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
  try {
    m_connection->requestName(m_library->busName);
    m_ownsName = true;
  } catch (const sdbus::Error&) {
    return HResultFromWin32(ERROR_ALREADY_EXISTS);
  }
  m_loop = std::thread([this] { RunLoop(); });
  return S_OK;
}

void ActiveObjectExport::RunLoop() {
  try {
    m_connection->enterEventLoop();
  } catch (const sdbus::Error&) {
    // The bus is gone, and with it every client: nobody can give back a
    // reference any more.
    DropClients(nullptr);
  }
}

void ActiveObjectExport::DropClients(const std::string* name) {
  ULONG references = 0;
  {
    std::lock_guard<std::mutex> guard(m_clientMutex);
    for (auto it = m_clients.begin(); it != m_clients.end();) {
      if (name != nullptr && it->first != *name) {
        ++it;
        continue;
      }
      references += it->second;
      it = m_clients.erase(it);
    }
  }
  while (references-- > 0) m_dispatch->Release();
}

void ActiveObjectExport::Serve(const TypeMember& member, sdbus::MethodCall call) {
  bool started = false;
  try {
    started = m_calls.Start(
        [this, &member, call]() mutable { Call(member, call); });
  } catch (const std::bad_alloc&) {
  }
  if (!started) ReplyFailure(call, FailureOf(E_OUTOFMEMORY));
}

void ActiveObjectExport::Call(const TypeMember& member, sdbus::MethodCall& call) {
  try {
    Arguments arguments;
    HRESULT hr = arguments.Read(call, member.InSignature());
    VARIANT result;
    VariantInit(&result);
    if (SUCCEEDED(hr)) {
      DISPPARAMS params = arguments.Params();
      EXCEPINFO exception{};
      UINT argumentError = 0;
      hr = m_dispatch->Invoke(member.dispId, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD,
                              &params, &result, &exception, &argumentError);
      SysFreeString(exception.bstrSource);
      SysFreeString(exception.bstrDescription);
      SysFreeString(exception.bstrHelpFile);
    }
    if (call.doesntExpectReply()) {
      VariantClear(&result);
      return;
    }
    auto reply = call.createReply();
    const TypeArgument* out = member.Result();
    if (member.successResult) {
      reply << SUCCEEDED(hr);
    } else if (SUCCEEDED(hr) && out != nullptr) {
      hr = WriteValue(reply, out->type, result);
    }
    VariantClear(&result);
    if (FAILED(hr) && !member.successResult) {
      ReplyFailure(call, FailureOf(hr));
      return;
    }
    SendQuietly(reply);
  } catch (const sdbus::Error& error) {
    // Arguments of other types than the member declares.
    ReplyFailure(call, error);
  } catch (const std::bad_alloc&) {
    ReplyFailure(call, FailureOf(E_OUTOFMEMORY));
  }
}

bool ActiveObjectExport::HasOwner(const std::string& name) {
  bool owned = true;
  try {
    m_bus->callMethod("NameHasOwner").onInterface(kBusName).withArguments(name).storeResultsTo(
        owned);
  } catch (const sdbus::Error&) {
    // Without an answer the client counts as present; its leaving still
    // drops its references.
  }
  return owned;
}

void ActiveObjectExport::TakeReference(sdbus::MethodCall& call) {
  std::string sender = call.getSender();
  bool first = false;
  {
    std::lock_guard<std::mutex> guard(m_clientMutex);
    first = m_clients[sender]++ == 0;
  }
  m_dispatch->AddRef();
  // A reference that waited (for this server to start, say) may arrive after
  // its sender left, and after the bus said so.
  if (first && !HasOwner(sender)) {
    DropClients(&sender);
    return;
  }
  if (!call.doesntExpectReply()) SendQuietly(call.createReply());
}

void ActiveObjectExport::GiveReference(sdbus::MethodCall& call) {
  std::string sender = call.getSender();
  {
    std::lock_guard<std::mutex> guard(m_clientMutex);
    auto found = m_clients.find(sender);
    if (found == m_clients.end()) {
      ReplyFailure(call, FailureOf(E_UNEXPECTED));
      return;
    }
    if (--found->second == 0) m_clients.erase(found);
  }
  m_dispatch->Release();
  if (!call.doesntExpectReply()) SendQuietly(call.createReply());
}

void ActiveObjectExport::OnOwnerChanged(sdbus::Message& message) {
  std::string name, oldOwner, newOwner;
  message >> name >> oldOwner >> newOwner;
  if (newOwner.empty()) DropClients(&name);
}

void ActiveObjectExport::Emit(const TypeInterface& events, DISPID dispId, DISPPARAMS* params) {
  const TypeMember* member = events.FindDispId(dispId);
  if (member == nullptr) return;
  std::string signature = member->InSignature();
  if (params == nullptr || params->cArgs != signature.size()) return;
  try {
    sdbus::Signal signal = m_object->createSignal(events.name, member->name);
    for (size_t i = 0; i < signature.size(); ++i) {
      if (FAILED(WriteValue(signal, signature[i], params->rgvarg[params->cArgs - 1 - i]))) return;
    }
    m_object->emitSignal(signal);
  } catch (const sdbus::Error&) {
    // An event that cannot be sent is lost, as a failing sink's would be.
  }
}

ActiveObjectExport::~ActiveObjectExport() {
  Unadvise();
  // The loop stops before the name goes, so that no call of the bus's own
  // races a call being served; then the calls still being served end before
  // the object they call may go away.
  if (m_loop.joinable()) {
    m_connection->leaveEventLoop();
    m_loop.join();
  }
  m_calls.WaitAll();
  try {
    if (m_ownsName) m_connection->releaseName(m_library->busName);
  } catch (const sdbus::Error&) {
    // The bus went away first; the name went with it.
  }
  DropClients(nullptr);
  m_departures.reset();
  m_bus.reset();
  m_object.reset();
  m_connection.reset();
}

std::mutex g_exportsMutex;
std::map<DWORD, std::unique_ptr<ActiveObjectExport>> g_exports;
DWORD g_nextRegistration = 1;

}  // namespace
}  // namespace qap::automation

using qap::automation::ActiveObjectExport;

HRESULT RegisterActiveObject(IUnknown* object, REFCLSID clsid, DWORD, DWORD* registration) {
  if (object == nullptr || registration == nullptr) return E_INVALIDARG;
  *registration = 0;
  std::unique_ptr<ActiveObjectExport> created;
  HRESULT hr = ActiveObjectExport::Create(object, clsid, &created);
  if (FAILED(hr)) return hr;
  std::lock_guard<std::mutex> guard(qap::automation::g_exportsMutex);
  *registration = qap::automation::g_nextRegistration++;
  qap::automation::g_exports.emplace(*registration, std::move(created));
  return S_OK;
}

HRESULT RevokeActiveObject(DWORD registration, void*) {
  std::unique_ptr<ActiveObjectExport> revoked;
  {
    std::lock_guard<std::mutex> guard(qap::automation::g_exportsMutex);
    auto found = qap::automation::g_exports.find(registration);
    if (found == qap::automation::g_exports.end()) return E_INVALIDARG;
    if (found->second->OnServingThread()) return RPC_E_WRONG_THREAD;
    revoked = std::move(found->second);
    qap::automation::g_exports.erase(found);
  }
  return S_OK;
}
