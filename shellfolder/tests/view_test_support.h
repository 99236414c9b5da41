// What the views' tests share: the music folder registered in the test's
// hive, the shell browser run on one of its folders under a person's
// steps, and readers of what the browser's list and status bar show.
#pragma once

#include <string>
#include <vector>

#include "platform/ui/script/script.h"
#include "shellfolder/tests/music_folder_fixture.h"

namespace cobrell::testing {

using Rows = std::vector<std::vector<std::string>>;

class ViewTest : public MusicFolderTest {
 protected:
  void SetUp() override;

  // Script text as steps; a bad line fails the test.
  static ui::script::Script Steps(const std::string& text);
  // Runs the shell browser on a display path below My Computer ("QAP Music
  // Jukebox\Music\Songs") under the steps, until its windows have closed;
  // the last step closes what is left.
  static void Browse(const std::string& path, ui::script::Script script, bool explore = true);
  // The absolute list of that path.
  static UniqueItemIdList FolderList(const std::string& path);
};

// The music folder's list inside a browser window; null when none.
HWND MusicList(HWND browser);
// The view host's window ("Mp3 Default View") inside a browser window.
HWND ViewHost(HWND browser);
std::vector<std::string> Headings(HWND list);
Rows ListRows(HWND list);
// The first cell of every row.
std::vector<std::string> Names(HWND list);
// A part of the browser's status bar.
std::string StatusPart(HWND browser, int part);
std::string WindowTitle(HWND window);

// A song with these tags and duration under /music; its id.
int AddTimedSong(const std::string& title, const std::string& artist, int seconds,
                 const std::string& path = {});
// Appends the songs to the playlist of that id.
void AddToPlaylist(int playlist, const std::vector<int>& songs);
// Runs SQL on the music database through a connection of its own, as
// another process or a failing disk would change it under the view.
void ChangeDatabase(const std::string& sql);
// The names of every playlist, in database order.
std::vector<std::string> PlaylistNames();

}  // namespace cobrell::testing
