// Windows of any other class (a program's own classes, the hosts of
// embedded controls): an area that holds the mirrors of their children.
// An embedded control shows itself through the windows it makes.
#include "platform/ui/qt/controls.h"
#include "platform/ui/qt/input.h"

namespace ui::qt {

namespace {

class PanelMirror : public Mirror {
 public:
  PanelMirror(HWND window, QWidget* parent, FrontEnd& frontEnd) : Mirror(window, frontEnd) {
    auto* panel = new QWidget(parent);
    panel->installEventFilter(new InputFilter(window, InputFilter::Kind::kClick, panel));
    new FileDropFilter(window, panel);
    Adopt(panel);
  }
};

}  // namespace

std::unique_ptr<Mirror> MakePanelMirror(HWND window, QWidget* parent, FrontEnd& frontEnd) {
  return std::make_unique<PanelMirror>(window, parent, frontEnd);
}

std::unique_ptr<Mirror> MakeHostMirror(HWND window, QWidget* parent, FrontEnd& frontEnd) {
  return std::make_unique<PanelMirror>(window, parent, frontEnd);
}

}  // namespace ui::qt
