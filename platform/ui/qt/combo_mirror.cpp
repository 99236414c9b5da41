// Combo boxes: the entries and the selection as the window system keeps
// them; the person's choice is the driver's.
#include <QComboBox>

#include "platform/ui/qt/controls.h"
#include "platform/ui/qt/input.h"

namespace ui::qt {

namespace {

class ComboMirror : public Mirror {
 public:
  ComboMirror(HWND window, QWidget* parent, FrontEnd& frontEnd) : Mirror(window, frontEnd) {
    m_combo = new QComboBox(parent);
    // A template's height for a combo box includes its drop-down list; the
    // box itself is one line high.
    m_combo->setMaximumHeight(m_combo->sizeHint().height());
    QObject::connect(m_combo, QOverload<int>::of(&QComboBox::activated), [this, window](int index) {
      // Shown as the window system says until it says otherwise.
      RefreshContent();
      driver::SelectEntry(window, index);
    });
    m_combo->installEventFilter(new InputFilter(window, InputFilter::Kind::kKeysOnly, m_combo));
    Adopt(m_combo);
  }

 protected:
  void RefreshGeometry() override {
    Mirror::RefreshGeometry();
    m_combo->resize(m_combo->width(), m_combo->sizeHint().height());
  }

  void RefreshContent() override {
    auto* list = driver::Model<driver::ListModel>(Window());
    if (list == nullptr) return;
    QSignalBlocker quiet(m_combo);
    if (m_combo->count() != list->Count()) m_combo->clear();
    for (int index = 0; index < list->Count(); ++index) {
      QString text = Text(list->Text(index));
      if (index < m_combo->count()) {
        if (m_combo->itemText(index) != text) m_combo->setItemText(index, text);
      } else {
        m_combo->addItem(text);
      }
    }
    m_combo->setCurrentIndex(list->Current());
  }

 private:
  QComboBox* m_combo;
};

}  // namespace

std::unique_ptr<Mirror> MakeComboMirror(HWND window, QWidget* parent, FrontEnd& frontEnd) {
  return std::make_unique<ComboMirror>(window, parent, frontEnd);
}

}  // namespace ui::qt
