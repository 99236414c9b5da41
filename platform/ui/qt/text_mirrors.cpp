// Static text and images, and edit boxes: text, caret and selection as the
// window system keeps them; the person's keys go to the window system, which
// changes the text.
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>

#include "platform/ui/qt/controls.h"
#include "platform/ui/qt/input.h"
#include "platform/ui/std_controls.h"
#include "platform/ui/window_styles.h"

namespace ui::qt {

namespace {

class StaticMirror : public Mirror {
 public:
  StaticMirror(HWND window, QWidget* parent, FrontEnd& frontEnd) : Mirror(window, frontEnd) {
    m_label = new QLabel(parent);
    m_label->installEventFilter(new InputFilter(window, InputFilter::Kind::kClick, m_label));
    Adopt(m_label);
  }

 protected:
  void RefreshText() override { RefreshContent(); }

  void RefreshContent() override {
    driver::WindowInfo info = Info();
    DWORD type = info.style & SS_TYPEMASK;
    auto* model = driver::Model<driver::StaticModel>(Window());
    ui::Pixels pixels;
    if (model != nullptr && type == SS_ICON && driver::GetIconImage(model->Icon(), &pixels)) {
      m_label->setPixmap(PixmapOf(pixels));
      return;
    }
    if (model != nullptr && type == SS_BITMAP && driver::GetBitmapImage(model->Bitmap(), &pixels)) {
      m_label->setPixmap(PixmapOf(pixels));
      return;
    }
    // SS_NOPREFIX shows an "&" as it is; otherwise it marks a mnemonic.
    m_label->setText((info.style & SS_NOPREFIX) ? Text(info.text) : Caption(info.text));
    // A label one line high stays one line, as its template meant it.
    bool oneLine = m_label->height() < 2 * m_label->fontMetrics().height();
    m_label->setWordWrap(!oneLine && (type == SS_LEFT || type == SS_CENTER || type == SS_RIGHT));
    if (oneLine) FitText(m_label, Text(info.text), 0);
    Qt::Alignment align = type == SS_CENTER ? Qt::AlignHCenter : type == SS_RIGHT ? Qt::AlignRight
                                                                                  : Qt::AlignLeft;
    m_label->setAlignment(align | Qt::AlignTop);
    if (info.style & SS_SUNKEN) m_label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  }

 private:
  QLabel* m_label;
};

class EditMirror : public Mirror {
 public:
  EditMirror(HWND window, QWidget* parent, FrontEnd& frontEnd) : Mirror(window, frontEnd) {
    if (Info().style & ES_MULTILINE) {
      m_lines = new QPlainTextEdit(parent);
      m_lines->setReadOnly(true);
      m_lines->viewport()->installEventFilter(new InputFilter(window, InputFilter::Kind::kClick, m_lines));
      m_lines->installEventFilter(new InputFilter(window, InputFilter::Kind::kClick, m_lines));
      Adopt(m_lines);
    } else {
      m_line = new QLineEdit(parent);
      m_line->installEventFilter(new InputFilter(window, InputFilter::Kind::kClick, m_line));
      Adopt(m_line);
    }
  }

 protected:
  void RefreshText() override { RefreshContent(); }

  void RefreshContent() override {
    driver::WindowInfo info = Info();
    auto* model = driver::Model<driver::EditModel>(Window());
    if (m_lines != nullptr) {
      if (m_lines->toPlainText() != Text(info.text)) m_lines->setPlainText(Text(info.text));
      return;
    }
    QString text = Text(info.text);
    if (m_line->text() != text) m_line->setText(text);
    m_line->setEchoMode((info.style & ES_PASSWORD) ? QLineEdit::Password : QLineEdit::Normal);
    m_line->setReadOnly(model != nullptr && model->ReadOnly());
    m_line->setFrame((info.style & WS_BORDER) != 0 || (info.exStyle & WS_EX_CLIENTEDGE) != 0);
    if (model != nullptr) {
      // Byte offsets of the code page's text, as characters of the widget.
      int start = QString::fromUtf8(info.text.substr(0, static_cast<size_t>(model->SelectionStart())).c_str()).size();
      int end = QString::fromUtf8(info.text.substr(0, static_cast<size_t>(model->SelectionEnd())).c_str()).size();
      if (end > start) {
        m_line->setSelection(start, end - start);
      } else {
        m_line->setCursorPosition(end);
      }
    }
  }

 private:
  QLineEdit* m_line = nullptr;
  QPlainTextEdit* m_lines = nullptr;
};

}  // namespace

std::unique_ptr<Mirror> MakeStaticMirror(HWND window, QWidget* parent, FrontEnd& frontEnd) {
  return std::make_unique<StaticMirror>(window, parent, frontEnd);
}

std::unique_ptr<Mirror> MakeEditMirror(HWND window, QWidget* parent, FrontEnd& frontEnd) {
  return std::make_unique<EditMirror>(window, parent, frontEnd);
}

}  // namespace ui::qt
