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
                             IConnectionPointContainer, IProvideClassInfo2, ControlWindow>;

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
        return ApplySkin(params, &Skin::button);
      case kEnabledId: {
        if (!put) return ReturnFlag(Enabled(), result);
        bool enabled = true;
        HRESULT outcome = FlagArgument(params, &enabled, argumentError);
        if (SUCCEEDED(outcome)) SetEnabled(enabled);
        return outcome;
      }
      default:
        return InvokeProperty(id, flags, params, result, argumentError);
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

 private:
  friend ButtonBase;
  SkinnedButton() : m_events(this, DIID_SkinnedButtonEvents) {}
  // The window's procedure is ours: it goes before the object does.
  ~SkinnedButton() {
    DestroyControlWindow();
    m_events.UnadviseAll();
  }

  const char* WindowClass() const override { return WC_BUTTON; }
  DWORD WindowStyle() const override { return BS_PUSHBUTTON | WS_TABSTOP; }
  WNDPROC Subclass() const override { return WindowProc; }

  static LRESULT WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* base = reinterpret_cast<ControlWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (base == nullptr) return DefWindowProcA(window, message, wParam, lParam);
    auto* self = static_cast<SkinnedButton*>(base);
    if (message == OCM_COMMAND && HIWORD(wParam) == BN_CLICKED) {
      DISPPARAMS none{nullptr, nullptr, 0, 0};
      self->m_events.FireInvoke(kClickEventId, &none);
      return 0;
    }
    return CallWindowProcA(self->Original(), window, message, wParam, lParam);
  }

  ConnectionPoint m_events;
};

}  // namespace

HRESULT CreateSkinnedButton(REFIID iid, void** object) {
  return SkinnedButton::NewInstance(iid, object);
}
