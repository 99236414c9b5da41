// Fuzz target: the CUE sheet beside a CD image, read as the image device
// reads it before it adds tracks to the disc. The first four bytes give the
// image's size in sectors, the rest is the sheet. A sheet that is taken
// must describe what the device relies on: tracks one after the other, and
// written out again it must read back the same.
#include "suite/quadrin/cue_sheet.h"

#include <cstring>
#include <string>

#include "fuzz/fuzz_support.h"

using quadrin::CueSheet;
using quadrin::CueTrack;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 4) return 0;
  std::uint32_t sectors = 0;
  std::memcpy(&sectors, data, sizeof sectors);
  const std::uint64_t imageBytes = std::uint64_t{sectors} * quadrin::kCdSectorBytes;
  const std::string text(qap::fuzz::Bytes(data + 4, size - 4));
  CueSheet sheet;
  std::string error;
  if (!quadrin::ParseCueSheet(text, imageBytes, &sheet, &error)) {
    if (error.empty() || !sheet.tracks.empty()) qap::fuzz::Fail("a refusal without its reason");
    return 0;
  }
  std::uint64_t end = 0;
  for (const CueTrack& track : sheet.tracks) {
    if (track.startSector < end) qap::fuzz::Fail("a track begins inside the one before it");
    end = std::uint64_t{track.startSector} + track.sectors;
  }
  const std::string written = quadrin::WriteCueSheet(sheet.fileName, sheet.tracks);
  CueSheet again;
  if (!quadrin::ParseCueSheet(written, imageBytes, &again, &error))
    qap::fuzz::Fail("a sheet written from a read one is refused: " + error);
  if (again.tracks.size() != sheet.tracks.size())
    qap::fuzz::Fail("a sheet written from a read one has other tracks");
  for (size_t i = 0; i < sheet.tracks.size(); ++i) {
    if (again.tracks[i].startSector != sheet.tracks[i].startSector ||
        again.tracks[i].sectors != sheet.tracks[i].sectors)
      qap::fuzz::Fail("track " + std::to_string(i + 1) + " moved in a sheet written again");
  }
  return 0;
}
