// Support for the music database tests: a scratch database of the test's own,
// tagged music files made with the ffmpeg command, and shorthands for the
// libraries' objects.
#pragma once

#include <string>
#include <vector>

#include "platform/testing/scratch.h"
#include "shellfolder/music_db.h"

namespace qap::musicdb::testing {

// Points QAP_MUSIC_DB at a new file in its own scratch folder (and the
// libraries' connection at it) for the life of the object.
class ScratchMusicDb {
 public:
  ScratchMusicDb();
  ~ScratchMusicDb();
  ScratchMusicDb(const ScratchMusicDb&) = delete;
  ScratchMusicDb& operator=(const ScratchMusicDb&) = delete;

  const std::string& Path() const { return m_path; }
  const qap::testing::ScratchDir& Dir() const { return m_dir; }

 private:
  qap::testing::ScratchDir m_dir;
  std::string m_path;
  std::string m_previous;
};

struct Tags {
  std::string title = {};
  std::string artist = {};
  std::string album = {};
  std::string genre = {};
  int track = 0;
  int year = 0;
};

// Makes a short tone file at path with ffmpeg; the format follows the
// extension (.mp3, .wav, .wma, ...). Empty tags are left out.
bool MakeMusicFile(const std::string& path, const Tags& tags, int seconds);

// The song as stored: a record bound with add 1 (no file involved); its
// id, or 0.
int AddSong(const std::string& path, const Tags& tags, int seconds);
// The music folder's way of adding a file: look the path up, else read the
// file and add it; the song's id, or 0.
int AddFile(const std::string& path);

SongInfoPtr NewSong();
DbStoragePtr NewStorage();
// All songs in the order sortName asks for, opened; null when that fails.
SongContainerPtr OpenSongs(const char* sortName = "", bool ascending = true);
std::vector<std::string> Titles(ISongContainer* songs);

}  // namespace qap::musicdb::testing
