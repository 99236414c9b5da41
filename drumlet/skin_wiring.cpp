// The dialogs' side of the skin controls: calls by dispatch identifier on
// the controls their hosts made.
#include "drumlet/skin_wiring.h"

#include "platform/com/com_ptr.h"
#include "platform/ui/ole/control_host.h"
#include "suite/skin/skin_controls.h"

namespace {

ComPtr<IDispatch> ControlOf(HWND dialog, int id) {
  ComPtr<IUnknown> control;
  ComPtr<IDispatch> dispatch;
  if (SUCCEEDED(AtlAxGetControl(GetDlgItem(dialog, id), control.Out()))) {
    control.As(IID_IDispatch, &dispatch);
  }
  return dispatch;
}

}  // namespace

void LoadSkin(HWND dialog, int containerId, const char* skinPath,
              std::initializer_list<int> skinnedIds) {
  ComPtr<IDispatch> container = ControlOf(dialog, containerId);
  if (!container) return;
  DispatchPut(container.Get(), kSkinFileId, CComVariant(skinPath != nullptr ? skinPath : ""));
  VARIANT argument;
  VariantInit(&argument);
  argument.vt = VT_DISPATCH;
  argument.pdispVal = container.Get();
  for (int id : skinnedIds) {
    if (ComPtr<IDispatch> control = ControlOf(dialog, id)) {
      DispatchCall(control.Get(), kApplySkinId, &argument);
    }
  }
}

void EnableSkinnedButton(HWND dialog, int id, bool enable) {
  if (ComPtr<IDispatch> button = ControlOf(dialog, id)) {
    VARIANT value;
    VariantInit(&value);
    value.vt = VT_BOOL;
    value.boolVal = enable ? VARIANT_TRUE : VARIANT_FALSE;
    DispatchPut(button.Get(), kEnabledId, value);
  }
}

void SetSkinnedCaption(HWND dialog, int id, const char* caption) {
  if (ComPtr<IDispatch> control = ControlOf(dialog, id)) {
    DispatchPut(control.Get(), kCaptionId, CComVariant(caption));
  }
}

int SkinnedClickOf(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != ui::ole::ControlEventMessage() || lParam == 0) return 0;
  const auto* event = reinterpret_cast<const ControlEvent*>(lParam);
  return event->dispId == kClickEventId ? static_cast<int>(wParam) : 0;
}
