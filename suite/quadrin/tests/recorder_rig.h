// A device and the recorder targeting it, opened as the recorder dialog
// opens them, with the recorder's notifications logged; for the recorder and
// device tests.
#pragma once

#include "suite/quadrin/tests/quadrin_test_support.h"

namespace quadrin_test {

class RecorderRig {
 public:
  RecorderRig();
  ~RecorderRig();

  // The CD writer on a disc image in the rig's folder.
  void OpenDisc(std::source_location caller = std::source_location::current());
  // A portable player on a folder of the rig's, of capacityMb.
  void OpenPlayer(DWORD capacityMb, std::source_location caller = std::source_location::current());

  std::int32_t Queue(const std::string& path, DWORD position);
  // Queues every file (each must be accepted), prepares, and returns the
  // prepared entries of notification 106.
  std::vector<TrackEntry> Prepare(const std::vector<std::string>& files,
                                  std::source_location caller = std::source_location::current());
  // Selects (none: every prepared track), burns and waits; the end value.
  DWORD Burn(const std::vector<BYTE>& selection = {},
             std::source_location caller = std::source_location::current());
  std::vector<TrackEntry> StoredTracks();
  std::int32_t Figure(DWORD code);

  const qap::testing::ScratchDir& Dir() const { return m_dir; }
  const std::string& Image() const { return m_image; }
  const std::string& Player() const { return m_player; }
  const std::string& Temp() const { return m_temp; }
  ICommunication* Device() { return m_device.get(); }
  ICommunication* Recorder() { return m_recorder.get(); }
  NotificationLog& Log() { return m_log; }

 private:
  void Open(const std::string& shortId, DWORD index, const char* image, std::source_location caller);

  RegisteredModules m_modules;
  qap::testing::ScratchDir m_dir;
  std::string m_image;
  std::string m_player;
  std::string m_temp;
  NotificationLog m_log;
  Object m_device;
  Object m_recorder;
};

}  // namespace quadrin_test
