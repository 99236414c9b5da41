// The demo's music files, generated as short sine tones so that the demo
// needs no sample files.
#include "tools/qap/demo_music.h"

#include <spawn.h>
#include <sys/wait.h>

#include <filesystem>
#include <iostream>
#include <map>

extern char** environ;

namespace qap {
namespace {

bool MakeSong(const DemoSong& song, const std::string& path, int frequency) {
  std::vector<std::string> args = {
      "ffmpeg", "-nostdin", "-loglevel", "error", "-y", "-f", "lavfi", "-i",
      "sine=frequency=" + std::to_string(frequency) + ":duration=" + std::to_string(song.seconds),
      "-ac", "1", "-ar", "22050"};
  const std::pair<const char*, const char*> tags[] = {
      {"title", song.title}, {"artist", song.artist}, {"album", song.album}, {"genre", song.genre}};
  for (const auto& [name, value] : tags) {
    if (*value != '\0') args.insert(args.end(), {"-metadata", std::string(name) + "=" + value});
  }
  if (song.track != 0) args.insert(args.end(), {"-metadata", "track=" + std::to_string(song.track)});
  args.push_back(path);
  std::vector<char*> argv;
  for (std::string& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);
  pid_t pid = 0;
  if (posix_spawnp(&pid, "ffmpeg", nullptr, nullptr, argv.data(), environ) != 0) {
    std::cerr << "qap demo: cannot run ffmpeg, which makes the demo's music files\n";
    return false;
  }
  int status = 0;
  waitpid(pid, &status, 0);
  if (WIFEXITED(status) && WEXITSTATUS(status) == 0) return true;
  std::cerr << "qap demo: ffmpeg could not make " << path << "\n";
  return false;
}

}  // namespace

const std::vector<DemoSong>& DemoSongs() {
  static const std::vector<DemoSong> songs = {
      {"Aurora Lane/Northern Lights/01 Polar Night.mp3", "Polar Night", "Aurora Lane",
       "Northern Lights", "Ambient", 1, 3},
      {"Aurora Lane/Northern Lights/02 First Light.mp3", "First Light", "Aurora Lane",
       "Northern Lights", "Ambient", 2, 2},
      {"Aurora Lane/Singles/Drift.wav", "Drift", "Aurora Lane", "Singles", "Ambient", 0, 2},
      {"The Copper Kettles/Tea Time/01 Earl Grey.wma", "Earl Grey", "The Copper Kettles",
       "Tea Time", "Jazz", 1, 2},
      {"The Copper Kettles/Tea Time/02 Darjeeling.mp3", "Darjeeling", "The Copper Kettles",
       "Tea Time", "Jazz", 2, 3},
      {"Sigrún Ólafsdóttir/Fjöll og firðir/Þögn.mp3", "Þögn", "Sigrún Ólafsdóttir",
       "Fjöll og firðir", "Þjóðlög", 1, 2},
      {"Unsorted/untitled take.wav", "", "", "", "", 0, 1},
  };
  return songs;
}

std::string DemoMusicFolder(DemoContext& context) {
  static std::map<std::string, std::string> made;
  if (auto found = made.find(context.scratch); found != made.end()) return found->second;
  const std::string folder = context.scratch + "/music";
  int frequency = 330;
  for (const DemoSong& song : DemoSongs()) {
    const std::string path = folder + "/" + song.file;
    std::error_code error;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), error);
    if (!MakeSong(song, path, frequency)) return {};
    frequency += 55;
  }
  made[context.scratch] = folder;
  return folder;
}

}  // namespace qap
