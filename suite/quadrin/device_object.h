// A device module's communication object. Without an open device it answers
// the module's questions (how many devices, their names); command 3010 opens
// one. When opening or listing the medium fails, notification 108 tells why. A recorder that targets the object shares its state (the open device,
// the options, the burn selection), so that the device may be opened and
// closed while the recorder targets it, and erasing through the device (3005)
// runs and reports on the recorder's thread.
#pragma once

#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include "suite/quadrin/communication_object.h"
#include "suite/quadrin/device.h"

namespace quadrin {

class Recorder;

class DeviceCore {
 public:
  explicit DeviceCore(std::shared_ptr<DeviceModule> module) : m_module(std::move(module)) {}

  DeviceModule& Module() { return *m_module; }
  std::shared_ptr<Device> OpenDevice() const;
  bool Open(const OpenParams& params, std::string* error);
  void Close();
  std::optional<TQuadrinInitStruct> Options() const;
  void SetOptions(const TQuadrinInitStruct& options);
  std::optional<SelectionFlags> Selection() const;
  void SetSelection(const SelectionFlags& selection);
  std::shared_ptr<Recorder> AttachedRecorder() const;
  void Attach(const std::shared_ptr<Recorder>& recorder);

 private:
  mutable std::mutex m_lock;
  std::shared_ptr<DeviceModule> m_module;
  std::shared_ptr<Device> m_device;  // null while closed
  std::optional<TQuadrinInitStruct> m_options;
  std::optional<SelectionFlags> m_selection;
  std::weak_ptr<Recorder> m_recorder;
};

class DeviceObject final : public CommunicationObject {
 public:
  explicit DeviceObject(std::shared_ptr<DeviceModule> module);

  ModuleStyle Style() const override { return kStyleDevice; }
  const std::shared_ptr<DeviceCore>& Core() const { return m_core; }

 protected:
  std::int32_t Handle(DWORD code, void* data) override;

 private:
  std::int32_t Format();
  // Notification 108 with the text.
  void Tell(const std::string& text);

  std::shared_ptr<DeviceCore> m_core;
  std::vector<TrackEntry> m_listing;  // from 3012, handed out by 3013
  size_t m_listed = 0;
};

}  // namespace quadrin
