// The device commands.
#include "suite/quadrin/device_object.h"

#include <algorithm>
#include <cstdint>

#include "platform/base/text_field.h"
#include "suite/quadrin/recorder.h"

namespace quadrin {
namespace {

// The 32-bit figures of 3015 and 3016 stop at what they can hold.
std::int32_t Clamped(std::uint64_t bytes) {
  return static_cast<std::int32_t>(std::min<std::uint64_t>(bytes, INT32_MAX));
}

}  // namespace

std::shared_ptr<Device> DeviceCore::OpenDevice() const {
  std::lock_guard lock(m_lock);
  return m_device;
}

bool DeviceCore::Open(const OpenParams& params, std::string* error) {
  std::shared_ptr<Device> device = m_module->Open(params.deviceIndex, params.imagePath, error);
  if (!device) return false;
  std::lock_guard lock(m_lock);
  m_device = std::move(device);
  m_options = params.init;
  m_selection.reset();
  return true;
}

void DeviceCore::Close() {
  std::lock_guard lock(m_lock);
  m_device.reset();
}

std::optional<TQuadrinInitStruct> DeviceCore::Options() const {
  std::lock_guard lock(m_lock);
  return m_options;
}

void DeviceCore::SetOptions(const TQuadrinInitStruct& options) {
  std::lock_guard lock(m_lock);
  m_options = options;
}

std::optional<SelectionFlags> DeviceCore::Selection() const {
  std::lock_guard lock(m_lock);
  return m_selection;
}

void DeviceCore::SetSelection(const SelectionFlags& selection) {
  std::lock_guard lock(m_lock);
  m_selection = selection;
}

std::shared_ptr<Recorder> DeviceCore::AttachedRecorder() const {
  std::lock_guard lock(m_lock);
  return m_recorder.lock();
}

void DeviceCore::Attach(const std::shared_ptr<Recorder>& recorder) {
  std::lock_guard lock(m_lock);
  m_recorder = recorder;
}

DeviceObject::DeviceObject(std::shared_ptr<DeviceModule> module)
    : m_core(std::make_shared<DeviceCore>(std::move(module))) {}

std::int32_t DeviceObject::Handle(DWORD code, void* data) {
  switch (code) {
    case kCmdSetOptions:
      if (data == nullptr) return kQuadrinFailed;
      m_core->SetOptions(*static_cast<const TQuadrinInitStruct*>(data));
      return kQuadrinOk;
    case kCmdGetDeviceCount:
      if (data == nullptr) return kQuadrinFailed;
      *static_cast<DWORD*>(data) = static_cast<DWORD>(m_core->Module().DeviceNames().size());
      return kQuadrinOk;
    case kCmdDescribeDevice: {
      if (data == nullptr) return kQuadrinFailed;
      auto* query = static_cast<DeviceNameQuery*>(data);
      const std::vector<std::string> names = m_core->Module().DeviceNames();
      if (query->index >= names.size()) return kQuadrinFailed;
      CopyToField(query->name, sizeof query->name, names[query->index]);
      return kQuadrinOk;
    }
    case kCmdOpenDevice: {
      if (data == nullptr) return kQuadrinFailed;
      std::string error;
      if (m_core->Open(*static_cast<const OpenParams*>(data), &error)) return kQuadrinOk;
      Tell(error);
      return kQuadrinFailed;
    }
    case kCmdCloseDevice:
      m_core->Close();
      m_listing.clear();
      m_listed = 0;
      return kQuadrinOk;
    case kCmdSelectTracks:
      if (data == nullptr) return kQuadrinFailed;
      m_core->SetSelection(*static_cast<const SelectionFlags*>(data));
      return kQuadrinOk;
    case kCmdFormatMedium:
      return Format();
    default:
      break;
  }
  // The rest needs an open device.
  std::shared_ptr<Device> device = m_core->OpenDevice();
  switch (code) {
    case kCmdGetStorageName:
      if (data == nullptr) return kQuadrinFailed;
      CopyToField(static_cast<char*>(data), kDeviceNameSize,
               device ? device->StorageName() : std::string("(no device open)"));
      return device ? kQuadrinOk : kQuadrinFailed;
    case kCmdBeginTrackList: {
      m_listed = 0;
      std::string error = "no device is open";
      if (!device || !device->ListTracks(&m_listing, &error)) {
        m_listing.clear();
        Tell(error);
        return kQuadrinFailed;
      }
      return kQuadrinOk;
    }
    case kCmdNextTrack:
      if (data == nullptr || m_listed >= m_listing.size()) return kQuadrinFailed;
      *static_cast<TrackEntry*>(data) = m_listing[m_listed++];
      return kQuadrinOk;
    case kCmdGetCapacity:
      if (data == nullptr || !device) return kQuadrinFailed;
      *static_cast<std::int32_t*>(data) = Clamped(device->Capacity());
      return kQuadrinOk;
    case kCmdGetFreeSpace:
      if (data == nullptr || !device) return kQuadrinFailed;
      *static_cast<std::int32_t*>(data) = Clamped(device->FreeSpace());
      return kQuadrinOk;
    default:
      return kQuadrinNotSupported;
  }
}

void DeviceObject::Tell(const std::string& text) {
  Notifications()->Send(0, kNotifyText, const_cast<char*>(text.c_str()));
}

std::int32_t DeviceObject::Format() {
  // With a recorder, the erase runs on its thread and reports through it.
  if (std::shared_ptr<Recorder> recorder = m_core->AttachedRecorder()) {
    return recorder->StartErase();
  }
  std::shared_ptr<Device> device = m_core->OpenDevice();
  if (!device) return kQuadrinFailed;
  std::atomic<bool> never{false};
  std::string error;
  return device->Erase([](unsigned) {}, never, &error) ? kQuadrinOk : kQuadrinFailed;
}

}  // namespace quadrin
