// The client side of the transport: the server's object as its client sees
// it. Calls go over the bus and wait for their reply through the
// connection's own event loop, so every event the server sent before a reply
// has reached the sinks by the time the call returns.
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <memory>
#include <new>
#include <string>
#include <thread>
#include <vector>

#include "platform/automation/automation.h"
#include "platform/automation/bus_values.h"
#include "platform/automation/type_library.h"
#include "platform/com/com_object.h"
#include "platform/com/com_ptr.h"
#include "platform/com/connection_point_impl.h"

namespace qap::automation {
namespace {

// COM waits for a call as long as it takes; a bus call needs a limit. This
// one is longer than any call of the suite's servers can last (the agent's
// longest, Login, ends within its connect and receive time-outs), so a call
// still working is never given up on.
constexpr auto kCallTimeout = std::chrono::minutes(10);

class RemoteObject final : public ComObject<RemoteObject, WithoutTypeInfo<IDispatch>, IConnectionPointContainer> {
 public:
  static HRESULT Create(REFCLSID clsid, ComPtr<IUnknown>* out);

  InterfaceTable Interfaces();
  HRESULT GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID, DISPID* dispIds) override;
  HRESULT Invoke(DISPID dispId, REFIID iid, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                 EXCEPINFO* exception, UINT* argumentError) override;
  HRESULT EnumConnectionPoints(IEnumConnectionPoints** points) override;
  HRESULT FindConnectionPoint(REFIID iid, IConnectionPoint** point) override;

 private:
  friend ComObject<RemoteObject, WithoutTypeInfo<IDispatch>, IConnectionPointContainer>;
  explicit RemoteObject(TypeLibraryPtr library) : m_library(std::move(library)) {}
  ~RemoteObject();

  HRESULT Connect();
  // The reply always comes through the connection's loop, behind the
  // signals that came before it, also while the loop is only starting (a
  // plain blocking call would then read the reply itself and return ahead
  // of them). On the loop's own thread, a sink calling back, the call
  // blocks there. Throws sdbus::Error.
  sdbus::MethodReply CallMethod(const sdbus::MethodCall& call);
  void RunLoop();
  void OnSignal(ConnectionPoint& point, const TypeMember& member, sdbus::Signal& signal);

  TypeLibraryPtr m_library;
  std::vector<std::unique_ptr<ConnectionPoint>> m_points;
  std::unique_ptr<sdbus::IConnection> m_connection;
  std::unique_ptr<sdbus::IProxy> m_proxy;
  // Delivers the events and the replies; a thread of ours, so that a bus
  // that goes away ends it quietly (the calls then fail) instead of ending
  // the process.
  std::thread m_loop;
  bool m_holdsReference = false;
  // The replies being waited for, and whether the loop that delivers them
  // has ended.
  std::mutex m_replyMutex;
  std::condition_variable m_replied;
  bool m_loopEnded = false;
};

// One call's outcome, handed from the loop to the thread waiting for it.
struct Outcome {
  bool arrived = false;
  sdbus::MethodReply reply;
  std::optional<sdbus::Error> error;
};

HRESULT RemoteObject::Create(REFCLSID clsid, ComPtr<IUnknown>* out) {
  TypeLibraryPtr library;
  HRESULT hr = TypeLibraryOfClass(clsid, &library);
  if (FAILED(hr)) return hr;
  auto* object = new (std::nothrow) RemoteObject(std::move(library));
  if (object == nullptr) return E_OUTOFMEMORY;
  ComPtr<IUnknown> held = ComPtr<IUnknown>::Attach(static_cast<IDispatch*>(object));
  hr = object->Connect();
  if (FAILED(hr)) return hr;
  *out = std::move(held);
  return S_OK;
}

HRESULT RemoteObject::Connect() {
  for (const TypeInterface& entry : m_library->interfaces) {
    if (entry.source) m_points.push_back(std::make_unique<ConnectionPoint>(this, entry.iid));
  }
  try {
    m_connection = ConnectSessionBus();
    m_proxy = sdbus::createProxy(*m_connection, m_library->busName, m_library->objectPath);
    size_t index = 0;
    for (const TypeInterface& entry : m_library->interfaces) {
      if (!entry.source) continue;
      ConnectionPoint& point = *m_points[index++];
      for (const TypeMember& member : entry.members) {
        // The handler reads the arguments by the signal's own signature: a
        // handler expecting other types would silently never run.
        m_proxy->registerSignalHandler(
            entry.name, member.name,
            [this, &point, &member](sdbus::Signal& signal) { OnSignal(point, member, signal); });
      }
    }
    m_proxy->finishRegistration();
    m_loop = std::thread([this] { RunLoop(); });
    // The first call to the name starts the server when nobody owns it.
    CallMethod(m_proxy->createMethodCall(kReferenceInterface, "AddRef"));
    m_holdsReference = true;
  } catch (const sdbus::Error& error) {
    HRESULT hr = HResultOf(error);
    return hr == RPC_E_DISCONNECTED ? CO_E_SERVER_EXEC_FAILURE : hr;
  }
  return S_OK;
}

void RemoteObject::RunLoop() {
  try {
    m_connection->enterEventLoop();
  } catch (const sdbus::Error&) {
    // The bus is gone; every call from now on fails.
  }
  std::lock_guard<std::mutex> guard(m_replyMutex);
  m_loopEnded = true;
  m_replied.notify_all();
}

sdbus::MethodReply RemoteObject::CallMethod(const sdbus::MethodCall& call) {
  if (std::this_thread::get_id() == m_loop.get_id()) return m_proxy->callMethod(call, kCallTimeout);
  auto outcome = std::make_shared<Outcome>();
  m_proxy->callMethod(
      call,
      [this, outcome](sdbus::MethodReply& reply, const sdbus::Error* error) {
        std::lock_guard<std::mutex> guard(m_replyMutex);
        if (error != nullptr) {
          outcome->error = *error;
        } else {
          outcome->reply = std::move(reply);
        }
        outcome->arrived = true;
        m_replied.notify_all();
      },
      kCallTimeout);
  std::unique_lock<std::mutex> lock(m_replyMutex);
  m_replied.wait(lock, [&] { return outcome->arrived || m_loopEnded; });
  if (!outcome->arrived) {
    throw sdbus::Error("org.freedesktop.DBus.Error.Disconnected", "the bus connection ended");
  }
  if (outcome->error) throw *outcome->error;
  return std::move(outcome->reply);
}

RemoteObject::~RemoteObject() {
  if (m_holdsReference) {
    try {
      CallMethod(m_proxy->createMethodCall(kReferenceInterface, "Release"));
    } catch (const sdbus::Error&) {
      // The server is gone: there is nothing to give back.
    }
  }
  // Stops the connection's thread before the points the signals reach go.
  if (m_loop.joinable()) {
    m_connection->leaveEventLoop();
    m_loop.join();
  }
  m_proxy.reset();
  m_connection.reset();
  m_points.clear();
}

void RemoteObject::OnSignal(ConnectionPoint& point, const TypeMember& member,
                            sdbus::Signal& signal) {
  Arguments arguments;
  try {
    if (FAILED(arguments.Read(signal, member.InSignature()))) return;
  } catch (const sdbus::Error&) {
    return;
  }
  DISPPARAMS params = arguments.Params();
  point.FireInvoke(member.dispId, &params);
}

InterfaceTable RemoteObject::Interfaces() {
  IDispatch* dispatch = this;
  return {{&IID_IDispatch, dispatch},
          {&m_library->DefaultInterface()->iid, dispatch},
          {&IID_IConnectionPointContainer, static_cast<IConnectionPointContainer*>(this)}};
}

HRESULT RemoteObject::GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID,
                                    DISPID* dispIds) {
  if (!IsEqualGUID(iid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
  return m_library->DefaultInterface()->GetIDsOfNames(names, count, dispIds);
}

HRESULT RemoteObject::Invoke(DISPID dispId, REFIID iid, LCID, WORD flags, DISPPARAMS* params,
                             VARIANT* result, EXCEPINFO*, UINT* argumentError) {
  if (!IsEqualGUID(iid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
  const TypeInterface& entry = *m_library->DefaultInterface();
  const TypeMember* member = entry.FindDispId(dispId);
  if (member == nullptr || (flags & DISPATCH_METHOD) == 0) return DISP_E_MEMBERNOTFOUND;
  if (params == nullptr) return E_INVALIDARG;
  if (params->cNamedArgs != 0) return DISP_E_NONAMEDARGS;
  std::string signature = member->InSignature();
  if (params->cArgs != signature.size()) return DISP_E_BADPARAMCOUNT;
  try {
    auto call = m_proxy->createMethodCall(entry.name, member->name);
    for (size_t i = 0; i < signature.size(); ++i) {
      UINT index = params->cArgs - 1 - static_cast<UINT>(i);
      HRESULT hr = WriteValue(call, signature[i], params->rgvarg[index]);
      if (FAILED(hr)) {
        if (argumentError != nullptr) *argumentError = index;
        return hr == DISP_E_BADVARTYPE ? hr : DISP_E_TYPEMISMATCH;
      }
    }
    auto reply = CallMethod(call);
    if (member->successResult) {
      bool succeeded = false;
      reply >> succeeded;
      return succeeded ? S_OK : E_FAIL;
    }
    const TypeArgument* out = member->Result();
    if (out == nullptr) return S_OK;
    VARIANT value;
    HRESULT hr = ReadValue(reply, out->type, &value);
    if (SUCCEEDED(hr) && result != nullptr) {
      VariantClear(result);
      *result = value;
    } else {
      VariantClear(&value);
    }
    return hr;
  } catch (const sdbus::Error& error) {
    return HResultOf(error);
  }
}

HRESULT RemoteObject::EnumConnectionPoints(IEnumConnectionPoints** points) {
  std::vector<IConnectionPoint*> list;
  for (const auto& point : m_points) list.push_back(point.get());
  return CreateConnectionPointEnumerator(list, points);
}

HRESULT RemoteObject::FindConnectionPoint(REFIID iid, IConnectionPoint** point) {
  if (point == nullptr) return E_POINTER;
  *point = nullptr;
  for (const auto& candidate : m_points) {
    if (IsEqualGUID(candidate->EventInterface(), iid)) {
      candidate->AddRef();
      *point = candidate.get();
      return S_OK;
    }
  }
  return CONNECT_E_NOCONNECTION;
}

}  // namespace
}  // namespace qap::automation

HRESULT CoCreateInstance(REFCLSID clsid, IUnknown* outer, DWORD context, REFIID iid,
                         void** object) {
  if (object == nullptr) return E_POINTER;
  *object = nullptr;
  if (outer != nullptr) return CLASS_E_NOAGGREGATION;
  if (context & CLSCTX_INPROC_SERVER) {
    ComPtr<IClassFactory> factory;
    HRESULT hr = CoGetClassObject(clsid, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory,
                                  factory.OutVoid());
    if (SUCCEEDED(hr)) return factory->CreateInstance(nullptr, iid, object);
    if (hr != REGDB_E_CLASSNOTREG || (context & CLSCTX_LOCAL_SERVER) == 0) return hr;
  }
  if ((context & CLSCTX_LOCAL_SERVER) == 0) return REGDB_E_CLASSNOTREG;
  ComPtr<IUnknown> remote;
  HRESULT hr = qap::automation::RemoteObject::Create(clsid, &remote);
  if (FAILED(hr)) return hr;
  return remote->QueryInterface(iid, object);
}

bool IsClassRunning(REFCLSID clsid) {
  qap::automation::TypeLibraryPtr library;
  if (FAILED(qap::automation::TypeLibraryOfClass(clsid, &library))) return false;
  try {
    auto connection = qap::automation::ConnectSessionBus();
    auto bus =
        sdbus::createProxy(*connection, qap::automation::kBusName, qap::automation::kBusPath);
    bool owned = false;
    bus->callMethod("NameHasOwner")
        .onInterface(qap::automation::kBusName)
        .withArguments(library->busName)
        .storeResultsTo(owned);
    return owned;
  } catch (const sdbus::Error&) {
    return false;
  }
}
