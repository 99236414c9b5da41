// The identifiers of the agent's automation class: class, interfaces, type
// library, and the dispatch identifiers its type library gives the methods
// (the file LBAgent2.tlb beside the executable carries the same numbers).
#pragma once

#include "platform/com/dispatch.h"

// {695C62C5-5959-11D3-BD2F-00A0CC418A92}
constexpr CLSID CLSID_Request2{
    0x695C62C5, 0x5959, 0x11D3, {0xBD, 0x2F, 0x00, 0xA0, 0xCC, 0x41, 0x8A, 0x92}};
// {695C62C4-5959-11D3-BD2F-00A0CC418A92}
constexpr IID IID_IRequest2{
    0x695C62C4, 0x5959, 0x11D3, {0xBD, 0x2F, 0x00, 0xA0, 0xCC, 0x41, 0x8A, 0x92}};
// {3BD17580-0BC6-11D4-BC02-00C04F60E692}
constexpr IID DIID__IRequest2Events{
    0x3BD17580, 0x0BC6, 0x11D4, {0xBC, 0x02, 0x00, 0xC0, 0x4F, 0x60, 0xE6, 0x92}};
// {24ECDC11-9F0F-4A1F-AE68-67F2A804EDDD}: the queue's events, a connection
// point of its own beside _IRequest2Events, so that a sink of the one event
// the player knows sees nothing else.
constexpr IID DIID__IRequest2QueueEvents{
    0x24ECDC11, 0x9F0F, 0x4A1F, {0xAE, 0x68, 0x67, 0xF2, 0xA8, 0x04, 0xED, 0xDD}};
// {695C62C1-5959-11D3-BD2F-00A0CC418A92}, version 1.0
constexpr GUID LIBID_LBAgent2{
    0x695C62C1, 0x5959, 0x11D3, {0xBD, 0x2F, 0x00, 0xA0, 0xCC, 0x41, 0x8A, 0x92}};
constexpr WORD kLBAgent2LibMajor = 1;
constexpr WORD kLBAgent2LibMinor = 0;
// {695C62C0-5959-11D3-BD2F-00A0CC418A92}
constexpr GUID APPID_LBAgent2{
    0x695C62C0, 0x5959, 0x11D3, {0xBD, 0x2F, 0x00, 0xA0, 0xCC, 0x41, 0x8A, 0x92}};

// IRequest2's methods in slot order.
enum Request2DispId : DISPID {
  kDispIdAddFile = 1,
  kDispIdLogin = 2,
  kDispIdGotoLocker = 3,
  kDispIdLogout = 4,
  kDispIdGetStatusText = 5,
  kDispIdDownloadToClient = 6,
  kDispIdAddClient = 7,
  kDispIdRemoveClient = 8,
  kDispIdDownload = 9,
  kDispIdIsDone = 10,
  kDispIdCancelAll = 11,
  kDispIdIsLoggedIn = 12,
  kDispIdGetVersion = 13,
};

// _IRequest2Events' one method.
constexpr DISPID kDispIdOnNotify = 1;

// _IRequest2QueueEvents: OnQueued(request, file), OnStarted(request),
// OnFinished(request, sent, reason); request is the file's place in the
// agent's queue.
enum Request2QueueDispId : DISPID {
  kDispIdOnQueued = 1,
  kDispIdOnStarted = 2,
  kDispIdOnFinished = 3,
};

// GotoLocker's answer when the page was written but no browser could be
// started (HRESULT_FROM_WIN32(ERROR_NO_ASSOCIATION)).
constexpr HRESULT kNoBrowserResult = HResultFromWin32(1155);
