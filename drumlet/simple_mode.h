// The simple mode: one routine on the host's thread that records the queued
// tracks onto one device with as few questions as possible (the objects,
// the disc, the preparation, the space, an erase when asked, the burn),
// waiting for the recorder's reports while it keeps dispatching the
// thread's messages. The burn itself goes on under the "Burning" window
// after the routine returns, until it finishes or is cancelled; until then
// the simple mode counts as running.
#pragma once

#include <array>
#include <mutex>
#include <string>
#include <vector>

#include "drumlet/recorder_objects.h"
#include "drumlet/simple_dialogs.h"
#include "drumlet/transfer_layer.h"
#include "platform/base/sync.h"

namespace drumlet {

class SimpleMode {
 public:
  // One per process, from its first use until the process ends.
  static SimpleMode& Instance();

  // InvokeSimpleMode once the checks passed: shortId null keeps the device
  // named before.
  void Invoke(const TQuadrinInitStruct& init, const char* shortId, DWORD deviceIndex);
  // CloseSimpleMode while the simple mode runs.
  BYTE Close();
  bool Running() const;

  // The "Burning" window's questions and ends (on the host's thread).
  bool AskCancel(HWND owner);
  void OnCancel();
  void OnFinish();

  // What the progress windows show.
  struct Shown {
    std::string action;
    std::string track;
    int percent = 0;
  };
  Shown BurnShown();
  Shown EraseShown();

 private:
  SimpleMode();

  void Run();
  bool MakeObjects();
  bool OpenDisc();
  bool Prepare();
  bool CheckSpace();
  bool EraseFirst();
  void Burn();
  // Ends the sequence without a burn: the device closed, the objects gone,
  // the windows closed.
  void End(DWORD closeMode = 0);
  void CloseBurnWindow();
  bool WaitForReport();
  void Fail(const char* text);
  static DWORD OnRecorderNotification(DWORD value, DWORD code, void* data, void* context);
  void OnNotification(DWORD value, DWORD code, void* data);

  std::string m_shortId;
  DWORD m_deviceIndex = 0;
  std::string m_imagePath;
  std::vector<TrackEntry*> m_tracks;  // the queue's entries, used in place
  CommunicationPtr m_device;
  CommunicationPtr m_recorder;
  OpenParams m_openParams{};
  std::array<BYTE, kSelectionFlagCount> m_selection{};
  bool m_formatFirst = false;
  bool m_removalAccepted = false;
  bool m_sequenceRunning = false;
  bool m_cancelled = false;
  UniqueHandle m_event;
  SimpleBurnDialog m_burnDialog;
  SimpleEraseDialog m_eraseDialog;

  // Shared with the recorder's thread.
  std::mutex m_lock;
  DWORD m_needed = 0;
  Shown m_burnShown;
  Shown m_eraseShown;
  bool m_endSucceeded = true;
  std::string m_reasons;  // the recorder's texts since the work began
  bool m_questionOpen = false;
};

}  // namespace drumlet
