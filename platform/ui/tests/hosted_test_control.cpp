// A control for the hosting tests, loaded as an in-process server: a
// caption and an enable property, a method that takes the container's
// interface and a Click event, as the suite's skinned buttons have. Its
// window fires Click when the mouse button is released over it.
#include "platform/ui/tests/hosted_test_control.h"

#include <strings.h>

#include "platform/base/codepage.h"
#include "platform/com/class_object.h"
#include "platform/com/com_object.h"
#include "platform/com/simple_class_factory.h"
#include "platform/com/connection_point_impl.h"
#include "platform/ui/ole/control_host.h"
#include "platform/ui/user32.h"

namespace {

constexpr const char* kWindowClass = "QapHostedTestControl";

class HostedTestControl final
    : public ComObject<HostedTestControl, WithoutTypeInfo<IDispatch>, IConnectionPointContainer,
                       IProvideClassInfo2, IHostedControl> {
 public:
  InterfaceTable Interfaces() {
    auto* info = static_cast<IProvideClassInfo2*>(this);
    return {{&IID_IDispatch, static_cast<IDispatch*>(this)},
            {&IID_IConnectionPointContainer, static_cast<IConnectionPointContainer*>(this)},
            {&IID_IProvideClassInfo, info},
            {&IID_IProvideClassInfo2, info},
            {&IID_IHostedControl, static_cast<IHostedControl*>(this)}};
  }

  HRESULT GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
    if (names == nullptr || ids == nullptr || count != 1) return E_INVALIDARG;
    static const std::pair<const char*, DISPID> kNames[] = {{"Caption", kCaptionId},
                                                            {"Enabled", kEnabledId},
                                                            {"ApplySkin", kApplySkinId},
                                                            {"Skinned", kSkinnedId}};
    std::string name = WideToAnsi(names[0]);
    for (const auto& [known, id] : kNames) {
      if (strcasecmp(known, name.c_str()) == 0) {
        *ids = id;
        return S_OK;
      }
    }
    *ids = DISPID_UNKNOWN;
    return DISP_E_UNKNOWNNAME;
  }

  HRESULT Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                 EXCEPINFO*, UINT* argumentError) override {
    const bool put = (flags & DISPATCH_PROPERTYPUT) != 0;
    CComVariant value;
    switch (id) {
      case kCaptionId:
        if (!put) return ReturnText(m_caption, result);
        if (HRESULT hr = DispGetParam(params, 0, VT_BSTR, &value, argumentError); FAILED(hr))
          return hr;
        m_caption = WideToAnsi(value.bstrVal);
        if (m_window != nullptr) SetWindowTextA(m_window, m_caption.c_str());
        return S_OK;
      case kEnabledId:
        if (!put) return ReturnFlag(m_enabled, result);
        if (HRESULT hr = DispGetParam(params, 0, VT_BOOL, &value, argumentError); FAILED(hr))
          return hr;
        m_enabled = value.boolVal != VARIANT_FALSE;
        if (m_window != nullptr) EnableWindow(m_window, m_enabled ? TRUE : FALSE);
        return S_OK;
      case kApplySkinId:
        if (params == nullptr || params->cArgs != 1) return DISP_E_BADPARAMCOUNT;
        if (params->rgvarg[0].vt != VT_UNKNOWN && params->rgvarg[0].vt != VT_DISPATCH) {
          return DISP_E_TYPEMISMATCH;
        }
        m_container = ComPtr<IUnknown>(params->rgvarg[0].punkVal);
        return S_OK;
      case kSkinnedId:
        return ReturnFlag(m_container.Get() != nullptr, result);
      default:
        return DISP_E_MEMBERNOTFOUND;
    }
  }

  HRESULT EnumConnectionPoints(IEnumConnectionPoints** points) override {
    return CreateConnectionPointEnumerator({&m_events}, points);
  }
  HRESULT FindConnectionPoint(REFIID iid, IConnectionPoint** point) override {
    if (point == nullptr) return E_POINTER;
    *point = nullptr;
    if (!IsEqualGUID(iid, DIID_HostedTestControlEvents)) return CONNECT_E_NOCONNECTION;
    m_events.AddRef();
    *point = &m_events;
    return S_OK;
  }

  HRESULT GetClassInfo(ITypeInfo** info) override {
    if (info != nullptr) *info = nullptr;
    return E_NOTIMPL;
  }
  HRESULT GetGUID(DWORD kind, GUID* guid) override {
    if (guid == nullptr || kind != GUIDKIND_DEFAULT_SOURCE_DISP_IID) return E_INVALIDARG;
    *guid = DIID_HostedTestControlEvents;
    return S_OK;
  }

  HRESULT CreateControlWindow(HWND host, const RECT* rect, HWND* window) override {
    if (rect == nullptr || window == nullptr || m_window != nullptr) return E_UNEXPECTED;
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.lpszClassName = kWindowClass;
    RegisterClassA(&windowClass);  // once per process; later calls fail harmlessly
    m_window = CreateWindowExA(0, kWindowClass, m_caption.c_str(),
                               WS_CHILD | WS_VISIBLE | (m_enabled ? 0 : WS_DISABLED), rect->left,
                               rect->top, rect->right - rect->left, rect->bottom - rect->top, host,
                               nullptr, nullptr, this);
    *window = m_window;
    return m_window != nullptr ? S_OK : E_FAIL;
  }
  HRESULT MoveControlWindow(const RECT* rect) override {
    if (rect == nullptr || m_window == nullptr) return E_UNEXPECTED;
    MoveWindow(m_window, rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top,
               TRUE);
    return S_OK;
  }
  HRESULT DestroyControlWindow() override {
    if (IsWindow(m_window)) DestroyWindow(m_window);
    m_window = nullptr;
    return S_OK;
  }

 private:
  friend ComObject<HostedTestControl, WithoutTypeInfo<IDispatch>, IConnectionPointContainer,
                   IProvideClassInfo2, IHostedControl>;
  HostedTestControl() : m_events(this, DIID_HostedTestControlEvents) {}
  ~HostedTestControl() { DestroyControlWindow(); }

  static HRESULT ReturnText(const std::string& text, VARIANT* result) {
    if (result == nullptr) return E_INVALIDARG;
    VariantInit(result);
    result->vt = VT_BSTR;
    result->bstrVal = CComBSTR(text.c_str()).Detach();
    return S_OK;
  }
  static HRESULT ReturnFlag(bool flag, VARIANT* result) {
    if (result == nullptr) return E_INVALIDARG;
    VariantInit(result);
    result->vt = VT_BOOL;
    result->boolVal = flag ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
  }

  static LRESULT WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
      auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
      SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    } else if (message == WM_LBUTTONUP) {
      auto* self = reinterpret_cast<HostedTestControl*>(GetWindowLongPtrA(window, GWLP_USERDATA));
      if (self != nullptr && self->m_enabled) {
        DISPPARAMS none{nullptr, nullptr, 0, 0};
        self->m_events.FireInvoke(kClickEventId, &none);
      }
      return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
  }

  ConnectionPoint m_events;
  std::string m_caption;
  bool m_enabled = true;
  ComPtr<IUnknown> m_container;
  HWND m_window = nullptr;
};

}  // namespace

extern "C" QAP_EXPORT HRESULT DllGetClassObject(REFCLSID clsid, REFIID iid, void** object) {
  if (object == nullptr) return E_POINTER;
  *object = nullptr;
  if (!IsEqualGUID(clsid, CLSID_HostedTestControl)) return CLASS_E_CLASSNOTAVAILABLE;
  return SimpleClassFactory<HostedTestControl>::NewInstance(iid, object);
}
