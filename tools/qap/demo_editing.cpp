// Demo step: editing the music library in the shell browser, headless under
// a window script: music files and a playlist file dropped on Play Lists, a
// song copied and one cut from one playlist into others, a playlist renamed
// and one deleted after the box, a new one made; a second browser in
// another process refreshing as the first changes the library, and a
// picture of each step.
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>
#include <sstream>
#include <string>

#include "platform/automation/bus_service.h"
#include "platform/automation/private_bus.h"
#include "platform/base/process.h"
#include "platform/base/sync.h"
#include "tools/qap/demo_music.h"
#include "tools/qap/verb.h"

namespace qap {
namespace {

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

std::string ReadAll(const std::string& path) {
  std::ostringstream text;
  text << std::ifstream(path).rdbuf();
  return text.str();
}

// qap ui run script -- shell browse "QAP Music Jukebox\Play Lists", in a
// process of its own.
bool StartBrowser(const DemoContext& context, const std::string& script,
                  PROCESS_INFORMATION* started) {
  const std::string qap = context.binDir + "/qap";
  std::string command = ArgsToCommandLine(
      {qap, "ui", "run", script, "--", "shell", "browse", "QAP Music Jukebox\\Play Lists"});
  std::cout << "$ qap ui run " << script << " -- shell browse \"QAP Music Jukebox\\Play Lists\" &\n"
            << std::flush;
  STARTUPINFOA startup{sizeof startup, 0, 0};
#if defined(__SANITIZE_ADDRESS__)
  // GCC 12's LeakSanitizer crashes in its tracer at the exit of a qap that
  // took offscreen pictures from a window script (it misreads a thread's
  // dynamic TLS): the browsers run without the exit-time leak check, which
  // the test programs' own pictures keep.
  const char* given = std::getenv("LSAN_OPTIONS");
  const std::optional<std::string> before = given ? std::optional<std::string>(given) : std::nullopt;
  setenv("LSAN_OPTIONS", "detect_leaks=0", 1);
  struct Restore {
    const std::optional<std::string>& before;
    ~Restore() { before ? setenv("LSAN_OPTIONS", before->c_str(), 1) : unsetenv("LSAN_OPTIONS"); }
  } restore{before};
#endif
  return CreateProcessA(qap.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, started) != FALSE;
}

// The process's exit code once it ended (within a minute and a half), else 1.
DWORD Ended(PROCESS_INFORMATION& started) {
  DWORD code = 1;
  if (WaitForSingleObject(started.hProcess, 90000) == WAIT_OBJECT_0)
    GetExitCodeProcess(started.hProcess, &code);
  CloseHandle(started.hProcess);
  return code;
}

int Demo(DemoContext& context) {
  const std::string music = DemoMusicFolder(context);
  if (music.empty()) return 1;
  const std::string dir = context.scratch + "/edits";
  mkdir(dir.c_str(), 0700);
  auto picture = [&](const char* name) { return "screenshot \"" + dir + "/" + name + "\"\n"; };
  const std::string mix = dir + "/Party Mix.zpl";
  std::ofstream(mix) << music << "/Aurora Lane/Northern Lights/02 First Light.mp3\n"
                     << music << "/Sigrún Ólafsdóttir/Fjöll og firðir/Þögn.mp3\n";

  const std::string peerScript = dir + "/other.script";
  std::ofstream(peerScript)
      << "# The second browser: it only watches Play Lists change.\n"
         "wait class \"ExploreWClass\" timeout 60\n"
         "snapshot \"" << dir << "/other-ready.txt\"\n"
         "wait cell 1 0 0 \"Autumn\" timeout 120\n"
         "wait cell 1 2 0 \"Playlist 1\" timeout 120\n"
      << picture("7-other-process.png") << "close\nwait gone\n";
  const std::string script = dir + "/edit.script";
  std::ofstream(script)
      << "# A person changes the library in the first browser.\n"
         "wait class \"ExploreWClass\"\n"
      << picture("1-play-lists.png") << "# Three music files, then a playlist file.\n"
      << "drop 1 " << Quoted(music + "/Aurora Lane/Northern Lights/01 Polar Night.mp3") << " "
      << Quoted(music + "/Aurora Lane/Singles/Drift.wav") << " "
      << Quoted(music + "/Unsorted/untitled take.wav") << "\n"
      << "drop 1 " << Quoted(mix) << "\n"
      << picture("2-dropped.png")
      << "# A song copied from Road Trip into Party Mix, from the context menu.\n"
         "doubleclick 1 \"Road Trip\"\n"
         "wait window \"Exploring - Road Trip\"\n"
         "rightclick 1 row 0\n"
         "wait class \"#32768\"\n"
      << picture("3-context-menu.png")
      << "menu \"Copy\"\n"
         "use \"Exploring - Road Trip\"\n"
         "key Back\n"
         "wait window \"Exploring - Play Lists\"\n"
         "doubleclick 1 \"Party Mix\"\n"
         "wait window \"Exploring - Party Mix\"\n"
         "key ctrl+V\n"
      << picture("4-copied.png")
      << "# One cut from Road Trip and pasted into Playlist 1: it moves.\n"
         "key Back\n"
         "wait window \"Exploring - Play Lists\"\n"
         "doubleclick 1 \"Road Trip\"\n"
         "wait window \"Exploring - Road Trip\"\n"
         "select 1 row 1\n"
         "key ctrl+X\n"
         "key Back\n"
         "wait window \"Exploring - Play Lists\"\n"
         "doubleclick 1 \"Playlist 1\"\n"
         "wait window \"Exploring - Playlist 1\"\n"
         "key ctrl+V\n"
         "key Back\n"
         "wait window \"Exploring - Play Lists\"\n"
         "# Renamed in place, one deleted after the box, a new one.\n"
         "select 1 \"Playlist 1\"\n"
         "key F2\n"
         "settext focus \"Autumn\"\n"
         "key Enter\n"
         "select 1 \"Evening\"\n"
         "key Delete\n"
         "wait window \"Confirm Delete\"\n"
      << picture("5-confirm-delete.png")
      << "answer yes\n"
         "use \"Exploring - Play Lists\"\n"
         "key Insert\n"
         "wait cell 1 2 0 \"Playlist 1\"\n"
      << picture("6-result.png") << "snapshot \"" << dir << "/result.txt\"\n"
      << "close\nwait gone\n";
  std::cout << "Two shell browsers on Play Lists, each in a process of its own, on a private\n"
               "session bus. The second one's window script "
            << peerScript << ":\n\n"
            << ReadAll(peerScript) << "\nThe first one's " << script << ":\n\n"
            << ReadAll(script) << "\n";

  automation::PrivateSessionBus bus(context.scratch + "/edits-bus",
                                    automation::BusServiceDirectory(), context.scratch);
  std::string error;
  if (!bus.Start(&error)) {
    std::cerr << "qap demo: " << error << "\n";
    return 1;
  }
  PROCESS_INFORMATION other{};
  if (!StartBrowser(context, peerScript, &other)) {
    std::cerr << "qap demo: cannot start the second browser\n";
    return 1;
  }
  // The first begins once the second shows its view.
  const std::string ready = dir + "/other-ready.txt";
  for (int tries = 0; tries < 600 && !std::filesystem::exists(ready); ++tries)
    WaitForSingleObject(other.hProcess, 100);
  PROCESS_INFORMATION first{};
  const bool started = std::filesystem::exists(ready) && StartBrowser(context, script, &first);
  const DWORD firstCode = started ? Ended(first) : 1;
  const DWORD otherCode = Ended(other);
  bus.Stop();
  std::cout << "\nPlay Lists as the first browser left it:\n"
            << ReadAll(dir + "/result.txt") << "\nThe second browser "
            << (otherCode == 0 ? "showed every change as it came" : "missed a change")
            << ".\nPictures of each step: " << dir << "/*.png\n";
  return firstCode != 0 ? static_cast<int>(firstCode) : static_cast<int>(otherCode);
}

const DemoStepRegistrar kStep({720, "Editing the music library in the shell browser", Demo});

}  // namespace
}  // namespace qap
