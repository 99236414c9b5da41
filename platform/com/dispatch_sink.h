// An event sink for one dispinterface that hands every event to a function,
// and can be cut loose from it: a connection point may still hold the sink
// (or be calling it) after its owner is gone.
#pragma once

#include <functional>
#include <mutex>

#include "platform/base/export.h"
#include "platform/com/com_object.h"
#include "platform/com/dispatch.h"

class QAP_EXPORT DispatchSink final : public ComObject<DispatchSink, WithoutTypeInfo<IDispatch>> {
 public:
  using Handler = std::function<HRESULT(DISPID dispId, DISPPARAMS* params, UINT* argumentError)>;

  // Made with one reference, the caller's.
  DispatchSink(REFIID events, Handler handler);
  DispatchSink(const DispatchSink&) = delete;
  DispatchSink& operator=(const DispatchSink&) = delete;

  InterfaceTable Interfaces() {
    IDispatch* dispatch = this;
    return {{&IID_IDispatch, dispatch}, {&m_events, dispatch}};
  }
  HRESULT GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override;
  // The handler's answer; S_OK once detached.
  HRESULT Invoke(DISPID dispId, REFIID iid, LCID locale, WORD flags, DISPPARAMS* params,
                 VARIANT* result, EXCEPINFO* exception, UINT* argumentError) override;

  // No call of the handler runs or starts once this returns, even one the
  // connection point had already taken from its list of sinks.
  void Detach();

 private:
  friend ComObject<DispatchSink, WithoutTypeInfo<IDispatch>>;
  ~DispatchSink() = default;

  IID m_events;
  std::mutex m_mutex;
  Handler m_handler;
};
