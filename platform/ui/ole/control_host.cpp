// The "AtlAxWin" host window: creates the control by class identifier, sets
// its stored properties, gives it its window, forwards its events to the
// parent, the mouse to its window and its window's notifications back to
// it, and lets it go with the host.
#include "platform/ui/ole/control_host.h"

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/base/codepage.h"
#include "platform/base/last_error.h"
#include "platform/com/class_object.h"
#include "platform/com/com_object.h"
#include "platform/com/com_ptr.h"
#include "platform/com/connection_point.h"
#include "platform/ui/controls/control_procs.h"
#include "platform/ui/core/window.h"
#include "platform/ui/dialog.h"
#include "platform/ui/driver.h"
#include "platform/ui/message_api.h"

namespace ui::ole {

namespace {

using PropertyList = std::vector<std::pair<std::string, std::string>>;

// Answers the control's source interface and hands each event to the host's
// parent. Holds only the host's handle, so it may outlive the host.
class EventSink final : public ComObject<EventSink, WithoutTypeInfo<IDispatch>> {
 public:
  InterfaceTable Interfaces() {
    auto* self = static_cast<IDispatch*>(this);
    return {{&IID_IDispatch, self}, {&m_source, self}};
  }
  HRESULT GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
    return DISP_E_UNKNOWNNAME;
  }
  HRESULT Invoke(DISPID dispId, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*,
                 UINT*) override {
    HWND parent = GetParent(m_host);
    if (parent == nullptr) return S_OK;
    ControlEvent event{m_host, dispId, params};
    SendMessageA(parent, ControlEventMessage(), static_cast<WPARAM>(GetDlgCtrlID(m_host)),
                 reinterpret_cast<LPARAM>(&event));
    return S_OK;
  }

 private:
  friend ComObject<EventSink, WithoutTypeInfo<IDispatch>>;
  EventSink(HWND host, REFIID source) : m_host(host), m_source(source) {}
  ~EventSink() = default;

  HWND m_host;
  IID m_source;
};

HRESULT DispatchIdOf(IDispatch* dispatch, const std::string& name, DISPID* id) {
  std::u16string wide = AnsiToWide(name);
  LPOLESTR names[] = {wide.data()};
  return dispatch->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, id);
}

void PutProperty(IDispatch* dispatch, const std::string& name, const std::string& value) {
  DISPID id = DISPID_UNKNOWN;
  if (SUCCEEDED(DispatchIdOf(dispatch, name, &id))) {
    DispatchPut(dispatch, id, CComVariant(value.c_str()));
  }
}

bool GetProperty(IDispatch* dispatch, const std::string& name, std::string* value) {
  DISPID id = DISPID_UNKNOWN;
  if (FAILED(DispatchIdOf(dispatch, name, &id))) return false;
  CComVariant result;
  if (FAILED(DispatchGet(dispatch, id, &result)) ||
      FAILED(VariantChangeType(&result, &result, 0, VT_BSTR))) {
    return false;
  }
  *value = result.bstrVal != nullptr ? WideToAnsi(result.bstrVal) : std::string();
  return true;
}

// The control's default source interface.
ComPtr<IConnectionPoint> EventPointOf(IUnknown* control) {
  ComPtr<IConnectionPointContainer> container;
  if (FAILED(control->QueryInterface(IID_IConnectionPointContainer, container.OutVoid()))) {
    return nullptr;
  }
  ComPtr<IConnectionPoint> point;
  ComPtr<IProvideClassInfo2> info;
  IID source{};
  if (SUCCEEDED(control->QueryInterface(IID_IProvideClassInfo2, info.OutVoid())) &&
      SUCCEEDED(info->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &source)) &&
      SUCCEEDED(container->FindConnectionPoint(source, point.Out()))) {
    return point;
  }
  ComPtr<IEnumConnectionPoints> points;
  ULONG fetched = 0;
  if (SUCCEEDED(container->EnumConnectionPoints(points.Out())) && points &&
      points->Next(1, point.Out(), &fetched) == S_OK && fetched == 1) {
    return point;
  }
  return nullptr;
}

class HostState final : public core::ControlState, public driver::HostedControlModel {
 public:
  explicit HostState(HWND host) : m_host(host) {}
  ~HostState() override { Destroy(); }

  void* QueryModel(const std::type_info& type) override {
    return core::QueryModels<HostState, driver::HostedControlModel>(this, type);
  }

  std::string ClassId() const override { return m_classId; }
  PropertyList Properties() const override {
    PropertyList shown = m_given;
    if (m_dispatch) {
      for (auto& [name, value] : shown) GetProperty(m_dispatch.Get(), name, &value);
    }
    return shown;
  }

  HRESULT Create(const std::string& classText, const PropertyList& properties) {
    m_classId = classText;
    m_given = properties;
    CLSID clsid{};
    std::u16string wide = AnsiToWide(classText);
    HRESULT result = CLSIDFromString(wide.c_str(), &clsid);
    if (FAILED(result)) return result;
    ComPtr<IClassFactory> factory;
    result = CoGetClassObject(clsid, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory,
                              factory.OutVoid());
    if (FAILED(result)) return result;
    result = factory->CreateInstance(nullptr, IID_IUnknown, m_control.OutVoid());
    if (FAILED(result)) return result;
    if (SUCCEEDED(m_control->QueryInterface(IID_IDispatch, m_dispatch.OutVoid()))) {
      for (const auto& [name, value] : m_given) PutProperty(m_dispatch.Get(), name, value);
    }
    if (SUCCEEDED(m_control->QueryInterface(IID_IHostedControl, m_windowing.OutVoid()))) {
      RECT area{};
      GetClientRect(m_host, &area);
      result = m_windowing->CreateControlWindow(m_host, &area, &m_window);
      if (FAILED(result)) return result;
    }
    ConnectEvents();
    return S_OK;
  }

  void Moved() {
    if (!m_windowing) return;
    RECT area{};
    GetClientRect(m_host, &area);
    m_windowing->MoveControlWindow(&area);
  }

  void Destroy() {
    if (m_point) m_point->Unadvise(m_cookie);
    m_point.Reset();
    if (m_windowing) m_windowing->DestroyControlWindow();
    m_windowing.Reset();
    m_window = nullptr;
    m_dispatch.Reset();
    m_control.Reset();
  }

  HWND ControlWindow() const { return IsWindow(m_window) ? m_window : nullptr; }
  IUnknown* Control() const { return m_control.Get(); }

 private:
  void ConnectEvents() {
    ComPtr<IConnectionPoint> point = EventPointOf(m_control.Get());
    IID source{};
    if (!point || FAILED(point->GetConnectionInterface(&source))) return;
    ComPtr<IUnknown> sink;
    if (FAILED(EventSink::NewInstance(IID_IUnknown, sink.OutVoid(), m_host, source))) return;
    if (SUCCEEDED(point->Advise(sink.Get(), &m_cookie))) m_point = std::move(point);
  }

  HWND m_host;
  std::string m_classId;
  PropertyList m_given;
  ComPtr<IUnknown> m_control;
  ComPtr<IDispatch> m_dispatch;
  ComPtr<IHostedControl> m_windowing;
  HWND m_window = nullptr;
  ComPtr<IConnectionPoint> m_point;
  DWORD m_cookie = 0;
};

HostState* HostOf(HWND host) { return core::ControlOf<HostState>(host); }

// What to create: a dialog's template item names the class and brings the
// stored properties; a host made directly names the class in its text.
HRESULT CreateHosted(HWND host, const CREATESTRUCTA* create) {
  HostState* state = HostOf(host);
  if (state == nullptr) return E_UNEXPECTED;
  if (const auto* item = static_cast<const DialogItemTemplate*>(create->lpCreateParams)) {
    return state->Create(item->className, item->properties);
  }
  return state->Create(create->lpszName != nullptr ? create->lpszName : "", {});
}

}  // namespace

UINT ControlEventMessage() { return RegisterWindowMessageA(kControlEventMessageName); }

}  // namespace ui::ole

using ui::ole::HostOf;

LRESULT ControlHostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_NCCREATE:
      ui::core::SetControlState(window, std::make_unique<ui::ole::HostState>(window));
      break;
    case WM_CREATE: {
      HRESULT result = ui::ole::CreateHosted(window, reinterpret_cast<CREATESTRUCTA*>(lParam));
      if (FAILED(result)) {
        SetLastError(static_cast<DWORD>(result));
        return -1;
      }
      return 0;
    }
    case WM_SIZE:
      if (auto* state = HostOf(window)) state->Moved();
      break;
    case WM_DESTROY:
      if (auto* state = HostOf(window)) state->Destroy();
      break;
    case WM_COMMAND:
    case WM_NOTIFY: {
      // A control made of a standard window hears its own notifications
      // back, as ATL's host reflects them.
      auto* state = HostOf(window);
      HWND control = state != nullptr ? state->ControlWindow() : nullptr;
      HWND from = message == WM_COMMAND ? reinterpret_cast<HWND>(lParam)
                                        : reinterpret_cast<NMHDR*>(lParam)->hwndFrom;
      if (control != nullptr && from == control) {
        return SendMessageA(control, OCM__BASE + message, wParam, lParam);
      }
      break;
    }
    case WM_SETFOCUS:
      if (auto* state = HostOf(window); state != nullptr && state->ControlWindow() != nullptr) {
        SetFocus(state->ControlWindow());
        return 0;
      }
      break;
    default:
      // The control's window covers the host, so the mouse meets it there.
      if (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) {
        auto* state = HostOf(window);
        if (HWND target = state != nullptr ? state->ControlWindow() : nullptr) {
          POINT at{static_cast<SHORT>(LOWORD(lParam)), static_cast<SHORT>(HIWORD(lParam))};
          MapWindowPoints(window, target, &at, 1);
          return SendMessageA(target, message, wParam,
                              MAKELPARAM(static_cast<WORD>(at.x), static_cast<WORD>(at.y)));
        }
      }
      break;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

BOOL AtlAxWinInit() { return TRUE; }

HRESULT AtlAxGetControl(HWND host, IUnknown** control) {
  if (control == nullptr) return E_POINTER;
  *control = nullptr;
  ui::ole::HostState* state = HostOf(host);
  if (state == nullptr || state->Control() == nullptr) return E_FAIL;
  *control = state->Control();
  (*control)->AddRef();
  return S_OK;
}
