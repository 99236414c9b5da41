// Song, artist, album and genre names are made of syllables picked by a
// fixed pseudo-random sequence, so that sorting by any column is real work
// and every run makes the same library.
#include "bench/music_db_fixture.h"

#include <cstdint>
#include <cstdio>

#include "shellfolder/music_db.h"
#include "suite/musicdb/core/database.h"

namespace qap::bench {
namespace {

const char* const kSyllables[] = {"ka", "lo", "mi", "ren", "tu", "sha", "vel", "dor", "ni",
                                  "qua", "bel", "zo", "ar", "fen", "gri", "hol", "is", "jun"};

std::string Words(std::uint32_t seed, int count) {
  std::string text;
  for (int word = 0; word < count; ++word) {
    if (word != 0) text += ' ';
    const int syllables = 2 + static_cast<int>(seed % 2);
    for (int i = 0; i < syllables; ++i) {
      seed = seed * 1664525u + 1013904223u;
      std::string syllable = kSyllables[(seed >> 16) % (sizeof kSyllables / sizeof *kSyllables)];
      if (i == 0 && (seed & 0x100) != 0) syllable[0] = static_cast<char>(syllable[0] - 'a' + 'A');
      text += syllable;
    }
  }
  return text;
}

std::string Numbered(const char* what, int number) {
  char text[32];
  std::snprintf(text, sizeof text, "%s %05d", what, number);
  return text;
}

}  // namespace

bool FillMusicLibrary(const LibraryShape& shape, std::string* error) {
  IQAPStorage* raw = nullptr;
  IQAPSongInfo* song = nullptr;
  if (!CreateDbQAPStorage(&raw) || !CreateQAPSongInfo(&song)) {
    *error = musicdb::LastError();
    DestroyDbQAPStorage(raw);
    return false;
  }
  DbStoragePtr storage(raw);
  SongInfoPtr owner(song);
  // One transaction for the whole library: each bind joins it.
  musicdb::Transaction batch(musicdb::Transaction::Kind::kWrite);
  if (!batch.Started()) {
    *error = musicdb::LastError();
    return false;
  }
  for (int i = 0; i < shape.songs; ++i) {
    const int album = i % shape.albums;
    const int artist = album % shape.artists;
    // Numbers keep the names distinct: exactly shape.artists artists, and so on.
    const std::string artistName =
        Words(static_cast<std::uint32_t>(artist) * 7919u + 11u, 2) + " " + std::to_string(artist);
    const std::string albumName =
        Words(static_cast<std::uint32_t>(album) * 104729u + 3u, 3) + " " + std::to_string(album);
    const std::string genreName =
        Words(static_cast<std::uint32_t>(i % shape.genres) * 31u + 5u, 1) + " " +
        std::to_string(i % shape.genres);
    const std::string title = Words(static_cast<std::uint32_t>(i) * 2654435761u, 3);
    const std::string path = "C:\\Music\\" + Numbered("Artist", artist) + "\\" +
                             Numbered("Album", album) + "\\" + std::to_string(i) + " " + title +
                             ".mp3";
    song->SetId(0);
    song->SetPath(path.c_str());
    song->SetTitle(title.c_str());
    song->SetArtist(artistName.c_str());
    song->SetAlbum(albumName.c_str());
    song->SetGenre(genreName.c_str());
    song->SetTrackNumber(i / shape.albums + 1);
    song->SetYear(1960 + i % 60);
    song->SetDuration(90 + static_cast<int>((static_cast<std::uint32_t>(i) * 37u) % 400u));
    if (!song->Bind(storage.get(), 1)) {
      *error = musicdb::LastError();
      return false;
    }
  }
  if (!batch.Commit()) {
    *error = musicdb::LastError();
    return false;
  }
  return true;
}

}  // namespace qap::bench
