// Buttons: push and default buttons, check boxes, radio buttons and group
// boxes, checked as the window system says; a click is the driver's click.
#include <QCheckBox>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>

#include "platform/ui/qt/controls.h"
#include "platform/ui/qt/input.h"

namespace ui::qt {

namespace {

using Kind = driver::ButtonModel::Kind;

class ButtonMirror : public Mirror {
 public:
  ButtonMirror(HWND window, QWidget* parent, FrontEnd& frontEnd, Kind kind)
      : Mirror(window, frontEnd), m_kind(kind) {
    QWidget* widget;
    switch (kind) {
      case Kind::kCheckBox:
        widget = m_check = new QCheckBox(parent);
        break;
      case Kind::kRadio:
        widget = m_radio = new QRadioButton(parent);
        break;
      case Kind::kGroupBox:
        widget = m_group = new QGroupBox(parent);
        break;
      default:
        widget = m_push = new QPushButton(parent);
        break;
    }
    if (kind != Kind::kGroupBox) {
      widget->installEventFilter(new InputFilter(window, InputFilter::Kind::kClick, widget));
      widget->setFocusPolicy(Qt::StrongFocus);
    }
    Adopt(widget);
  }

 protected:
  void RefreshText() override {
    // Qt takes the same mnemonic marks as Windows.
    QString text = Text(Info().text);
    if (m_push != nullptr) m_push->setText(text);
    if (m_check != nullptr) m_check->setText(text);
    if (m_radio != nullptr) m_radio->setText(text);
    if (m_group != nullptr) m_group->setTitle(text);
    if (m_group == nullptr) FitText(Widget(), text, m_push != nullptr ? 8 : 20);
  }

  void RefreshContent() override {
    auto* model = driver::Model<driver::ButtonModel>(Window());
    if (model == nullptr) return;
    if (m_push != nullptr) m_push->setDefault(model->ButtonKind() == Kind::kDefaultPush);
    if (m_check != nullptr) {
      m_check->setTristate(model->CheckState() == 2);
      m_check->setCheckState(model->CheckState() == 1   ? Qt::Checked
                             : model->CheckState() == 2 ? Qt::PartiallyChecked
                                                        : Qt::Unchecked);
    }
    if (m_radio != nullptr) m_radio->setChecked(model->CheckState() == 1);
  }

 private:
  Kind m_kind;
  QPushButton* m_push = nullptr;
  QCheckBox* m_check = nullptr;
  QRadioButton* m_radio = nullptr;
  QGroupBox* m_group = nullptr;
};

}  // namespace

std::unique_ptr<Mirror> MakeButtonMirror(HWND window, QWidget* parent, FrontEnd& frontEnd) {
  auto* model = driver::Model<driver::ButtonModel>(window);
  Kind kind = model != nullptr ? model->ButtonKind() : Kind::kPush;
  return std::make_unique<ButtonMirror>(window, parent, frontEnd, kind);
}

}  // namespace ui::qt
