// The recorder dialog's two phases and its end: Prepare offers the tracks to
// the recorder, Burn writes the selected prepared ones under a watcher
// thread that aborts the burn when the person cancels it, and Close asks
// before it cancels a running burn. The recorder's reports arrive on its
// thread and become posted messages.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <utility>

#include "drumlet/library_state.h"
#include "drumlet/platform_box.h"
#include "drumlet/recorder_dialog.h"
#include "drumlet/recorder_objects.h"
#include "drumlet/zv_message_box.h"
#include "platform/base/text_field.h"
#include "platform/ui/commctrl.h"
#include "platform/ui/user32.h"

namespace drumlet {

namespace {

const UINT kProgress = RegisterWindowMessageA("CRecorderDlg_Progress");
const UINT kInvalidate = RegisterWindowMessageA("CRecorderDlg_Invalidate");
const UINT kDeviceCloseOpen = RegisterWindowMessageA("CRecorderDlg_DeviceCloseOpen");
const UINT kEnumerateDevice = RegisterWindowMessageA("CRecorderDlg_EnumerateDevice");
const UINT kStopping = RegisterWindowMessageA("Stopping the Recoreder dialog");

constexpr const char* kCancelQuestion =
    "Warning: Canceling will make the media unusable.\nDo you want to cancel ?";

bool Signalled(HANDLE event) { return WaitForSingleObject(event, 0) == WAIT_OBJECT_0; }

std::uint64_t Tenths(std::uint64_t bytes) { return bytes * 10 / 1048576; }

}  // namespace

void RecorderDialog::Report(const std::string& status, int progress) {
  {
    std::lock_guard lock(m_sharedLock);
    m_reports.status = status;
    m_reports.trackIndex = -1;
    m_reports.progress = progress;
  }
  PostMessageA(m_hWnd, kProgress, 0, 0);
}

void RecorderDialog::OnPrepare() {
  m_preparing = true;
  if (!OpenDevice()) {
    m_preparing = false;
    return;
  }
  EnableControls(false);
  m_burnList.clear();
  m_leftOut = 0;
  size_t offered = 0;
  for (int j = 0; j < ItemCount(); ++j) {
    TrackEntry* entry = EntryAt(j);
    if (entry == nullptr) continue;
    entry->position = static_cast<DWORD>(j);
    // The burn's selection holds one flag per prepared track: a preparation
    // takes no more tracks than that.
    if (m_burnList.size() >= kSelectionFlagCount) {
      if ((entry->flags & kTrackPrepared) == 0) ++m_leftOut;
      continue;
    }
    if ((entry->flags & kTrackPrepared) != 0) {
      m_burnList.push_back(entry);
    } else if (m_recorder->Command(kCmdQueueTrack, entry) == kQuadrinOk) {
      m_burnList.push_back(entry);
      ++offered;
    }
  }
  if (offered > 0) {
    Report("Preparation in progress ...", 0);
    if (m_recorder->Command(kCmdPrepare, nullptr) == kQuadrinOk) return;
    Report("", 0);
  }
  EnableControls(true);
  m_preparing = false;
}

void RecorderDialog::OnBurn() {
  if (!m_recorder) {
    PlatformBox("You have to select a recorder and to prepare the songs before this operation!",
                MB_OK | MB_ICONERROR);
    return;
  }
  HWND list = TrackList();
  if (SendMessageA(list, LB_GETSELCOUNT, 0, 0) <= 0) SelectPrepared(true);
  std::uint64_t selected = 0;
  for (int i = 0; i < ItemCount(); ++i) {
    const TrackEntry* entry = EntryAt(i);
    if (entry != nullptr && (entry->flags & kTrackPrepared) != 0 && Selected(i)) selected += entry->size;
  }
  // Both figures as shown, truncated to one decimal.
  if (Tenths(selected) > Tenths(static_cast<std::uint64_t>(std::max(m_availableBytes, 0)))) {
    CZVMessageBox(m_hWnd, Library().skinPath.c_str())
        .Show("There is not enough free space on the media !\n Remove some tracks from the list", MB_OK);
    return;
  }
  EnableControls(false);
  m_selection = SelectionFlags{};
  m_burnList.clear();
  for (int i = 0; i < ItemCount(); ++i) {
    TrackEntry* entry = EntryAt(i);
    if (entry == nullptr || (entry->flags & kTrackPrepared) == 0) continue;
    if (m_burnList.size() < kSelectionFlagCount && Selected(i)) m_selection.burn[m_burnList.size()] = 1;
    m_burnList.push_back(entry);
  }
  m_device->Command(kCmdSelectTracks, &m_selection);
  {
    std::lock_guard lock(m_sharedLock);
    m_reports.reasons.clear();
  }
  ResetEvent(m_idle.Get());
  ResetEvent(m_cancel.Get());
  ResetEvent(m_burnEnded.Get());
  StartWatcher();
  if (m_recorder->Command(kCmdStart, nullptr) != kQuadrinOk) {
    StopWatcher();
    SetEvent(m_idle.Get());
    Report("Burning failed", 0);
    EnableControls(true);
  }
}

void RecorderDialog::StartWatcher() {
  ICommunication* recorder = m_recorder.get();
  const HWND dialog = m_hWnd;
  HANDLE cancel = m_cancel.Get();
  HANDLE ended = m_burnEnded.Get();
  HANDLE idle = m_idle.Get();
  m_watcher.Reset(CreateThread([recorder, dialog, cancel, ended, idle]() -> DWORD {
    const HANDLE waits[] = {cancel, ended};
    if (WaitForMultipleObjects(2, waits, FALSE, INFINITE) != WAIT_OBJECT_0) return 0;
    recorder->Command(kCmdAbort, nullptr);
    SetEvent(idle);
    PostMessageA(dialog, kStopping, 0, 0);
    return 0;
  }));
}

void RecorderDialog::StopWatcher() {
  if (!m_watcher) return;
  SetEvent(m_burnEnded.Get());
  WaitForSingleObject(m_watcher.Get(), INFINITE);
}

void RecorderDialog::OnClose() {
  if (m_preparing) return;
  if (Signalled(m_idle.Get())) {
    EndDialog(IDOK);
    return;
  }
  if (m_asking) return;
  m_asking = true;
  m_questionOpen = true;
  const INT_PTR answer =
      CZVMessageBox(m_hWnd, Library().skinPath.c_str()).Show(kCancelQuestion, CZVMessageBox::kYesNo);
  m_questionOpen = false;
  m_asking = false;
  if (answer != IDYES) return;
  // The burn may have ended while the question was open.
  if (Signalled(m_idle.Get())) {
    EndDialog(IDOK);
  } else {
    SetEvent(m_cancel.Get());
  }
}

DWORD RecorderDialog::OnRecorderNotification(DWORD value, DWORD code, void* data, void* context) {
  static_cast<RecorderDialog*>(context)->OnNotification(value, code, data);
  return 0;
}

// On the recorder's thread.
void RecorderDialog::OnNotification(DWORD value, DWORD code, void* data) {
  const HWND dialog = m_hWnd;
  auto post = [dialog](UINT message) { PostMessageA(dialog, message, 0, 0); };
  std::unique_lock lock(m_sharedLock);
  switch (code) {
    case kNotifyTrackProgress:
    case kNotifyEraseProgress: {
      if (data == nullptr) return;
      RecorderProgress progress;
      std::memcpy(&progress, data, sizeof progress);
      m_reports.progress = static_cast<int>(std::min<DWORD>(progress.percent, 100));
      if (code == kNotifyTrackProgress) {
        m_reports.trackIndex = static_cast<int>(progress.index);
        m_reports.converting = progress.converting != 0;
      } else {
        char text[64];
        std::snprintf(text, sizeof text, "Formatting device %d %%", m_reports.progress);
        m_reports.status = text;
        m_reports.trackIndex = -1;
      }
      const bool posted = std::exchange(m_reports.progressPosted, true);
      lock.unlock();
      if (!posted) post(kProgress);
      return;
    }
    case 102:
      return;
    case kNotifyEraseDone: {
      const bool succeeded = EndSucceeded(value, data);
      m_reports.status = succeeded ? "Formatting completed" : "Formatting failed";
      m_reports.trackIndex = -1;
      m_reports.progress = succeeded ? 100 : 0;
      if (!succeeded) m_reports.failure = "Formatting failed";
      lock.unlock();
      for (UINT message : {kProgress, kEnumerateDevice, kInvalidate, kDeviceCloseOpen}) post(message);
      return;
    }
    case kNotifyBurnDone: {
      const bool cancelled = Signalled(m_cancel.Get());
      const bool succeeded = EndSucceeded(value, data);
      m_reports.status = succeeded ? "Burning completed" : cancelled ? "Burning canceled" : "Burning failed";
      m_reports.trackIndex = -1;
      m_reports.progress = succeeded ? 100 : 0;
      if (!succeeded && !cancelled) m_reports.failure = "Burning failed";
      lock.unlock();
      for (UINT message : {kProgress, kEnumerateDevice, kInvalidate}) post(message);
      if (cancelled) return;
      // The watcher goes without aborting; a question still open has no
      // burn left to cancel.
      if (m_questionOpen) CloseZVMessageBoxes();
      SetEvent(m_burnEnded.Get());
      WaitForSingleObject(m_watcher.Get(), INFINITE);
      SetEvent(m_idle.Get());
      post(kDeviceCloseOpen);
      return;
    }
    case kNotifyPrepared: {
      m_reports.prepared.clear();
      if (data != nullptr) {
        DWORD count = 0;
        std::memcpy(&count, data, sizeof count);
        const auto* entries = static_cast<const BYTE*>(data) + offsetof(PreparedTrackList, entries);
        m_reports.prepared.resize(count);
        if (count > 0) std::memcpy(m_reports.prepared.data(), entries, count * sizeof(TrackEntry));
      }
      m_reports.preparedArrived = true;
      m_reports.status = "Preparation completed";
      m_reports.trackIndex = -1;
      m_reports.progress = 100;
      lock.unlock();
      for (UINT message : {kProgress, kInvalidate, kDeviceCloseOpen}) post(message);
      m_preparing = false;
      return;
    }
    case kNotifyText:
      m_reports.status = data != nullptr ? static_cast<const char*>(data) : "";
      m_reports.reasons += "\n" + m_reports.status;
      m_reports.trackIndex = -1;
      lock.unlock();
      post(kProgress);
      return;
    default:
      m_reports.invalidCode = true;
      lock.unlock();
      post(kProgress);
      return;
  }
}

// The reports waiting, into the dialog: the status, the progress and the
// prepared tracks.
void RecorderDialog::TakeReports() {
  Reports reports;
  {
    std::lock_guard lock(m_sharedLock);
    reports.status = m_reports.status;
    reports.trackIndex = m_reports.trackIndex;
    reports.converting = m_reports.converting;
    reports.progress = m_reports.progress;
    reports.preparedArrived = std::exchange(m_reports.preparedArrived, false);
    reports.prepared = std::move(m_reports.prepared);
    m_reports.prepared.clear();
    reports.invalidCode = std::exchange(m_reports.invalidCode, false);
    m_reports.progressPosted = false;
  }
  if (reports.preparedArrived) {
    for (const TrackEntry& done : reports.prepared) {
      for (int i = 0; i < ItemCount(); ++i) {
        TrackEntry* entry = EntryAt(i);
        if (entry == nullptr || entry->position != done.position ||
            std::strncmp(entry->sourcePath, done.sourcePath, sizeof entry->sourcePath) != 0 ||
            std::strncmp(entry->readerId, done.readerId, sizeof entry->readerId) != 0) {
          continue;
        }
        entry->flags |= kTrackPrepared;
        entry->size = done.size;
      }
    }
    if (m_leftOut > 0) {
      reports.status += " (" + std::to_string(m_leftOut) + " tracks left out: at most " +
                        std::to_string(kSelectionFlagCount) + " are prepared at a time)";
      std::lock_guard lock(m_sharedLock);
      m_reports.status = reports.status;
    }
  }
  if (reports.trackIndex >= 0) {
    const auto index = static_cast<size_t>(reports.trackIndex);
    const std::string name =
        index < m_burnList.size() ? std::string(FieldText(m_burnList[index]->name, sizeof m_burnList[index]->name))
                                  : std::string();
    char text[kTrackNameSize + 32];
    std::snprintf(text, sizeof text, "%s Track \"%s\"", reports.converting ? "Converting" : "Burning",
                  name.c_str());
    reports.status = text;
  }
  m_status = reports.status;
  m_progress = reports.progress;
  if (reports.invalidCode) {
    CZVMessageBox(m_hWnd, Library().skinPath.c_str()).Show("Invalid notification code received!", MB_OK);
  }
}

void RecorderDialog::OnProgressMessage() {
  TakeReports();
  SendDlgItemMessageA(m_hWnd, kRecorderProgressId, PBM_SETPOS, static_cast<WPARAM>(m_progress), 0);
  RefreshData();
}

void RecorderDialog::OnDeviceCloseOpen() {
  if (m_device) {
    m_device->Command(kCmdCloseDevice, nullptr);
    m_device->Command(kCmdOpenDevice, &m_openParams);
  }
  EnableControls(true);
  std::string failure;
  {
    std::lock_guard lock(m_sharedLock);
    failure = std::exchange(m_reports.failure, std::string());
    if (!failure.empty()) failure += m_reports.reasons;
  }
  if (!failure.empty()) CZVMessageBox(m_hWnd, Library().skinPath.c_str()).Show(failure.c_str(), MB_OK);
}

bool RecorderDialog::OnRecorderMessage(UINT message) {
  if (message == kProgress) {
    OnProgressMessage();
  } else if (message == kInvalidate) {
    TakeReports();
    InvalidateRect(TrackList(), nullptr, TRUE);
    RefreshData();
  } else if (message == kDeviceCloseOpen) {
    OnDeviceCloseOpen();
  } else if (message == kEnumerateDevice) {
    ShowDeviceContent();
  } else if (message == kStopping) {
    if (m_watcher) WaitForSingleObject(m_watcher.Get(), INFINITE);
    EndDialog(IDOK);
  } else {
    return false;
  }
  return true;
}

void RecorderDialog::OnDestroy() {
  // Nothing reports any more, the watcher is gone, then the objects go:
  // only then are the entries freed with the list.
  if (m_recorder) m_recorder->SetNotifyCallback(nullptr, nullptr);
  StopWatcher();
  m_watcher.Reset();
  CloseDevice(1);
  SendMessageA(TrackList(), LB_RESETCONTENT, 0, 0);
  m_burnList.clear();
}

}  // namespace drumlet
