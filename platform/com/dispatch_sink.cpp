// The detachable event sink.
#include "platform/com/dispatch_sink.h"

DispatchSink::DispatchSink(REFIID events, Handler handler)
    : m_events(events), m_handler(std::move(handler)) {}

HRESULT DispatchSink::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) {
  return DISP_E_UNKNOWNNAME;
}

HRESULT DispatchSink::Invoke(DISPID dispId, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*,
                             EXCEPINFO*, UINT* argumentError) {
  std::lock_guard<std::mutex> guard(m_mutex);
  return m_handler ? m_handler(dispId, params, argumentError) : S_OK;
}

void DispatchSink::Detach() {
  std::lock_guard<std::mutex> guard(m_mutex);
  m_handler = nullptr;
}
