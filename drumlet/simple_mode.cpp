// The simple mode's sequence and the recorder's reports to it.
#include "drumlet/simple_mode.h"

#include <cstdio>
#include <cstring>

#include "drumlet/library_state.h"
#include "drumlet/message_pump.h"
#include "drumlet/platform_box.h"
#include "drumlet/simple_device_content_dlg.h"
#include "drumlet/zv_message_box.h"
#include "platform/base/text_field.h"
#include "platform/ui/user32.h"

namespace drumlet {

namespace {

constexpr const char* kNothingPrepared = "No tracks prepared. Burning process canceled.";
constexpr const char* kCancelQuestion =
    "Warning: Canceling will make the media unusable.\nDo you want to cancel ?";

void* CloseMode(DWORD mode) { return reinterpret_cast<void*>(static_cast<uintptr_t>(mode)); }

bool Same(const TrackEntry& a, const TrackEntry& b) {
  return a.position == b.position && std::strncmp(a.sourcePath, b.sourcePath, sizeof a.sourcePath) == 0 &&
         std::strncmp(a.readerId, b.readerId, sizeof a.readerId) == 0;
}

}  // namespace

SimpleMode& SimpleMode::Instance() {
  // Never destroyed: a burn may outlive everything but the process.
  static SimpleMode* const mode = new SimpleMode;
  return *mode;
}

SimpleMode::SimpleMode()
    : m_event(CreateEventA(nullptr, TRUE, FALSE, nullptr)), m_burnDialog(this), m_eraseDialog(this) {}

bool SimpleMode::Running() const { return m_sequenceRunning || ::IsWindow(m_burnDialog.GetSafeHwnd()); }

void SimpleMode::Invoke(const TQuadrinInitStruct& init, const char* shortId, DWORD deviceIndex) {
  if (shortId != nullptr) {
    m_shortId = std::string(FieldText(shortId, kModuleIdSize));
    m_deviceIndex = deviceIndex;
  }
  m_openParams = OpenParams{};
  m_openParams.init = init;
  LibraryState& library = Library();
  m_tracks.clear();
  for (DWORD i = 0; i < library.trackCount; ++i) m_tracks.push_back(&library.trackQueue[i]);
  library.trackCount = 0;
  m_formatFirst = false;
  m_removalAccepted = false;
  m_cancelled = false;
  m_sequenceRunning = true;
  Run();
  m_sequenceRunning = false;
}

void SimpleMode::Run() {
  // 1. The objects; a device that cannot be reached is chosen anew.
  while (!MakeObjects()) {
    if (SimpleQuestionDialog(kDefaultRecorderDialogId, true).DoModal() != IDOK) return;
    DeviceInfo chosen{};
    if (!SelectRecorder(&chosen)) return;
    m_shortId = std::string(FieldText(chosen.moduleId, sizeof chosen.moduleId));
    m_deviceIndex = chosen.index;
  }
  m_imagePath = FreshDiscImagePath();
  if (!OpenDisc() || !Prepare()) return;
  // 5. The preparation, under "Burning".
  m_burnDialog.Create();
  if (!WaitForReport() || m_cancelled) return End();
  bool anyPrepared = false;
  for (const TrackEntry* track : m_tracks) anyPrepared = anyPrepared || (track->flags & kTrackPrepared) != 0;
  if (!anyPrepared) return Fail(kNothingPrepared);
  if (!CheckSpace() || !EraseFirst()) return;
  Burn();
}

bool SimpleMode::MakeObjects() {
  if (m_shortId.empty()) return false;
  m_device = MakeCommunicationObject(m_shortId.c_str());
  m_recorder = m_device ? MakeCommunicationObject(kRecorderModuleId) : nullptr;
  if (m_recorder) {
    m_recorder->SetNotifyCallback(&SimpleMode::OnRecorderNotification, this);
    m_device->Command(kCmdSetOptions, &m_openParams.init);
    if (m_recorder->Command(kCmdConnect, m_device.get()) == kQuadrinOk) return true;
    m_recorder->SetNotifyCallback(nullptr, nullptr);
  }
  m_recorder.reset();
  m_device.reset();
  return false;
}

bool SimpleMode::OpenDisc() {
  m_openParams.deviceIndex = m_deviceIndex;
  m_openParams.reserved = 0;
  m_openParams.imagePath = IsDiscImageDevice(m_shortId.c_str(), m_deviceIndex) ? m_imagePath.c_str() : nullptr;
  while (m_device->Command(kCmdOpenDevice, &m_openParams) != kQuadrinOk) {
    if (SimpleQuestionDialog(kInsertDiskDialogId, false).DoModal() != IDOK) {
      End();
      return false;
    }
  }
  return true;
}

bool SimpleMode::Prepare() {
  ResetEvent(m_event.Get());
  {
    std::lock_guard lock(m_lock);
    m_needed = 0;
    m_reasons.clear();
    m_burnShown = Shown{};
  }
  std::string refused;
  size_t accepted = 0;
  for (size_t j = 0; j < m_tracks.size(); ++j) {
    TrackEntry* track = m_tracks[j];
    track->position = static_cast<DWORD>(j);
    if ((track->flags & kTrackPrepared) != 0) continue;
    if (m_recorder->Command(kCmdQueueTrack, track) == kQuadrinOk) {
      ++accepted;
    } else {
      refused += (refused.empty() ? "" : ",") + std::to_string(j + 1);
    }
  }
  if (accepted == 0) {
    PlatformBox("No tracks were added into burn track list. Check free disk space and/or whether "
                "appropriate track readers are installed.",
                MB_OK | MB_ICONERROR);
    Fail(kNothingPrepared);
    return false;
  }
  if (!refused.empty()) {
    const std::string question = "Tracks with numbers " + refused +
                                 " will be removed because the free space is not enough. Continue?";
    if (PlatformBox(question.c_str(), MB_YESNO | MB_ICONQUESTION) != IDYES) {
      Fail(kNothingPrepared);
      return false;
    }
    m_removalAccepted = true;
  }
  if (m_recorder->Command(kCmdPrepare, nullptr) != kQuadrinOk) {
    Fail(kNothingPrepared);
    return false;
  }
  return true;
}

bool SimpleMode::CheckSpace() {
  m_selection.fill(1);
  std::int32_t free = 0;
  DWORD needed = 0;
  {
    std::lock_guard lock(m_lock);
    needed = m_needed;
  }
  if (m_device->Command(kCmdGetFreeSpace, &free) == kQuadrinOk && free >= 0 &&
      static_cast<DWORD>(free) >= needed) {
    return true;
  }
  SimpleDeviceContentDlg content(m_tracks, m_device.get());
  if (content.DoModal() != IDOK) {
    End();
    return false;
  }
  for (size_t j = 0; j < m_tracks.size() && j < m_selection.size(); ++j) {
    if ((m_tracks[j]->flags & kTrackDeleted) != 0) m_selection[j] = 0;
  }
  m_formatFirst = content.FormatFirst();
  return true;
}

bool SimpleMode::EraseFirst() {
  if (!m_formatFirst) return true;
  m_eraseDialog.Create();
  ResetEvent(m_event.Get());
  {
    std::lock_guard lock(m_lock);
    m_endSucceeded = true;
    m_reasons.clear();
  }
  if (m_recorder->Command(kCmdEraseMedium, nullptr) != kQuadrinOk) {
    ::DestroyWindow(m_eraseDialog.GetSafeHwnd());
    Fail("Cannot start erasing medium !");
    return false;
  }
  const bool waited = WaitForReport();
  ::DestroyWindow(m_eraseDialog.GetSafeHwnd());
  if (!waited || m_cancelled) {
    End();
    return false;
  }
  bool succeeded = false;
  std::string reasons;
  {
    std::lock_guard lock(m_lock);
    succeeded = m_endSucceeded;
    reasons = m_reasons;
  }
  if (!succeeded) {
    Fail(("Formatting failed" + reasons).c_str());
    return false;
  }
  return true;
}

void SimpleMode::Burn() {
  if (!m_recorder) {
    CloseBurnWindow();
    PlatformBox("No tracks burned!", MB_OK | MB_ICONERROR);
    End(1);
    return;
  }
  // One flag per prepared track, in the recorder's order (the tracks'
  // order): the k-th prepared track takes its own track's choice.
  SelectionFlags flags{};
  size_t k = 0;
  for (size_t j = 0; j < m_tracks.size() && k < kSelectionFlagCount; ++j) {
    const bool prepared = (m_tracks[j]->flags & kTrackPrepared) != 0;
    if (!prepared) continue;
    flags.burn[k++] = j < m_selection.size() ? m_selection[j] : 0;
  }
  {
    std::lock_guard lock(m_lock);
    m_endSucceeded = true;
    m_reasons.clear();
  }
  m_device->Command(kCmdSelectTracks, &flags);
  if (m_recorder->Command(kCmdStart, nullptr) != kQuadrinOk) {
    CloseBurnWindow();
    PlatformBox("No tracks burned!", MB_OK | MB_ICONERROR);
    End(1);
  }
}

void SimpleMode::End(DWORD closeMode) {
  if (m_recorder) m_recorder->SetNotifyCallback(nullptr, nullptr);
  m_recorder.reset();
  if (m_device) m_device->Command(kCmdCloseDevice, CloseMode(closeMode));
  m_device.reset();
  CloseBurnWindow();
  if (::IsWindow(m_eraseDialog.GetSafeHwnd())) ::DestroyWindow(m_eraseDialog.GetSafeHwnd());
}

void SimpleMode::CloseBurnWindow() {
  if (::IsWindow(m_burnDialog.GetSafeHwnd())) ::DestroyWindow(m_burnDialog.GetSafeHwnd());
}

void SimpleMode::Fail(const char* text) {
  End();
  PlatformBox(text, MB_OK | MB_ICONERROR);
}

bool SimpleMode::WaitForReport() { return WaitDispatching(m_event.Get()); }

BYTE SimpleMode::Close() {
  if (!::IsWindow(m_burnDialog.GetSafeHwnd())) return 0;
  if (AskCancel(m_burnDialog.GetSafeHwnd())) m_burnDialog.PostMessage(SimpleBurnCancelMessage());
  return m_cancelled ? 1 : 0;
}

bool SimpleMode::AskCancel(HWND owner) {
  {
    std::lock_guard lock(m_lock);
    if (m_questionOpen) return false;
    m_questionOpen = true;
  }
  const INT_PTR answer = CZVMessageBox(owner, Library().skinPath.c_str()).Show(kCancelQuestion, CZVMessageBox::kYesNo);
  std::lock_guard lock(m_lock);
  m_questionOpen = false;
  return answer == IDYES;
}

void SimpleMode::OnCancel() {
  m_cancelled = true;
  // The abort returns once the medium is consistent again; nothing reports
  // after that, and the objects go.
  if (m_recorder) {
    m_recorder->Command(kCmdAbort, nullptr);
    m_recorder->SetNotifyCallback(nullptr, nullptr);
  }
  m_recorder.reset();
  if (m_device) m_device->Command(kCmdCloseDevice, CloseMode(1));
  m_device.reset();
  CloseBurnWindow();
  if (::IsWindow(m_eraseDialog.GetSafeHwnd())) ::DestroyWindow(m_eraseDialog.GetSafeHwnd());
  // A sequence waiting for a report waits no more.
  SetEvent(m_event.Get());
  if (!m_sequenceRunning) Library().recorderState = kRecorderIdle;
}

void SimpleMode::OnFinish() {
  bool succeeded = true;
  std::string reasons;
  {
    std::lock_guard lock(m_lock);
    succeeded = m_endSucceeded;
    reasons = m_reasons;
  }
  if (m_recorder) m_recorder->SetNotifyCallback(nullptr, nullptr);
  m_recorder.reset();
  if (m_device) m_device->Command(kCmdCloseDevice, CloseMode(1));
  m_device.reset();
  CloseBurnWindow();
  if (!m_sequenceRunning) Library().recorderState = kRecorderIdle;
  if (!succeeded) PlatformBox(("Burning failed" + reasons).c_str(), MB_OK | MB_ICONERROR);
}

SimpleMode::Shown SimpleMode::BurnShown() {
  std::lock_guard lock(m_lock);
  return m_burnShown;
}

SimpleMode::Shown SimpleMode::EraseShown() {
  std::lock_guard lock(m_lock);
  return m_eraseShown;
}

DWORD SimpleMode::OnRecorderNotification(DWORD value, DWORD code, void* data, void* context) {
  static_cast<SimpleMode*>(context)->OnNotification(value, code, data);
  return 0;
}

// On the recorder's thread.
void SimpleMode::OnNotification(DWORD value, DWORD code, void* data) {
  const HWND burning = m_burnDialog.GetSafeHwnd();
  const HWND erasing = m_eraseDialog.GetSafeHwnd();
  std::unique_lock lock(m_lock);
  switch (code) {
    case kNotifyTrackProgress: {
      if (data == nullptr) return;
      RecorderProgress progress;
      std::memcpy(&progress, data, sizeof progress);
      m_burnShown.action = progress.converting != 0 ? "Converting..." : "Burning...";
      char track[32];
      std::snprintf(track, sizeof track, "track %u", progress.index + 1);
      m_burnShown.track = track;
      m_burnShown.percent = static_cast<int>(std::min<DWORD>(progress.percent, 100));
      lock.unlock();
      PostMessageA(burning, SimpleBurnProgressMessage(), 0, 0);
      return;
    }
    case kNotifyEraseProgress: {
      if (data == nullptr) return;
      RecorderProgress progress;
      std::memcpy(&progress, data, sizeof progress);
      m_eraseShown.percent = static_cast<int>(std::min<DWORD>(progress.percent, 100));
      char text[48];
      std::snprintf(text, sizeof text, "Erasing medium: %d", m_eraseShown.percent);
      m_eraseShown.track = text;
      lock.unlock();
      PostMessageA(erasing, SimpleEraseProgressMessage(), 0, 0);
      return;
    }
    case kNotifyEraseDone:
      m_endSucceeded = EndSucceeded(value, data);
      lock.unlock();
      SetEvent(m_event.Get());
      return;
    case kNotifyBurnDone: {
      m_endSucceeded = EndSucceeded(value, data);
      const bool asking = m_questionOpen;
      lock.unlock();
      if (asking) CloseZVMessageBoxes();
      PostMessageA(burning, SimpleBurnFinishMessage(), 0, 0);
      return;
    }
    case kNotifyPrepared: {
      DWORD count = 0;
      if (data != nullptr) std::memcpy(&count, data, sizeof count);
      const auto* entries = static_cast<const BYTE*>(data) + offsetof(PreparedTrackList, entries);
      for (DWORD i = 0; i < count; ++i) {
        TrackEntry done;
        std::memcpy(&done, entries + i * sizeof(TrackEntry), sizeof done);
        for (TrackEntry* track : m_tracks) {
          if (!Same(*track, done)) continue;
          track->flags |= kTrackPrepared;
          track->size = done.size;
          m_needed += done.size;
        }
      }
      lock.unlock();
      SetEvent(m_event.Get());
      return;
    }
    case kNotifyText:
      m_burnShown.track = data != nullptr ? static_cast<const char*>(data) : "";
      m_reasons += "\n" + m_burnShown.track;
      lock.unlock();
      PostMessageA(burning, SimpleBurnProgressMessage(), 0, 0);
      return;
    default:
      return;
  }
}

}  // namespace drumlet
