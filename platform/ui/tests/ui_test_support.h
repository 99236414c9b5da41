// Test support for window code: a parent window that records the
// notifications its children send, and a pump that lets queued input (the
// driver's actions) run on the test's own thread.
#pragma once

#include <string>
#include <vector>

#include "platform/ui/driver.h"
#include "platform/ui/user32.h"

namespace ui::testing {

// Handles every message waiting in the calling thread's queue, the driver's
// queued actions among them, then returns.
void Pump();

// A top-level window whose procedure records WM_COMMAND and WM_NOTIFY
// (code and control id) in order, and answers WM_NOTIFY with a result the
// test chooses.
struct Notice {
  UINT message;  // WM_COMMAND or WM_NOTIFY
  int id;
  UINT code;
  LPARAM lParam;  // as received (a WM_NOTIFY structure is gone by the time it is read)
};

class RecordingParent {
 public:
  RecordingParent();
  ~RecordingParent();
  HWND Window() const { return m_window; }
  const std::vector<Notice>& Notices() const { return m_notices; }
  std::vector<UINT> Codes() const;
  void Clear() { m_notices.clear(); }
  // Called for each WM_NOTIFY before it is recorded; its answer is the
  // message's result.
  std::function<LRESULT(NMHDR*)> onNotify;
  std::function<LRESULT(UINT, WPARAM, LPARAM)> onOther;

 private:
  static LRESULT Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  HWND m_window = nullptr;
  std::vector<Notice> m_notices;
};

// Makes a child control of parent, in pixels.
HWND MakeControl(HWND parent, const char* className, DWORD style, int id, int width = 200,
                 int height = 100, const char* text = "");

}  // namespace ui::testing
