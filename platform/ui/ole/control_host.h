// Hosting of embedded controls, as ATL's host window does it: a window of
// the class "AtlAxWin" creates the control its text (or its dialog
// template item) names by class identifier or ProgID, from the class's
// in-process server in the registry.
//
// The contract between a control and its host:
// - The control answers IHostedControl: the host asks it for its window, a
//   child of the host filling the host, tells it when the host moves, and
//   has it destroy the window when the host goes. A control without it is
//   windowless; its properties, methods and events still work.
// - IDispatch carries properties and methods. Each property a dialog
//   template stores with the item is set by name, before the window is
//   made: GetIDsOfNames, then Invoke with DISPATCH_PROPERTYPUT and the
//   value as a string (VT_BSTR), which the control converts as it needs.
//   Names the control does not know are passed over.
// - IConnectionPointContainer carries events. The host connects a sink to
//   the control's default source interface (IProvideClassInfo2's
//   GUIDKIND_DEFAULT_SOURCE_DISP_IID, else the first connection point) and
//   sends each event to its parent as the registered message
//   "QapControlEvent": wParam the host's control id, lParam a ControlEvent,
//   valid while the message is handled. A dialog maps (control id, dispatch
//   id) to what it does.
// - A control whose window is a standard control (a "Button") gets that
//   window's WM_COMMAND and WM_NOTIFY reflected back to the window as
//   OCM_COMMAND and OCM_NOTIFY, with the same parameters.
// The host's parent reaches the control itself through AtlAxGetControl.
#pragma once

#include "platform/base/export.h"
#include "platform/com/dispatch.h"
#include "platform/ui/messages.h"
#include "platform/ui/ui_types.h"

// {2BBF5D25-470B-4B8C-AF0B-063ABA6406FD}
constexpr IID IID_IHostedControl{
    0x2BBF5D25, 0x470B, 0x4B8C, {0xAF, 0x0B, 0x06, 0x3A, 0xBA, 0x64, 0x06, 0xFD}};

class IHostedControl : public IUnknown {
 public:
  // rect is the host's client area; *window the control's window, a child
  // of host.
  virtual HRESULT CreateControlWindow(HWND host, const RECT* rect, HWND* window) = 0;
  // The host's client area changed size.
  virtual HRESULT MoveControlWindow(const RECT* rect) = 0;
  // The host is going: the control destroys its window.
  virtual HRESULT DestroyControlWindow() = 0;
};

// {B196B283-BAB4-101A-B69C-00AA00341D07}
constexpr IID IID_IProvideClassInfo{
    0xB196B283, 0xBAB4, 0x101A, {0xB6, 0x9C, 0x00, 0xAA, 0x00, 0x34, 0x1D, 0x07}};
// {A6BC3AC0-DBAA-11CE-9DE3-00AA004BB851}
constexpr IID IID_IProvideClassInfo2{
    0xA6BC3AC0, 0xDBAA, 0x11CE, {0x9D, 0xE3, 0x00, 0xAA, 0x00, 0x4B, 0xB8, 0x51}};

constexpr DWORD GUIDKIND_DEFAULT_SOURCE_DISP_IID = 1;

class IProvideClassInfo : public IUnknown {
 public:
  virtual HRESULT GetClassInfo(ITypeInfo** info) = 0;
};

class IProvideClassInfo2 : public IProvideClassInfo {
 public:
  virtual HRESULT GetGUID(DWORD kind, GUID* guid) = 0;
};

constexpr UINT OCM__BASE = WM_USER + 0x1C00;
constexpr UINT OCM_COMMAND = OCM__BASE + WM_COMMAND;
constexpr UINT OCM_NOTIFY = OCM__BASE + WM_NOTIFY;

// The name of the event message, registered with RegisterWindowMessage.
inline constexpr const char* kControlEventMessageName = "QapControlEvent";

struct ControlEvent {
  HWND host;
  DISPID dispId;
  DISPPARAMS* params;  // as the control fired it: arguments in reverse order
};

// The host class is built in; kept for modules that ask for it, as ATL's
// modules do before they make a host window.
QAP_EXPORT BOOL AtlAxWinInit();
// The hosted control's IUnknown, with a reference for the caller; E_FAIL
// when host hosts nothing.
QAP_EXPORT HRESULT AtlAxGetControl(HWND host, IUnknown** control);

namespace ui::ole {

// RegisterWindowMessage(kControlEventMessageName).
QAP_EXPORT UINT ControlEventMessage();

}  // namespace ui::ole
