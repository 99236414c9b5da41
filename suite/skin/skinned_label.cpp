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

using LabelBase = ComObject<class SkinnedLabel, WithoutTypeInfo<IDispatch>, ControlWindow>;

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
    if (id == kApplySkinId) return ApplySkin(params, &Skin::label);
    return InvokeProperty(id, flags, params, result, argumentError);
  }

 private:
  friend LabelBase;
  SkinnedLabel() = default;
  ~SkinnedLabel() { DestroyControlWindow(); }

  const char* WindowClass() const override { return WC_STATIC; }
  DWORD WindowStyle() const override { return SS_LEFT; }
};

}  // namespace

HRESULT CreateSkinnedLabel(REFIID iid, void** object) {
  return SkinnedLabel::NewInstance(iid, object);
}
