// The players' registry entries and their music folders. A track is written
// under a temporary name and renamed when complete, so that an aborted or
// failed copy leaves no partial file among the tracks.
#include "suite/quadrin/portable_device.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>

#include "platform/base/codepage.h"
#include "platform/base/paths.h"
#include "platform/base/text_field.h"
#include "platform/registry/reg_key.h"
#include "suite/quadrin/file_copy.h"
#include "suite/quadrin/module_registry.h"

namespace quadrin {
namespace {

namespace fs = std::filesystem;

constexpr const char* kMusicExtensions[] = {"mp3", "wma", "wav"};
constexpr const char* kPartialSuffix = ".part";

std::string DevicesPath() {
  return std::string(kRegistryRoot) + "\\" + kModulesKey + "\\" + kPortableId + "\\" +
         kPortableDevicesKey;
}

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

bool IsMusic(const fs::path& path) {
  std::string extension = Lower(path.extension().string());
  if (extension.empty()) return false;
  extension.erase(0, 1);
  return std::find(std::begin(kMusicExtensions), std::end(kMusicExtensions), extension) !=
         std::end(kMusicExtensions);
}

// A track name as a file name: no separators or characters players refuse.
std::string FileNameFor(const std::string& name) {
  std::string safe;
  for (char c : name) {
    const bool bad = static_cast<unsigned char>(c) < 0x20 || std::string("/\\:*?\"<>|").find(c) != std::string::npos;
    safe += bad ? '_' : c;
  }
  while (!safe.empty() && (safe.back() == '.' || safe.back() == ' ')) safe.pop_back();
  return safe.empty() ? "Track" : safe;
}

}  // namespace

std::vector<PortableConfig> PortableDevices() {
  std::vector<PortableConfig> devices;
  RegKey parent;
  if (parent.Open(HKEY_CURRENT_USER, DevicesPath().c_str()) != ERROR_SUCCESS) return devices;
  for (DWORD index = 0;; ++index) {
    char name[kDeviceNameSize];
    DWORD size = sizeof name;
    const LONG result =
        RegEnumKeyExA(parent.Get(), index, name, &size, nullptr, nullptr, nullptr, nullptr);
    if (result == ERROR_NO_MORE_ITEMS) break;
    if (result != ERROR_SUCCESS) continue;
    RegKey device;
    if (device.Open(parent.Get(), name) != ERROR_SUCCESS) continue;
    PortableConfig config;
    config.name.assign(name, size);
    char folder[MAX_PATH] = "";
    DWORD folderSize = sizeof folder - 1;
    DWORD type = 0;
    if (RegQueryValueExA(device.Get(), kFolderValue, nullptr, &type,
                         reinterpret_cast<BYTE*>(folder), &folderSize) != ERROR_SUCCESS ||
        type != REG_SZ) {
      continue;
    }
    config.folder = FieldText(folder, folderSize);
    DWORD capacitySize = sizeof config.capacityMb;
    RegQueryValueExA(device.Get(), kCapacityValue, nullptr, &type,
                     reinterpret_cast<BYTE*>(&config.capacityMb), &capacitySize);
    devices.push_back(config);
  }
  return devices;
}

bool AddPortableDevice(const PortableConfig& config, std::string* error) {
  if (config.name.empty() || config.name.size() >= kDeviceNameSize ||
      config.name.find('\\') != std::string::npos) {
    *error = "a player's name is 1 to 255 bytes without '\\'";
    return false;
  }
  if (config.folder.empty() || config.folder.size() >= MAX_PATH) {
    *error = "a player's folder is a path of 1 to 259 bytes";
    return false;
  }
  RegKey device;
  LONG result = device.Create(HKEY_CURRENT_USER, (DevicesPath() + "\\" + config.name).c_str());
  if (result == ERROR_SUCCESS) {
    result = RegSetValueExA(device.Get(), kFolderValue, 0, REG_SZ,
                            reinterpret_cast<const BYTE*>(config.folder.c_str()),
                            static_cast<DWORD>(config.folder.size() + 1));
  }
  if (result == ERROR_SUCCESS) {
    result = RegSetValueExA(device.Get(), kCapacityValue, 0, REG_DWORD,
                            reinterpret_cast<const BYTE*>(&config.capacityMb),
                            sizeof config.capacityMb);
  }
  if (result == ERROR_SUCCESS) result = RegFlushKey(device.Get());
  if (result != ERROR_SUCCESS) {
    *error = "cannot write the player's registry entry: " + SystemMessage(result);
    return false;
  }
  return true;
}

bool RemovePortableDevice(const std::string& name) {
  RegKey parent;
  if (name.empty() ||
      parent.Open(HKEY_CURRENT_USER, DevicesPath().c_str(), KEY_ALL_ACCESS) != ERROR_SUCCESS) {
    return false;
  }
  const bool removed = RegDeleteTreeA(parent.Get(), name.c_str()) == ERROR_SUCCESS;
  RegFlushKey(parent.Get());
  return removed;
}

std::vector<std::string> PortableModule::DeviceNames() {
  std::vector<std::string> names;
  for (const PortableConfig& config : PortableDevices()) names.push_back(config.name);
  return names;
}

std::shared_ptr<Device> PortableModule::Open(DWORD index, const char*, std::string* error) {
  const std::vector<PortableConfig> devices = PortableDevices();
  if (index >= devices.size()) {
    *error = "there is no player " + std::to_string(index);
    return nullptr;
  }
  const PortableConfig& config = devices[index];
  const std::string host = ToHostPath(config.folder);
  std::error_code failure;
  if (host.empty() || !fs::is_directory(host, failure)) {
    *error = "the player's folder " + config.folder + " is not there; is the player connected?";
    return nullptr;
  }
  return std::make_shared<PortableDevice>(config, host);
}

PortableDevice::PortableDevice(PortableConfig config, std::string folderHost)
    : m_config(std::move(config)), m_folderHost(std::move(folderHost)) {}

bool PortableDevice::TakesAsIs(const std::string& extension) const {
  return extension == "mp3" || extension == "wma";
}

std::vector<std::string> PortableDevice::MusicFiles() const {
  std::vector<std::string> files;
  std::error_code failure;
  for (const fs::directory_entry& entry : fs::directory_iterator(m_folderHost, failure)) {
    if (entry.is_regular_file(failure) && IsMusic(entry.path())) {
      files.push_back(entry.path().string());
    }
  }
  std::sort(files.begin(), files.end());
  return files;
}

std::uint64_t PortableDevice::UsedBytes() const {
  std::uint64_t used = 0;
  std::error_code failure;
  for (const std::string& file : MusicFiles()) {
    const std::uintmax_t size = fs::file_size(file, failure);
    if (!failure) used += size;
  }
  return used;
}

std::uint64_t PortableDevice::Capacity() { return std::uint64_t{m_config.capacityMb} << 20; }

std::uint64_t PortableDevice::FreeSpace() {
  const std::uint64_t capacity = Capacity();
  const std::uint64_t used = UsedBytes();
  struct statvfs stats {};
  const std::uint64_t folderFree =
      statvfs(m_folderHost.c_str(), &stats) == 0
          ? static_cast<std::uint64_t>(stats.f_bavail) * stats.f_frsize
          : 0;
  return std::min(used < capacity ? capacity - used : 0, folderFree);
}

bool PortableDevice::ListTracks(std::vector<TrackEntry>* tracks, std::string* error) {
  std::error_code failure;
  if (!fs::is_directory(m_folderHost, failure)) {
    *error = "the player's folder " + m_config.folder + " is not there; is the player connected?";
    return false;
  }
  tracks->clear();
  for (const std::string& file : MusicFiles()) {
    TrackEntry entry{};
    const fs::path path(file);
    CopyToField(entry.sourcePath, sizeof entry.sourcePath, Utf8ToAnsi(file));
    std::string extension = Lower(path.extension().string()).substr(1);
    if (auto reader = FindModuleForExtension(kStyleReader, extension)) {
      CopyToField(entry.readerId, sizeof entry.readerId, reader->shortId);
    }
    entry.size = static_cast<DWORD>(std::min<std::uintmax_t>(fs::file_size(path, failure), 0xFFFFFFFF));
    entry.position = static_cast<DWORD>(tracks->size());
    CopyToField(entry.name, sizeof entry.name, Utf8ToAnsi(path.stem().string()));
    entry.flags = kTrackOnDevice;
    tracks->push_back(entry);
  }
  return true;
}

bool PortableDevice::Store(const PreparedTrack& track, const ProgressFunction& progress,
                           const std::atomic<bool>& abort, std::string* error) {
  std::lock_guard operation(m_operationLock);
  if (track.bytes > FreeSpace()) {
    *error = "there is not enough room left on the player";
    return false;
  }
  const std::string extension = fs::path(track.file).extension().string();
  const std::string base = FileNameFor(AnsiToUtf8(track.name));
  fs::path target = fs::path(m_folderHost) / (base + extension);
  std::error_code failure;
  for (int copy = 2; fs::exists(target, failure); ++copy) {
    target = fs::path(m_folderHost) / (base + " (" + std::to_string(copy) + ")" + extension);
  }
  const std::string partial = target.string() + kPartialSuffix;
  UniqueFd in(open(track.file.c_str(), O_RDONLY | O_CLOEXEC));
  if (!in) {
    *error = SystemError("cannot read the prepared track");
    return false;
  }
  UniqueFd out(open(partial.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
  if (!out) {
    *error = SystemError("cannot write to the player");
    return false;
  }
  const CopyResult copied =
      CopyInto(in.Get(), track.offset, out.Get(), 0, track.bytes, progress, abort, error);
  if (copied == CopyResult::kAborted) *error = "aborted";
  if (copied == CopyResult::kFailed) *error = "cannot write to the player: " + *error;
  bool ok = copied == CopyResult::kDone && out.Close();
  if (copied == CopyResult::kDone && !ok) *error = SystemError("cannot write to the player");
  if (ok && std::rename(partial.c_str(), target.c_str()) != 0) {
    *error = SystemError("cannot name the track on the player");
    ok = false;
  }
  if (!ok) {
    out.Close();
    std::remove(partial.c_str());
  }
  return ok;
}

bool PortableDevice::Erase(const ProgressFunction& progress, const std::atomic<bool>& abort,
                           std::string* error) {
  std::lock_guard operation(m_operationLock);
  const std::vector<std::string> files = MusicFiles();
  progress(0);
  for (size_t i = 0; i < files.size(); ++i) {
    if (abort) {
      *error = "aborted";
      return false;
    }
    if (std::remove(files[i].c_str()) != 0 && errno != ENOENT) {
      *error = SystemError("cannot delete " + Utf8ToAnsi(files[i]));
      return false;
    }
    progress(static_cast<unsigned>((i + 1) * 100 / files.size()));
  }
  progress(100);
  return true;
}

}  // namespace quadrin
