// Demo step: the music folder's views, as a person browses them in the
// shell browser, headless under a window script: the Music folder, the
// Artists group, one artist's songs sorted by a column and reversed, the
// web view and back, and a playlist, each saved as a picture.
#include <sys/stat.h>

#include <fstream>
#include <iostream>
#include <string>

#include "tools/qap/verb.h"

namespace qap {
namespace {

int Demo(DemoContext& context) {
  const std::string dir = context.scratch + "/views";
  mkdir(dir.c_str(), 0700);
  auto picture = [&](const char* name) { return "screenshot \"" + dir + "/" + name + "\"\n"; };
  const std::string script = dir + "/browse.script";
  std::ofstream(script)
      << "# A person in the shell browser, from the music folder down.\n"
         "wait class \"ExploreWClass\"\n"
      << picture("1-junction.png")
      << "doubleclick 1 \"Music\"\n"
         "wait window \"Exploring - Music\"\n"
      << picture("2-music.png")
      << "doubleclick 1 \"Artists\"\n"
         "wait window \"Exploring - Artists\"\n"
      << picture("3-artists.png")
      << "doubleclick 1 \"Aurora Lane\"\n"
         "wait window \"Exploring - Aurora Lane\"\n"
         "# Sorted by duration, then the same column again: reversed.\n"
         "column 1 1\n"
      << picture("4-songs-by-duration.png")
      << "column 1 1\n"
      << picture("5-songs-reversed.png")
      << "snapshot \"" << dir << "/songs.txt\"\n"
      << "# as Web Page, and back.\n"
         "menu 106\n"
      << picture("6-web-view.png")
      << "menu 106\n"
      << picture("7-classic-again.png")
      << "expand 100 \"My Computer\\\\QAP Music Jukebox\\\\Play Lists\"\n"
         "select 100 \"My Computer\\\\QAP Music Jukebox\\\\Play Lists\\\\Road Trip\"\n"
         "wait window \"Exploring - Road Trip\"\n"
      << picture("8-playlist.png")
      << "close\n"
         "wait gone\n";
  std::cout << "The music folder's views in the shell browser, driven by the window script "
            << script << ":\n\n"
            << std::ifstream(script).rdbuf() << "\n";
  if (int code = RunVerbShown("ui", {"run", script, "--", "shell", "browse", "QAP Music Jukebox"}))
    return code;
  std::cout << "\nThe artist's songs, reversed, as the script found them:\n"
            << std::ifstream(dir + "/songs.txt").rdbuf() << "\nPictures of each step: " << dir
            << "/*.png\n";
  return 0;
}

const DemoStepRegistrar kStep({710, "Music folder's views in the shell browser", Demo});

}  // namespace
}  // namespace qap
