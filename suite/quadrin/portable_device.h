// "QuadrinPortable": portable players whose storage is a music folder, one
// device per folder named in the registry under
// ...\Quadrin\QuadrinPortable\Devices\<device name>, with "folder" (REG_SZ,
// a program path) and "capacity" (REG_DWORD, megabytes). A player plays MP3
// and WMA files; its tracks are the music files at the top of its folder,
// and erasing deletes those files and nothing else.
#pragma once

#include <mutex>

#include "suite/quadrin/device.h"

namespace quadrin {

constexpr const char* kPortableId = "QuadrinPortable";
constexpr const char* kPortableDevicesKey = "Devices";
constexpr const char* kFolderValue = "folder";
constexpr const char* kCapacityValue = "capacity";

struct PortableConfig {
  std::string name;    // system code page
  std::string folder;  // program path, system code page
  DWORD capacityMb = 0;
};

// The players in registry order.
std::vector<PortableConfig> PortableDevices();
bool AddPortableDevice(const PortableConfig& config, std::string* error);
bool RemovePortableDevice(const std::string& name);

class PortableModule final : public DeviceModule {
 public:
  std::vector<std::string> DeviceNames() override;
  std::shared_ptr<Device> Open(DWORD index, const char* imagePath, std::string* error) override;
};

class PortableDevice final : public Device {
 public:
  PortableDevice(PortableConfig config, std::string folderHost);

  std::string StorageName() const override { return m_config.folder; }
  DeviceForm Form() const override { return DeviceForm::kPlayerFiles; }
  bool TakesAsIs(const std::string& extension) const override;
  std::uint64_t Capacity() override;
  std::uint64_t FreeSpace() override;
  std::uint64_t SpaceFor(std::uint64_t bytes) const override { return bytes; }
  std::size_t TracksLeft() override { return SIZE_MAX; }
  bool ListTracks(std::vector<TrackEntry>* tracks, std::string* error) override;
  bool Store(const PreparedTrack& track, const ProgressFunction& progress,
             const std::atomic<bool>& abort, std::string* error) override;
  bool Erase(const ProgressFunction& progress, const std::atomic<bool>& abort,
             std::string* error) override;

 private:
  // Host paths of the music files, sorted by name.
  std::vector<std::string> MusicFiles() const;
  std::uint64_t UsedBytes() const;

  const PortableConfig m_config;
  const std::string m_folderHost;
  std::mutex m_operationLock;  // one store or erase at a time
};

}  // namespace quadrin
