// The progress bar ("msctls_progress32") and the status bar
// ("msctls_statusbar32") of the common controls: class names, styles,
// messages and records with the values of commctrl.h.
#pragma once

#include "platform/base/export.h"
#include "platform/ui/messages.h"

// ---- progress bar ----

inline constexpr const char* PROGRESS_CLASSA = "msctls_progress32";

constexpr DWORD PBS_SMOOTH = 0x01;
constexpr DWORD PBS_VERTICAL = 0x04;

constexpr UINT PBM_SETRANGE = WM_USER + 1;
constexpr UINT PBM_SETPOS = WM_USER + 2;
constexpr UINT PBM_DELTAPOS = WM_USER + 3;
constexpr UINT PBM_SETSTEP = WM_USER + 4;
constexpr UINT PBM_STEPIT = WM_USER + 5;
constexpr UINT PBM_SETRANGE32 = WM_USER + 6;
constexpr UINT PBM_GETRANGE = WM_USER + 7;
constexpr UINT PBM_GETPOS = WM_USER + 8;

struct PBRANGE {
  int iLow;
  int iHigh;
};

// ---- status bar ----

inline constexpr const char* STATUSCLASSNAMEA = "msctls_statusbar32";

constexpr DWORD SBARS_SIZEGRIP = 0x0100;
constexpr DWORD SBARS_TOOLTIPS = 0x0800;

constexpr UINT SB_SETTEXTA = WM_USER + 1;
constexpr UINT SB_GETTEXTA = WM_USER + 2;
constexpr UINT SB_GETTEXTLENGTHA = WM_USER + 3;
constexpr UINT SB_SETPARTS = WM_USER + 4;
constexpr UINT SB_GETPARTS = WM_USER + 6;
constexpr UINT SB_GETBORDERS = WM_USER + 7;
constexpr UINT SB_SIMPLE = WM_USER + 9;
constexpr UINT SB_GETRECT = WM_USER + 10;
constexpr UINT SB_ISSIMPLE = WM_USER + 14;
// The system code page is the character set here.
constexpr UINT SB_SETTEXT = SB_SETTEXTA;
constexpr UINT SB_GETTEXT = SB_GETTEXTA;
constexpr UINT SB_GETTEXTLENGTH = SB_GETTEXTLENGTHA;

// Drawing types, in the high byte of SB_SETTEXT's wParam.
constexpr WORD SBT_NOBORDERS = 0x0100;
constexpr WORD SBT_POPOUT = 0x0200;
constexpr WORD SBT_RTLREADING = 0x0400;
constexpr WORD SBT_NOTABPARSING = 0x0800;
constexpr WORD SBT_OWNERDRAW = 0x1000;

// The part index of the simple-mode text.
constexpr int SB_SIMPLEID = 0x00FF;

constexpr UINT SBN_SIMPLEMODECHANGE = 0U - 880U;

QAP_EXPORT HWND CreateStatusWindowA(LONG style, LPCSTR text, HWND parent, UINT id);
