// Top-level windows: a frame with the window's title and menu bar around
// its client area, the pop-up menu being tracked, and the file-open dialog,
// which a person answers with the desktop's own file chooser.
#include <QCloseEvent>
#include <QCursor>
#include <QFileDialog>
#include <QMenu>
#include <QMenuBar>
#include <QVBoxLayout>

#include "platform/ui/qt/controls.h"
#include "platform/ui/qt/front_end.h"
#include "platform/ui/qt/input.h"
#include "platform/ui/qt/menus.h"
#include "platform/ui/user32.h"

namespace ui::qt {

namespace {

// The frame: closing it is the window's close box; the client area is the
// window's own rectangle.
class Frame : public QWidget {
 public:
  Frame(HWND window, QWidget* owner) : QWidget(owner, owner != nullptr ? Qt::Dialog : Qt::Window),
                                        m_window(window) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_client = new QWidget(this);
    m_client->setAutoFillBackground(true);
    layout->addWidget(m_client);
    layout->setSizeConstraint(QLayout::SetFixedSize);
  }
  QWidget* Client() const { return m_client; }

 protected:
  void closeEvent(QCloseEvent* event) override {
    // The window decides whether it closes; the frame goes when it does.
    event->ignore();
    driver::CloseWindow(m_window);
  }

 private:
  HWND m_window;
  QWidget* m_client;
};

class TopLevelMirror : public Mirror {
 public:
  TopLevelMirror(HWND window, FrontEnd& frontEnd, QWidget* owner) : Mirror(window, frontEnd) {
    m_frame = new Frame(window, owner);
    m_frame->Client()->installEventFilter(new InputFilter(window, InputFilter::Kind::kKeysOnly, m_frame));
    new FileDropFilter(window, m_frame->Client());
    Adopt(m_frame);
  }
  QWidget* ChildArea() const override { return m_frame->Client(); }

  void Refresh(driver::Change change, int first, int count) override {
    if (change == driver::Change::kMenu) {
      RefreshContent();
      return;
    }
    Mirror::Refresh(change, first, count);
  }

 protected:
  void RefreshText() override { m_frame->setWindowTitle(Text(Info().text)); }

  void RefreshContent() override {
    HMENU menu = driver::WindowMenu(Window());
    if (menu == nullptr) {
      delete m_bar;
      m_bar = nullptr;
      return;
    }
    if (m_bar == nullptr) {
      m_bar = new QMenuBar(m_frame);
      static_cast<QVBoxLayout*>(m_frame->layout())->insertWidget(0, m_bar);
    }
    HWND window = Window();
    FillMenuBar(m_bar, menu, [window](UINT id) { driver::ChooseMenuItem(window, id); });
  }

  void RefreshGeometry() override {
    driver::WindowInfo info = Info();
    m_frame->Client()->setFixedSize(info.rect.right - info.rect.left, info.rect.bottom - info.rect.top);
    m_frame->Client()->setFont(FontFor(info));
    m_frame->move(info.rect.left, info.rect.top);
  }

 private:
  Frame* m_frame;
  QMenuBar* m_bar = nullptr;
};

// The pop-up menu a window tracks: shown at the mouse, its choice (or its
// dismissal) going back to the menu's loop.
class PopupMirror : public Mirror {
 public:
  PopupMirror(HWND window, FrontEnd& frontEnd) : Mirror(window, frontEnd) {
    m_menu = new QMenu();
    HMENU menu = driver::TrackedMenu(window);
    m_chosen = false;
    FillMenu(m_menu, menu, [this, window](UINT id) {
      m_chosen = true;
      driver::ChooseMenuItem(window, id);
    });
    QObject::connect(m_menu, &QMenu::aboutToHide, [this, window] {
      if (!m_chosen) driver::CloseWindow(window);
    });
    Adopt(m_menu);
    if (!Front().Offscreen()) m_menu->popup(QCursor::pos());
  }

 protected:
  void RefreshGeometry() override {}
  void RefreshState() override {}

 private:
  QMenu* m_menu;
  bool m_chosen;
};

// The file-open dialog of the window system, answered through the
// desktop's chooser: its choice is typed into the dialog and confirmed, as a
// person would do in the dialog itself.
class FileDialogMirror : public Mirror {
 public:
  FileDialogMirror(HWND window, FrontEnd& frontEnd) : Mirror(window, frontEnd) {
    m_chooser = new QFileDialog(nullptr, Text(Info().text));
    HWND list = GetDlgItem(window, 1120);
    bool several = (GetWindowLongA(list, GWL_STYLE) & (LBS_EXTENDEDSEL | LBS_MULTIPLESEL)) != 0;
    m_chooser->setFileMode(several ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile);
    QObject::connect(m_chooser, &QFileDialog::filesSelected, [window](const QStringList& files) {
      std::string names;
      for (const QString& file : files) {
        names += (files.size() == 1 ? "" : "\"") + file.toStdString() + (files.size() == 1 ? "" : "\" ");
      }
      HWND edit = GetDlgItem(window, 1152);
      driver::SelectAllText(edit);
      driver::TypeText(edit, names);
      driver::Click(GetDlgItem(window, IDOK));
    });
    QObject::connect(m_chooser, &QFileDialog::rejected,
                     [window] { driver::Click(GetDlgItem(window, IDCANCEL)); });
    Adopt(m_chooser);
    m_chooser->open();
  }

 protected:
  void RefreshGeometry() override {}
  void RefreshState() override {}

 private:
  QFileDialog* m_chooser;
};

bool IsFileDialog(HWND window) {
  char name[16] = "";
  GetClassNameA(window, name, sizeof name);
  return std::string(name) == WC_DIALOG && GetDlgItem(window, 1152) != nullptr &&
         GetDlgItem(window, 1120) != nullptr;
}

}  // namespace

std::unique_ptr<Mirror> MakeTopLevelMirror(HWND window, FrontEnd& frontEnd) {
  driver::WindowInfo info;
  driver::GetWindowInfo(window, &info);
  if (info.className == "#32768") return std::make_unique<PopupMirror>(window, frontEnd);
  if (IsFileDialog(window) && !frontEnd.Offscreen()) {
    return std::make_unique<FileDialogMirror>(window, frontEnd);
  }
  Mirror* owner = info.owner != nullptr ? frontEnd.MirrorOf(info.owner) : nullptr;
  return std::make_unique<TopLevelMirror>(window, frontEnd, owner != nullptr ? owner->Widget() : nullptr);
}

}  // namespace ui::qt
