// Fuzz target: a playlist file (.zpl) read as `qap library import` reads it:
// the file's storage, a playlist opened on it and loaded, every song's path.
// The same bytes are read under a POSIX path and under a drive path, where
// relative lines resolve with the other separator.
#include <cstdlib>
#include <filesystem>
#include <string>

#include "fuzz/fuzz_support.h"
#include "shellfolder/music_db.h"

namespace {

void Read(const std::string& programPath) {
  IQAPStorage* raw = nullptr;
  if (!CreateZPLStorage(programPath.c_str(), &raw)) qap::fuzz::Fail("the file cannot be read");
  ZplStoragePtr storage(raw);
  IDbQAPPlayList* listed = nullptr;
  IQAPSongInfo* song = nullptr;
  if (!CreateDbQAPPlayList(&listed, 0) || !CreateQAPSongInfo(&song)) qap::fuzz::Fail("no memory");
  PlaylistPtr list(listed);
  SongInfoPtr info(song);
  if (!list->Open(storage.get()) || !list->Load(nullptr, 0)) return;
  list->GetName();
  for (int i = 0; i < list->GetSongCount(); ++i) {
    if (list->GetSong(i, info.get()) && info->GetPath().IsEmpty())
      qap::fuzz::Fail("a song of the list has no path");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // C: is the home folder.
  static const std::string folder = [] {
    const std::string path = std::string(std::getenv("HOME")) + "/Music/Lists";
    std::filesystem::create_directories(path);
    return path;
  }();
  const std::string file = folder + "/Evening.zpl";
  qap::fuzz::WriteInput("HOME/Music/Lists/Evening.zpl", qap::fuzz::Bytes(data, size));
  Read(file);
  Read("C:\\Music\\Lists\\Evening.zpl");
  return 0;
}
