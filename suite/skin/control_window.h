// The standard window a skinned control shows itself in ("Button" for a
// button, "Static" for a label), a child of the control's host that fills
// it, with the control's caption and font: the controls' IHostedControl.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <type_traits>

#include "platform/com/dispatch.h"
#include "platform/ui/ole/control_host.h"
#include "platform/ui/user32.h"
#include "platform/ui/window_look.h"
#include "suite/skin/skin_file.h"

class ControlWindow : public IHostedControl {
 public:
  ControlWindow() = default;
  ControlWindow(const ControlWindow&) = delete;
  ControlWindow& operator=(const ControlWindow&) = delete;

  HRESULT CreateControlWindow(HWND host, const RECT* rect, HWND* window) override;
  HRESULT MoveControlWindow(const RECT* rect) override;
  HRESULT DestroyControlWindow() override;

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
  // ApplySkin's call: the window shown in its part of the container's skin,
  // or in the desktop's look when the container has none.
  HRESULT ApplySkin(DISPPARAMS* params, ui::WindowLook Skin::*part);

  bool Enabled() const { return m_enabled; }
  // Enables or disables the window and its host, so that a person's click on
  // either goes nowhere while disabled.
  void SetEnabled(bool enabled);

 protected:
  // The control ends its window in its own destructor, while the object
  // its procedure reaches is whole.
  ~ControlWindow() = default;

  // The control's kind of window: its class and style, and a procedure that
  // subclasses it (the window's user data is then this object) or null.
  virtual const char* WindowClass() const = 0;
  virtual DWORD WindowStyle() const = 0;
  virtual WNDPROC Subclass() const { return nullptr; }

 private:
  struct FontDeleter {
    void operator()(HFONT font) const;
  };
  void ApplyFont();


  std::string m_caption;
  std::string m_fontFace;
  bool m_enabled = true;
  std::optional<ui::WindowLook> m_look;
  HWND m_host = nullptr;
  HWND m_window = nullptr;
  WNDPROC m_original = nullptr;
  std::unique_ptr<std::remove_pointer_t<HFONT>, FontDeleter> m_font;
};
