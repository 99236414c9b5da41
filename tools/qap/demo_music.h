// A folder of a few short tagged music files for the demo's steps, made with
// the ffmpeg command once per demo run and shared by every step that needs
// music (the library, the agent's uploads).
#pragma once

#include <string>
#include <vector>

#include "tools/qap/verb.h"

namespace qap {

struct DemoSong {
  const char* file;  // relative to the folder
  const char* title;
  const char* artist;
  const char* album;
  const char* genre;
  int track;
  int seconds;
};

// What the folder holds: MP3, WAV and WMA files by several artists, on
// several albums and in several genres, one with non-ASCII tags and one
// with no tags at all.
const std::vector<DemoSong>& DemoSongs();

// The folder's path, making the files on first use in a run; empty (after
// saying why on stderr) when ffmpeg cannot make them.
std::string DemoMusicFolder(DemoContext& context);

}  // namespace qap
