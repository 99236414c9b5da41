// A second process for the music database tests, adding songs to the
// database named by QAP_MUSIC_DB while other processes do the same.
//   add TAG COUNT PLAYLIST  waits for stdin to close, then adds COUNT songs
//                           shared by every writer and COUNT of its own,
//                           puts its own into playlist PLAYLIST, and prints
//                           "shared I ID" for each shared song
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "shellfolder/music_db.h"
#include "suite/musicdb/core/database.h"

namespace {

int Fail(const std::string& what) {
  std::fprintf(stderr, "musicdb_test_writer: %s failed: %s\n", what.c_str(),
               qap::musicdb::LastError().c_str());
  return 1;
}

int Add(IQAPStorage* storage, const std::string& path, const std::string& artist) {
  IQAPSongInfo* song = nullptr;
  if (!CreateQAPSongInfo(&song)) return 0;
  song->SetPath(path.c_str());
  song->SetTitle(path.c_str());
  song->SetArtist(artist.c_str());
  song->SetDuration(1);
  const int id = song->Bind(storage, 1) ? song->GetId() : 0;
  DestroyQAPSongInfo(song);
  return id;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 5 || std::string(argv[1]) != "add") {
    std::fprintf(stderr, "usage: musicdb_test_writer add TAG COUNT PLAYLIST\n");
    return 2;
  }
  const std::string tag = argv[2];
  const int count = std::atoi(argv[3]);
  const int playlistId = std::atoi(argv[4]);
  char byte;
  while (read(0, &byte, 1) > 0) {
  }

  IQAPStorage* storage = nullptr;
  if (!CreateDbQAPStorage(&storage)) return Fail("opening the database");
  IDbQAPPlayList* playlist = nullptr;
  CreateDbQAPPlayList(&playlist, playlistId);
  if (!playlist->Load(storage, 0)) return Fail("loading the playlist");
  IQAPSongInfo* song = nullptr;
  CreateQAPSongInfo(&song);
  for (int i = 0; i < count; ++i) {
    const int shared = Add(storage, "/race/shared/" + std::to_string(i) + ".mp3", "Shared");
    if (shared == 0) return Fail("adding a shared song");
    std::printf("shared %d %d\n", i, shared);
    const int own = Add(storage, "/race/" + tag + "/" + std::to_string(i) + ".mp3", tag);
    if (own == 0) return Fail("adding a song");
    song->SetId(own);
    if (!playlist->AddSong(song)) return Fail("adding to the playlist");
  }
  DestroyQAPSongInfo(song);
  DestroyDbQAPPlayList(playlist);
  DestroyDbQAPStorage(storage);
  return 0;
}
