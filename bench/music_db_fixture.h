// A generated music library for the benchmarks, written through the music
// database's own calls (Ansimo records bound to Korvel's storage) into the
// database that $QAP_MUSIC_DB names. The music database benchmark and the
// shell folder's benchmark use the same library.
#pragma once

#include <string>

namespace qap::bench {

struct LibraryShape {
  int songs = 100000;
  int artists = 5000;
  int albums = 10000;  // each album belongs to one artist
  int genres = 50;
};

// False, with the reason in *error, when the library cannot be written.
bool FillMusicLibrary(const LibraryShape& shape, std::string* error);

}  // namespace qap::bench
