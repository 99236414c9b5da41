// Making a dialog from its template: the window in pixels from dialog
// units of the template's font, every control in template order (which is
// the tab order), WM_SETFONT to each, then WM_INITDIALOG and the first focus.
#include <algorithm>

#include "platform/base/last_error.h"
#include "platform/ui/core/dialog_state.h"
#include "platform/ui/core/fonts.h"
#include "platform/ui/dialog.h"
#include "platform/ui/message_api.h"
#include "platform/ui/ole.h"
#include "platform/ui/resources.h"
#include "platform/ui/std_controls.h"

namespace ui::core {

namespace {

constexpr const char* kSystemFace = "MS Sans Serif";
constexpr int kSystemPointSize = 8;

RECT DialogUnitsToPixels(const ui::gdi::FontMetrics& units, short x, short y, short cx, short cy) {
  // The rounding of MulDiv, as MapDialogRect does it.
  auto scale = [](int value, int base, int divisor) {
    long long product = static_cast<long long>(value) * base;
    return static_cast<LONG>((product + (product >= 0 ? divisor / 2 : -divisor / 2)) / divisor);
  };
  LONG left = scale(x, units.averageWidth, 4);
  LONG top = scale(y, units.height, 8);
  return RECT{left, top, left + scale(cx, units.averageWidth, 4), top + scale(cy, units.height, 8)};
}

void PlaceDialog(HWND owner, const DialogTemplate& dialog, RECT* rect) {
  LONG width = rect->right - rect->left;
  LONG height = rect->bottom - rect->top;
  RECT area{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  bool center = (dialog.style & DS_CENTER) != 0;
  if (owner != nullptr && IsWindow(owner)) {
    GetWindowRect(owner, &area);
    if (!center && !(dialog.style & DS_ABSALIGN)) {
      // Template positions count from the owner's client area.
      rect->left += area.left;
      rect->top += area.top;
    }
  }
  if (center) {
    rect->left = area.left + ((area.right - area.left) - width) / 2;
    rect->top = area.top + ((area.bottom - area.top) - height) / 2;
  }
  rect->right = rect->left + width;
  rect->bottom = rect->top + height;
}

}  // namespace

DialogState* DialogOf(HWND window) { return ControlOf<DialogState>(window); }

HWND CreateDialogFromTemplate(HINSTANCE instance, const DialogTemplate& dialog, HWND owner,
                              DLGPROC proc, LPARAM param) {
  FontStyle font{kSystemFace, kSystemPointSize, false};
  if ((dialog.style & DS_SETFONT) && !dialog.fontFace.empty()) {
    font = FontStyle{dialog.fontFace, dialog.pointSize > 0 ? dialog.pointSize : kSystemPointSize, false};
  }
  ui::gdi::FontMetrics units = ui::gdi::MetricsOf(font.face, font.pointSize, font.bold);
  RECT rect = DialogUnitsToPixels(units, dialog.x, dialog.y, dialog.cx, dialog.cy);
  bool child = (dialog.style & WS_CHILD) != 0;
  if (!child) PlaceDialog(owner, dialog, &rect);
  HWND window = CreateWindowExA(dialog.exStyle, WC_DIALOG, dialog.caption.c_str(),
                                dialog.style & ~WS_VISIBLE, rect.left, rect.top,
                                rect.right - rect.left, rect.bottom - rect.top, owner, nullptr,
                                instance, nullptr);
  if (window == nullptr) return nullptr;
  auto state = std::make_unique<DialogState>();
  state->font = MakeFont(font);
  state->units = units;
  state->templateId = dialog.id;
  DialogState* dialogState = state.get();
  SetControlState(window, std::move(state));
  SendMessageA(window, WM_SETFONT, reinterpret_cast<WPARAM>(dialogState->font), 0);
  SetWindowLongPtrA(window, DWLP_DLGPROC, reinterpret_cast<LONG_PTR>(proc));

  for (const DialogItemTemplate& item : dialog.items) {
    RECT place = DialogUnitsToPixels(units, item.x, item.y, item.cx, item.cy);
    bool embedded = !item.className.empty() && item.className.front() == '{';
    const char* className = embedded ? kControlHostClass : item.className.c_str();
    HWND control = CreateWindowExA(
        item.exStyle, className, item.text.c_str(), item.style | WS_CHILD, place.left, place.top,
        place.right - place.left, place.bottom - place.top, window,
        reinterpret_cast<HMENU>(static_cast<UINT_PTR>(static_cast<WORD>(item.id))), instance,
        embedded ? const_cast<DialogItemTemplate*>(&item) : nullptr);
    if (control == nullptr) {
      // As on Windows, a dialog whose control cannot be made is not made.
      DWORD error = GetLastError();
      DestroyWindow(window);
      SetLastError(error != 0 ? error : ERROR_CANNOT_FIND_WND_CLASS);
      return nullptr;
    }
    SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(dialogState->font), 0);
    if ((item.style & BS_TYPEMASK) == BS_DEFPUSHBUTTON && item.className == "Button" &&
        dialogState->defaultId == 0) {
      dialogState->defaultId = item.id;
    }
  }

  HWND first = GetNextDlgTabItem(window, nullptr, FALSE);
  LRESULT focus = SendMessageA(window, WM_INITDIALOG, reinterpret_cast<WPARAM>(first), param);
  if (!IsWindow(window)) return nullptr;
  if (focus != 0 && first != nullptr) {
    SetFocus(first);
    if (auto* current = DialogOf(window)) current->savedFocus = first;
  }
  if (dialog.style & WS_VISIBLE) ShowWindow(window, SW_SHOW);
  return window;
}

}  // namespace ui::core

using namespace ui::core;

HWND CreateDialogIndirectParamA(HINSTANCE instance, const DialogTemplate* dialog, HWND owner,
                                DLGPROC proc, LPARAM param) {
  if (dialog == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  return CreateDialogFromTemplate(instance, *dialog, owner, proc, param);
}

HWND CreateDialogParamA(HINSTANCE instance, LPCSTR templateName, HWND owner, DLGPROC proc,
                        LPARAM param) {
  const DialogTemplate* dialog = FindDialogTemplate(instance, templateName);
  if (dialog == nullptr) return nullptr;
  return CreateDialogFromTemplate(instance, *dialog, owner, proc, param);
}

BOOL MapDialogRect(HWND dialog, RECT* rect) {
  DialogState* state = DialogOf(dialog);
  if (state == nullptr || rect == nullptr) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  RECT from = *rect;
  RECT corner = DialogUnitsToPixels(state->units, static_cast<short>(from.left),
                                    static_cast<short>(from.top), 0, 0);
  RECT end = DialogUnitsToPixels(state->units, static_cast<short>(from.right),
                                 static_cast<short>(from.bottom), 0, 0);
  *rect = RECT{corner.left, corner.top, end.left, end.top};
  return TRUE;
}

LONG GetDialogBaseUnits() {
  auto units = ui::gdi::MetricsOf(kSystemFace, kSystemPointSize, false);
  return static_cast<LONG>(MAKELONG(static_cast<WORD>(units.averageWidth), static_cast<WORD>(units.height)));
}
