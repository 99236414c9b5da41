// Editing the music library from the shell, timed: (a) a drop of 1,000
// music files on Play Lists (a new playlist holding them all), against (b)
// `qap library add` of the same files followed by adding them to a
// playlist straight through the database interface, each into a database
// of its own, in the same run; goal (a)/(b) ≤ 1.2. (c) A paste of 1,000
// songs copied from one playlist into another; goal under 300 ms.
#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/bench_support.h"
#include "bench/music_junction.h"
#include "platform/base/codepage.h"
#include "platform/com/com_ptr.h"
#include "platform/shell/context_menu.h"
#include "platform/shell/shell_folder.h"
#include "platform/ui/ole/clipboard.h"
#include "platform/ui/ole/data_objects.h"
#include "platform/ui/ole/drop_files.h"
#include "shellfolder/cobrell.h"
#include "shellfolder/item_id_manager.h"
#include "shellfolder/music_db.h"

namespace {

using bench::Clock;
using bench::Median;
using bench::Millis;

constexpr int kFiles = 1000;
constexpr int kRounds = 3;

ComPtr<IShellFolder> OpenJunction() { return qap::bench::OpenMusicJunction(); }

// The junction's children: Music, then Play Lists.
std::vector<UniqueItemIdList> TopItems(IShellFolder* junction) {
  std::vector<UniqueItemIdList> items;
  ComPtr<IEnumIDList> enumerator;
  if (FAILED(junction->EnumObjects(nullptr, SHCONTF_FOLDERS, enumerator.Out()))) return items;
  LPITEMIDLIST item = nullptr;
  while (enumerator->Next(1, &item, nullptr) == S_OK) items.emplace_back(item);
  return items;
}

// (a): the files dropped as a file manager drops them, on Play Lists.
bool DropOnPlayLists(const std::vector<std::string>& files) {
  ComPtr<IShellFolder> junction = OpenJunction();
  if (!junction) return false;
  std::vector<UniqueItemIdList> top = TopItems(junction.Get());
  if (top.size() != 2) return false;
  LPCITEMIDLIST playLists = top[1].get();
  ComPtr<IDropTarget> target;
  ComPtr<IDataObject> data;
  std::vector<ui::ole::DataBlock> blocks;
  blocks.push_back({CF_HDROP, ui::ole::DropFilesBlock(files, POINT{0, 0}, false)});
  if (FAILED(junction->GetUIObjectOf(nullptr, 1, &playLists, IID_IDropTarget, nullptr,
                                     target.OutVoid())) ||
      FAILED(ui::ole::CreateDataObject(std::move(blocks), data.Out()))) {
    return false;
  }
  DWORD effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
  if (FAILED(target->DragEnter(data.Get(), 0, POINTL{0, 0}, &effect)) ||
      effect == DROPEFFECT_NONE)
    return false;
  effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
  return SUCCEEDED(target->Drop(data.Get(), 0, POINTL{0, 0}, &effect));
}

// (b): qap library add, then the songs into a playlist through the
// database's own calls.
bool AddThenFillPlaylist(const std::string& qap, const std::string& folder,
                         const std::vector<std::string>& files) {
  if (!bench::RunQuietly({qap, "library", "add", folder})) return false;
  PlaylistContainerPtr playlists(CreatePlayListContainer(0, "", TRUE));
  if (!playlists || !playlists->Open()) return false;
  PlaylistPtr playlist(playlists->GetPlaylistById(playlists->CreatePlaylist("Added")));
  IQAPStorage* raw = nullptr;
  if (!playlist || !CreateDbQAPStorage(&raw)) return false;
  DbStoragePtr storage(raw);
  for (const std::string& file : files) {
    IQAPSongInfo* song = nullptr;
    if (!CreateQAPSongInfo(&song)) return false;
    SongInfoPtr owner(song);
    song->SetPath(file.c_str());
    if (!song->Bind(storage.get(), 0) || !playlist->AddSong(song)) return false;
  }
  return true;
}

// (c): the songs of the first playlist copied, then pasted onto a new one
// from its context menu; the paste's time.
bool CopyAndPaste(double* pasteMillis) {
  ComPtr<IShellFolder> junction = OpenJunction();
  if (!junction) return false;
  std::vector<UniqueItemIdList> top = TopItems(junction.Get());
  if (top.size() != 2) return false;
  ComPtr<IShellFolder> playListsFolder;
  if (FAILED(junction->BindToObject(top[1].get(), nullptr, IID_IShellFolder,
                                    playListsFolder.OutVoid())))
    return false;
  PlaylistContainerPtr playlists(CreatePlayListContainer(0, "", TRUE));
  if (!playlists || !playlists->Open() || playlists->GetCount() == 0) return false;
  PlaylistPtr source(playlists->GetPlaylist(0));
  const int targetId = playlists->CreatePlaylist("Pasted");
  if (!source || targetId == 0 || source->GetSongCount() != kFiles) return false;
  const ItemIdManager& items = TheItemIdManager();
  LPITEMIDLIST sourceItem = nullptr;
  LPITEMIDLIST targetItem = nullptr;
  TPlayListInfo details{};
  if (!source->GetDetails(&details) ||
      FAILED(items.MakeItem(kKindPlayLists, nullptr, details.id, nullptr, &sourceItem)) ||
      FAILED(items.MakeItem(kKindPlayLists, nullptr, targetId, nullptr, &targetItem))) {
    return false;
  }
  UniqueItemIdList sourceOwner(sourceItem);
  UniqueItemIdList targetOwner(targetItem);
  ComPtr<IShellFolder> sourceFolder;
  if (FAILED(playListsFolder->BindToObject(sourceItem, nullptr, IID_IShellFolder,
                                           sourceFolder.OutVoid())))
    return false;
  std::vector<UniqueItemIdList> songs;
  std::vector<LPCITEMIDLIST> selection;
  SongInfoPtr song;
  {
    IQAPSongInfo* raw = nullptr;
    if (!CreateQAPSongInfo(&raw)) return false;
    song.reset(raw);
  }
  for (int i = 0; i < source->GetSongCount(); ++i) {
    LPITEMIDLIST item = nullptr;
    if (!source->GetSong(i, song.get()) ||
        FAILED(items.MakeSong(kKindPlaylistSong, song->GetId(),
                              AnsiToWide(song->GetPath().str()), &item))) {
      return false;
    }
    songs.emplace_back(item);
    selection.push_back(item);
  }
  ComPtr<IDataObject> data;
  if (FAILED(sourceFolder->GetUIObjectOf(nullptr, static_cast<UINT>(selection.size()),
                                         selection.data(), IID_IDataObject, nullptr,
                                         data.OutVoid())) ||
      FAILED(OleSetClipboard(data.Get()))) {
    return false;
  }
  ComPtr<IContextMenu> menu;
  LPCITEMIDLIST target = targetItem;
  if (FAILED(playListsFolder->GetUIObjectOf(nullptr, 1, &target, IID_IContextMenu, nullptr,
                                            menu.OutVoid())))
    return false;
  CMINVOKECOMMANDINFO invoke{};
  invoke.cbSize = sizeof invoke;
  invoke.lpVerb = "paste";
  const auto start = Clock::now();
  const HRESULT pasted = menu->InvokeCommand(&invoke);
  *pasteMillis = Millis(Clock::now() - start);
  OleSetClipboard(nullptr);
  PlaylistPtr check(playlists->GetPlaylistById(targetId));
  return SUCCEEDED(pasted) && check && check->GetSongCount() == source->GetSongCount();
}

}  // namespace

int main() {
  bench::ScratchRun run("editing_bench");
  if (run.Folder().empty()) return 1;
  const std::string folder = run.Folder();
  const std::string qap =
      std::filesystem::read_symlink("/proc/self/exe").parent_path().string() + "/qap";
  if (DllRegisterServer() != S_OK) {
    std::fprintf(stderr, "editing_bench: the music folder cannot be registered\n");
    return 1;
  }
  // One short tone, copied under 1,000 names.
  const std::string music = folder + "/music";
  std::filesystem::create_directories(music);
  const std::string tone = music + "/tone0000.mp3";
  if (!bench::Ffmpeg({"-f", "lavfi", "-i", "sine=frequency=440:duration=1", "-metadata",
                      "title=Tone", tone})) {
    std::fprintf(stderr, "editing_bench: ffmpeg cannot make a tone\n");
    return 1;
  }
  std::vector<std::string> files{tone};
  for (int i = 1; i < kFiles; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "/tone%04d.mp3", i);
    std::filesystem::copy_file(tone, music + name);
    files.push_back(music + name);
  }

  std::vector<double> a, b, c;
  for (int round = 0; round < kRounds; ++round) {
    const std::string dropped = folder + "/dropped" + std::to_string(round) + ".db";
    const std::string added = folder + "/added" + std::to_string(round) + ".db";
    setenv("QAP_MUSIC_DB", dropped.c_str(), 1);
    auto start = Clock::now();
    if (!DropOnPlayLists(files)) {
      std::fprintf(stderr, "editing_bench: (a) the drop failed\n");
      return 1;
    }
    a.push_back(Millis(Clock::now() - start));
    double paste = 0;
    if (!CopyAndPaste(&paste)) {
      std::fprintf(stderr, "editing_bench: (c) the paste failed\n");
      return 1;
    }
    c.push_back(paste);
    setenv("QAP_MUSIC_DB", added.c_str(), 1);
    start = Clock::now();
    if (!AddThenFillPlaylist(qap, music, files)) {
      std::fprintf(stderr, "editing_bench: (b) qap library add or the playlist failed\n");
      return 1;
    }
    b.push_back(Millis(Clock::now() - start));
  }
  const double ma = Median(a), mb = Median(b), mc = Median(c);
  std::printf("editing_bench: medians of %d rounds, %d music files\n", kRounds, kFiles);
  std::printf("(a) the files dropped on Play Lists                   %8.1f ms\n", ma);
  std::printf("(b) qap library add, then a playlist filled directly  %8.1f ms   ratio (a)/(b) = "
              "%.2f   goal <= 1.2: %s\n",
              mb, ma / mb, ma / mb <= 1.2 ? "met" : "MISSED");
  std::printf("(c) %d songs pasted from one playlist into another  %8.1f ms   goal < 300 ms: %s\n",
              kFiles, mc, mc < 300 ? "met" : "MISSED");
  return 0;
}
