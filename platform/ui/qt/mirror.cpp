// The common part of every mirror: geometry, enable, show, font, focus.
#include "platform/ui/qt/mirror.h"

#include <QImage>
#include <QFontMetricsF>
#include <QPixmap>

#include <map>

#include <strings.h>

#include "platform/ui/gdi.h"
#include "platform/ui/qt/controls.h"
#include "platform/ui/window_styles.h"

namespace ui::qt {

Mirror::~Mirror() {
  // A child's widget goes with its parent's; one destroyed alone goes here.
  if (m_widget != nullptr) delete m_widget.data();
}

driver::WindowInfo Mirror::Info() const {
  driver::WindowInfo info;
  driver::GetWindowInfo(m_window, &info);
  return info;
}

void Mirror::Adopt(QWidget* widget) {
  m_widget = widget;
  widget->setAttribute(Qt::WA_DeleteOnClose, false);
  RefreshAll();
}

void Mirror::RefreshAll() {
  if (m_widget == nullptr) return;
  RefreshGeometry();
  RefreshText();
  RefreshContent();
  RefreshState();
}

void Mirror::RefreshGeometry() {
  driver::WindowInfo info = Info();
  QRect rect(info.rect.left, info.rect.top, info.rect.right - info.rect.left,
             info.rect.bottom - info.rect.top);
  if (info.parent == nullptr) {
    // A top-level window's rectangle is its client area; the desktop adds
    // the frame around it.
    m_widget->resize(rect.size());
    m_widget->move(rect.topLeft());
  } else {
    m_widget->setGeometry(rect);
  }
  m_widget->setFont(FontFor(info));
}

void Mirror::RefreshState() {
  driver::WindowInfo info = Info();
  m_widget->setEnabled(info.enabled);
  if (info.visible != m_widget->isVisible() || m_widget->isHidden() == info.visible) {
    m_widget->setVisible(info.visible);
  }
  if (info.focused && m_widget->focusPolicy() != Qt::NoFocus && !m_widget->hasFocus()) {
    m_widget->setFocus(Qt::OtherFocusReason);
  }
}

void Mirror::Refresh(driver::Change change, int, int) {
  if (m_widget == nullptr) return;
  switch (change) {
    case driver::Change::kGeometry:
      RefreshGeometry();
      break;
    case driver::Change::kState:
      RefreshState();
      RefreshContent();
      break;
    case driver::Change::kText:
      RefreshText();
      break;
    default:
      RefreshContent();
      m_widget->update();
      break;
  }
}

QFont FontFor(const driver::WindowInfo& info) {
  // The window system laid the dialog out in dialog units of the face the
  // template names, at that face's average character width. The desktop's
  // face is wider than Windows' dialog faces, so it is shown at the largest
  // size whose average character is no wider: the texts then fit where the
  // template put them.
  int points = info.fontPointSize > 0 ? info.fontPointSize : 8;
  static std::map<std::pair<std::string, int>, int> sizes;
  auto key = std::make_pair(info.fontFace, points);
  auto it = sizes.find(key);
  if (it == sizes.end()) {
    int average = ui::gdi::MetricsOf(info.fontFace, points, false).averageWidth;
    static const QString kAlphabet = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";
    int pixels = (points * 96 + 36) / 72;
    for (; pixels > 6; --pixels) {
      QFont probe("DejaVu Sans");
      probe.setPixelSize(pixels);
      double width = QFontMetricsF(probe).horizontalAdvance(kAlphabet) / kAlphabet.size();
      if (width <= average + 0.25) break;
    }
    it = sizes.emplace(key, pixels).first;
  }
  QFont font("DejaVu Sans");
  font.setPixelSize(it->second);
  return font;
}

void FitText(QWidget* widget, const QString& text, int extra) {
  constexpr int kSmallest = 8;
  QFont font = widget->font();
  while (font.pixelSize() > kSmallest &&
         QFontMetrics(font).horizontalAdvance(Caption(text.toStdString())) + extra > widget->width()) {
    font.setPixelSize(font.pixelSize() - 1);
  }
  widget->setFont(font);
}

QPixmap PixmapOf(const ui::Pixels& pixels) {
  if (pixels.width <= 0 || pixels.height <= 0) return {};
  QImage image(reinterpret_cast<const uchar*>(pixels.data.data()), pixels.width, pixels.height,
               pixels.width * 4, QImage::Format_ARGB32);
  return QPixmap::fromImage(image.copy());
}

QString Text(const std::string& text) { return QString::fromUtf8(text.data(), static_cast<int>(text.size())); }

QString Caption(const std::string& text) {
  std::string plain;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '&') {
      plain += text[i];
    } else if (i + 1 < text.size() && text[i + 1] == '&') {
      plain += '&';
      ++i;
    }
  }
  return Text(plain);
}

std::unique_ptr<Mirror> MakeMirror(HWND window, QWidget* parent, FrontEnd& frontEnd) {
  driver::WindowInfo info;
  if (!driver::GetWindowInfo(window, &info)) return nullptr;
  const char* name = info.className.c_str();
  auto is = [name](const char* className) { return strcasecmp(name, className) == 0; };
  if (parent == nullptr) return MakeTopLevelMirror(window, frontEnd);
  if (is("Button")) return MakeButtonMirror(window, parent, frontEnd);
  if (is("Static")) return MakeStaticMirror(window, parent, frontEnd);
  if (is("Edit")) return MakeEditMirror(window, parent, frontEnd);
  if (is("ComboBox")) return MakeComboMirror(window, parent, frontEnd);
  if (is("ListBox")) return MakeListBoxMirror(window, parent, frontEnd);
  if (is("SysListView32")) return MakeListViewMirror(window, parent, frontEnd);
  if (is("SysTreeView32")) return MakeTreeViewMirror(window, parent, frontEnd);
  if (is("msctls_progress32")) return MakeProgressMirror(window, parent, frontEnd);
  if (is("msctls_statusbar32")) return MakeStatusBarMirror(window, parent, frontEnd);
  if (is("AtlAxWin")) return MakeHostMirror(window, parent, frontEnd);
  if (driver::Model<driver::PageModel>(window) != nullptr) return MakePageMirror(window, parent, frontEnd);
  return MakePanelMirror(window, parent, frontEnd);
}

}  // namespace ui::qt
