// The database file: where it lives, files that are not ours or are
// damaged, an older format brought up to date, another program holding the
// lock, and several processes adding songs at once.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sqlite3.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <sstream>
#include <string>

#include "platform/base/paths.h"
#include "platform/registry/sqlite_handle.h"
#include "suite/musicdb/core/database.h"
#include "suite/musicdb/tests/music_db_test_support.h"

extern char** environ;

namespace {

using namespace qap::musicdb::testing;
using qap::musicdb::Database;
using qap::musicdb::LastError;

qap::registry::SqliteDb OpenRaw(const std::string& path) {
  sqlite3* db = nullptr;
  sqlite3_open(path.c_str(), &db);
  return qap::registry::SqliteDb(db);
}

int Exec(const qap::registry::SqliteDb& db, const char* sql) {
  return sqlite3_exec(db.get(), sql, nullptr, nullptr, nullptr);
}

void CloseConnection() {
  auto lock = Database::Instance().Lock();
  Database::Instance().Reset();
}

// The libraries' busy timeout for the life of the object.
struct BusyTimeout {
  explicit BusyTimeout(int milliseconds) { Set(milliseconds); }
  ~BusyTimeout() { Set(5000); }
  static void Set(int milliseconds) {
    auto lock = Database::Instance().Lock();
    Database::Instance().SetBusyTimeout(milliseconds);
  }
};

size_t Fingerprint(const std::string& path) {
  return std::hash<std::string>()(qap::testing::ReadFile(path));
}

// Every way in fails cleanly, and the file is left as it was.
void ExpectRefused(const std::string& path, const std::string& reason) {
  SCOPED_TRACE(reason);
  const size_t before = Fingerprint(path);
  EXPECT_FALSE(NewStorage());
  EXPECT_NE(LastError().find(path + " " + reason), std::string::npos) << LastError();
  EXPECT_FALSE(OpenSongs());
  EXPECT_FALSE(GroupContainerPtr(CreateIGroupContainer(0, "", TRUE))->Open());
  EXPECT_EQ(AddSong("/m/a.mp3", {"A"}, 1), 0);
  EXPECT_EQ(Fingerprint(path), before);
}

TEST(DatabaseFile, IsMadeWhereTheEnvironmentSaysWithItsFolder) {
  ScratchMusicDb db;
  const std::string nested = db.Dir().File("deep/er/music.db");
  setenv("QAP_MUSIC_DB", nested.c_str(), 1);
  CloseConnection();
  ASSERT_NE(AddSong("/m/a.mp3", {"A"}, 1), 0);
  EXPECT_TRUE(std::filesystem::exists(nested));
}

TEST(DatabaseFile, FilesThatAreNotMusicDatabasesAreRefusedAndLeftAlone) {
  ScratchMusicDb db;
  db.Dir().Write("music.db", std::string(8192, '#'));
  ExpectRefused(db.Path(), "is not a music database");

  std::filesystem::remove(db.Path());
  ASSERT_EQ(Exec(OpenRaw(db.Path()), "CREATE TABLE stuff(x); INSERT INTO stuff VALUES (1)"), SQLITE_OK);
  ExpectRefused(db.Path(), "is an SQLite database of another program");

  std::filesystem::remove(db.Path());
  ASSERT_NE(AddSong("/m/a.mp3", {"A"}, 1), 0);
  CloseConnection();
  ASSERT_EQ(Exec(OpenRaw(db.Path()), "UPDATE music_meta SET value = '9' WHERE name = 'format'"), SQLITE_OK);
  ExpectRefused(db.Path(), "is a music database of format 9");
}

// A database of format 1 kept paths as given: the same file under two
// paths was two songs. Opening it makes them one, which keeps its place in
// the playlists.
TEST(DatabaseFile, AnOlderDatabaseGetsOneSongForEachFile) {
  ScratchMusicDb db;
  qap::testing::ScratchHive hive;
  ASSERT_TRUE(SetDriveMapping('M', db.Dir().Path(), DRIVE_FIXED));
  const std::string host = db.Dir().File("Jazz/tune.mp3");
  ASSERT_NE(AddSong("/m/other.mp3", {"Other"}, 1), 0);
  CloseConnection();
  {
    const qap::registry::SqliteDb raw = OpenRaw(db.Path());
    const std::string sql =
        "UPDATE music_meta SET value = '1' WHERE name = 'format';"
        "INSERT INTO songs(id, path, title, artist, album, genre, track, year, duration) VALUES"
        " (10, 'M:\\Jazz\\tune.mp3', 'Tune', '', '', '', 0, 0, 60),"
        " (11, '" + host + "', 'Tune', '', '', '', 0, 0, 60),"
        " (12, 'M:/Jazz/./tune.mp3', 'Tune', '', '', '', 0, 0, 60);"
        "INSERT INTO playlists(id, name) VALUES (5, 'Mix');"
        "INSERT INTO playlist_songs(playlist_id, song_id, position) VALUES (5, 11, 1), (5, 10, 2);";
    ASSERT_EQ(Exec(raw, sql.c_str()), SQLITE_OK);
  }
  SongContainerPtr songs = OpenSongs();
  ASSERT_TRUE(songs) << LastError();
  ASSERT_EQ(songs->GetCount(), 2);
  EXPECT_EQ(songs->GetSong(1)->GetId(), 10) << "the oldest stays";
  EXPECT_EQ(songs->GetSong(1)->GetPath(), host.c_str());
  PlaylistContainerPtr playlists(CreatePlayListContainer(0, "", TRUE));
  ASSERT_TRUE(playlists && playlists->Open());
  PlaylistPtr mix(playlists->GetPlaylistById(5));
  ASSERT_TRUE(mix);
  ASSERT_EQ(mix->GetSongCount(), 2);
  SongInfoPtr entry = NewSong();
  for (int i = 0; i < 2; ++i) {
    ASSERT_TRUE(mix->GetSong(i, entry.get()));
    EXPECT_EQ(entry->GetId(), 10);
  }
  CloseConnection();
  sqlite3_stmt* raw = nullptr;
  const qap::registry::SqliteDb file = OpenRaw(db.Path());
  ASSERT_EQ(sqlite3_prepare_v2(file.get(), "SELECT value FROM music_meta WHERE name = 'format'", -1,
                               &raw, nullptr),
            SQLITE_OK);
  const qap::registry::SqliteStatement statement(raw);
  ASSERT_EQ(sqlite3_step(raw), SQLITE_ROW);
  EXPECT_STREQ(reinterpret_cast<const char*>(sqlite3_column_text(raw, 0)), "2");
}

TEST(DatabaseFile, ADamagedFileGivesCleanFailures) {
  ScratchMusicDb db;
  for (int i = 0; i < 300; ++i)
    ASSERT_NE(AddSong("/m/" + std::to_string(i) + ".mp3", {"Song " + std::to_string(i), "A"}, 1), 0);
  CloseConnection();
  std::string bytes = qap::testing::ReadFile(db.Path());
  ASSERT_GT(bytes.size(), 8192u);
  // Page 1 (the schema) stays; the pages after it become noise.
  for (size_t i = 4096; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 131 + 7);
  db.Dir().Write("music.db", bytes);
  EXPECT_FALSE(OpenSongs());
  EXPECT_NE(LastError().find("is damaged"), std::string::npos) << LastError();
  EXPECT_FALSE(GroupContainerPtr(CreateIGroupContainer(1, "Songs", TRUE))->Open());
}

TEST(DatabaseFile, AnotherProgramHoldingTheLockMakesChangesFailCleanlyUntilItLetsGo) {
  ScratchMusicDb db;
  BusyTimeout timeout(100);
  ASSERT_NE(AddSong("/m/a.mp3", {"A"}, 1), 0);
  PlaylistContainerPtr playlists(CreatePlayListContainer(0, "", TRUE));
  ASSERT_TRUE(playlists->Open());
  {
    qap::registry::SqliteDb other = OpenRaw(db.Path());
    ASSERT_EQ(Exec(other, "BEGIN IMMEDIATE"), SQLITE_OK);
    EXPECT_EQ(AddSong("/m/b.mp3", {"B"}, 1), 0);
    EXPECT_NE(LastError().find("in use by another program"), std::string::npos) << LastError();
    EXPECT_EQ(playlists->CreatePlaylist("Blocked"), 0);
    // Readers are not held up by a writer.
    EXPECT_EQ(Titles(OpenSongs().get()), std::vector<std::string>{"A"});
  }
  EXPECT_NE(AddSong("/m/b.mp3", {"B"}, 1), 0);
  EXPECT_NE(playlists->CreatePlaylist("Free"), 0);

  // A program holding the whole file keeps the database from being opened.
  qap::registry::SqliteDb holder = OpenRaw(db.Dir().File("held.db"));
  ASSERT_EQ(Exec(holder, "PRAGMA locking_mode = EXCLUSIVE; BEGIN EXCLUSIVE; CREATE TABLE t(x)"), SQLITE_OK);
  setenv("QAP_MUSIC_DB", db.Dir().File("held.db").c_str(), 1);
  CloseConnection();
  EXPECT_FALSE(NewStorage());
  EXPECT_NE(LastError().find("in use by another program"), std::string::npos) << LastError();
}

// Starts musicdb_test_writer; it begins when its standard input closes.
pid_t StartWriter(const std::string& tag, int count, int playlist, const std::string& output,
                  int* barrier) {
  int pipeEnds[2];
  if (pipe(pipeEnds) != 0) return -1;
  std::vector<std::string> args = {QAP_MUSICDB_TEST_WRITER, "add", tag, std::to_string(count),
                                   std::to_string(playlist)};
  std::vector<char*> argv;
  for (std::string& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pipeEnds[0], 0);
  posix_spawn_file_actions_addclose(&actions, pipeEnds[1]);
  posix_spawn_file_actions_addopen(&actions, 1, output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  pid_t pid = -1;
  if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) pid = -1;
  posix_spawn_file_actions_destroy(&actions);
  close(pipeEnds[0]);
  *barrier = pipeEnds[1];
  return pid;
}

int WaitForExit(pid_t pid) {
  int code = -1;
  qap::testing::WaitFor([&] {
    int status = 0;
    if (waitpid(pid, &status, WNOHANG) != pid) return false;
    code = WIFEXITED(status) ? WEXITSTATUS(status) : 128;
    return true;
  }, std::chrono::seconds(120));
  return code;
}

// "shared INDEX ID" lines, as one text per writer that must agree.
std::string SharedIds(const std::string& output) {
  std::istringstream lines(output);
  std::string word, ids;
  int index = 0, id = 0;
  while (lines >> word >> index >> id) ids += std::to_string(index) + "=" + std::to_string(id) + " ";
  return ids;
}

TEST(DatabaseFile, TwoProcessesAddingSongsAtOnceLoseNothing) {
  constexpr int kCount = 150;
  ScratchMusicDb db;
  const int playlist = PlaylistContainerPtr(CreatePlayListContainer(0, "", TRUE))->CreatePlaylist("Race");
  ASSERT_NE(playlist, 0);
  int firstBarrier = -1, secondBarrier = -1;
  const pid_t first = StartWriter("first", kCount, playlist, db.Dir().File("first.out"), &firstBarrier);
  const pid_t second = StartWriter("second", kCount, playlist, db.Dir().File("second.out"), &secondBarrier);
  close(firstBarrier);
  close(secondBarrier);
  ASSERT_TRUE(first > 0 && second > 0);
  EXPECT_EQ(WaitForExit(first), 0);
  EXPECT_EQ(WaitForExit(second), 0);

  EXPECT_EQ(OpenSongs()->GetCount(), 3 * kCount);
  const std::string firstIds = SharedIds(qap::testing::ReadFile(db.Dir().File("first.out")));
  EXPECT_EQ(std::count(firstIds.begin(), firstIds.end(), '='), kCount);
  EXPECT_EQ(firstIds, SharedIds(qap::testing::ReadFile(db.Dir().File("second.out"))));
  IDbQAPPlayList* race = nullptr;
  CreateDbQAPPlayList(&race, playlist);
  ASSERT_TRUE(race->Load(NewStorage().get(), 0));
  EXPECT_EQ(PlaylistPtr(race)->GetSongCount(), 2 * kCount);
  TGroupInfo artists{};
  artists.key = "artist";
  EXPECT_EQ(GroupPtr(CreateIGroup(artists, 0, "", TRUE))->GetSubGroupCount(), 3);
}

}  // namespace
