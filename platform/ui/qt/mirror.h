// A window's mirror: the widget that shows one window of the window system,
// kept current from the window's state (read through the driver's models on
// the window's thread, which is the front-end's).
#pragma once

#include <QPointer>
#include <QWidget>

#include <memory>
#include <string>

#include "platform/ui/driver.h"
#include "platform/ui/window_look.h"

namespace ui::qt {

class FrontEnd;

class Mirror {
 public:
  Mirror(HWND window, FrontEnd& frontEnd) : m_window(window), m_frontEnd(frontEnd) {}
  virtual ~Mirror();
  Mirror(const Mirror&) = delete;
  Mirror& operator=(const Mirror&) = delete;

  HWND Window() const { return m_window; }
  QWidget* Widget() const { return m_widget; }
  // Where the widgets of this window's children go.
  virtual QWidget* ChildArea() const { return m_widget; }

  // Brings the widget up to date after a change of the window.
  virtual void Refresh(driver::Change change, int first, int count);
  // Everything afresh (after creation).
  void RefreshAll();

 protected:
  // Takes ownership of widget (unless Qt's parent owns it) and shows the
  // window's common state on it.
  void Adopt(QWidget* widget);
  virtual void RefreshText() {}
  virtual void RefreshContent() {}
  virtual void RefreshGeometry();
  virtual void RefreshState();
  // The window's own look (colours, font, a button's face), or the
  // desktop's style when it has none.
  void RefreshLook();
  FrontEnd& Front() const { return m_frontEnd; }
  driver::WindowInfo Info() const;

 private:
  HWND m_window;
  FrontEnd& m_frontEnd;
  QPointer<QWidget> m_widget;
};

// The mirror that fits window's class, its widget a child of parent (null
// for a top-level window).
std::unique_ptr<Mirror> MakeMirror(HWND window, QWidget* parent, FrontEnd& frontEnd);

// The Qt font for a window's face and point size: the faces dialogs name are
// Windows' own, shown in the desktop's sans face at the same pixel size. A
// look that names a face of the desktop has it.
QFont FontFor(const driver::WindowInfo& info);
QFont FontFor(const driver::WindowInfo& info, const ui::WindowLook* look);
// Shows widget in look (null: the desktop's style again).
void ApplyLook(QWidget* widget, const ui::WindowLook* look);
// Narrows the widget's font, a pixel at a time down to a readable size, until
// text (plus extra pixels of the widget's own: a check box's box) fits its
// width in one line: templates size their controls for Windows' faces.
void FitText(QWidget* widget, const QString& text, int extra);
// An image of the window system as a pixmap.
class QPixmap PixmapOf(const ui::Pixels& pixels);
QString Text(const std::string& text);
// The text without the mnemonic marks ("&Yes" is shown as "Yes").
QString Caption(const std::string& text);

}  // namespace ui::qt
