// The connection point's sink list and the two enumerators.
#include "platform/com/connection_point_impl.h"

#include <algorithm>

#include "platform/com/enumerator.h"

// Connections and points hand out references.
template <>
struct EnumeratedItem<CONNECTDATA> {
  static void Hold(CONNECTDATA& item) { item.pUnk->AddRef(); }
  static void Drop(CONNECTDATA& item) { item.pUnk->Release(); }
};
template <>
struct EnumeratedItem<IConnectionPoint*> {
  static void Hold(IConnectionPoint* item) { item->AddRef(); }
  static void Drop(IConnectionPoint* item) { item->Release(); }
};

namespace {

using ConnectionEnumerator = ComEnumerator<IEnumConnections, CONNECTDATA, IID_IEnumConnections>;
using PointEnumerator =
    ComEnumerator<IEnumConnectionPoints, IConnectionPoint*, IID_IEnumConnectionPoints>;

}  // namespace

ConnectionPoint::ConnectionPoint(IConnectionPointContainer* container, REFIID eventIid)
    : m_container(container), m_iid(eventIid) {}

ConnectionPoint::~ConnectionPoint() { UnadviseAll(); }

HRESULT ConnectionPoint::QueryInterface(REFIID iid, void** object) {
  return QueryInterfaceFromTable(this, {{&IID_IUnknown, this}, {&IID_IConnectionPoint, this}}, iid,
                                 object);
}

ULONG ConnectionPoint::AddRef() { return m_container->AddRef(); }

ULONG ConnectionPoint::Release() { return m_container->Release(); }

HRESULT ConnectionPoint::GetConnectionInterface(IID* iid) {
  if (iid == nullptr) return E_POINTER;
  *iid = m_iid;
  return S_OK;
}

HRESULT ConnectionPoint::GetConnectionPointContainer(IConnectionPointContainer** container) {
  if (container == nullptr) return E_POINTER;
  m_container->AddRef();
  *container = m_container;
  return S_OK;
}

HRESULT ConnectionPoint::Advise(IUnknown* sink, DWORD* cookie) {
  if (cookie == nullptr) return E_POINTER;
  *cookie = 0;
  if (sink == nullptr) return E_POINTER;
  void* events = nullptr;
  if (FAILED(sink->QueryInterface(m_iid, &events)) || events == nullptr) {
    return CONNECT_E_CANNOTCONNECT;
  }
  std::lock_guard<std::mutex> guard(m_mutex);
  *cookie = m_nextCookie++;
  m_sinks.emplace_back(*cookie, ComPtr<IUnknown>::Attach(static_cast<IUnknown*>(events)));
  return S_OK;
}

HRESULT ConnectionPoint::Unadvise(DWORD cookie) {
  ComPtr<IUnknown> released;
  {
    std::lock_guard<std::mutex> guard(m_mutex);
    auto found = std::find_if(m_sinks.begin(), m_sinks.end(),
                              [cookie](const auto& entry) { return entry.first == cookie; });
    if (found == m_sinks.end()) return CONNECT_E_NOCONNECTION;
    released = std::move(found->second);
    m_sinks.erase(found);
  }
  // The sink's own Release runs outside the lock: it may call back.
  return S_OK;
}

HRESULT ConnectionPoint::EnumConnections(IEnumConnections** connections) {
  if (connections == nullptr) return E_POINTER;
  std::vector<CONNECTDATA> items;
  for (const auto& [cookie, sink] : Snapshot()) items.push_back(CONNECTDATA{sink.Get(), cookie});
  return ConnectionEnumerator::Create(std::move(items), connections);
}

std::vector<std::pair<DWORD, ComPtr<IUnknown>>> ConnectionPoint::Snapshot() const {
  std::lock_guard<std::mutex> guard(m_mutex);
  return m_sinks;
}

void ConnectionPoint::FireInvoke(DISPID dispId, DISPPARAMS* params) {
  for (const auto& entry : Snapshot()) {
    auto* sink = static_cast<IDispatch*>(entry.second.Get());
    sink->Invoke(dispId, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, params, nullptr, nullptr,
                 nullptr);
  }
}

void ConnectionPoint::UnadviseAll() {
  std::vector<std::pair<DWORD, ComPtr<IUnknown>>> released;
  std::lock_guard<std::mutex> guard(m_mutex);
  released.swap(m_sinks);
}

HRESULT CreateConnectionPointEnumerator(const std::vector<IConnectionPoint*>& points,
                                        IEnumConnectionPoints** enumerator) {
  return PointEnumerator::Create(points, enumerator);
}
