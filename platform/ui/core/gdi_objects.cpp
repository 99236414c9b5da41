// Fonts, brushes, stock objects and system colours.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <mutex>

#include "platform/base/last_error.h"
#include "platform/ui/core/fonts.h"

namespace ui::core {

namespace {

class FontObject : public UserObject {
 public:
  FontObject() : UserObject(ObjectKind::kFont) {}
  FontStyle style;
  LOGFONTA logFont{};
};

class BrushObject : public UserObject {
 public:
  BrushObject() : UserObject(ObjectKind::kBrush) {}
  COLORREF color = 0;
  bool stock = false;
  bool null = false;
};

constexpr int kScreenDpi = 96;

ui::gdi::FontMetricsProvider g_provider = nullptr;

HBRUSH NewBrush(COLORREF color, bool stock, bool null) {
  auto brush = std::make_shared<BrushObject>();
  brush->color = color;
  brush->stock = stock;
  brush->null = null;
  return AsHandle<HBRUSH>(HandleTable::Get().Insert(brush));
}

}  // namespace

bool FontOf(HFONT font, FontStyle* style) {
  auto object = HandleTable::Get().Find<FontObject>(font, ObjectKind::kFont);
  if (!object) return false;
  *style = object->style;
  return true;
}

HFONT MakeFont(const FontStyle& style) {
  auto object = std::make_shared<FontObject>();
  object->style = style;
  // A negative height is the character height in pixels, as dialog fonts
  // are made from their point size.
  object->logFont.lfHeight = -((style.pointSize * kScreenDpi + 36) / 72);
  object->logFont.lfWeight = style.bold ? FW_BOLD : FW_NORMAL;
  std::strncpy(object->logFont.lfFaceName, style.face.c_str(), sizeof object->logFont.lfFaceName - 1);
  return AsHandle<HFONT>(HandleTable::Get().Insert(object));
}

bool BrushColor(HBRUSH brush, COLORREF* color) {
  auto object = HandleTable::Get().Find<BrushObject>(brush, ObjectKind::kBrush);
  if (!object || object->null) return false;
  *color = object->color;
  return true;
}

}  // namespace ui::core

using namespace ui::core;

HFONT CreateFontIndirectA(const LOGFONTA* font) {
  if (font == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  FontStyle style;
  style.face.assign(font->lfFaceName, strnlen(font->lfFaceName, sizeof font->lfFaceName));
  LONG height = font->lfHeight < 0 ? -font->lfHeight : font->lfHeight;
  style.pointSize = height == 0 ? 8 : static_cast<int>(std::lround(height * 72.0 / kScreenDpi));
  style.bold = font->lfWeight >= FW_BOLD;
  HFONT made = MakeFont(style);
  if (auto object = HandleTable::Get().Find<FontObject>(made, ObjectKind::kFont)) {
    object->logFont = *font;
  }
  return made;
}

HFONT CreateFontA(int height, int width, int escapement, int orientation, int weight, DWORD italic,
                  DWORD underline, DWORD strikeOut, DWORD charSet, DWORD outPrecision,
                  DWORD clipPrecision, DWORD quality, DWORD pitchAndFamily, LPCSTR face) {
  LOGFONTA font{height,
                width,
                escapement,
                orientation,
                weight,
                static_cast<BYTE>(italic),
                static_cast<BYTE>(underline),
                static_cast<BYTE>(strikeOut),
                static_cast<BYTE>(charSet),
                static_cast<BYTE>(outPrecision),
                static_cast<BYTE>(clipPrecision),
                static_cast<BYTE>(quality),
                static_cast<BYTE>(pitchAndFamily),
                {}};
  if (face != nullptr) std::strncpy(font.lfFaceName, face, sizeof font.lfFaceName - 1);
  return CreateFontIndirectA(&font);
}

int GetObjectA(HGDIOBJ object, int size, void* out) {
  auto font = HandleTable::Get().Find<FontObject>(object, ObjectKind::kFont);
  if (!font) return 0;
  if (out == nullptr) return static_cast<int>(sizeof(LOGFONTA));
  int copied = std::min(size, static_cast<int>(sizeof(LOGFONTA)));
  std::memcpy(out, &font->logFont, static_cast<size_t>(copied));
  return copied;
}

HBRUSH CreateSolidBrush(COLORREF color) { return NewBrush(color, false, false); }

BOOL DeleteObject(HGDIOBJ object) {
  auto value = HandleValue(object);
  auto& table = HandleTable::Get();
  if (auto brush = table.Find<BrushObject>(object, ObjectKind::kBrush)) {
    if (!brush->stock) table.Remove(value);
    return TRUE;
  }
  for (ObjectKind kind : {ObjectKind::kFont, ObjectKind::kBitmap}) {
    if (table.Find(value, kind)) {
      table.Remove(value);
      return TRUE;
    }
  }
  return FALSE;
}

HGDIOBJ GetStockObject(int index) {
  static std::once_flag once;
  static HBRUSH white, black, none;
  static HFONT gui;
  std::call_once(once, [] {
    white = NewBrush(RGB(255, 255, 255), true, false);
    black = NewBrush(RGB(0, 0, 0), true, false);
    none = NewBrush(0, true, true);
    gui = MakeFont(FontStyle{"MS Shell Dlg", 8, false});
  });
  switch (index) {
    case WHITE_BRUSH:
      return white;
    case BLACK_BRUSH:
      return black;
    case NULL_BRUSH:
      return none;
    case DEFAULT_GUI_FONT:
      return gui;
    default:
      return nullptr;
  }
}

COLORREF GetSysColor(int index) {
  switch (index) {
    case COLOR_WINDOW:
      return RGB(255, 255, 255);
    case COLOR_WINDOWTEXT:
    case COLOR_BTNTEXT:
      return RGB(0, 0, 0);
    case COLOR_HIGHLIGHT:
      return RGB(0, 120, 215);
    case COLOR_HIGHLIGHTTEXT:
      return RGB(255, 255, 255);
    case COLOR_BTNFACE:
      return RGB(240, 240, 240);
    case COLOR_GRAYTEXT:
      return RGB(109, 109, 109);
    default:
      return RGB(0, 0, 0);
  }
}

HBRUSH GetSysColorBrush(int index) {
  static std::mutex mutex;
  static HBRUSH brushes[32] = {};
  if (index < 0 || index >= 32) return nullptr;
  std::lock_guard lock(mutex);
  if (brushes[index] == nullptr) brushes[index] = NewBrush(GetSysColor(index), true, false);
  return brushes[index];
}

namespace ui::gdi {

void SetFontMetricsProvider(FontMetricsProvider provider) { g_provider = provider; }

FontMetrics MetricsOf(const std::string& face, int pointSize, bool bold) {
  if (g_provider != nullptr) return g_provider(face, pointSize, bold);
  if (pointSize <= 0) pointSize = 8;
  // A line is about 1.2 em and an average letter a little under half a line
  // for the sans faces dialogs use: MS Sans Serif 8 comes out at 6 by 13,
  // Windows' own figures.
  double em = pointSize * kScreenDpi / 72.0;
  int height = static_cast<int>(std::ceil(em * 1.2));
  int width = static_cast<int>(std::lround(height * 0.46));
  return FontMetrics{std::max(1, width), std::max(1, height)};
}

}  // namespace ui::gdi
