// A person's mouse and keyboard on a mirrored widget become the driver's
// actions on its window, so the window system sees the messages a person's
// action on Windows gives; the widget itself does nothing with them and
// shows only what the window system then says.
#pragma once

#include <QObject>
#include <QPoint>
#include <QWidget>

#include <functional>

#include "platform/ui/driver.h"

class QAbstractItemView;
class QKeyEvent;
class QMouseEvent;

namespace ui::qt {

class InputFilter : public QObject {
 public:
  enum class Kind {
    kClick,   // buttons, statics, edit boxes, anything else: the window is clicked
    kKeysOnly // lists and trees handle their own mouse; only keys pass here
  };
  InputFilter(HWND window, Kind kind, QObject* parent);
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  HWND m_window;
  Kind m_kind;
};

// Clicks on the rows of an item view (a table or a list): the rows are the
// list control's, so a press becomes the driver's click on that row (or on
// the background, where the control takes that click), a double click and a
// right click likewise; the view's own selection follows from the control.
class RowClickFilter : public QObject {
 public:
  RowClickFilter(HWND window, QAbstractItemView* view, bool backgroundClicks);
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  HWND m_window;
  QAbstractItemView* m_view;
  bool m_backgroundClicks;
};

// Files dragged from the desktop's file manager onto a mirrored widget:
// dropped on its window (on the row or item under the pointer) as files from
// outside, which the window system delivers as CF_HDROP.
class FileDropFilter : public QObject {
 public:
  using Where = std::function<void(QPoint point, int* row, HTREEITEM* item)>;
  FileDropFilter(HWND window, QWidget* widget, Where where = nullptr);
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  HWND m_window;
  Where m_where;
};

// Sends a key event as the driver's key press or typed text; true when it
// was one the window system takes.
bool ForwardKey(HWND window, const QKeyEvent& event);
// The keys held during a mouse event, as MK_* flags.
DWORD KeysOf(const QMouseEvent& event);

}  // namespace ui::qt
