// Demo step: the music folder as Explorer would show it, over the scratch
// library the music database step filled: registered under My Computer,
// then its whole folder tree listed through the shell's interfaces.
#include <iostream>

#include "tools/qap/verb.h"

namespace qap {
namespace {

int Demo(DemoContext&) {
  std::cout << "Registering the music folder (Cobrell) in the scratch registry hangs it under\n"
               "My Computer as \"QAP Music Jukebox\".\n";
  if (int code = RunVerbShown("shell", {"register"})) return code;
  std::cout << "\n";
  if (int code = RunVerbShown(
          "reg", {"query",
                  "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\MyComputer\\"
                  "Namespace",
                  "/s"}))
    return code;
  std::cout << "\nThe folder tree, walked through IShellFolder and IEnumIDList as Explorer walks "
               "it.\nSong lists and playlists hold songs, which the folder's view shows.\n";
  if (int code = RunVerbShown("shell", {"ls", "-R"})) return code;
  std::cout << "\n";
  return RunVerbShown("shell", {"ls", "Play Lists\\Road Trip"});
}

const DemoStepRegistrar kStep({700, "Music folder in the shell", Demo});

}  // namespace
}  // namespace qap
