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

bool ParseCueSheet(const std::string& text, std::uint64_t imageBytes, CueSheet* sheet,
                   std::string* error) {
  sheet->fileName.clear();
  std::vector<CueTrack>& tracks = sheet->tracks;
  tracks.clear();
  std::vector<bool> lengthGiven;
  std::vector<bool> indexGiven;
  std::istringstream lines(text);
  std::string line;
  int files = 0;
  int lineNumber = 0;
  auto fail = [&](const std::string& what) {
    *error = lineNumber > 0 ? "line " + std::to_string(lineNumber) + ": " + what : what;
    tracks.clear();
    return false;
  };
  while (std::getline(lines, line)) {
    ++lineNumber;
    std::istringstream words(line);
    std::string word;
    if (!(words >> word)) continue;
    const bool inTrack = !tracks.empty();
    if (word == "FILE") {
      if (++files > 1) return fail("a second FILE: the disc is one image");
      if (inTrack) return fail("FILE after the first TRACK");
      std::string rest = Unquoted(words);
      const std::size_t type = rest.find_last_of(' ');
      if (type == std::string::npos || rest.substr(type + 1) != "BINARY") {
        return fail("the image is not a BINARY file");
      }
      rest.erase(type);
      while (!rest.empty() && rest.back() == ' ') rest.pop_back();
      if (rest.size() >= 2 && rest.front() == '"' && rest.back() == '"') {
        rest = rest.substr(1, rest.size() - 2);
      }
      sheet->fileName = rest;
    } else if (word == "TRACK") {
      std::string number, type;
      words >> number >> type;
      if (files == 0) return fail("TRACK before FILE");
      if (type != "AUDIO") return fail("track " + number + " is not an AUDIO track");
      tracks.push_back(CueTrack{});
      lengthGiven.push_back(false);
      indexGiven.push_back(false);
    } else if (inTrack && word == "TITLE") {
      tracks.back().title = Unquoted(words);
    } else if (inTrack && word == "PERFORMER") {
      tracks.back().performer = Unquoted(words);
    } else if (word == "REM") {
      std::string key;
      std::uint32_t sectors = 0;
      if (inTrack && words >> key && key == "SECTORS" && words >> sectors) {
        tracks.back().sectors = sectors;
        lengthGiven.back() = true;
      }
    } else if (inTrack && word == "INDEX") {
      std::string index, time;
      words >> index >> time;
      std::uint32_t sector = 0;
      if (!ParseTime(time, &sector)) return fail("'" + time + "' is not a time mm:ss:ff");
      if (index == "01") {
        tracks.back().startSector = sector;
        indexGiven.back() = true;
      }
    } else if (word != "TITLE" && word != "PERFORMER" && word != "SONGWRITER" &&
               word != "CATALOG" && word != "CDTEXTFILE" && word != "FLAGS" && word != "ISRC" &&
               word != "PREGAP" && word != "POSTGAP") {
      return fail("'" + word + "' is not a CUE sheet command");
    }
  }
  lineNumber = 0;
  if (files != 1) return fail("no FILE names the image");
  const auto imageSectors = static_cast<std::uint32_t>(imageBytes / kCdSectorBytes);
  for (size_t i = 0; i < tracks.size(); ++i) {
    CueTrack& track = tracks[i];
    const std::string name = "track " + std::to_string(i + 1);
    if (!indexGiven[i]) return fail(name + " has no INDEX 01");
    if (i > 0 && track.startSector < tracks[i - 1].startSector + tracks[i - 1].sectors) {
      return fail(name + " begins inside the track before it");
    }
    if (lengthGiven[i]) continue;
    const std::uint32_t end = i + 1 < tracks.size() ? tracks[i + 1].startSector : imageSectors;
    track.sectors = end > track.startSector ? end - track.startSector : 0;
  }
  return true;
}

}  // namespace quadrin
