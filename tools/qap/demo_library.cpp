// Demo step: the music database, filled from the demo's generated music
// files through the music folder's calls, with its groups and a playlist.
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>

#include "tools/qap/demo_music.h"
#include "tools/qap/verb.h"

namespace qap {
namespace {

int RunLibrary(const Args& args) {
  for (const auto& verb : Verbs()) {
    if (std::strcmp(verb.name, "library") != 0) continue;
    std::cout << "\n$ qap library";
    for (const auto& arg : args) {
      const bool quote = arg.find(' ') != std::string::npos;
      std::cout << ' ' << (quote ? "\"" : "") << arg << (quote ? "\"" : "");
    }
    std::cout << "\n" << std::flush;
    return verb.run(args);
  }
  return 1;
}

int Demo(DemoContext& context) {
  const std::string music = DemoMusicFolder(context);
  if (music.empty()) return 1;
  std::cout << "Adding the generated music files in " << music
            << " to the scratch music database (" << context.scratch << "/music.db).\n"
            << "One file has no tags: its file name becomes its title.\n";
  // Every file is a readable song, so anything else is a failure here.
  if (int code = RunLibrary({"add", music})) return code;
  if (int code = RunLibrary({"add", music + "/Aurora Lane"})) return code;
  if (int code = RunLibrary({"groups"})) return code;
  if (int code = RunLibrary({"group", "Artists"})) return code;
  if (int code = RunLibrary({"group", "Genres", "--sort", "Duration", "--desc"})) return code;
  if (int code = RunLibrary({"songs", "--sort", "Artist"})) return code;

  if (int code = RunLibrary({"playlist", "create", "Road Trip"})) return code;
  if (int code = RunLibrary({"playlist", "add", "Road Trip",
                             music + "/Aurora Lane/Northern Lights/02 First Light.mp3",
                             music + "/The Copper Kettles/Tea Time"}))
    return code;
  if (int code = RunLibrary({"playlist", "show", "Road Trip"})) return code;

  const std::string list = context.scratch + "/Evening.zpl";
  std::ofstream(list) << "# a playlist file: one path a line, relative to this file\n"
                      << "music/Sigrún Ólafsdóttir/Fjöll og firðir/Þögn.mp3\n"
                      << "music/Aurora Lane/Singles/Drift.wav\n";
  std::cout << "\nA playlist file " << list << ":\n" << std::ifstream(list).rdbuf();
  if (int code = RunLibrary({"import", list})) return code;
  return RunLibrary({"playlists"});
}

const DemoStepRegistrar kStep({400, "Music database", Demo});

}  // namespace
}  // namespace qap
