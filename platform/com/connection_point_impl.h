// A ready-made connection point for objects that fire events to
// dispinterface sinks, and the enumerator a container hands out for its
// points.
#pragma once

#include <mutex>
#include <utility>
#include <vector>

#include "platform/base/export.h"
#include "platform/com/com_ptr.h"
#include "platform/com/connection_point.h"
#include "platform/com/dispatch.h"

// Lives inside its container and shares the container's reference count, as
// a connection point has no life of its own.
class QAP_EXPORT ConnectionPoint final : public IConnectionPoint {
 public:
  ConnectionPoint(IConnectionPointContainer* container, REFIID eventIid);
  ~ConnectionPoint();
  ConnectionPoint(const ConnectionPoint&) = delete;
  ConnectionPoint& operator=(const ConnectionPoint&) = delete;

  HRESULT QueryInterface(REFIID iid, void** object) override;
  ULONG AddRef() override;
  ULONG Release() override;
  HRESULT GetConnectionInterface(IID* iid) override;
  HRESULT GetConnectionPointContainer(IConnectionPointContainer** container) override;
  // The sink must answer QueryInterface for the event interface; the point
  // keeps that reference until Unadvise.
  HRESULT Advise(IUnknown* sink, DWORD* cookie) override;
  HRESULT Unadvise(DWORD cookie) override;
  HRESULT EnumConnections(IEnumConnections** connections) override;

  const IID& EventInterface() const { return m_iid; }
  // Invokes dispId on every sink, in the order they connected, with no lock
  // held, so a sink may advise or unadvise meanwhile; a sink's failure is
  // its own. The event interface must be a dispinterface.
  void FireInvoke(DISPID dispId, DISPPARAMS* params);
  // Drops every connection (the container is going away).
  void UnadviseAll();

 private:
  std::vector<std::pair<DWORD, ComPtr<IUnknown>>> Snapshot() const;

  IConnectionPointContainer* m_container;
  IID m_iid;
  mutable std::mutex m_mutex;
  std::vector<std::pair<DWORD, ComPtr<IUnknown>>> m_sinks;
  DWORD m_nextCookie = 1;
};

// An enumerator over a container's points; each point handed out carries a
// reference.
QAP_EXPORT HRESULT CreateConnectionPointEnumerator(const std::vector<IConnectionPoint*>& points,
                                                   IEnumConnectionPoints** enumerator);
