// The recorder dialog's device: choosing one, opening it (the device's
// object and the recorder, both or neither), listing what it holds with its
// space, and formatting its medium.
#include <cstring>

#include "drumlet/device_list.h"
#include "drumlet/platform_box.h"
#include "drumlet/recorder_dialog.h"
#include "drumlet/recorder_objects.h"
#include "platform/ui/commctrl.h"
#include "platform/ui/user32.h"

namespace drumlet {

const DeviceInfo* RecorderDialog::ChosenDevice() const {
  const LRESULT index = SendDlgItemMessageA(m_hWnd, kDeviceComboId, CB_GETCURSEL, 0, 0);
  if (index < 0 || static_cast<size_t>(index) >= m_devices.size()) return nullptr;
  return &m_devices[static_cast<size_t>(index)];
}

void RecorderDialog::OnDeviceChosen() {
  const DeviceInfo* device = ChosenDevice();
  if (device == nullptr) return;
  if (IsDiscImageDevice(device->moduleId, device->index) && m_imagePath.empty()) {
    m_imagePath = FreshDiscImagePath();
  }
  ShowDeviceContent();
  CloseDevice(0);
  // Tracks prepared for another device are in that device's form.
  for (int i = 0; i < ItemCount(); ++i) {
    if (TrackEntry* entry = EntryAt(i)) entry->flags &= ~kTrackPrepared;
  }
  m_burnList.clear();
  InvalidateRect(TrackList(), nullptr, TRUE);
  RefreshData();
}

bool RecorderDialog::OpenDevice() {
  const DeviceInfo* device = ChosenDevice();
  if (device == nullptr) {
    PlatformBox("You have to select a recorder first!", MB_OK | MB_ICONERROR);
    return false;
  }
  if (m_device && m_recorder) return true;
  auto fail = [this](const char* text) {
    m_recorder.reset();
    m_device.reset();
    PlatformBox(text, MB_OK | MB_ICONERROR);
    return false;
  };
  m_device = MakeCommunicationObject(device->moduleId);
  if (!m_device) return fail("Unable to create device object!");
  m_openParams.deviceIndex = device->index;
  m_openParams.reserved = 0;
  m_openParams.imagePath = IsDiscImageDevice(device->moduleId, device->index) ? m_imagePath.c_str() : nullptr;
  if (m_device->Command(kCmdOpenDevice, &m_openParams) != kQuadrinOk) {
    return fail("Unable to open selected device!");
  }
  m_recorder = MakeCommunicationObject(kRecorderModuleId);
  if (!m_recorder) {
    m_device->Command(kCmdCloseDevice, nullptr);
    return fail("Unable to create recorder!");
  }
  m_recorder->SetNotifyCallback(&RecorderDialog::OnRecorderNotification, this);
  m_device->Command(kCmdSetOptions, &m_openParams.init);
  m_recorder->Command(kCmdConnect, m_device.get());
  return true;
}

void RecorderDialog::CloseDevice(DWORD mode) {
  // No report may arrive for a recorder that is gone.
  if (m_recorder) m_recorder->SetNotifyCallback(nullptr, nullptr);
  m_recorder.reset();
  if (m_device) m_device->Command(kCmdCloseDevice, reinterpret_cast<void*>(static_cast<uintptr_t>(mode)));
  m_device.reset();
}

void RecorderDialog::ShowDeviceContent() {
  HWND content = GetDlgItem(kDeviceContentListId);
  SendMessageA(content, LB_RESETCONTENT, 0, 0);
  m_availableBytes = 0;
  m_totalBytes = 0;
  if (OpenDevice()) {
    m_device->Command(kCmdGetCapacity, &m_totalBytes);
    m_device->Command(kCmdGetFreeSpace, &m_availableBytes);
    if (m_device->Command(kCmdBeginTrackList, nullptr) == kQuadrinOk) {
      TrackEntry stored{};
      while (m_device->Command(kCmdNextTrack, &stored) == kQuadrinOk) {
        stored.name[sizeof stored.name - 1] = '\0';
        SendMessageA(content, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(stored.name));
      }
    }
  }
  RefreshData();
}

void RecorderDialog::OnFormat() {
  if (ChosenDevice() == nullptr) return;
  EnableControls(false);
  if (!OpenDevice()) {
    EnableControls(true);
    return;
  }
  {
    std::lock_guard lock(m_sharedLock);
    m_reports.reasons.clear();
  }
  Report("Formatting in progress ...", 0);
  if (m_device->Command(kCmdFormatMedium, nullptr) != kQuadrinOk) {
    Report("Formatting failed", 0);
    EnableControls(true);
  }
}

}  // namespace drumlet
