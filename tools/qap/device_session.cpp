// Opening and closing a device.
#include "tools/qap/device_session.h"

#include "drumlet/device_list.h"

namespace qap {

DeviceSession::~DeviceSession() {
  if (m_device) m_device->Command(kCmdCloseDevice, reinterpret_cast<void*>(1));
}

bool DeviceSession::Open(const std::string& name, const std::string& image, std::string* error) {
  std::vector<DeviceInfo> devices;
  drumlet::ListDevicesThroughObjects(&devices, nullptr);
  const DeviceInfo* found = nullptr;
  for (const DeviceInfo& device : devices) {
    if (name == device.name) {
      found = &device;
      break;
    }
  }
  if (found == nullptr) {
    *error = "there is no device \"" + name + "\" (\"qap devices\" lists them)";
    return false;
  }
  const bool discImage = std::string(found->moduleId) == "QuadrinCDWriter" && found->index == 0;
  if (discImage && image.empty()) {
    *error = "\"" + name + "\" writes a disc image: name its file with --image PATH";
    return false;
  }
  TQuadrinInitStruct init{};
  if (!LoadTransferOptions(&init)) {
    *error = "cannot read the recording options";
    return false;
  }
  m_device = CreateObject(found->moduleId);
  if (!m_device) {
    *error = "Unable to create device object!";
    return false;
  }
  m_device->SetNotifyCallback(&DeviceSession::OnDevice, this);
  m_device->Command(kCmdSetOptions, &init);
  m_image = image;
  OpenParams params{};
  params.deviceIndex = found->index;
  params.imagePath = discImage ? m_image.c_str() : nullptr;
  params.init = init;
  m_deviceText.clear();
  if (m_device->Command(kCmdOpenDevice, &params) != kQuadrinOk) {
    m_device.reset();
    *error = "Unable to open selected device! " + m_deviceText;
    return false;
  }
  return true;
}

DWORD DeviceSession::OnDevice(DWORD, DWORD code, void* data, void* context) {
  // The device tells on the thread of the command that failed.
  if (code == kNotifyText && data != nullptr) {
    static_cast<DeviceSession*>(context)->m_deviceText = static_cast<const char*>(data);
  }
  return 0;
}

bool DeviceSession::ListTracks(std::vector<TrackEntry>* tracks, std::string* error) {
  m_deviceText.clear();
  tracks->clear();
  if (m_device->Command(kCmdBeginTrackList, nullptr) != kQuadrinOk) {
    *error = m_deviceText.empty() ? "the medium cannot be read" : m_deviceText;
    return false;
  }
  TrackEntry track{};
  while (m_device->Command(kCmdNextTrack, &track) == kQuadrinOk) tracks->push_back(track);
  return true;
}

}  // namespace qap
