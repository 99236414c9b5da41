// CUE sheets of audio-CD images: one BINARY file of raw CD-DA sectors, one
// AUDIO track per entry. Written with the track's length in a REM line, so
// that the sheet alone tells where the disc's audio ends; sheets of other
// tools (without it) are read from their INDEX positions.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace quadrin {

constexpr std::uint32_t kCdSectorBytes = 2352;
constexpr std::uint32_t kCdSectorsPerSecond = 75;

struct CueTrack {
  std::string title;      // UTF-8
  std::string performer;  // UTF-8
  std::uint32_t startSector = 0;
  std::uint32_t sectors = 0;
};

struct CueSheet {
  std::string fileName;  // of the image, as the FILE line names it
  std::vector<CueTrack> tracks;
};

std::string WriteCueSheet(const std::string& imageFileName, const std::vector<CueTrack>& tracks);
// False, with what is wrong, for a text that is not a sheet of audio tracks
// in one binary file, one after the other: such a sheet describes no disc
// that tracks could be added to.
bool ParseCueSheet(const std::string& text, std::uint64_t imageBytes, CueSheet* sheet,
                   std::string* error);

}  // namespace quadrin
