// The music database against SQLite used directly, in one run on a
// generated library of 100,000 songs (5,000 artists, 10,000 albums, 50
// genres): (a) a song container sorted by artist, opened, every record
// fetched by index; (b) the group container opened and the 5,000 sub-groups
// of "Artists" read as TSubGroupInfo; (c) the same queries stepped through
// the sqlite3 library. Goals: (a) under 300 ms, (b) under 100 ms, neither
// more than 2x its (c); (a)'s memory within a few times the result's size.
#include <malloc.h>
#include <sqlite3.h>
#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/bench_support.h"
#include "bench/music_db_fixture.h"
#include "shellfolder/music_db.h"
#include "suite/musicdb/core/database.h"

namespace {

using bench::Clock;
using bench::Median;
using bench::Millis;

constexpr int kRounds = 7;

// The statements the libraries run for (a) and (b), for the baseline.
constexpr const char* kSongsByArtist =
    "SELECT s.id, s.path, s.title, s.artist, s.album, s.genre, s.track, s.year, s.duration "
    "FROM songs s ORDER BY s.artist COLLATE NOCASE ASC, s.id";
constexpr const char* kGroups =
    "SELECT * FROM (SELECT g.id AS id, g.name AS name, g.key AS key, t.songs AS songs, "
    "t.seconds AS seconds, CASE g.key "
    "WHEN 'album' THEN (SELECT count(DISTINCT album) FROM songs) "
    "WHEN 'artist' THEN (SELECT count(DISTINCT artist) FROM songs) "
    "WHEN 'genre' THEN (SELECT count(DISTINCT genre) FROM songs) ELSE 0 END AS subgroups "
    "FROM groups g, (SELECT count(*) AS songs, coalesce(sum(duration), 0) AS seconds "
    "FROM songs) t WHERE ?1 IS NULL OR g.key = ?1) ORDER BY name COLLATE NOCASE ASC, id";
constexpr const char* kArtists =
    "SELECT * FROM (SELECT v.id AS id, v.value AS name, c.songs AS songs, c.seconds AS seconds "
    "FROM (SELECT artist AS value, count(*) AS songs, sum(duration) AS seconds "
    "FROM songs GROUP BY artist) c JOIN subgroups v ON v.key = ?1 AND v.value = c.value) "
    "ORDER BY id";

size_t HeapInUse() { return mallinfo2().uordblks; }

// (a): returns false on failure; *resultBytes is the size of what the rows
// hold (text and four numbers each), *heapBytes the container's heap.
bool SortedSongs(double* millis, size_t* resultBytes, size_t* heapBytes) {
  const size_t heapBefore = HeapInUse();
  const auto start = Clock::now();
  SongContainerPtr songs(CreateISongContainer("Artist", TRUE));
  if (!songs || !songs->Open()) return false;
  size_t bytes = 0;
  for (int i = 0; i < songs->GetCount(); ++i) {
    const IQAPSongInfo* song = songs->GetSong(i);
    bytes += song->GetPath().GetLength() + song->GetTitle().GetLength() +
             song->GetArtist().GetLength() + song->GetAlbum().GetLength() +
             song->GetGenre().GetLength() + 4 * sizeof(int);
  }
  *millis = Millis(Clock::now() - start);
  *heapBytes = HeapInUse() - heapBefore;
  *resultBytes = bytes;
  return songs->GetCount() > 0;
}

// (b): returns the number of sub-groups read, 0 on failure.
int ArtistSubGroups(double* millis) {
  const auto start = Clock::now();
  GroupContainerPtr groups(CreateIGroupContainer(1, "Group", TRUE));
  if (!groups || !groups->Open()) return 0;
  GroupPtr artists;
  for (int i = 0; i < groups->GetCount() && !artists; ++i) {
    GroupPtr group(groups->GetGroup(i));
    TGroupInfo info{};
    if (group && group->GetInfo(&info) && info.key == "artist") artists = std::move(group);
  }
  if (!artists) return 0;
  int read = 0;
  long long songs = 0;
  for (int i = 0; i < artists->GetSubGroupCount(); ++i) {
    SubGroupPtr subGroup(artists->GetSubGroup(i));
    TSubGroupInfo info{};
    if (!subGroup || !subGroup->GetInfo(&info)) return 0;
    songs += info.songCount;
    ++read;
  }
  *millis = Millis(Clock::now() - start);
  return songs > 0 ? read : 0;
}

// (c): every column of every row, read as the libraries read them.
bool Step(sqlite3* db, const char* sql, const char* key, size_t* bytes) {
  sqlite3_stmt* statement = nullptr;
  if (sqlite3_prepare_v2(db, sql, -1, &statement, nullptr) != SQLITE_OK) return false;
  if (key != nullptr) sqlite3_bind_text(statement, 1, key, -1, SQLITE_STATIC);
  int result;
  while ((result = sqlite3_step(statement)) == SQLITE_ROW) {
    for (int column = 0; column < sqlite3_column_count(statement); ++column) {
      if (sqlite3_column_type(statement, column) == SQLITE_TEXT)
        *bytes += static_cast<size_t>(sqlite3_column_bytes(statement, column)) +
                  (sqlite3_column_text(statement, column) != nullptr ? 0 : 1);
      else
        *bytes += static_cast<size_t>(sqlite3_column_int64(statement, column) & 1);
    }
  }
  sqlite3_finalize(statement);
  return result == SQLITE_DONE;
}

}  // namespace

int main() {
  std::string folder = bench::MakeScratchFolder("musicdb_bench");
  if (folder.empty()) return 1;
  const std::string path = folder + "/music.db";
  setenv("QAP_MUSIC_DB", path.c_str(), 1);

  const qap::bench::LibraryShape shape;
  std::string error;
  const auto fillStart = Clock::now();
  if (!qap::bench::FillMusicLibrary(shape, &error)) {
    std::fprintf(stderr, "musicdb_bench: cannot make the library: %s\n", error.c_str());
    return 1;
  }
  const double fill = Millis(Clock::now() - fillStart);

  sqlite3* direct = nullptr;
  if (sqlite3_open_v2(path.c_str(), &direct, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
    std::fprintf(stderr, "musicdb_bench: cannot open %s\n", path.c_str());
    return 1;
  }
  std::vector<double> a, b, ca, cb;
  size_t resultBytes = 0;
  size_t heapBytes = 0;
  int subGroups = 0;
  for (int round = 0; round < kRounds; ++round) {
    double millis = 0;
    if (!SortedSongs(&millis, &resultBytes, &heapBytes)) {
      std::fprintf(stderr, "musicdb_bench: (a) failed: %s\n", qap::musicdb::LastError().c_str());
      return 1;
    }
    a.push_back(millis);
    if ((subGroups = ArtistSubGroups(&millis)) == 0) {
      std::fprintf(stderr, "musicdb_bench: (b) failed: %s\n", qap::musicdb::LastError().c_str());
      return 1;
    }
    b.push_back(millis);

    size_t bytes = 0;
    auto start = Clock::now();
    if (!Step(direct, kSongsByArtist, nullptr, &bytes)) return 1;
    ca.push_back(Millis(Clock::now() - start));
    start = Clock::now();
    if (!Step(direct, kGroups, nullptr, &bytes) || !Step(direct, kArtists, "artist", &bytes))
      return 1;
    cb.push_back(Millis(Clock::now() - start));
  }
  sqlite3_close(direct);

  const double ma = Median(a), mb = Median(b), mca = Median(ca), mcb = Median(cb);
  std::printf("musicdb_bench: medians of %d rounds; library of %d songs (%d artists, %d albums, "
              "%d genres) made in %.0f ms in %s\n",
              kRounds, shape.songs, shape.artists, shape.albums, shape.genres, fill, path.c_str());
  std::printf("(a) songs sorted by artist, every record read   %8.1f ms   goal < 300 ms: %s\n", ma,
              ma < 300 ? "met" : "MISSED");
  std::printf("(b) groups, then %d artist sub-groups read     %8.1f ms   goal < 100 ms: %s\n",
              subGroups, mb, mb < 100 ? "met" : "MISSED");
  std::printf("(c) the same queries through sqlite3: (a) %.1f ms, (b) %.1f ms\n", mca, mcb);
  std::printf("ratio (a)/(c) = %.2f   goal <= 2.00: %s\n", ma / mca, ma <= 2 * mca ? "met" : "MISSED");
  std::printf("ratio (b)/(c) = %.2f   goal <= 2.00: %s\n", mb / mcb, mb <= 2 * mcb ? "met" : "MISSED");
  std::printf("(a) memory: %.1f MB of heap for %.1f MB of results = %.2fx\n", heapBytes / 1e6,
              resultBytes / 1e6, static_cast<double>(heapBytes) / static_cast<double>(resultBytes));
  std::error_code ignored;
  std::filesystem::remove_all(folder, ignored);
  return 0;
}
