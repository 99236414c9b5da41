// The standard window of a skinned control.
#include "suite/skin/control_window.h"

#include <utility>

#include "platform/ui/gdi.h"
#include "suite/skin/control_dispatch.h"
#include "suite/skin/skin_controls.h"

namespace {

// The templates' faces are shown at the dialogs' own size.
constexpr int kFontPoints = 8;
constexpr int kScreenDpi = 96;

}  // namespace

void ControlWindow::FontDeleter::operator()(HFONT font) const { DeleteObject(font); }

HRESULT ControlWindow::CreateControlWindow(HWND host, const RECT* rect, HWND* window) {
  if (rect == nullptr || window == nullptr || m_window != nullptr) return E_UNEXPECTED;
  m_host = host;
  m_window = CreateWindowExA(0, WindowClass(), m_caption.c_str(),
                             WS_CHILD | WS_VISIBLE | WindowStyle() | (m_enabled ? 0 : WS_DISABLED),
                             rect->left, rect->top, rect->right - rect->left,
                             rect->bottom - rect->top, host,
                             reinterpret_cast<HMENU>(static_cast<UINT_PTR>(GetDlgCtrlID(host))),
                             nullptr, nullptr);
  *window = m_window;
  if (m_window == nullptr) return E_FAIL;
  if (WNDPROC proc = Subclass()) {
    SetWindowLongPtrA(m_window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    m_original = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(m_window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(proc)));
  }
  if (!m_enabled) EnableWindow(m_host, FALSE);
  ApplyFont();
  if (m_look) ui::SetWindowLook(m_window, &*m_look);
  return S_OK;
}

HRESULT ControlWindow::MoveControlWindow(const RECT* rect) {
  if (rect == nullptr || m_window == nullptr) return E_UNEXPECTED;
  MoveWindow(m_window, rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top,
             TRUE);
  return S_OK;
}

HRESULT ControlWindow::DestroyControlWindow() {
  if (IsWindow(m_window)) DestroyWindow(m_window);
  m_window = nullptr;
  m_host = nullptr;
  return S_OK;
}

HRESULT ControlWindow::InvokeProperty(DISPID id, WORD flags, DISPPARAMS* params, VARIANT* result,
                                      UINT* argumentError) {
  if (id != kCaptionId && id != kFontId) return DISP_E_MEMBERNOTFOUND;
  const std::string& current = id == kCaptionId ? m_caption : m_fontFace;
  if ((flags & DISPATCH_PROPERTYPUT) == 0) return ReturnText(current, result);
  std::string text;
  HRESULT outcome = TextArgument(params, &text, argumentError);
  if (FAILED(outcome)) return outcome;
  if (id == kCaptionId) {
    SetCaption(std::move(text));
  } else {
    SetFontFace(std::move(text));
  }
  return S_OK;
}

void ControlWindow::SetCaption(std::string caption) {
  m_caption = std::move(caption);
  if (m_window != nullptr) SetWindowTextA(m_window, m_caption.c_str());
}

void ControlWindow::SetFontFace(std::string face) {
  m_fontFace = std::move(face);
  ApplyFont();
}

HRESULT ControlWindow::ApplySkin(DISPPARAMS* params, ui::WindowLook Skin::*part) {
  ComPtr<ISkinSource> source;
  HRESULT outcome = ContainerArgument(params, &source);
  if (FAILED(outcome)) return outcome;
  const Skin* skin = source ? source->CurrentSkin() : nullptr;
  if (skin != nullptr) {
    m_look = skin->*part;
  } else {
    m_look.reset();
  }
  if (m_window != nullptr) ui::SetWindowLook(m_window, m_look ? &*m_look : nullptr);
  return S_OK;
}

void ControlWindow::SetEnabled(bool enabled) {
  m_enabled = enabled;
  if (m_window == nullptr) return;
  EnableWindow(m_host, enabled ? TRUE : FALSE);
  EnableWindow(m_window, enabled ? TRUE : FALSE);
}

void ControlWindow::ApplyFont() {
  if (m_window == nullptr || m_fontFace.empty()) return;
  m_font.reset(CreateFontA(-((kFontPoints * kScreenDpi + 36) / 72), 0, 0, 0, FW_NORMAL, 0, 0, 0,
                           0, 0, 0, 0, 0, m_fontFace.c_str()));
  if (m_font) SendMessageA(m_window, WM_SETFONT, reinterpret_cast<WPARAM>(m_font.get()), TRUE);
}
