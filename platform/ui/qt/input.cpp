// The person's mouse and keys, into the driver.
#include "platform/ui/qt/input.h"

#include <QKeyEvent>
#include <QAbstractItemView>
#include <QDropEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QUrl>

#include "platform/ui/messages.h"

namespace ui::qt {

namespace {

int VirtualKeyOf(int key) {
  switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
      return VK_RETURN;
    case Qt::Key_Escape:
      return VK_ESCAPE;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
      return VK_TAB;
    case Qt::Key_Backspace:
      return VK_BACK;
    case Qt::Key_Delete:
      return VK_DELETE;
    case Qt::Key_Insert:
      return VK_INSERT;
    case Qt::Key_Up:
      return VK_UP;
    case Qt::Key_Down:
      return VK_DOWN;
    case Qt::Key_Left:
      return VK_LEFT;
    case Qt::Key_Right:
      return VK_RIGHT;
    case Qt::Key_Home:
      return VK_HOME;
    case Qt::Key_End:
      return VK_END;
    case Qt::Key_PageUp:
      return VK_PRIOR;
    case Qt::Key_PageDown:
      return VK_NEXT;
    case Qt::Key_Space:
      return VK_SPACE;
    case Qt::Key_Menu:
      return VK_APPS;
    default:
      break;
  }
  if (key >= Qt::Key_F1 && key <= Qt::Key_F12) return VK_F1 + (key - Qt::Key_F1);
  if ((key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9)) return key;
  return 0;
}

}  // namespace

DWORD KeysOf(const QMouseEvent& event) {
  DWORD keys = 0;
  if (event.modifiers() & Qt::ControlModifier) keys |= MK_CONTROL;
  if (event.modifiers() & Qt::ShiftModifier) keys |= MK_SHIFT;
  return keys;
}

bool ForwardKey(HWND window, const QKeyEvent& event) {
  bool control = (event.modifiers() & Qt::ControlModifier) != 0;
  bool shift = (event.modifiers() & Qt::ShiftModifier) != 0 || event.key() == Qt::Key_Backtab;
  bool alt = (event.modifiers() & Qt::AltModifier) != 0;
  int key = VirtualKeyOf(event.key());
  QString text = event.text();
  // Letters, digits and named keys go as keys, as a keyboard sends them
  // (hooks and accelerators see them); any other character, as the
  // character it types.
  if (key != 0) {
    driver::PressKey(window, key, control, shift, alt);
    return true;
  }
  if (!text.isEmpty() && !control && !alt && text.at(0).isPrint()) {
    driver::TypeText(window, text.toStdString());
    return true;
  }
  return false;
}

InputFilter::InputFilter(HWND window, Kind kind, QObject* parent)
    : QObject(parent), m_window(window), m_kind(kind) {}

bool InputFilter::eventFilter(QObject*, QEvent* event) {
  switch (event->type()) {
    case QEvent::KeyPress:
      return ForwardKey(m_window, *static_cast<QKeyEvent*>(event));
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
      return true;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseButtonRelease: {
      if (m_kind == Kind::kKeysOnly) return false;
      auto* mouse = static_cast<QMouseEvent*>(event);
      if (event->type() == QEvent::MouseButtonRelease && mouse->button() == Qt::LeftButton) {
        driver::Click(m_window);
      } else if (event->type() == QEvent::MouseButtonDblClick && mouse->button() == Qt::LeftButton) {
        driver::DoubleClick(m_window);
      }
      return true;
    }
    default:
      return false;
  }
}

RowClickFilter::RowClickFilter(HWND window, QAbstractItemView* view, bool backgroundClicks)
    : QObject(view), m_window(window), m_view(view), m_backgroundClicks(backgroundClicks) {
  view->viewport()->installEventFilter(this);
}

bool RowClickFilter::eventFilter(QObject*, QEvent* event) {
  if (event->type() != QEvent::MouseButtonPress && event->type() != QEvent::MouseButtonDblClick &&
      event->type() != QEvent::MouseButtonRelease) {
    return false;
  }
  auto* mouse = static_cast<QMouseEvent*>(event);
  QModelIndex at = m_view->indexAt(mouse->position().toPoint());
  int row = at.isValid() ? at.row() : -1;
  bool left = mouse->button() == Qt::LeftButton;
  if (event->type() == QEvent::MouseButtonPress && left && (row >= 0 || m_backgroundClicks)) {
    driver::ClickRow(m_window, row, KeysOf(*mouse));
  } else if (event->type() == QEvent::MouseButtonDblClick && left && row >= 0) {
    driver::DoubleClickRow(m_window, row);
  } else if (event->type() == QEvent::MouseButtonPress && mouse->button() == Qt::RightButton) {
    driver::RightClickRow(m_window, row);
  }
  return true;
}

FileDropFilter::FileDropFilter(HWND window, QWidget* widget, Where where)
    : QObject(widget), m_window(window), m_where(std::move(where)) {
  widget->setAcceptDrops(true);
  widget->installEventFilter(this);
}

bool FileDropFilter::eventFilter(QObject*, QEvent* event) {
  switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
      auto* drag = static_cast<QDragMoveEvent*>(event);
      if (!drag->mimeData()->hasUrls()) return false;
      drag->acceptProposedAction();
      return true;
    }
    case QEvent::Drop: {
      auto* drop = static_cast<QDropEvent*>(event);
      std::vector<std::string> files;
      for (const QUrl& url : drop->mimeData()->urls()) {
        if (url.isLocalFile()) files.push_back(url.toLocalFile().toStdString());
      }
      if (files.empty()) return false;
      int row = -1;
      HTREEITEM item = nullptr;
      if (m_where) m_where(drop->position().toPoint(), &row, &item);
      DWORD keys = (drop->modifiers() & Qt::ControlModifier) ? MK_CONTROL : 0;
      if (drop->modifiers() & Qt::ShiftModifier) keys |= MK_SHIFT;
      driver::DropFiles(m_window, files, row, item, keys);
      drop->acceptProposedAction();
      return true;
    }
    default:
      return false;
  }
}

}  // namespace ui::qt
