// Scratch databases and generated music files for the tests.
#include "suite/musicdb/tests/music_db_test_support.h"

#include <gtest/gtest.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>

#include <filesystem>

#include "suite/musicdb/core/database.h"

extern char** environ;

namespace qap::musicdb::testing {

ScratchMusicDb::ScratchMusicDb() : m_path(m_dir.File("music.db")) {
  if (const char* previous = std::getenv("QAP_MUSIC_DB")) m_previous = previous;
  setenv("QAP_MUSIC_DB", m_path.c_str(), 1);
  auto lock = Database::Instance().Lock();
  Database::Instance().Reset();
}

ScratchMusicDb::~ScratchMusicDb() {
  setenv("QAP_MUSIC_DB", m_previous.c_str(), 1);
  auto lock = Database::Instance().Lock();
  Database::Instance().Reset();
}

bool MakeMusicFile(const std::string& path, const Tags& tags, int seconds) {
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  std::vector<std::string> args = {"ffmpeg", "-nostdin", "-loglevel", "error", "-y", "-f", "lavfi",
                                   "-i", "sine=frequency=440:duration=" + std::to_string(seconds),
                                   "-ac", "1", "-ar", "22050"};
  const std::pair<const char*, const std::string*> texts[] = {{"title", &tags.title},
                                                              {"artist", &tags.artist},
                                                              {"album", &tags.album},
                                                              {"genre", &tags.genre}};
  for (const auto& [name, value] : texts) {
    if (value->empty()) continue;
    args.insert(args.end(), {"-metadata", std::string(name) + "=" + *value});
  }
  if (tags.track != 0) args.insert(args.end(), {"-metadata", "track=" + std::to_string(tags.track)});
  if (tags.year != 0) args.insert(args.end(), {"-metadata", "date=" + std::to_string(tags.year)});
  if (tags.title.empty() && tags.artist.empty() && tags.album.empty() && tags.genre.empty())
    args.insert(args.end(), {"-map_metadata", "-1", "-fflags", "+bitexact"});
  args.push_back(path);

  std::vector<char*> argv;
  for (std::string& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);
  pid_t pid = 0;
  if (posix_spawnp(&pid, "ffmpeg", nullptr, nullptr, argv.data(), environ) != 0) {
    ADD_FAILURE() << "cannot start ffmpeg";
    return false;
  }
  int status = 0;
  waitpid(pid, &status, 0);
  const bool made = WIFEXITED(status) && WEXITSTATUS(status) == 0;
  if (!made) ADD_FAILURE() << "ffmpeg could not make " << path;
  return made;
}

int AddSong(const std::string& path, const Tags& tags, int seconds) {
  DbStoragePtr storage = NewStorage();
  SongInfoPtr song = NewSong();
  song->SetPath(path.c_str());
  song->SetTitle(tags.title.c_str());
  song->SetArtist(tags.artist.c_str());
  song->SetAlbum(tags.album.c_str());
  song->SetGenre(tags.genre.c_str());
  song->SetTrackNumber(tags.track);
  song->SetYear(tags.year);
  song->SetDuration(seconds);
  return storage && song->Bind(storage.get(), 1) ? song->GetId() : 0;
}

int AddFile(const std::string& path) {
  DbStoragePtr storage = NewStorage();
  SongInfoPtr song = NewSong();
  song->SetPath(path.c_str());
  if (!storage) return 0;
  if (!song->Bind(storage.get(), 0)) {
    IQAPSongInfo* fromFile = nullptr;
    if (!CreateQAPSongInfo(CString(path), &fromFile)) return 0;
    song.reset(fromFile);
    if (!song->Bind(storage.get(), 1)) return 0;
  }
  return song->GetId();
}

SongInfoPtr NewSong() {
  IQAPSongInfo* song = nullptr;
  CreateQAPSongInfo(&song);
  return SongInfoPtr(song);
}

DbStoragePtr NewStorage() {
  IQAPStorage* storage = nullptr;
  CreateDbQAPStorage(&storage);
  return DbStoragePtr(storage);
}

SongContainerPtr OpenSongs(const char* sortName, bool ascending) {
  SongContainerPtr songs(CreateISongContainer(sortName, ascending ? TRUE : FALSE));
  if (!songs->Open()) songs.reset();
  return songs;
}

std::vector<std::string> Titles(ISongContainer* songs) {
  std::vector<std::string> titles;
  for (int i = 0; i < songs->GetCount(); ++i) titles.push_back(songs->GetSong(i)->GetTitle().str());
  return titles;
}

}  // namespace qap::musicdb::testing
