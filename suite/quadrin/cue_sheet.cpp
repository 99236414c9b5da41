// CUE sheet text, both ways.
#include "suite/quadrin/cue_sheet.h"

#include <cstdio>
#include <sstream>

namespace quadrin {
namespace {

// CUE strings have no escapes.
std::string Quoted(const std::string& text) {
  std::string quoted = "\"";
  for (char c : text) quoted += c == '"' ? '\'' : (static_cast<unsigned char>(c) < 0x20 ? ' ' : c);
  return quoted + "\"";
}

std::string Unquoted(std::istringstream& line) {
  std::string rest;
  std::getline(line >> std::ws, rest);
  while (!rest.empty() && (rest.back() == '\r' || rest.back() == ' ')) rest.pop_back();
  if (rest.size() >= 2 && rest.front() == '"' && rest.back() == '"') {
    return rest.substr(1, rest.size() - 2);
  }
  return rest;
}

bool ParseTime(const std::string& text, std::uint32_t* sector) {
  unsigned minutes = 0, seconds = 0, frames = 0;
  char end = 0;
  if (std::sscanf(text.c_str(), "%u:%u:%u%c", &minutes, &seconds, &frames, &end) != 3 ||
      seconds >= 60 || frames >= kCdSectorsPerSecond) {
    return false;
  }
  *sector = (minutes * 60 + seconds) * kCdSectorsPerSecond + frames;
  return true;
}

// "mm:ss:ff"
std::string CueTime(std::uint32_t sector) {
  char text[16];
  std::snprintf(text, sizeof text, "%02u:%02u:%02u", sector / (60 * kCdSectorsPerSecond),
                sector / kCdSectorsPerSecond % 60, sector % kCdSectorsPerSecond);
  return text;
}

}  // namespace

std::string WriteCueSheet(const std::string& imageFileName, const std::vector<CueTrack>& tracks) {
  std::string text = "REM Audio CD image written by the QAP suite\n";
  text += "FILE " + Quoted(imageFileName) + " BINARY\n";
  char number[24];
  for (size_t i = 0; i < tracks.size(); ++i) {
    const CueTrack& track = tracks[i];
    std::snprintf(number, sizeof number, "%02zu", i + 1);
    text += std::string("  TRACK ") + number + " AUDIO\n";
    if (!track.title.empty()) text += "    TITLE " + Quoted(track.title) + "\n";
    if (!track.performer.empty()) text += "    PERFORMER " + Quoted(track.performer) + "\n";
    text += "    REM SECTORS " + std::to_string(track.sectors) + "\n";
    text += "    INDEX 01 " + CueTime(track.startSector) + "\n";
  }
  return text;
}

bool ParseCueSheet(const std::string& text, std::uint64_t imageBytes, std::vector<CueTrack>* tracks) {
  tracks->clear();
  std::vector<bool> lengthGiven;
  std::istringstream lines(text);
  std::string line;
  int files = 0;
  bool inTrack = false;
  while (std::getline(lines, line)) {
    std::istringstream words(line);
    std::string word;
    if (!(words >> word)) continue;
    if (word == "FILE") {
      if (++files > 1) return false;
    } else if (word == "TRACK") {
      std::string number, type;
      words >> number >> type;
      if (type != "AUDIO") return false;
      tracks->push_back(CueTrack{});
      lengthGiven.push_back(false);
      inTrack = true;
    } else if (inTrack && word == "TITLE") {
      tracks->back().title = Unquoted(words);
    } else if (inTrack && word == "PERFORMER") {
      tracks->back().performer = Unquoted(words);
    } else if (inTrack && word == "REM") {
      std::string key;
      std::uint32_t sectors = 0;
      if (words >> key && key == "SECTORS" && words >> sectors) {
        tracks->back().sectors = sectors;
        lengthGiven.back() = true;
      }
    } else if (inTrack && word == "INDEX") {
      std::string index, time;
      words >> index >> time;
      if (index == "01" && !ParseTime(time, &tracks->back().startSector)) return false;
    }
  }
  if (files != 1 && !tracks->empty()) return false;
  const auto imageSectors = static_cast<std::uint32_t>(imageBytes / kCdSectorBytes);
  for (size_t i = 0; i < tracks->size(); ++i) {
    CueTrack& track = (*tracks)[i];
    if (lengthGiven[i]) continue;
    const std::uint32_t end = i + 1 < tracks->size() ? (*tracks)[i + 1].startSector : imageSectors;
    track.sectors = end > track.startSector ? end - track.startSector : 0;
  }
  return true;
}

}  // namespace quadrin
