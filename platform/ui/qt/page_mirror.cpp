// Pages of text (the web browser control's): a white area with each block
// of the page where the window laid it out, in the block's font, beneath
// the mirrors of what the page embeds.
#include <QLabel>
#include <QPalette>

#include <vector>

#include "platform/ui/qt/controls.h"
#include "platform/ui/qt/input.h"

namespace ui::qt {

namespace {

class PageMirror : public Mirror {
 public:
  PageMirror(HWND window, QWidget* parent, FrontEnd& frontEnd) : Mirror(window, frontEnd) {
    auto* page = new QWidget(parent);
    QPalette palette = page->palette();
    palette.setColor(QPalette::Window, Qt::white);
    page->setPalette(palette);
    page->setAutoFillBackground(true);
    page->installEventFilter(new InputFilter(window, InputFilter::Kind::kClick, page));
    Adopt(page);
  }

 protected:
  void RefreshContent() override {
    auto* model = driver::Model<driver::PageModel>(Window());
    if (model == nullptr) return;
    for (QLabel* label : m_blocks) delete label;
    m_blocks.clear();
    for (const driver::PageBlock& block : model->Blocks()) {
      auto* label = new QLabel(Text(block.text), Widget());
      driver::WindowInfo face;
      face.fontFace = block.fontFace;
      face.fontPointSize = block.fontPointSize;
      QFont font = FontFor(face);
      font.setBold(block.bold);
      label->setFont(font);
      label->setTextFormat(Qt::PlainText);
      label->setWordWrap(true);
      label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
      label->setAttribute(Qt::WA_TransparentForMouseEvents);
      label->setGeometry(block.rect.left, block.rect.top, block.rect.right - block.rect.left,
                         block.rect.bottom - block.rect.top);
      label->show();
      // Below the embedded controls, which are the page's child windows.
      label->lower();
      m_blocks.push_back(label);
    }
  }

 private:
  std::vector<QLabel*> m_blocks;
};

}  // namespace

std::unique_ptr<Mirror> MakePageMirror(HWND window, QWidget* parent, FrontEnd& frontEnd) {
  return std::make_unique<PageMirror>(window, parent, frontEnd);
}

}  // namespace ui::qt
