// Windows' own looks as a style of their widgets: the palette's colours,
// and for a button with a face picture a style that paints the face (kept
// edges, stretched middle) where the desktop's style paints its bevel.
#include <QPainter>
#include <QProxyStyle>
#include <QStyleOption>
#include <QtWidgets/qdrawutil.h>

#include <algorithm>

#include "platform/ui/qt/mirror.h"

namespace ui::qt {

namespace {

class FaceStyle final : public QProxyStyle {
 public:
  FaceStyle(QPixmap face, QPixmap pressed)
      : m_face(std::move(face)), m_pressed(std::move(pressed)) {}

  void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override {
    if (element != PE_PanelButtonCommand && element != PE_PanelButtonBevel) {
      QProxyStyle::drawPrimitive(element, option, painter, widget);
      return;
    }
    const bool down = (option->state & (State_Sunken | State_On)) != 0;
    const QPixmap& picture = down && !m_pressed.isNull() ? m_pressed : m_face;
    const int edge = std::min(picture.width(), picture.height()) / 3;
    painter->save();
    if ((option->state & State_Enabled) == 0) painter->setOpacity(0.45);
    qDrawBorderPixmap(painter, option->rect, QMargins(edge, edge, edge, edge), picture);
    painter->restore();
  }

 private:
  QPixmap m_face;
  QPixmap m_pressed;
};

QColor ColorOf(COLORREF color) {
  return QColor(GetRValue(color), GetGValue(color), GetBValue(color));
}

}  // namespace

void ApplyLook(QWidget* widget, const ui::WindowLook* look) {
  // Widgets that never had a look keep what their mirrors gave them.
  constexpr const char* kHasLook = "qapHasLook";
  if (look == nullptr && !widget->property(kHasLook).toBool()) return;
  widget->setProperty(kHasLook, look != nullptr);
  FaceStyle* previous = widget->findChild<FaceStyle*>(QString(), Qt::FindDirectChildrenOnly);
  // An empty palette inherits every colour: the desktop's style again.
  QPalette palette;
  bool filled = false;
  if (look != nullptr && look->textColor != kDefaultColor) {
    for (auto role : {QPalette::WindowText, QPalette::ButtonText, QPalette::Text}) {
      palette.setColor(role, ColorOf(look->textColor));
    }
  }
  if (look != nullptr && look->backColor != kDefaultColor) {
    for (auto role : {QPalette::Window, QPalette::Button, QPalette::Base}) {
      palette.setColor(role, ColorOf(look->backColor));
    }
    filled = true;
  }
  widget->setPalette(palette);
  FaceStyle* style = nullptr;
  if (look != nullptr && look->face.width > 0) {
    style = new FaceStyle(PixmapOf(look->face), PixmapOf(look->pressedFace));
    style->setParent(widget);
  } else {
    widget->setAutoFillBackground(filled);
  }
  widget->setStyle(style);
  delete previous;
}

}  // namespace ui::qt
