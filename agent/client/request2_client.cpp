// The IRequest2 proxy over the automation transport's dispatch object, and
// the OnNotify sink.
#include "agent/client/request2_client.h"

#include <mutex>
#include <new>
#include <vector>

#include "agent/request2_ids.h"
#include "platform/automation/automation.h"

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

class Request2Proxy final : public IRequest2, public IConnectionPointContainer {
 public:
  explicit Request2Proxy(ComPtr<IDispatch> remote) : m_remote(std::move(remote)) {}

  HRESULT QueryInterface(REFIID iid, void** object) override {
    IRequest2* request = this;
    return QueryInterfaceFromTable(request,
                                   {{&IID_IUnknown, request},
                                    {&IID_IDispatch, request},
                                    {&IID_IRequest2, request},
                                    {&IID_IConnectionPointContainer,
                                     static_cast<IConnectionPointContainer*>(this)}},
                                   iid, object);
  }
  ULONG AddRef() override { return m_refs.Increment(); }
  ULONG Release() override {
    ULONG left = m_refs.Decrement();
    if (left == 0) delete this;
    return left;
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
  ~Request2Proxy() = default;

  // arguments in call order, shallow: the caller owns what they point to.
  HRESULT Call(DISPID dispId, std::vector<VARIANT> arguments, VARIANT* result = nullptr) {
    std::vector<VARIANT> reversed(arguments.rbegin(), arguments.rend());
    DISPPARAMS params{reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
    return m_remote->Invoke(dispId, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, result,
                            nullptr, nullptr);
  }

  RefCount m_refs;
  ComPtr<IDispatch> m_remote;
};

// The sink of _IRequest2Events: OnNotify to the callback.
class NotifySink final : public WithoutTypeInfo<IDispatch> {
 public:
  explicit NotifySink(std::function<void(short)> callback) : m_callback(std::move(callback)) {}

  HRESULT QueryInterface(REFIID iid, void** object) override {
    return QueryInterfaceFromTable(
        this, {{&IID_IUnknown, this}, {&IID_IDispatch, this}, {&DIID__IRequest2Events, this}}, iid,
        object);
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
                 UINT* argumentError) override {
    if (dispId != kDispIdOnNotify) return DISP_E_MEMBERNOTFOUND;
    VARIANT value;
    VariantInit(&value);
    HRESULT hr = DispGetParam(params, 0, VT_I2, &value, argumentError);
    if (FAILED(hr)) return hr;
    std::lock_guard<std::mutex> guard(m_mutex);
    if (m_callback) m_callback(value.iVal);
    return S_OK;
  }

  // No call of the callback runs or starts once this returns, even one the
  // connection had already taken from its list of sinks.
  void Detach() {
    std::lock_guard<std::mutex> guard(m_mutex);
    m_callback = nullptr;
  }

 private:
  ~NotifySink() = default;

  RefCount m_refs;
  std::mutex m_mutex;
  std::function<void(short)> m_callback;
};

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

NotifySubscription::~NotifySubscription() { Unsubscribe(); }

HRESULT NotifySubscription::Subscribe(IRequest2* request, std::function<void(short)> callback) {
  Unsubscribe();
  if (request == nullptr) return E_POINTER;
  ComPtr<IConnectionPointContainer> container;
  HRESULT hr = request->QueryInterface(IID_IConnectionPointContainer, container.OutVoid());
  if (SUCCEEDED(hr)) hr = container->FindConnectionPoint(DIID__IRequest2Events, m_point.Out());
  if (FAILED(hr)) return hr;
  auto* sink = new (std::nothrow) NotifySink(std::move(callback));
  if (sink == nullptr) return E_OUTOFMEMORY;
  m_sink = ComPtr<IDispatch>::Attach(sink);
  hr = m_point->Advise(m_sink.Get(), &m_cookie);
  if (FAILED(hr)) {
    m_point.Reset();
    m_sink.Reset();
  }
  return hr;
}

void NotifySubscription::Unsubscribe() {
  if (!m_point) return;
  static_cast<NotifySink*>(m_sink.Get())->Detach();
  m_point->Unadvise(m_cookie);
  m_point.Reset();
  m_sink.Reset();
  m_cookie = 0;
}
