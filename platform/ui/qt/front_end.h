// The Qt front-end: it lives on one thread of the process (the first that
// shows a window), mirrors every window of that thread into a widget, keeps
// the widgets current from the driver's announcements, blocks for the thread
// inside Qt's event loop (so the person's actions and the window system's
// messages are both handled), and turns the person's actions into the
// driver's.
#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>

#include "platform/ui/driver.h"

class QApplication;

namespace ui::qt {

class Mirror;
class DesktopClipboard;

class FrontEnd final : public QObject, public driver::Observer, public driver::Blocker {
 public:
  explicit FrontEnd(bool offscreen);
  ~FrontEnd() override;
  static FrontEnd* Instance();

  bool Start(std::string* error);

  void OnCreated(HWND window) override;
  void OnDestroyed(HWND window) override;
  void OnChanged(HWND window, driver::Change change, int first, int count) override;

  void Block(std::optional<std::chrono::steady_clock::time_point> deadline) override;
  void Wake() override;

  bool Screenshot(HWND window, const std::string& file, std::string* error);
  Mirror* MirrorOf(HWND window) const;
  bool Offscreen() const { return m_offscreen; }

 private:
  bool OnOurThread() const;
  void MirrorTree(HWND window);
  void Forget(HWND window);

  bool m_offscreen;
  DWORD m_thread = 0;
  std::unique_ptr<QApplication> m_application;
  std::unordered_map<HWND, std::unique_ptr<Mirror>> m_mirrors;
  std::unique_ptr<DesktopClipboard> m_clipboard;
  int m_listener = 0;
};

}  // namespace ui::qt
