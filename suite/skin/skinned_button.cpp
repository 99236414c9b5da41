// The skinned push button: a "Button" window in its host, with the caption
// and font of the template, an Enabled property and a Click event fired
// when the button is clicked (its BN_CLICKED, which the host reflects).
#include "platform/com/com_object.h"
#include "platform/com/connection_point_impl.h"
#include "platform/ui/ole/control_host.h"
#include "suite/skin/control_dispatch.h"
#include "suite/skin/control_window.h"
#include "suite/skin/skin_classes.h"
#include "suite/skin/skin_controls.h"

namespace {

constexpr DispatchName kNames[] = {{"ApplySkin", kApplySkinId},
                                   {"Enabled", kEnabledId},
                                   {"Caption", kCaptionId},
                                   {"Font", kFontId}};

using ButtonBase = ComObject<class SkinnedButton, WithoutTypeInfo<IDispatch>,
                             IConnectionPointContainer, IProvideClassInfo2, IHostedControl>;

class SkinnedButton final : public ButtonBase {
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
    return IdsOfNames(kNames, names, count, ids);
  }

  HRESULT Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                 EXCEPINFO*, UINT* argumentError) override {
    const bool put = (flags & DISPATCH_PROPERTYPUT) != 0;
    switch (id) {
      case kApplySkinId:
        return ContainerArgument(params, &m_skin);
      case kEnabledId: {
        if (!put) return ReturnFlag(m_window.Enabled(), result);
        bool enabled = true;
        HRESULT outcome = FlagArgument(params, &enabled, argumentError);
        if (SUCCEEDED(outcome)) m_window.SetEnabled(enabled);
        return outcome;
      }
      default:
        return m_window.InvokeProperty(id, flags, params, result, argumentError);
    }
  }

  HRESULT EnumConnectionPoints(IEnumConnectionPoints** points) override {
    return CreateConnectionPointEnumerator({&m_events}, points);
  }
  HRESULT FindConnectionPoint(REFIID iid, IConnectionPoint** point) override {
    if (point == nullptr) return E_POINTER;
    *point = nullptr;
    if (!IsEqualGUID(iid, DIID_SkinnedButtonEvents)) return CONNECT_E_NOCONNECTION;
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
    *guid = DIID_SkinnedButtonEvents;
    return S_OK;
  }

  HRESULT CreateControlWindow(HWND host, const RECT* rect, HWND* window) override {
    return m_window.Create(host, rect, WindowProc, this, window);
  }
  HRESULT MoveControlWindow(const RECT* rect) override {
    m_window.Move(rect);
    return S_OK;
  }
  HRESULT DestroyControlWindow() override {
    m_window.Destroy();
    return S_OK;
  }

 private:
  friend ButtonBase;
  SkinnedButton()
      : m_window("Button", BS_PUSHBUTTON | WS_TABSTOP), m_events(this, DIID_SkinnedButtonEvents) {}
  ~SkinnedButton() { m_events.UnadviseAll(); }

  static LRESULT WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<SkinnedButton*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (self == nullptr) return DefWindowProcA(window, message, wParam, lParam);
    if (message == OCM_COMMAND && HIWORD(wParam) == BN_CLICKED) {
      DISPPARAMS none{nullptr, nullptr, 0, 0};
      self->m_events.FireInvoke(kClickEventId, &none);
      return 0;
    }
    return CallWindowProcA(self->m_window.Original(), window, message, wParam, lParam);
  }

  ControlWindow m_window;
  ConnectionPoint m_events;
  ComPtr<ISkinSource> m_skin;
};

}  // namespace

HRESULT CreateSkinnedButton(REFIID iid, void** object) {
  return SkinnedButton::NewInstance(iid, object);
}
