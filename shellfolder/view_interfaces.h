// The automation interfaces behind the music folder's shell view: the view
// host (IMp3DbDefView), the list control (IMp3DbClassicView, with its event
// interface) and the web view (IMp3DbWebView), with the class identifiers
// that double as view identifiers. All are dual: their members stand in
// slot order after IDispatch's, and the type library Cobrell.tlb gives the
// same members their dispatch identifiers.
#pragma once

#include "platform/com/dispatch.h"
#include "platform/com/guid.h"
#include "platform/ui/ui_types.h"

class IShellBrowser;
class IShellFolder;
class IStream;

// {4F9B3FC8-9BE5-11D3-8830-5254ABDE229C}
constexpr CLSID CLSID_Mp3DbDefView{
    0x4F9B3FC8, 0x9BE5, 0x11D3, {0x88, 0x30, 0x52, 0x54, 0xAB, 0xDE, 0x22, 0x9C}};
// {49C49A96-996D-11D3-8830-5254ABDE229C}
constexpr CLSID CLSID_Mp3DbShellView{
    0x49C49A96, 0x996D, 0x11D3, {0x88, 0x30, 0x52, 0x54, 0xAB, 0xDE, 0x22, 0x9C}};
// The classic view: {85E85B52-9C8A-11D3-8830-5254ABDE229C}
constexpr CLSID CLSID_Mp3DbClassicView{
    0x85E85B52, 0x9C8A, 0x11D3, {0x88, 0x30, 0x52, 0x54, 0xAB, 0xDE, 0x22, 0x9C}};
// The web view: {85E85B55-9C8A-11D3-8830-5254ABDE229C}
constexpr CLSID CLSID_Mp3DbWebView{
    0x85E85B55, 0x9C8A, 0x11D3, {0x88, 0x30, 0x52, 0x54, 0xAB, 0xDE, 0x22, 0x9C}};
// CobrellLib: {49C49AD4-996D-11D3-8830-5254ABDE229C}
constexpr GUID LIBID_CobrellLib{
    0x49C49AD4, 0x996D, 0x11D3, {0x88, 0x30, 0x52, 0x54, 0xAB, 0xDE, 0x22, 0x9C}};
constexpr WORD kCobrellLibMajor = 1;
constexpr WORD kCobrellLibMinor = 0;

// The interface identifiers are this module's own, fixed once; Cobrell.tlb
// records the same values.
// {E03092F7-7433-40A7-95BE-4E653D306F79}
constexpr IID IID_IMp3DbDefView{
    0xE03092F7, 0x7433, 0x40A7, {0x95, 0xBE, 0x4E, 0x65, 0x3D, 0x30, 0x6F, 0x79}};
// {13106165-7D7F-4EBD-9C36-D148B5838821}
constexpr IID IID_IMp3DbClassicView{
    0x13106165, 0x7D7F, 0x4EBD, {0x9C, 0x36, 0xD1, 0x48, 0xB5, 0x83, 0x88, 0x21}};
// {E45C5194-B147-4772-973A-B195DF0DFBE2}
constexpr IID IID_IMp3DbWebView{
    0xE45C5194, 0xB147, 0x4772, {0x97, 0x3A, 0xB1, 0x95, 0xDF, 0x0D, 0xFB, 0xE2}};
// {95138B16-2F5E-4C48-B0B5-5FD7D4779F81}
constexpr IID DIID__Mp3DbClassicEvents{
    0x95138B16, 0x2F5E, 0x4C48, {0xB0, 0xB5, 0x5F, 0xD7, 0xD4, 0x77, 0x9F, 0x81}};

constexpr DISPID DISPID_OnSelectionChanged = 1;

// What the shell view hands the host to make a view window.
struct Mp3DbViewCreateInfo {
  IUnknown* pIUnkShellView;
  UINT uViewMode;
  UINT uFlags;
  IUnknown* pIUnkShellBrowser;
  RECT prcView;
  const GUID* pvid;
  HWND hwndView;  // out
};

class IMp3DbDefView : public IDispatch {
 public:
  virtual HRESULT CreateView(Mp3DbViewCreateInfo* info, IShellFolder* pIShellFolder) = 0;
  virtual HRESULT Refresh() = 0;
  virtual HRESULT DestroyView() = 0;
  virtual HRESULT GetCurrentInfo(UINT* puViewMode, UINT* puFlags) = 0;
  virtual HRESULT GetWindow(HWND* lphwnd) = 0;
  virtual HRESULT GetCurrentView(GUID* pvid) = 0;
  virtual HRESULT OnActivate(UINT uState) = 0;
  virtual HRESULT OnDeactivate() = 0;
  virtual HRESULT SetCurrentInfo(UINT uViewMode, UINT uFlags) = 0;
  // S_OK when the message was the host's, S_FALSE when not.
  virtual HRESULT OnTranslateAccelerator(MSG* message) = 0;
  virtual HRESULT SaveViewState(IStream* pIStream) = 0;
};

class IMp3DbClassicView : public IDispatch {
 public:
  virtual HRESULT CreateView(IUnknown* pIUnkShellView, IShellBrowser* pIShellBrowser,
                             IShellFolder* pIShellFolder, HWND uhwndParent, LONG uTop, LONG uLeft,
                             LONG uBottom, LONG uRight, UINT uViewMode, UINT uFlags,
                             HWND* phWnd) = 0;                           // 1
  virtual HRESULT Refresh() = 0;                                         // 2
  virtual HRESULT DestroyView() = 0;                                     // 3
  virtual HRESULT GetCurrentInfo(UINT* puViewMode, UINT* puFlags) = 0;  // 4
  virtual HRESULT GetWindow(HWND* phWnd) = 0;                            // 5
  virtual HRESULT SetCurrentInfo(UINT uViewMode, UINT uFlags) = 0;       // 6
  virtual HRESULT GetCurrentPath(VARIANT* pvarPath) = 0;                 // 7
  virtual HRESULT GetSelectedName(VARIANT* pvarName) = 0;                // 8
  virtual HRESULT GetSelectedGUID(VARIANT* pvarGUID) = 0;                // 9
  virtual HRESULT GetSelectedClass(VARIANT* pvarClass) = 0;              // 10
  virtual HRESULT InitMenuPopup(UINT uMsg, WPARAM wParam, LPARAM lParam,
                                BOOL* bHandled) = 0;                     // 11
  virtual HRESULT OnEditPaste() = 0;                                     // 12
  virtual HRESULT OnEditCopyCut(BOOL bCut, BOOL* pbDone) = 0;            // 13
  virtual HRESULT OnDelete() = 0;                                        // 14
  virtual HRESULT OnSelectAll() = 0;                                     // 15
  virtual HRESULT OnInvertSelection() = 0;                               // 16
  virtual HRESULT OnEnter() = 0;                                         // 17
  virtual HRESULT SetFocus() = 0;                                        // 18
  virtual HRESULT OnEditLabel() = 0;                                     // 20
  virtual HRESULT SaveViewState(IStream* pIStream) = 0;                  // 21
  virtual HRESULT OnCopyData(UINT uMsg, WPARAM wParam, LPARAM lParam,
                             BOOL* bHandled) = 0;                        // 22
};

class IMp3DbWebView : public IDispatch {
 public:
  virtual HRESULT CreateView(IUnknown* pIUnkShellView, IShellBrowser* pIShellBrowser,
                             IShellFolder* pIShellFolder, HWND uhwndParent, LONG uTop, LONG uLeft,
                             LONG uBottom, LONG uRight, UINT uViewMode, UINT uFlags,
                             HWND* phWnd) = 0;                           // 1
  virtual HRESULT Refresh() = 0;                                         // 2
  virtual HRESULT DestroyView() = 0;                                     // 3
  virtual HRESULT GetCurrentInfo(UINT* puViewMode, UINT* puFlags) = 0;  // 4
  virtual HRESULT GetWindow(HWND* phWnd) = 0;                            // 5
  virtual HRESULT SetCurrentInfo(UINT uViewMode, UINT uFlags) = 0;       // 6
  virtual HRESULT OnEnter() = 0;                                         // 7
  virtual HRESULT OnInvertSelection() = 0;                               // 8
  virtual HRESULT OnSelectAll() = 0;                                     // 9
  virtual HRESULT OnEditCopyCut(BOOL bCut, BOOL* pbDone) = 0;            // 10
  virtual HRESULT OnEditPaste() = 0;                                     // 11
  virtual HRESULT OnDelete() = 0;                                        // 12
  virtual HRESULT SetFocus() = 0;                                        // 13
  virtual HRESULT OnEditLabel() = 0;                                     // 15
  virtual HRESULT SaveViewState(IStream* pIStream) = 0;                  // 16
  virtual HRESULT InitMenuPopup(UINT uMsg, WPARAM wParam, LPARAM lParam,
                                BOOL* bHandled) = 0;                     // 17
  virtual HRESULT OnCopyData(UINT uMsg, WPARAM wParam, LPARAM lParam,
                             BOOL* bHandled) = 0;                        // 18
};
