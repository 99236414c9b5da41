// The front-end: Qt's application on the thread that shows windows, the
// mirrors of that thread's windows, blocking for the thread in Qt's event
// loop, and pictures of windows.
#include "platform/ui/qt/front_end.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QPixmap>
#include <QTimer>

#include <cstdio>
#include <cstdlib>

#include "platform/base/export.h"
#include "platform/base/sync.h"
#include "platform/ui/front_end.h"
#include "platform/ui/qt/desktop_clipboard.h"
#include "platform/ui/qt/mirror.h"
#include "platform/ui/window_api.h"

namespace ui::qt {

namespace {

FrontEnd* g_instance = nullptr;
QAbstractEventDispatcher* g_dispatcher = nullptr;

// Qt keeps references to these for the life of the application.
int g_argc = 1;
char g_program[] = "qap";
char* g_argv[] = {g_program, nullptr};

// Offscreen, Qt's platform says on every window that it has no window
// manager to tell of size hints; nobody needs to read that.
void QuietOffscreenNotes(QtMsgType, const QMessageLogContext&, const QString& message) {
  if (message.startsWith("This plugin does not support")) return;
  std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
}

}  // namespace

FrontEnd::FrontEnd(bool offscreen) : m_offscreen(offscreen) {}

FrontEnd::~FrontEnd() {
  driver::RemoveObserver(this);
  driver::SetBlocker(nullptr);
  if (m_listener != 0) RemoveSignalListener(m_listener);
  m_mirrors.clear();
  m_clipboard.reset();
  g_instance = nullptr;
}

FrontEnd* FrontEnd::Instance() { return g_instance; }

bool FrontEnd::Start(std::string* error) {
  if (m_offscreen) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    qInstallMessageHandler(QuietOffscreenNotes);
  }
  m_application = std::make_unique<QApplication>(g_argc, g_argv);
  m_application->setQuitOnLastWindowClosed(false);
  g_dispatcher = QAbstractEventDispatcher::instance();
  if (g_dispatcher == nullptr) {
    if (error != nullptr) *error = "Qt has no event loop on this thread";
    return false;
  }
  m_thread = GetCurrentThreadId();
  g_instance = this;
  driver::AddObserver(this);
  driver::SetBlocker(this);
  // Events set by other threads end a wait of this thread too: Qt's loop
  // cannot wait on them, so it is woken to look.
  m_clipboard = std::make_unique<DesktopClipboard>();
  m_listener = AddSignalListener([] {
    if (g_dispatcher != nullptr) g_dispatcher->wakeUp();
  });
  for (HWND window : driver::TopLevelWindows()) {
    if (GetWindowThreadProcessId(window, nullptr) == m_thread) MirrorTree(window);
  }
  return true;
}

bool FrontEnd::OnOurThread() const { return GetCurrentThreadId() == m_thread; }

Mirror* FrontEnd::MirrorOf(HWND window) const {
  auto it = m_mirrors.find(window);
  return it == m_mirrors.end() ? nullptr : it->second.get();
}

void FrontEnd::MirrorTree(HWND window) {
  OnCreated(window);
  for (HWND child : driver::Children(window)) MirrorTree(child);
}

void FrontEnd::OnCreated(HWND window) {
  if (!OnOurThread() || MirrorOf(window) != nullptr) return;
  driver::WindowInfo info;
  if (!driver::GetWindowInfo(window, &info)) return;
  QWidget* parent = nullptr;
  if (info.parent != nullptr) {
    Mirror* parentMirror = MirrorOf(info.parent);
    // A child of a window that is not shown here is not shown either.
    if (parentMirror == nullptr) return;
    parent = parentMirror->ChildArea();
  }
  std::unique_ptr<Mirror> mirror = MakeMirror(window, parent, *this);
  if (!mirror) return;
  m_mirrors.emplace(window, std::move(mirror));
  // Children made while the window was being made (a hosted control's, in
  // its host's WM_CREATE) were announced before it: they are shown now.
  for (HWND child : driver::Children(window)) OnCreated(child);
}

void FrontEnd::OnDestroyed(HWND window) {
  if (OnOurThread()) Forget(window);
}

void FrontEnd::Forget(HWND window) { m_mirrors.erase(window); }

void FrontEnd::OnChanged(HWND window, driver::Change change, int first, int count) {
  if (!OnOurThread()) return;
  if (Mirror* mirror = MirrorOf(window)) mirror->Refresh(change, first, count);
}

void FrontEnd::Block(std::optional<std::chrono::steady_clock::time_point> deadline) {
  QTimer timer;
  if (deadline) {
    auto left = std::chrono::ceil<std::chrono::milliseconds>(*deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) return;
    timer.setSingleShot(true);
    timer.start(static_cast<int>(std::min<long long>(left.count(), 1 << 30)));
  }
  QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
}

void FrontEnd::Wake() {
  if (g_dispatcher != nullptr) g_dispatcher->wakeUp();
}

bool FrontEnd::Screenshot(HWND window, const std::string& file, std::string* error) {
  Mirror* mirror = MirrorOf(window);
  if (mirror == nullptr || mirror->Widget() == nullptr) {
    if (error != nullptr) *error = "the window is not shown by the front-end";
    return false;
  }
  QWidget* widget = mirror->Widget();
  if (widget->isWindow()) {
    widget->adjustSize();
    // Offscreen, a shown widget is laid out and painted like one on a screen.
    if (m_offscreen && !widget->isVisible()) widget->show();
  }
  QCoreApplication::processEvents();
  QPixmap picture = widget->grab();
  if (picture.isNull() || !picture.save(QString::fromStdString(file), "PNG")) {
    if (error != nullptr) *error = "cannot write the picture " + file;
    return false;
  }
  return true;
}

}  // namespace ui::qt
