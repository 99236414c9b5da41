// A device opened as the recorder dialog opens one, for qap devices: the
// device module's object with the user's options, opened by index (the CD
// writer's device 0 with its disc image). Closing closes and ends it.
#pragma once

#include <string>

#include "tools/qap/transfer_host.h"

namespace qap {

class DeviceSession {
 public:
  DeviceSession() = default;
  ~DeviceSession();
  DeviceSession(const DeviceSession&) = delete;
  DeviceSession& operator=(const DeviceSession&) = delete;

  // name: as "qap devices" lists it; image: the disc image, for the CD
  // writer. False with a message that says what to do.
  bool Open(const std::string& name, const std::string& image, std::string* error);
  // The tracks on the medium; false with the device's reason when it cannot
  // be read (a disc image that does not match its CUE sheet), which also
  // means nothing may be added to it.
  bool ListTracks(std::vector<TrackEntry>* tracks, std::string* error);

  ICommunication* Device() const { return m_device.get(); }

 private:
  static DWORD OnDevice(DWORD value, DWORD code, void* data, void* context);

  std::string m_image;
  std::string m_deviceText;  // the device's last notification 108
  TransferObject m_device;
};

}  // namespace qap
