// Progress bars and status bars.
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>

#include "platform/ui/qt/controls.h"

namespace ui::qt {

namespace {

class ProgressMirror : public Mirror {
 public:
  ProgressMirror(HWND window, QWidget* parent, FrontEnd& frontEnd) : Mirror(window, frontEnd) {
    m_bar = new QProgressBar(parent);
    m_bar->setTextVisible(false);
    Adopt(m_bar);
  }

 protected:
  void RefreshContent() override {
    auto* model = driver::Model<driver::ProgressModel>(Window());
    if (model == nullptr) return;
    m_bar->setRange(model->Minimum(), model->Maximum());
    m_bar->setValue(model->Position());
  }

 private:
  QProgressBar* m_bar;
};

// A status bar's parts as labels side by side, each up to its right edge.
class StatusBarMirror : public Mirror {
 public:
  StatusBarMirror(HWND window, QWidget* parent, FrontEnd& frontEnd) : Mirror(window, frontEnd) {
    m_panel = new QWidget(parent);
    m_panel->setAutoFillBackground(true);
    Adopt(m_panel);
  }

 protected:
  void RefreshContent() override {
    auto* model = driver::Model<driver::StatusBarModel>(Window());
    if (model == nullptr) return;
    std::vector<driver::StatusPart> parts = model->Parts();
    while (m_labels.size() > parts.size()) {
      delete m_labels.back();
      m_labels.pop_back();
    }
    int left = 0;
    int width = m_panel->width();
    for (size_t index = 0; index < parts.size(); ++index) {
      if (index >= m_labels.size()) {
        auto* label = new QLabel(m_panel);
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        label->setContentsMargins(3, 0, 3, 0);
        m_labels.push_back(label);
      }
      int right = parts[index].right < 0 ? width : std::min(parts[index].right, width);
      m_labels[index]->setGeometry(left, 1, std::max(0, right - left - 2), m_panel->height() - 2);
      m_labels[index]->setText(Text(parts[index].text));
      m_labels[index]->show();
      left = right;
    }
  }

  void RefreshGeometry() override {
    Mirror::RefreshGeometry();
    RefreshContent();
  }

 private:
  QWidget* m_panel;
  std::vector<QLabel*> m_labels;
};

}  // namespace

std::unique_ptr<Mirror> MakeProgressMirror(HWND window, QWidget* parent, FrontEnd& frontEnd) {
  return std::make_unique<ProgressMirror>(window, parent, frontEnd);
}

std::unique_ptr<Mirror> MakeStatusBarMirror(HWND window, QWidget* parent, FrontEnd& frontEnd) {
  return std::make_unique<StatusBarMirror>(window, parent, frontEnd);
}

}  // namespace ui::qt
