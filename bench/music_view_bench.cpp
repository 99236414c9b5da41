// The music folder's view over a generated library of 100,000 songs, as a
// person opens it in the shell browser: (a) the "Songs" list opened (the
// view made, filled and its status bar written) and (b) a click on its
// first column, which reverses the order; the same for (c, d) a playlist
// of 10,000 songs. Baselines in the same run: the music database's own
// fetch of the same songs in the same order, every field the list shows
// read (for the playlist: the playlist loaded and read). Goals: (a) under
// 500 ms and at most 1.5 times its fetch; (b) the same.
#include <stdlib.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/bench_support.h"
#include "bench/music_db_fixture.h"
#include "platform/shell/my_computer.h"
#include "platform/shell/shell_browser.h"
#include "platform/ui/commctrl.h"
#include "platform/ui/user32.h"
#include "shellfolder/cobrell.h"
#include "shellfolder/music_db.h"
#include "suite/musicdb/core/database.h"

namespace {

using bench::Clock;
using bench::Median;
using bench::Millis;

constexpr int kRounds = 5;
constexpr int kPlaylistSongs = 10000;
constexpr char kPlaylistName[] = "Ten Thousand";

// What the list shows of a song, read as the list reads it.
size_t ReadFields(IQAPSongInfo& song) {
  return song.GetTitle().GetLength() + song.GetAlbum().GetLength() +
         song.GetArtist().GetLength() + song.GetGenre().GetLength() + song.GetPath().GetLength() +
         static_cast<size_t>(song.GetDuration() > 0);
}

double FetchSongs(const char* sortName, bool ascending) {
  const auto start = Clock::now();
  SongContainerPtr songs(CreateISongContainer(sortName, ascending));
  if (!songs || !songs->Open()) return -1;
  size_t read = 0;
  for (int i = 0; i < songs->GetCount(); ++i) read += ReadFields(*songs->GetSong(i));
  return read > 0 ? Millis(Clock::now() - start) : -1;
}

double FetchPlaylist(int id) {
  const auto start = Clock::now();
  IQAPStorage* storage = nullptr;
  IDbQAPPlayList* playlist = nullptr;
  if (!CreateDbQAPStorage(&storage)) return -1;
  DbStoragePtr storageOwner(storage);
  if (!CreateDbQAPPlayList(&playlist, id)) return -1;
  PlaylistPtr owner(playlist);
  if (!playlist->Load(storage, 0)) return -1;
  size_t read = 0;
  for (int i = 0; i < playlist->GetSongCount(); ++i) {
    IQAPSongInfo* song = nullptr;
    if (!CreateQAPSongInfo(&song)) return -1;
    SongInfoPtr songOwner(song);
    if (!playlist->GetSong(i, song)) return -1;
    read += ReadFields(*song);
  }
  return read > 0 ? Millis(Clock::now() - start) : -1;
}

// The playlist of the first kPlaylistSongs songs; its id, or 0.
int MakePlaylist() {
  PlaylistContainerPtr playlists(CreatePlayListContainer(0, "", TRUE));
  if (!playlists || !playlists->Open()) return 0;
  const int id = playlists->CreatePlaylist(kPlaylistName);
  PlaylistPtr playlist(playlists->GetPlaylistById(id));
  SongContainerPtr songs(CreateISongContainer("", TRUE));
  if (id == 0 || !playlist || !songs || !songs->Open()) return 0;
  qap::musicdb::Transaction batch(qap::musicdb::Transaction::Kind::kWrite);
  for (int i = 0; i < kPlaylistSongs && i < songs->GetCount(); ++i) {
    if (!playlist->AddSong(songs->GetSong(i))) return 0;
  }
  return batch.Commit() ? id : 0;
}

HWND FindChildOfClass(HWND parent, const char* className) {
  HWND child = FindWindowExA(parent, nullptr, className, nullptr);
  if (child != nullptr) return child;
  for (HWND inner = GetWindow(parent, GW_CHILD); inner != nullptr;
       inner = GetWindow(inner, GW_HWNDNEXT)) {
    if (HWND found = FindChildOfClass(inner, className)) return found;
  }
  return nullptr;
}

struct Timing {
  double open = -1;
  double resort = -1;
  int rows = 0;
};

// Opens the folder in a browser window of its own, clicks the list's first
// column, and closes the window.
Timing OpenAndResort(const std::string& path) {
  Timing timing;
  LPITEMIDLIST folder = nullptr;
  if (FAILED(ParseFolderPath(path, &folder))) return timing;
  UniqueItemIdList owner(folder);
  auto start = Clock::now();
  HWND browser = OpenShellBrowser(folder, false);
  if (browser == nullptr) return timing;
  timing.open = Millis(Clock::now() - start);
  HWND classic = FindChildOfClass(browser, "Mp3Db Classic View");
  HWND list = classic != nullptr ? FindChildOfClass(classic, WC_LISTVIEW) : nullptr;
  if (list != nullptr) {
    timing.rows = ListView_GetItemCount(list);
    // What the list tells its parent when a person clicks the header.
    NMLISTVIEW click{};
    click.hdr = NMHDR{list, static_cast<UINT_PTR>(GetDlgCtrlID(list)), LVN_COLUMNCLICK};
    click.iItem = -1;
    click.iSubItem = 0;
    start = Clock::now();
    SendMessageA(classic, WM_NOTIFY, click.hdr.idFrom, reinterpret_cast<LPARAM>(&click));
    timing.resort = Millis(Clock::now() - start);
  }
  DestroyWindow(browser);
  return timing;
}

void Report(const char* what, const std::vector<double>& view, const std::vector<double>& fetch,
            bool goal) {
  const double v = Median(view);
  const double f = Median(fetch);
  const double ratio = v / f;
  std::printf("%-44s %8.1f ms   fetch %8.1f ms   ratio %.2f", what, v, f, ratio);
  if (goal) {
    std::printf("   goal < 500 ms and <= 1.5x: %s", v < 500 && ratio <= 1.5 ? "met" : "MISSED");
  }
  std::printf("\n");
}

}  // namespace

int main() {
  std::string folder = bench::MakeScratchFolder("music_view_bench");
  if (folder.empty()) return 1;
  setenv("QAP_REGISTRY", (folder + "/registry.db").c_str(), 1);
  setenv("QAP_MUSIC_DB", (folder + "/music.db").c_str(), 1);
  setenv("QAP_UI", "headless", 1);

  const qap::bench::LibraryShape shape;
  std::string error;
  const auto fillStart = Clock::now();
  if (!qap::bench::FillMusicLibrary(shape, &error)) {
    std::fprintf(stderr, "music_view_bench: cannot make the library: %s\n", error.c_str());
    return 1;
  }
  const int playlist = MakePlaylist();
  const double fill = Millis(Clock::now() - fillStart);
  if (playlist == 0 || FAILED(DllRegisterServer())) {
    std::fprintf(stderr, "music_view_bench: cannot make the playlist or register the folder\n");
    return 1;
  }

  std::vector<double> open, openFetch, resort, resortFetch;
  std::vector<double> listOpen, listFetch, listResort;
  int songRows = 0;
  int playlistRows = 0;
  for (int round = 0; round < kRounds; ++round) {
    const Timing songs = OpenAndResort("QAP Music Jukebox\\Music\\Songs");
    const Timing ten = OpenAndResort(std::string("QAP Music Jukebox\\Play Lists\\") + kPlaylistName);
    if (songs.resort < 0 || ten.resort < 0) {
      std::fprintf(stderr, "music_view_bench: a view could not be opened\n");
      return 1;
    }
    songRows = songs.rows;
    playlistRows = ten.rows;
    open.push_back(songs.open);
    resort.push_back(songs.resort);
    listOpen.push_back(ten.open);
    listResort.push_back(ten.resort);
    openFetch.push_back(FetchSongs("Song", true));
    resortFetch.push_back(FetchSongs("Song", false));
    listFetch.push_back(FetchPlaylist(playlist));
  }

  std::printf(
      "music_view_bench: medians of %d rounds; library of %d songs and a playlist of %d made in "
      "%.0f ms in %s\n",
      kRounds, shape.songs, kPlaylistSongs, fill, folder.c_str());
  std::printf("rows shown: Songs %d, the playlist %d\n", songRows, playlistRows);
  Report("(a) Songs opened: view, fill, status bar", open, openFetch, true);
  Report("(b) Songs re-sorted by a column click", resort, resortFetch, true);
  Report("(c) the playlist opened", listOpen, listFetch, false);
  Report("(d) the playlist re-sorted by a column click", listResort, listFetch, false);
  std::error_code ignored;
  std::filesystem::remove_all(folder, ignored);
  return 0;
}
