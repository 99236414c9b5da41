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

std::string WriteCueSheet(const std::string& imageFileName, const std::vector<CueTrack>& tracks);
// False for a sheet that is not one of audio tracks in one file.
bool ParseCueSheet(const std::string& text, std::uint64_t imageBytes, std::vector<CueTrack>* tracks);

}  // namespace quadrin
