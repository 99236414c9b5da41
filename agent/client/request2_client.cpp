// The IRequest2 proxy over the automation transport's dispatch object, and
// the sinks of its two event interfaces.
#include "agent/client/request2_client.h"

#include <memory>
#include <mutex>
#include <new>
#include <vector>

#include "agent/request2_ids.h"
#include "platform/automation/automation.h"
#include "platform/base/codepage.h"
#include "platform/com/com_object.h"
#include "platform/com/dispatch_sink.h"

namespace {

VARIANT Text(const BSTR* text) {
  VARIANT value;
  VariantInit(&value);
  value.vt = VT_BSTR;
  // A shallow view: the caller keeps owning the string.
  value.bstrVal = text != nullptr ? *text : nullptr;
  return value;
}

VARIANT Number(LONG number) {
  VARIANT value;
  VariantInit(&value);
  value.vt = VT_I4;
  value.lVal = number;
  return value;
}

class Request2Proxy final : public ComObject<Request2Proxy, IRequest2, IConnectionPointContainer> {
 public:
  explicit Request2Proxy(ComPtr<IDispatch> remote) : m_remote(std::move(remote)) {}

  InterfaceTable Interfaces() {
    IRequest2* request = this;
    return {{&IID_IDispatch, request},
            {&IID_IRequest2, request},
            {&IID_IConnectionPointContainer, static_cast<IConnectionPointContainer*>(this)}};
  }

  HRESULT GetTypeInfoCount(UINT* count) override { return m_remote->GetTypeInfoCount(count); }
  HRESULT GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override {
    return m_remote->GetTypeInfo(index, locale, info);
  }
  HRESULT GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale,
                        DISPID* dispIds) override {
    return m_remote->GetIDsOfNames(iid, names, count, locale, dispIds);
  }
  HRESULT Invoke(DISPID dispId, REFIID iid, LCID locale, WORD flags, DISPPARAMS* params,
                 VARIANT* result, EXCEPINFO* exception, UINT* argumentError) override {
    return m_remote->Invoke(dispId, iid, locale, flags, params, result, exception, argumentError);
  }

  HRESULT AddFile(BSTR* path, LONG reserved1, LONG reserved2) override {
    return Call(kDispIdAddFile, {Text(path), Number(reserved1), Number(reserved2)});
  }
  HRESULT Login(BSTR* user, BSTR* password, BSTR* serviceCode, LONG reserved) override {
    return Call(kDispIdLogin, {Text(user), Text(password), Text(serviceCode), Number(reserved)});
  }
  HRESULT GotoLocker(LONG reserved1, LONG reserved2) override {
    return Call(kDispIdGotoLocker, {Number(reserved1), Number(reserved2)});
  }
  HRESULT Logout(LONG reserved) override { return Call(kDispIdLogout, {Number(reserved)}); }
  HRESULT GetStatusText(VARIANT* status, LONG reserved) override {
    if (status == nullptr) return E_POINTER;
    VariantInit(status);
    return Call(kDispIdGetStatusText, {Number(reserved)}, status);
  }
  HRESULT DownloadToClient(BSTR* path) override {
    return Call(kDispIdDownloadToClient, {Text(path)});
  }
  HRESULT AddClient(BSTR* name, BSTR* format, BSTR* path) override {
    return Call(kDispIdAddClient, {Text(name), Text(format), Text(path)});
  }
  HRESULT RemoveClient(BSTR* name) override { return Call(kDispIdRemoveClient, {Text(name)}); }
  HRESULT Download(BSTR* url, BSTR* directory) override {
    return Call(kDispIdDownload, {Text(url), Text(directory)});
  }
  HRESULT IsDone(VARIANT what) override { return Call(kDispIdIsDone, {what}); }
  HRESULT CancelAll() override { return Call(kDispIdCancelAll, {}); }
  HRESULT IsLoggedIn(LONG* loggedIn) override {
    if (loggedIn == nullptr) return E_POINTER;
    VARIANT result;
    VariantInit(&result);
    HRESULT hr = Call(kDispIdIsLoggedIn, {}, &result);
    if (SUCCEEDED(hr)) hr = VariantChangeType(&result, &result, 0, VT_I4);
    if (SUCCEEDED(hr)) *loggedIn = result.lVal;
    VariantClear(&result);
    return hr;
  }
  HRESULT GetVersion(BSTR* version) override {
    if (version == nullptr) return E_POINTER;
    *version = nullptr;
    VARIANT result;
    VariantInit(&result);
    HRESULT hr = Call(kDispIdGetVersion, {}, &result);
    if (SUCCEEDED(hr)) hr = VariantChangeType(&result, &result, 0, VT_BSTR);
    if (SUCCEEDED(hr)) {
      *version = result.bstrVal;
      VariantInit(&result);
    }
    VariantClear(&result);
    return hr;
  }

  HRESULT EnumConnectionPoints(IEnumConnectionPoints** points) override {
    ComPtr<IConnectionPointContainer> container;
    HRESULT hr = m_remote.As(IID_IConnectionPointContainer, &container);
    return SUCCEEDED(hr) ? container->EnumConnectionPoints(points) : hr;
  }
  HRESULT FindConnectionPoint(REFIID iid, IConnectionPoint** point) override {
    ComPtr<IConnectionPointContainer> container;
    HRESULT hr = m_remote.As(IID_IConnectionPointContainer, &container);
    return SUCCEEDED(hr) ? container->FindConnectionPoint(iid, point) : hr;
  }

 private:
  friend ComObject<Request2Proxy, IRequest2, IConnectionPointContainer>;
  ~Request2Proxy() = default;

  // arguments in call order, shallow: the caller owns what they point to.
  HRESULT Call(DISPID dispId, std::vector<VARIANT> arguments, VARIANT* result = nullptr) {
    std::vector<VARIANT> reversed(arguments.rbegin(), arguments.rend());
    DISPPARAMS params{reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
    return m_remote->Invoke(dispId, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, result,
                            nullptr, nullptr);
  }

  ComPtr<IDispatch> m_remote;
};

// The events' arguments, read in call order.
class EventArguments {
 public:
  EventArguments(DISPPARAMS* params, UINT* argumentError)
      : m_params(params), m_argumentError(argumentError) {}

  HRESULT Number(UINT position, LONG* value) {
    CComVariant read;
    HRESULT hr = DispGetParam(m_params, position, VT_I4, &read, m_argumentError);
    if (SUCCEEDED(hr)) *value = read.lVal;
    return hr;
  }
  HRESULT Flag(UINT position, bool* value) {
    CComVariant read;
    HRESULT hr = DispGetParam(m_params, position, VT_BOOL, &read, m_argumentError);
    if (SUCCEEDED(hr)) *value = read.boolVal != VARIANT_FALSE;
    return hr;
  }
  HRESULT Text(UINT position, std::string* value) {
    CComVariant read;
    HRESULT hr = DispGetParam(m_params, position, VT_BSTR, &read, m_argumentError);
    if (SUCCEEDED(hr)) {
      *value = WideToAnsi(std::u16string_view(read.bstrVal, SysStringLen(read.bstrVal)));
    }
    return hr;
  }

 private:
  DISPPARAMS* m_params;
  UINT* m_argumentError;
};

HRESULT DeliverNotify(const Request2Events& events, DISPID dispId, DISPPARAMS* params,
                      UINT* argumentError) {
  if (dispId != kDispIdOnNotify) return DISP_E_MEMBERNOTFOUND;
  CComVariant value;
  HRESULT hr = DispGetParam(params, 0, VT_I2, &value, argumentError);
  if (SUCCEEDED(hr)) events.onNotify(value.iVal);
  return hr;
}

HRESULT DeliverQueue(const Request2Events& events, DISPID dispId, DISPPARAMS* params,
                     UINT* argumentError) {
  EventArguments arguments(params, argumentError);
  LONG request = 0;
  HRESULT hr = arguments.Number(0, &request);
  if (FAILED(hr)) return hr;
  switch (dispId) {
    case kDispIdOnQueued: {
      std::string file;
      if (FAILED(hr = arguments.Text(1, &file))) return hr;
      if (events.onQueued) events.onQueued(request, file);
      return S_OK;
    }
    case kDispIdOnStarted:
      if (events.onStarted) events.onStarted(request);
      return S_OK;
    case kDispIdOnFinished: {
      bool sent = false;
      std::string reason;
      if (FAILED(hr = arguments.Flag(1, &sent)) || FAILED(hr = arguments.Text(2, &reason))) {
        return hr;
      }
      if (events.onFinished) events.onFinished(request, sent, reason);
      return S_OK;
    }
    default: return DISP_E_MEMBERNOTFOUND;
  }
}

}  // namespace

HRESULT CreateRequest2Proxy(ComPtr<IRequest2>* proxy) {
  if (proxy == nullptr) return E_POINTER;
  ComPtr<IDispatch> remote;
  HRESULT hr = CoCreateInstance(CLSID_Request2, nullptr, CLSCTX_LOCAL_SERVER, IID_IDispatch,
                                remote.OutVoid());
  if (FAILED(hr)) return hr;
  auto* created = new (std::nothrow) Request2Proxy(std::move(remote));
  if (created == nullptr) return E_OUTOFMEMORY;
  *proxy = ComPtr<IRequest2>::Attach(created);
  return S_OK;
}

bool IsAgentRunning() { return IsClassRunning(CLSID_Request2); }

Request2Subscription::~Request2Subscription() { Unsubscribe(); }

HRESULT Request2Subscription::Subscribe(IRequest2* request, Request2Events events) {
  Unsubscribe();
  if (request == nullptr) return E_POINTER;
  ComPtr<IConnectionPointContainer> container;
  HRESULT hr = request->QueryInterface(IID_IConnectionPointContainer, container.OutVoid());
  if (FAILED(hr)) return hr;
  auto shared = std::make_shared<const Request2Events>(std::move(events));
  std::vector<std::pair<const IID*, DispatchSink::Handler>> wanted;
  if (shared->onNotify) {
    wanted.emplace_back(&DIID__IRequest2Events,
                        [shared](DISPID dispId, DISPPARAMS* params, UINT* argumentError) {
                          return DeliverNotify(*shared, dispId, params, argumentError);
                        });
  }
  if (shared->onQueued || shared->onStarted || shared->onFinished) {
    wanted.emplace_back(&DIID__IRequest2QueueEvents,
                        [shared](DISPID dispId, DISPPARAMS* params, UINT* argumentError) {
                          return DeliverQueue(*shared, dispId, params, argumentError);
                        });
  }
  for (auto& [iid, handler] : wanted) {
    Advised advised;
    hr = container->FindConnectionPoint(*iid, advised.point.Out());
    if (FAILED(hr)) break;
    auto* sink = new (std::nothrow) DispatchSink(*iid, std::move(handler));
    if (sink == nullptr) {
      hr = E_OUTOFMEMORY;
      break;
    }
    advised.sink = ComPtr<IDispatch>::Attach(sink);
    if (FAILED(hr = advised.point->Advise(advised.sink.Get(), &advised.cookie))) break;
    m_advised.push_back(std::move(advised));
  }
  if (FAILED(hr)) Unsubscribe();
  return hr;
}

void Request2Subscription::Unsubscribe() {
  for (Advised& advised : m_advised) {
    static_cast<DispatchSink*>(advised.sink.Get())->Detach();
    advised.point->Unadvise(advised.cookie);
  }
  m_advised.clear();
}
