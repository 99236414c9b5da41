// The skinned label: a "Static" window in its host with the template's
// caption and font.
#include "platform/com/com_object.h"
#include "platform/ui/ole/control_host.h"
#include "suite/skin/control_dispatch.h"
#include "suite/skin/control_window.h"
#include "suite/skin/skin_classes.h"
#include "suite/skin/skin_controls.h"

namespace {

constexpr DispatchName kNames[] = {
    {"ApplySkin", kApplySkinId}, {"Caption", kCaptionId}, {"Font", kFontId}};

using LabelBase = ComObject<class SkinnedLabel, WithoutTypeInfo<IDispatch>, IHostedControl>;

class SkinnedLabel final : public LabelBase {
 public:
  InterfaceTable Interfaces() {
    return {{&IID_IDispatch, static_cast<IDispatch*>(this)},
            {&IID_IHostedControl, static_cast<IHostedControl*>(this)}};
  }

  HRESULT GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
    return IdsOfNames(kNames, names, count, ids);
  }

  HRESULT Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                 EXCEPINFO*, UINT* argumentError) override {
    if (id == kApplySkinId) return ContainerArgument(params, &m_skin);
    return m_window.InvokeProperty(id, flags, params, result, argumentError);
  }

  HRESULT CreateControlWindow(HWND host, const RECT* rect, HWND* window) override {
    return m_window.Create(host, rect, nullptr, nullptr, window);
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
  friend LabelBase;
  SkinnedLabel() : m_window("Static", SS_LEFT) {}
  ~SkinnedLabel() = default;

  ControlWindow m_window;
  ComPtr<ISkinSource> m_skin;
};

}  // namespace

HRESULT CreateSkinnedLabel(REFIID iid, void** object) {
  return SkinnedLabel::NewInstance(iid, object);
}
