// The little of GDI that window code uses: fonts (for their metrics and so
// the front-end shows the same face), brushes, system colours, and device
// contexts that record what an owner draws into them (fills and text), so
// that the driver can report an owner-drawn row and the front-end paint it.
#pragma once

#include <string>
#include <vector>

#include "platform/base/export.h"
#include "platform/ui/ui_types.h"

struct LOGFONTA {
  LONG lfHeight;
  LONG lfWidth;
  LONG lfEscapement;
  LONG lfOrientation;
  LONG lfWeight;
  BYTE lfItalic;
  BYTE lfUnderline;
  BYTE lfStrikeOut;
  BYTE lfCharSet;
  BYTE lfOutPrecision;
  BYTE lfClipPrecision;
  BYTE lfQuality;
  BYTE lfPitchAndFamily;
  CHAR lfFaceName[32];
};

struct TEXTMETRICA {
  LONG tmHeight;
  LONG tmAscent;
  LONG tmDescent;
  LONG tmInternalLeading;
  LONG tmExternalLeading;
  LONG tmAveCharWidth;
  LONG tmMaxCharWidth;
  LONG tmWeight;
};

constexpr LONG FW_NORMAL = 400;
constexpr LONG FW_BOLD = 700;

QAP_EXPORT HFONT CreateFontIndirectA(const LOGFONTA* font);
QAP_EXPORT HFONT CreateFontA(int height, int width, int escapement, int orientation, int weight,
                             DWORD italic, DWORD underline, DWORD strikeOut, DWORD charSet,
                             DWORD outPrecision, DWORD clipPrecision, DWORD quality,
                             DWORD pitchAndFamily, LPCSTR face);
QAP_EXPORT int GetObjectA(HGDIOBJ object, int size, void* out);
QAP_EXPORT HBRUSH CreateSolidBrush(COLORREF color);
QAP_EXPORT BOOL DeleteObject(HGDIOBJ object);

constexpr int WHITE_BRUSH = 0;
constexpr int BLACK_BRUSH = 4;
constexpr int NULL_BRUSH = 5;
constexpr int DEFAULT_GUI_FONT = 17;
QAP_EXPORT HGDIOBJ GetStockObject(int index);

constexpr int COLOR_WINDOW = 5;
constexpr int COLOR_WINDOWTEXT = 8;
constexpr int COLOR_HIGHLIGHT = 13;
constexpr int COLOR_HIGHLIGHTTEXT = 14;
constexpr int COLOR_BTNFACE = 15;
constexpr int COLOR_GRAYTEXT = 17;
constexpr int COLOR_BTNTEXT = 18;
QAP_EXPORT COLORREF GetSysColor(int index);
QAP_EXPORT HBRUSH GetSysColorBrush(int index);

constexpr int TRANSPARENT = 1;
constexpr int OPAQUE = 2;
constexpr UINT DT_LEFT = 0x0000;
constexpr UINT DT_CENTER = 0x0001;
constexpr UINT DT_RIGHT = 0x0002;
constexpr UINT DT_VCENTER = 0x0004;
constexpr UINT DT_SINGLELINE = 0x0020;
constexpr UINT DT_NOPREFIX = 0x0800;
constexpr UINT DT_END_ELLIPSIS = 0x8000;
constexpr int LOGPIXELSX = 88;
constexpr int LOGPIXELSY = 90;

QAP_EXPORT HDC GetDC(HWND window);
QAP_EXPORT int ReleaseDC(HWND window, HDC dc);
QAP_EXPORT HDC CreateCompatibleDC(HDC dc);
QAP_EXPORT BOOL DeleteDC(HDC dc);
QAP_EXPORT HGDIOBJ SelectObject(HDC dc, HGDIOBJ object);
QAP_EXPORT COLORREF SetTextColor(HDC dc, COLORREF color);
QAP_EXPORT COLORREF GetTextColor(HDC dc);
QAP_EXPORT COLORREF SetBkColor(HDC dc, COLORREF color);
QAP_EXPORT COLORREF GetBkColor(HDC dc);
QAP_EXPORT int SetBkMode(HDC dc, int mode);
QAP_EXPORT int FillRect(HDC dc, const RECT* rect, HBRUSH brush);
QAP_EXPORT int DrawTextA(HDC dc, LPCSTR text, int length, RECT* rect, UINT format);
QAP_EXPORT BOOL TextOutA(HDC dc, int x, int y, LPCSTR text, int length);
QAP_EXPORT BOOL ExtTextOutA(HDC dc, int x, int y, UINT options, const RECT* rect, LPCSTR text,
                            UINT length, const INT* dx);
QAP_EXPORT BOOL DrawFocusRect(HDC dc, const RECT* rect);
QAP_EXPORT BOOL GetTextExtentPoint32A(HDC dc, LPCSTR text, int length, SIZE* size);
QAP_EXPORT BOOL GetTextMetricsA(HDC dc, TEXTMETRICA* metrics);
QAP_EXPORT int GetDeviceCaps(HDC dc, int index);

namespace ui::gdi {

// What was drawn into a recording device context, in order.
struct DrawOp {
  enum class Kind { kFill, kText, kFocus };
  Kind kind = Kind::kFill;
  RECT rect{};
  COLORREF color = 0;       // fill colour, or text colour
  COLORREF background = 0;  // text: background colour when opaque
  bool opaque = false;
  std::string text;
};

// A device context that records; the caller ends it with DeleteDC.
QAP_EXPORT HDC CreateRecordingDC();
QAP_EXPORT std::vector<DrawOp> RecordedOps(HDC dc);

// Average character width and line height of a font in pixels, from which
// dialog units become pixels. Headless, they come from a table close to
// Windows' figures (MS Sans Serif 8 gives 6 by 13); a front-end that shows
// the windows installs its font's real metrics.
struct FontMetrics {
  int averageWidth = 6;
  int height = 13;
};
using FontMetricsProvider = FontMetrics (*)(const std::string& face, int pointSize, bool bold);
QAP_EXPORT void SetFontMetricsProvider(FontMetricsProvider provider);
QAP_EXPORT FontMetrics MetricsOf(const std::string& face, int pointSize, bool bold);

}  // namespace ui::gdi
