// Device contexts. Nothing is rasterised here: a device context keeps the
// colours, font and mode selected into it and records fills and text, which
// is all an owner-drawn row needs to be reported and shown.
#include <algorithm>
#include <cstring>
#include <utility>

#include "platform/base/last_error.h"
#include "platform/ui/core/fonts.h"

namespace ui::core {

namespace {

class DeviceContext : public UserObject {
 public:
  DeviceContext() : UserObject(ObjectKind::kDeviceContext) {}
  HWND window = nullptr;
  COLORREF textColor = RGB(0, 0, 0);
  COLORREF backColor = RGB(255, 255, 255);
  int backMode = OPAQUE;
  HFONT font = nullptr;
  HFONT ownFont = nullptr;  // the window's font, made for this context
  HBRUSH brush = nullptr;
  HGDIOBJ bitmap = nullptr;
  std::vector<ui::gdi::DrawOp> ops;
};

std::shared_ptr<DeviceContext> Dc(HDC dc) {
  auto object = HandleTable::Get().Find<DeviceContext>(dc, ObjectKind::kDeviceContext);
  if (!object) SetLastError(ERROR_INVALID_HANDLE);
  return object;
}

HDC NewDc(HWND window) {
  auto dc = std::make_shared<DeviceContext>();
  dc->window = window;
  if (auto object = FindWindowObject(window)) {
    std::lock_guard lock(WindowLock());
    if (!object->font.face.empty()) dc->font = dc->ownFont = MakeFont(object->font);
  }
  return AsHandle<HDC>(HandleTable::Get().Insert(dc));
}

ui::gdi::FontMetrics MetricsOfDc(const DeviceContext& dc) {
  FontStyle style{"MS Sans Serif", 8, false};
  if (dc.font != nullptr) FontOf(dc.font, &style);
  return ui::gdi::MetricsOf(style.face, style.pointSize, style.bold);
}

std::string TextOf(LPCSTR text, int length) {
  if (text == nullptr) return {};
  return length < 0 ? std::string(text) : std::string(text, static_cast<size_t>(length));
}

void RecordText(DeviceContext& dc, const RECT& rect, std::string text) {
  ui::gdi::DrawOp op;
  op.kind = ui::gdi::DrawOp::Kind::kText;
  op.rect = rect;
  op.color = dc.textColor;
  op.background = dc.backColor;
  op.opaque = dc.backMode == OPAQUE;
  op.text = std::move(text);
  dc.ops.push_back(std::move(op));
}

}  // namespace

}  // namespace ui::core

using namespace ui::core;

HDC GetDC(HWND window) { return NewDc(window); }

int ReleaseDC(HWND, HDC dc) { return DeleteDC(dc); }

HDC CreateCompatibleDC(HDC) { return NewDc(nullptr); }

BOOL DeleteDC(HDC dc) {
  auto context = Dc(dc);
  if (!context) return FALSE;
  if (context->ownFont != nullptr) HandleTable::Get().Remove(HandleValue(context->ownFont));
  HandleTable::Get().Remove(HandleValue(dc));
  return TRUE;
}

HGDIOBJ SelectObject(HDC dc, HGDIOBJ object) {
  auto context = Dc(dc);
  if (!context || object == nullptr) return nullptr;
  auto& table = HandleTable::Get();
  if (table.Find(HandleValue(object), ObjectKind::kFont)) {
    return std::exchange(context->font, static_cast<HFONT>(object));
  }
  if (table.Find(HandleValue(object), ObjectKind::kBrush)) {
    return std::exchange(context->brush, static_cast<HBRUSH>(object));
  }
  if (table.Find(HandleValue(object), ObjectKind::kBitmap)) {
    return std::exchange(context->bitmap, object);
  }
  return nullptr;
}

COLORREF SetTextColor(HDC dc, COLORREF color) {
  auto context = Dc(dc);
  return context ? std::exchange(context->textColor, color) : 0xFFFFFFFF;
}

COLORREF GetTextColor(HDC dc) {
  auto context = Dc(dc);
  return context ? context->textColor : 0xFFFFFFFF;
}

COLORREF SetBkColor(HDC dc, COLORREF color) {
  auto context = Dc(dc);
  return context ? std::exchange(context->backColor, color) : 0xFFFFFFFF;
}

COLORREF GetBkColor(HDC dc) {
  auto context = Dc(dc);
  return context ? context->backColor : 0xFFFFFFFF;
}

int SetBkMode(HDC dc, int mode) {
  auto context = Dc(dc);
  return context ? std::exchange(context->backMode, mode) : 0;
}

int FillRect(HDC dc, const RECT* rect, HBRUSH brush) {
  auto context = Dc(dc);
  COLORREF color;
  if (!context || rect == nullptr) return 0;
  // A system colour index + 1 stands for that colour's brush, as on Windows.
  auto value = HandleValue(brush);
  if (value > 0 && value <= 32) {
    color = GetSysColor(static_cast<int>(value) - 1);
  } else if (!BrushColor(brush, &color)) {
    return 0;
  }
  ui::gdi::DrawOp op;
  op.kind = ui::gdi::DrawOp::Kind::kFill;
  op.rect = *rect;
  op.color = color;
  context->ops.push_back(op);
  return 1;
}

int DrawTextA(HDC dc, LPCSTR text, int length, RECT* rect, UINT) {
  auto context = Dc(dc);
  if (!context || rect == nullptr) return 0;
  RecordText(*context, *rect, TextOf(text, length));
  return MetricsOfDc(*context).height;
}

BOOL TextOutA(HDC dc, int x, int y, LPCSTR text, int length) {
  auto context = Dc(dc);
  if (!context) return FALSE;
  std::string line = TextOf(text, length);
  auto metrics = MetricsOfDc(*context);
  RECT rect{x, y, x + metrics.averageWidth * static_cast<LONG>(line.size()), y + metrics.height};
  RecordText(*context, rect, std::move(line));
  return TRUE;
}

BOOL ExtTextOutA(HDC dc, int x, int y, UINT, const RECT* rect, LPCSTR text, UINT length,
                 const INT*) {
  auto context = Dc(dc);
  if (!context) return FALSE;
  RECT box = rect != nullptr ? *rect : RECT{x, y, x, y};
  RecordText(*context, box, TextOf(text, static_cast<int>(length)));
  return TRUE;
}

BOOL DrawFocusRect(HDC dc, const RECT* rect) {
  auto context = Dc(dc);
  if (!context || rect == nullptr) return FALSE;
  ui::gdi::DrawOp op;
  op.kind = ui::gdi::DrawOp::Kind::kFocus;
  op.rect = *rect;
  context->ops.push_back(op);
  return TRUE;
}

BOOL GetTextExtentPoint32A(HDC dc, LPCSTR text, int length, SIZE* size) {
  auto context = Dc(dc);
  if (!context || size == nullptr) return FALSE;
  auto metrics = MetricsOfDc(*context);
  size->cx = metrics.averageWidth * static_cast<LONG>(TextOf(text, length).size());
  size->cy = metrics.height;
  return TRUE;
}

BOOL GetTextMetricsA(HDC dc, TEXTMETRICA* out) {
  auto context = Dc(dc);
  if (!context || out == nullptr) return FALSE;
  auto metrics = MetricsOfDc(*context);
  *out = TEXTMETRICA{metrics.height,           metrics.height * 4 / 5,
                     metrics.height / 5,       0,
                     0,                        metrics.averageWidth,
                     metrics.averageWidth * 2, FW_NORMAL};
  return TRUE;
}

int GetDeviceCaps(HDC, int index) {
  return index == LOGPIXELSX || index == LOGPIXELSY ? 96 : 0;
}

namespace ui::gdi {

HDC CreateRecordingDC() { return NewDc(nullptr); }

std::vector<DrawOp> RecordedOps(HDC dc) {
  auto context = Dc(dc);
  return context ? context->ops : std::vector<DrawOp>{};
}

}  // namespace ui::gdi
