// The standard window a skinned control shows itself in ("Button" for a
// button, "Static" for a label), a child of the control's host that fills
// it, with the control's caption and font.
#pragma once

#include <memory>
#include <string>
#include <type_traits>

#include "platform/com/dispatch.h"
#include "platform/ui/user32.h"

class ControlWindow {
 public:
  ControlWindow(const char* className, DWORD style) : m_className(className), m_style(style) {}
  ~ControlWindow() { Destroy(); }
  ControlWindow(const ControlWindow&) = delete;
  ControlWindow& operator=(const ControlWindow&) = delete;

  // Makes the window in host; proc, when given, subclasses it (the window's
  // user data is then self).
  HRESULT Create(HWND host, const RECT* rect, WNDPROC proc, void* self, HWND* window);
  void Move(const RECT* rect);
  void Destroy();

  HWND Window() const { return m_window; }
  HWND Host() const { return m_host; }
  // The window procedure the subclass hands on to.
  WNDPROC Original() const { return m_original; }

  // The properties every skinned control has: Caption and Font;
  // DISP_E_MEMBERNOTFOUND for any other.
  HRESULT InvokeProperty(DISPID id, WORD flags, DISPPARAMS* params, VARIANT* result,
                         UINT* argumentError);

  const std::string& Caption() const { return m_caption; }
  void SetCaption(std::string caption);
  const std::string& FontFace() const { return m_fontFace; }
  void SetFontFace(std::string face);
  bool Enabled() const { return m_enabled; }
  // Enables or disables the window and its host, so that a person's click on
  // either goes nowhere while disabled.
  void SetEnabled(bool enabled);

 private:
  struct FontDeleter {
    void operator()(HFONT font) const;
  };
  void ApplyFont();

  const char* m_className;
  DWORD m_style;
  std::string m_caption;
  std::string m_fontFace;
  bool m_enabled = true;
  HWND m_host = nullptr;
  HWND m_window = nullptr;
  WNDPROC m_original = nullptr;
  std::unique_ptr<std::remove_pointer_t<HFONT>, FontDeleter> m_font;
};
