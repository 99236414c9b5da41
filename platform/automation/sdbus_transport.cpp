// Every use of sdbus-c++ lives here: the export of an active object with its
// client references and events, the client-side object that calls it, and the
// conversion of VARIANTs to and from bus values.
#include <sdbus-c++/sdbus-c++.h>

#include <cstdio>
#include <map>
#include <memory>
#include <mutex>
#include <new>
#include <string>
#include <thread>
#include <vector>

#include "platform/automation/automation.h"
#include "platform/automation/type_library.h"
#include "platform/base/codepage.h"
#include "platform/base/last_error.h"
#include "platform/com/com_ptr.h"
#include "platform/com/connection_point_impl.h"

namespace qap::automation {
namespace {

constexpr const char* kReferenceInterface = "org.qap.Automation";
constexpr const char* kFailureName = "org.qap.Automation.Error";
constexpr const char* kBusName = "org.freedesktop.DBus";
constexpr const char* kBusPath = "/org/freedesktop/DBus";

// --- Values ---------------------------------------------------------------

std::string Utf8Of(const VARIANT& text) {
  return WideToAnsi(
      std::u16string_view(text.bstrVal != nullptr ? text.bstrVal : u"", SysStringLen(text.bstrVal)),
      CP_UTF8);
}

HRESULT SetText(VARIANT* out, const std::string& utf8) {
  std::u16string wide = AnsiToWide(utf8, CP_UTF8);
  out->vt = VT_BSTR;
  out->bstrVal = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
  return out->bstrVal != nullptr ? S_OK : E_OUTOFMEMORY;
}

// A VARIANT's value as a bus variant; an empty VARIANT travels as an empty
// array of variants, since the bus has no value for "nothing".
HRESULT ToBusVariant(const VARIANT& value, sdbus::Variant* out) {
  switch (value.vt) {
    case VT_EMPTY: *out = sdbus::Variant(std::vector<sdbus::Variant>{}); return S_OK;
    case VT_I2: *out = sdbus::Variant(static_cast<int16_t>(value.iVal)); return S_OK;
    case VT_I4:
    case VT_INT: *out = sdbus::Variant(static_cast<int32_t>(value.lVal)); return S_OK;
    case VT_UI1: *out = sdbus::Variant(static_cast<uint8_t>(value.bVal)); return S_OK;
    case VT_UI2: *out = sdbus::Variant(static_cast<uint16_t>(value.uiVal)); return S_OK;
    case VT_UI4:
    case VT_UINT: *out = sdbus::Variant(static_cast<uint32_t>(value.ulVal)); return S_OK;
    case VT_BOOL: *out = sdbus::Variant(value.boolVal != VARIANT_FALSE); return S_OK;
    case VT_BSTR: *out = sdbus::Variant(Utf8Of(value)); return S_OK;
    default: return DISP_E_BADVARTYPE;
  }
}

// Reading the wrong type out of a bus variant throws, so each type is asked
// for first.
HRESULT FromBusVariant(const sdbus::Variant& value, VARIANT* out) {
  VariantInit(out);
  if (value.containsValueOfType<std::string>()) return SetText(out, value.get<std::string>());
  if (value.containsValueOfType<int32_t>()) {
    out->vt = VT_I4;
    out->lVal = value.get<int32_t>();
  } else if (value.containsValueOfType<int16_t>()) {
    out->vt = VT_I2;
    out->iVal = value.get<int16_t>();
  } else if (value.containsValueOfType<uint32_t>()) {
    out->vt = VT_UI4;
    out->ulVal = value.get<uint32_t>();
  } else if (value.containsValueOfType<uint16_t>()) {
    out->vt = VT_UI2;
    out->uiVal = value.get<uint16_t>();
  } else if (value.containsValueOfType<uint8_t>()) {
    out->vt = VT_UI1;
    out->bVal = value.get<uint8_t>();
  } else if (value.containsValueOfType<bool>()) {
    out->vt = VT_BOOL;
    out->boolVal = value.get<bool>() ? VARIANT_TRUE : VARIANT_FALSE;
  } else if (!value.containsValueOfType<std::vector<sdbus::Variant>>() ||
             !value.get<std::vector<sdbus::Variant>>().empty()) {
    return DISP_E_BADVARTYPE;
  }
  return S_OK;
}

// Writes value as the bus type code, converting it first.
HRESULT WriteValue(sdbus::Message& message, char type, const VARIANT& value) {
  if (type == 'v') {
    sdbus::Variant variant;
    HRESULT hr = ToBusVariant(value, &variant);
    if (SUCCEEDED(hr)) message << variant;
    return hr;
  }
  static const std::map<char, VARTYPE> kTypes = {{'s', VT_BSTR}, {'i', VT_I4},  {'n', VT_I2},
                                                 {'u', VT_UI4},  {'q', VT_UI2}, {'y', VT_UI1},
                                                 {'b', VT_BOOL}};
  auto wanted = kTypes.find(type);
  if (wanted == kTypes.end()) return DISP_E_BADVARTYPE;
  VARIANT converted;
  VariantInit(&converted);
  HRESULT hr = VariantChangeType(&converted, &value, 0, wanted->second);
  if (FAILED(hr)) return hr;
  switch (type) {
    case 's': message << Utf8Of(converted); break;
    case 'i': message << static_cast<int32_t>(converted.lVal); break;
    case 'n': message << static_cast<int16_t>(converted.iVal); break;
    case 'u': message << static_cast<uint32_t>(converted.ulVal); break;
    case 'q': message << static_cast<uint16_t>(converted.uiVal); break;
    case 'y': message << static_cast<uint8_t>(converted.bVal); break;
    default: message << (converted.boolVal != VARIANT_FALSE); break;
  }
  VariantClear(&converted);
  return S_OK;
}

HRESULT ReadValue(sdbus::Message& message, char type, VARIANT* out) {
  VariantInit(out);
  switch (type) {
    case 's': {
      std::string text;
      message >> text;
      return SetText(out, text);
    }
    case 'i':
      out->vt = VT_I4;
      message >> out->lVal;
      return S_OK;
    case 'n':
      out->vt = VT_I2;
      message >> out->iVal;
      return S_OK;
    case 'u':
      out->vt = VT_UI4;
      message >> out->ulVal;
      return S_OK;
    case 'q':
      out->vt = VT_UI2;
      message >> out->uiVal;
      return S_OK;
    case 'y':
      out->vt = VT_UI1;
      message >> out->bVal;
      return S_OK;
    case 'b': {
      bool flag = false;
      message >> flag;
      out->vt = VT_BOOL;
      out->boolVal = flag ? VARIANT_TRUE : VARIANT_FALSE;
      return S_OK;
    }
    case 'v': {
      sdbus::Variant variant;
      message >> variant;
      return FromBusVariant(variant, out);
    }
    default: return DISP_E_BADVARTYPE;
  }
}

// The arguments of one call or event, in call order, owned; Params() lays
// them out as IDispatch wants them (last argument first).
class Arguments {
 public:
  Arguments() = default;
  Arguments(const Arguments&) = delete;
  Arguments& operator=(const Arguments&) = delete;
  ~Arguments() {
    for (VARIANT& value : m_values) VariantClear(&value);
  }

  HRESULT Read(sdbus::Message& message, const std::string& signature) {
    for (char type : signature) {
      m_values.emplace_back();
      HRESULT hr = ReadValue(message, type, &m_values.back());
      if (FAILED(hr)) return hr;
    }
    m_reversed.assign(m_values.rbegin(), m_values.rend());
    return S_OK;
  }
  DISPPARAMS Params() {
    return DISPPARAMS{m_reversed.data(), nullptr, static_cast<UINT>(m_reversed.size()), 0};
  }

 private:
  std::vector<VARIANT> m_values;
  // Shallow copies: m_values owns what they point to.
  std::vector<VARIANT> m_reversed;
};

std::string HResultText(HRESULT hr) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(hr));
  return text;
}

HRESULT HResultOf(const sdbus::Error& error) {
  const std::string& name = error.getName();
  if (name == kFailureName) {
    unsigned value = 0;
    if (std::sscanf(error.getMessage().c_str(), "0x%8X", &value) == 1) {
      return static_cast<HRESULT>(value);
    }
    return E_FAIL;
  }
  if (name == "org.freedesktop.DBus.Error.UnknownMethod") return DISP_E_MEMBERNOTFOUND;
  if (name == "org.freedesktop.DBus.Error.ServiceUnknown" ||
      name.rfind("org.freedesktop.DBus.Error.Spawn", 0) == 0) {
    return CO_E_SERVER_EXEC_FAILURE;
  }
  return RPC_E_DISCONNECTED;
}

std::unique_ptr<sdbus::IConnection> ConnectSessionBus() {
  // Explicitly the session bus: the default bus of a process running as
  // root is the system bus.
  return sdbus::createSessionBusConnection();
}

// --- The server side ------------------------------------------------------

class ActiveObjectExport;

// The export's sink on the object's event interfaces: each event becomes a
// signal. It outlives the export only as long as a connection point still
// holds it, and then does nothing.
class EventSink final : public WithoutTypeInfo<IDispatch> {
 public:
  EventSink(TypeLibraryPtr library, ActiveObjectExport* owner)
      : m_library(std::move(library)), m_owner(owner) {}

  HRESULT QueryInterface(REFIID iid, void** object) override {
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    const TypeInterface* events = m_library->Find(iid);
    if (IsEqualGUID(iid, IID_IUnknown) || IsEqualGUID(iid, IID_IDispatch) ||
        (events != nullptr && events->source)) {
      AddRef();
      *object = static_cast<IDispatch*>(this);
      return S_OK;
    }
    return E_NOINTERFACE;
  }
  ULONG AddRef() override { return m_refs.Increment(); }
  ULONG Release() override {
    ULONG left = m_refs.Decrement();
    if (left == 0) delete this;
    return left;
  }
  HRESULT GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
    return DISP_E_UNKNOWNNAME;
  }
  HRESULT Invoke(DISPID dispId, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*,
                 UINT*) override;

  // After this no event reaches the bus; waits for one being sent.
  void Detach() {
    std::lock_guard<std::mutex> guard(m_mutex);
    m_owner = nullptr;
  }

 private:
  RefCount m_refs;
  TypeLibraryPtr m_library;
  std::mutex m_mutex;
  ActiveObjectExport* m_owner;
};

class ActiveObjectExport {
 public:
  static HRESULT Create(IUnknown* object, REFCLSID clsid, std::unique_ptr<ActiveObjectExport>* out);
  ~ActiveObjectExport();
  ActiveObjectExport(const ActiveObjectExport&) = delete;
  ActiveObjectExport& operator=(const ActiveObjectExport&) = delete;

  bool OnLoopThread() const { return m_loop.get_id() == std::this_thread::get_id(); }
  void Emit(DISPID dispId, DISPPARAMS* params);

 private:
  struct Client {
    ULONG references = 0;
    sdbus::Slot watch;
  };

  ActiveObjectExport(TypeLibraryPtr library, IDispatch* dispatch)
      : m_library(std::move(library)), m_dispatch(dispatch) {}

  HRESULT Export();
  void Advise(IUnknown* object);
  void Unadvise();
  void Call(const TypeMember& member, sdbus::MethodCall& call);
  void TakeReference();
  void GiveReference();
  void OnOwnerChanged(sdbus::Message& message);
  void RunLoop();
  // Drops the references of the clients in names (all of them when null).
  void DropClients(const std::string* name);

  TypeLibraryPtr m_library;
  // Not a reference of its own: the registration is weak.
  IDispatch* m_dispatch;
  std::unique_ptr<sdbus::IConnection> m_connection;
  std::unique_ptr<sdbus::IObject> m_object;
  bool m_ownsName = false;
  // The connection's loop, on a thread of ours so that a bus that goes away
  // ends the loop instead of the process.
  std::thread m_loop;
  EventSink* m_sink = nullptr;
  std::vector<std::pair<IID, DWORD>> m_advised;
  std::mutex m_clientMutex;
  std::map<std::string, Client> m_clients;
  // Watches of clients that left, kept until the loop has stopped: a match
  // is not freed from inside its own handler.
  std::vector<sdbus::Slot> m_retiredWatches;
};

HRESULT EventSink::Invoke(DISPID dispId, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*,
                          EXCEPINFO*, UINT*) {
  std::lock_guard<std::mutex> guard(m_mutex);
  if (m_owner != nullptr) m_owner->Emit(dispId, params);
  return S_OK;
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
  m_sink = new EventSink(m_library, this);
  for (const TypeInterface& entry : m_library->interfaces) {
    ComPtr<IConnectionPoint> point;
    DWORD cookie = 0;
    if (entry.source && SUCCEEDED(container->FindConnectionPoint(entry.iid, point.Out())) &&
        SUCCEEDED(point->Advise(m_sink, &cookie))) {
      m_advised.emplace_back(entry.iid, cookie);
    }
  }
}

void ActiveObjectExport::Unadvise() {
  if (m_sink == nullptr) return;
  m_sink->Detach();
  ComPtr<IConnectionPointContainer> container;
  if (SUCCEEDED(m_dispatch->QueryInterface(IID_IConnectionPointContainer, container.OutVoid()))) {
    for (const auto& [iid, cookie] : m_advised) {
      ComPtr<IConnectionPoint> point;
      if (SUCCEEDED(container->FindConnectionPoint(iid, point.Out()))) point->Unadvise(cookie);
    }
  }
  m_advised.clear();
  m_sink->Release();
  m_sink = nullptr;
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
        m_object->registerMethod(entry.name, member.name, member.InSignature(),
                                 member.OutSignature(),
                                 [this, &member](sdbus::MethodCall call) { Call(member, call); });
      }
    }
    m_object->registerMethod("AddRef").onInterface(kReferenceInterface).implementedAs([this] {
      TakeReference();
    });
    m_object->registerMethod("Release").onInterface(kReferenceInterface).implementedAs([this] {
      GiveReference();
    });
    // Everything is in place before the name is taken, so a call that starts
    // this server never arrives at an object still being set up.
    m_object->finishRegistration();
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
      references += it->second.references;
      m_retiredWatches.push_back(std::move(it->second.watch));
      it = m_clients.erase(it);
    }
  }
  while (references-- > 0) m_dispatch->Release();
}

void ActiveObjectExport::Call(const TypeMember& member, sdbus::MethodCall& call) {
  Arguments arguments;
  HRESULT hr = arguments.Read(call, member.InSignature());
  VARIANT result;
  VariantInit(&result);
  if (SUCCEEDED(hr)) {
    DISPPARAMS params = arguments.Params();
    EXCEPINFO exception{};
    UINT argumentError = 0;
    hr = m_dispatch->Invoke(member.dispId, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params,
                            &result, &exception, &argumentError);
    SysFreeString(exception.bstrSource);
    SysFreeString(exception.bstrDescription);
    SysFreeString(exception.bstrHelpFile);
  }
  auto reply = call.createReply();
  const TypeArgument* out = member.Result();
  if (member.successResult) {
    reply << SUCCEEDED(hr);
  } else if (SUCCEEDED(hr) && out != nullptr) {
    hr = WriteValue(reply, out->type, result);
  }
  VariantClear(&result);
  if (FAILED(hr) && !member.successResult) throw sdbus::Error(kFailureName, HResultText(hr));
  reply.send();
}

void ActiveObjectExport::TakeReference() {
  std::string sender = m_object->getCurrentlyProcessedMessage()->getSender();
  {
    std::lock_guard<std::mutex> guard(m_clientMutex);
    Client& client = m_clients[sender];
    if (client.references == 0) {
      // A client that leaves the bus without giving its references back
      // loses them when the bus says its name has gone.
      client.watch = m_connection->addMatch(
          "type='signal',sender='" + std::string(kBusName) + "',path='" + kBusPath +
              "',interface='" + kBusName + "',member='NameOwnerChanged',arg0='" + sender + "'",
          [this](sdbus::Message& message) { OnOwnerChanged(message); });
    }
    ++client.references;
  }
  m_dispatch->AddRef();
}

void ActiveObjectExport::GiveReference() {
  std::string sender = m_object->getCurrentlyProcessedMessage()->getSender();
  {
    std::lock_guard<std::mutex> guard(m_clientMutex);
    auto found = m_clients.find(sender);
    if (found == m_clients.end()) throw sdbus::Error(kFailureName, HResultText(E_UNEXPECTED));
    if (--found->second.references == 0) {
      m_retiredWatches.push_back(std::move(found->second.watch));
      m_clients.erase(found);
    }
  }
  m_dispatch->Release();
}

void ActiveObjectExport::OnOwnerChanged(sdbus::Message& message) {
  std::string name, oldOwner, newOwner;
  message >> name >> oldOwner >> newOwner;
  if (newOwner.empty()) DropClients(&name);
}

void ActiveObjectExport::Emit(DISPID dispId, DISPPARAMS* params) {
  for (const TypeInterface& entry : m_library->interfaces) {
    const TypeMember* member = entry.source ? entry.FindDispId(dispId) : nullptr;
    if (member == nullptr) continue;
    std::string signature = member->InSignature();
    if (params == nullptr || params->cArgs != signature.size()) return;
    try {
      sdbus::Signal signal = m_object->createSignal(entry.name, member->name);
      for (size_t i = 0; i < signature.size(); ++i) {
        if (FAILED(WriteValue(signal, signature[i], params->rgvarg[params->cArgs - 1 - i]))) return;
      }
      m_object->emitSignal(signal);
    } catch (const sdbus::Error&) {
      // An event that cannot be sent is lost, as a failing sink's would be.
    }
    return;
  }
}

ActiveObjectExport::~ActiveObjectExport() {
  Unadvise();
  // The loop stops before the name goes, so that no call of the bus's own
  // races a call being served.
  if (m_loop.joinable()) {
    m_connection->leaveEventLoop();
    m_loop.join();
  }
  try {
    if (m_ownsName) m_connection->releaseName(m_library->busName);
  } catch (const sdbus::Error&) {
    // The bus went away first; the name went with it.
  }
  DropClients(nullptr);
  m_retiredWatches.clear();
  m_object.reset();
  m_connection.reset();
}

std::mutex g_exportsMutex;
std::map<DWORD, std::unique_ptr<ActiveObjectExport>> g_exports;
DWORD g_nextRegistration = 1;

// --- The client side ------------------------------------------------------

// The server's object as its client sees it: calls go over the bus, events
// come back as signals to the sinks advised here.
class RemoteObject final : public WithoutTypeInfo<IDispatch>, public IConnectionPointContainer {
 public:
  static HRESULT Create(REFCLSID clsid, ComPtr<IUnknown>* out);

  HRESULT QueryInterface(REFIID iid, void** object) override;
  ULONG AddRef() override { return m_refs.Increment(); }
  ULONG Release() override {
    ULONG left = m_refs.Decrement();
    if (left == 0) delete this;
    return left;
  }
  HRESULT GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID, DISPID* dispIds) override;
  HRESULT Invoke(DISPID dispId, REFIID iid, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                 EXCEPINFO* exception, UINT* argumentError) override;
  HRESULT EnumConnectionPoints(IEnumConnectionPoints** points) override;
  HRESULT FindConnectionPoint(REFIID iid, IConnectionPoint** point) override;

 private:
  explicit RemoteObject(TypeLibraryPtr library) : m_library(std::move(library)) {}
  ~RemoteObject();

  HRESULT Connect();
  void OnSignal(ConnectionPoint& point, const TypeMember& member, sdbus::Signal& signal);

  RefCount m_refs;
  TypeLibraryPtr m_library;
  std::vector<std::unique_ptr<ConnectionPoint>> m_points;
  std::unique_ptr<sdbus::IConnection> m_connection;
  std::unique_ptr<sdbus::IProxy> m_proxy;
  // Delivers the events; a thread of ours, so that a bus that goes away
  // ends it quietly (the calls then fail) instead of ending the process.
  std::thread m_loop;
  bool m_holdsReference = false;
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
    m_loop = std::thread([this] {
      try {
        m_connection->enterEventLoop();
      } catch (const sdbus::Error&) {
        // The bus is gone; every call from now on fails.
      }
    });
    // The first call to the name starts the server when nobody owns it.
    auto call = m_proxy->createMethodCall(kReferenceInterface, "AddRef");
    m_proxy->callMethod(call);
    m_holdsReference = true;
  } catch (const sdbus::Error& error) {
    HRESULT hr = HResultOf(error);
    return hr == RPC_E_DISCONNECTED ? CO_E_SERVER_EXEC_FAILURE : hr;
  }
  return S_OK;
}

RemoteObject::~RemoteObject() {
  if (m_holdsReference) {
    try {
      auto call = m_proxy->createMethodCall(kReferenceInterface, "Release");
      m_proxy->callMethod(call);
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

HRESULT RemoteObject::QueryInterface(REFIID iid, void** object) {
  IDispatch* dispatch = this;
  return QueryInterfaceFromTable(dispatch,
                                 {{&IID_IUnknown, dispatch},
                                  {&IID_IDispatch, dispatch},
                                  {&m_library->DefaultInterface()->iid, dispatch},
                                  {&IID_IConnectionPointContainer,
                                   static_cast<IConnectionPointContainer*>(this)}},
                                 iid, object);
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
    auto reply = m_proxy->callMethod(call);
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
    if (found->second->OnLoopThread()) return RPC_E_WRONG_THREAD;
    revoked = std::move(found->second);
    qap::automation::g_exports.erase(found);
  }
  return S_OK;
}

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
