// "QuadrinCDWriter": one device, a CD writer whose medium is a disc image
// file. The image holds every track as raw CD-DA sectors (44100 Hz, 16-bit
// stereo, little-endian), and the CUE sheet beside it (the image's name
// followed by ".cue") holds the table of contents, so that CD tools and
// players read the image as an audio CD. The disc holds 80 minutes; burns
// append tracks, erasing empties it.
#pragma once

#include <mutex>

#include "suite/quadrin/cue_sheet.h"
#include "suite/quadrin/device.h"

namespace quadrin {

constexpr const char* kCdWriterId = "QuadrinCDWriter";
constexpr std::uint64_t kCdCapacityBytes =
    std::uint64_t{80} * 60 * kCdSectorsPerSecond * kCdSectorBytes;
constexpr std::size_t kCdMaxTracks = 99;
// The shortest track an audio CD allows.
constexpr std::uint32_t kCdMinTrackSectors = 4 * kCdSectorsPerSecond;

class CdImageModule final : public DeviceModule {
 public:
  std::vector<std::string> DeviceNames() override;
  std::shared_ptr<Device> Open(DWORD index, const char* imagePath, std::string* error) override;
};

class CdImageDevice final : public Device {
 public:
  CdImageDevice(std::string imageAnsi, std::string imageHost);

  std::string StorageName() const override { return m_imageAnsi; }
  DeviceForm Form() const override { return DeviceForm::kCdAudio; }
  bool TakesAsIs(const std::string&) const override { return false; }
  std::uint64_t Capacity() override { return kCdCapacityBytes; }
  std::uint64_t FreeSpace() override;
  std::uint64_t SpaceFor(std::uint64_t bytes) const override;
  std::uint64_t NextTrackOffset() override;
  std::size_t TracksLeft() override;
  bool ListTracks(std::vector<TrackEntry>* tracks, std::string* error) override;
  bool Store(const PreparedTrack& track, const ProgressFunction& progress,
             const std::atomic<bool>& abort, std::string* error) override;
  bool Erase(const ProgressFunction& progress, const std::atomic<bool>& abort,
             std::string* error) override;

 private:
  // The table of contents as the CUE sheet has it (empty without one).
  // False, leaving both files alone, when the sheet and the image do not
  // describe one audio disc that tracks could be added to.
  bool Load(std::vector<CueTrack>* tracks, std::string* error) const;
  bool SaveSheet(const std::vector<CueTrack>& tracks, std::string* error) const;
  std::uint64_t FolderFree() const;

  const std::string m_imageAnsi;
  const std::string m_imageHost;
  const std::string m_sheetHost;
  // One burn or erase at a time; readers of the sheet need no lock, since
  // the sheet is replaced whole.
  std::mutex m_operationLock;
};

}  // namespace quadrin
