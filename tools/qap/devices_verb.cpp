// qap devices: the devices of the transfer layer's device modules (the CD
// image writer and the portable players), what one of them holds, and the
// players' registry entries.
#include <cstdio>
#include <cstdlib>
#include <iomanip>
#include <iostream>

#include "drumlet/device_list.h"
#include "platform/base/text_field.h"
#include "suite/quadrin/module_admin.h"
#include "tools/qap/device_session.h"
#include "tools/qap/transfer_host.h"
#include "tools/qap/verb.h"

namespace qap {
namespace {

int Run(const Args& args);

const Verb kVerb{
    "devices", "list the devices to burn to, show what one holds, name portable players",
    "usage: qap devices [list]\n"
    "       qap devices show NAME [--image PATH]\n"
    "       qap devices add NAME FOLDER [--capacity MB]\n"
    "       qap devices remove NAME\n\n"
    "list     every device of every registered device module\n"
    "show     opens the device and prints its total and free space and the\n"
    "         tracks stored on it; the CD writer's medium is a disc image, named\n"
    "         with --image\n"
    "add      names a portable player: a music folder standing for the player's\n"
    "         storage, with its capacity in megabytes (default 1024). Erasing the\n"
    "         player deletes the MP3, WMA and WAV files at the top of its folder.\n"
    "remove   forgets a portable player (its folder is left as it is)\n",
    Run};
const VerbRegistrar kRegistrar(kVerb);

std::string Megabytes(std::int32_t bytes) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f MB", bytes / 1048576.0);
  return text;
}

int List() {
  std::vector<DeviceInfo> devices;
  drumlet::ListDevicesThroughObjects(&devices, nullptr);
  if (devices.empty()) {
    std::cout << "No devices. \"qap modules register --builtin\" registers the CD image writer;\n"
                 "\"qap devices add\" names a portable player.\n";
    return 0;
  }
  std::cout << std::left << std::setw(17) << "MODULE" << std::setw(7) << "INDEX" << "NAME\n";
  for (const DeviceInfo& device : devices) {
    std::cout << std::left << std::setw(17) << device.moduleId << std::setw(7) << device.index
              << device.name << "\n";
  }
  return 0;
}

int Show(const std::string& name, const std::string& image) {
  DeviceSession session;
  std::string error;
  if (!session.Open(name, image, &error)) {
    std::cerr << "qap devices: " << error << "\n";
    return 1;
  }
  ICommunication* device = session.Device();
  std::int32_t total = 0;
  std::int32_t free = 0;
  device->Command(kCmdGetCapacity, &total);
  device->Command(kCmdGetFreeSpace, &free);
  char storage[kDeviceNameSize] = "";
  device->Command(kCmdGetStorageName, storage);
  std::cout << "Device:      " << name << "\n"
            << "Storage:     " << storage << "\n"
            << "Total space: " << Megabytes(total) << "\n"
            << "Free space:  " << Megabytes(free) << "\n";
  std::vector<TrackEntry> tracks;
  if (!session.ListTracks(&tracks, &error)) {
    std::cerr << "qap devices: Cannot start enumerating storage \"" << storage << "\": " << error
              << "\n";
    return 1;
  }
  int count = 0;
  for (const TrackEntry& track : tracks) {
    if (count++ == 0) std::cout << "Tracks:\n";
    const std::string_view artist = FieldText(track.tags.artist, sizeof track.tags.artist);
    std::cout << "  " << std::setw(3) << std::right << count << ". " << track.name
              << (artist.empty() ? "" : " - " + std::string(artist)) << "  ("
              << Megabytes(static_cast<std::int32_t>(track.size)) << ")\n";
  }
  if (count == 0) std::cout << "Tracks:      none\n";
  return 0;
}

int Add(const Args& args) {
  DWORD capacity = 1024;
  std::vector<std::string> words;
  for (size_t i = 1; i < args.size(); ++i) {
    if (args[i] == "--capacity") {
      char* end = nullptr;
      const long value = i + 1 < args.size() ? std::strtol(args[++i].c_str(), &end, 10) : 0;
      if (end == nullptr || *end != '\0' || value <= 0 || value > 2047) {
        return UsageError(kVerb, "--capacity needs megabytes from 1 to 2047");
      }
      capacity = static_cast<DWORD>(value);
    } else {
      words.push_back(args[i]);
    }
  }
  if (words.size() != 2) return UsageError(kVerb, "add takes NAME and FOLDER");
  char error[1024] = "";
  if (AddPortablePlayer(words[0].c_str(), words[1].c_str(), capacity, error, sizeof error) !=
      kQuadrinOk) {
    std::cerr << "qap devices: " << error << "\n";
    return 1;
  }
  std::cout << "Added the player \"" << words[0] << "\": " << words[1] << ", " << capacity
            << " MB\n";
  return 0;
}

int Run(const Args& args) {
  if (args.empty() || (args[0] == "list" && args.size() == 1)) return List();
  if (args[0] == "show") {
    std::string image;
    std::vector<std::string> words;
    for (size_t i = 1; i < args.size(); ++i) {
      if (args[i] == "--image") {
        if (i + 1 >= args.size()) return UsageError(kVerb, "--image needs a path");
        image = args[++i];
      } else {
        words.push_back(args[i]);
      }
    }
    if (words.size() != 1) return UsageError(kVerb, "show takes one device NAME");
    return Show(words[0], image);
  }
  if (args[0] == "add") return Add(args);
  if (args[0] == "remove") {
    if (args.size() != 2) return UsageError(kVerb, "remove takes a player's NAME");
    if (RemovePortablePlayer(args[1].c_str()) != kQuadrinOk) {
      std::cerr << "qap devices: there is no player \"" << args[1] << "\"\n";
      return 1;
    }
    std::cout << "Removed the player \"" << args[1] << "\"\n";
    return 0;
  }
  return UsageError(kVerb, "unknown action '" + args[0] + "'");
}

}  // namespace
}  // namespace qap
