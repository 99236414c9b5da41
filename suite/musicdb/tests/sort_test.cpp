// Every sort name the views use, in both directions, on songs, groups,
// sub-groups and playlists; equal values keep ascending id order.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <functional>
#include <string>
#include <vector>

#include "suite/musicdb/tests/music_db_test_support.h"

namespace {

using namespace qap::musicdb::testing;
using Names = std::vector<std::string>;

std::string Folded(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

struct Song {
  std::string path;
  Tags tags;
  int seconds;
};

class Sorting : public ::testing::Test {
 protected:
  // Ties on purpose: equal durations, albums that differ only in case,
  // equal genres and artists.
  void SetUp() override {
    for (const Song& song : m_songs) ASSERT_NE(AddSong(song.path, song.tags, song.seconds), 0);
  }

  // By the field without regard to ASCII case, ties by ascending id in
  // both directions.
  Names Expected(const std::function<std::string(const Song&)>& key, bool ascending) const {
    std::vector<Song> songs = m_songs;
    std::stable_sort(songs.begin(), songs.end(), [&](const Song& a, const Song& b) {
      return ascending ? key(a) < key(b) : key(b) < key(a);
    });
    Names titles;
    for (const Song& song : songs) titles.push_back(song.tags.title);
    return titles;
  }

  static Names SubGroups(const char* key, const char* sortName, BOOL ascending) {
    TGroupInfo info{};
    info.key = key;
    GroupPtr group(CreateIGroup(info, 1, sortName, ascending));
    Names names;
    for (int i = 0; i < group->GetSubGroupCount(); ++i) {
      TSubGroupInfo sub{};
      SubGroupPtr(group->GetSubGroup(i))->GetInfo(&sub);
      names.push_back(sub.name.str());
    }
    return names;
  }

  ScratchMusicDb m_db;
  const std::vector<Song> m_songs = {
      {"/m/c.mp3", {"beta", "Zed", "tea time", "Rock"}, 60},
      {"/m/A.mp3", {"Alpha", "abba", "Tea Time", "Jazz"}, 90},
      {"/m/b.mp3", {"Gamma", "Zed", "Blue", "Rock"}, 60},
      {"/m/d.mp3", {"alpha", "ABBA", "blue", ""}, 30},
      {"/m/e.mp3", {"Delta", "", "Arc", "Jazz"}, 90},
  };
};

TEST_F(Sorting, SongsSortByEveryColumnNameInBothDirectionsWithStableTies) {
  const auto title = [](const Song& s) { return Folded(s.tags.title); };
  const std::vector<std::pair<const char*, std::function<std::string(const Song&)>>> columns = {
      {"Song", title},
      {"Name", title},
      {"Something else", title},
      {"Duration", [](const Song& s) { return std::to_string(s.seconds); }},
      {"Album", [](const Song& s) { return Folded(s.tags.album); }},
      {"Artist", [](const Song& s) { return Folded(s.tags.artist); }},
      {"Genre", [](const Song& s) { return Folded(s.tags.genre); }},
      {"Location", [](const Song& s) { return Folded(s.path); }},
  };
  for (bool ascending : {true, false}) {
    for (const auto& [name, key] : columns) {
      SCOPED_TRACE(std::string(name) + (ascending ? " ascending" : " descending"));
      EXPECT_EQ(Titles(OpenSongs(name, ascending).get()), Expected(key, ascending));
    }
    // Without a name: the order songs were added in.
    EXPECT_EQ(Titles(OpenSongs("", ascending).get()), (Names{"beta", "Alpha", "Gamma", "alpha", "Delta"}));
  }
}

TEST_F(Sorting, GroupsSortByNameCountOrDurationAndFlagZeroKeepsDatabaseOrder) {
  auto names = [](int flag, const char* sortName, BOOL ascending) {
    GroupContainerPtr groups(CreateIGroupContainer(flag, sortName, ascending));
    EXPECT_TRUE(groups->Open());
    Names result;
    for (int i = 0; i < groups->GetCount(); ++i) {
      TGroupInfo info{};
      GroupPtr(groups->GetGroup(i))->GetInfo(&info);
      result.push_back(info.name.str());
    }
    return result;
  };
  const Names database = {"Songs", "Albums", "Artists", "Genres"};
  EXPECT_EQ(names(1, "Group", TRUE), (Names{"Albums", "Artists", "Genres", "Songs"}));
  EXPECT_EQ(names(1, "Name", FALSE), (Names{"Songs", "Genres", "Artists", "Albums"}));
  EXPECT_EQ(names(0, "Group", FALSE), database);
  // Every group counts all songs: the ids decide in both directions.
  EXPECT_EQ(names(1, "Songs", TRUE), database);
  EXPECT_EQ(names(1, "Duration", FALSE), database);
}

TEST_F(Sorting, SubGroupsSortByTheSingularGroupNameCountOrDuration) {
  // "tea time" and "Tea Time" are two albums that sort as equals: the older
  // first, either way.
  EXPECT_EQ(SubGroups("album", "Album", TRUE), (Names{"Arc", "Blue", "blue", "tea time", "Tea Time"}));
  EXPECT_EQ(SubGroups("album", "Album", FALSE), (Names{"tea time", "Tea Time", "Blue", "blue", "Arc"}));
  EXPECT_EQ(SubGroups("genre", "Songs", TRUE), (Names{"Unknown Genre", "Rock", "Jazz"}));
  EXPECT_EQ(SubGroups("genre", "Songs", FALSE), (Names{"Rock", "Jazz", "Unknown Genre"}));
  EXPECT_EQ(SubGroups("genre", "Duration", FALSE), (Names{"Jazz", "Rock", "Unknown Genre"}));
  // Another group's singular name means nothing here: by name (the stored
  // value, so songs without an artist come first).
  EXPECT_EQ(SubGroups("artist", "Album", TRUE), (Names{"Unknown Artist", "abba", "ABBA", "Zed"}));
}

TEST_F(Sorting, PlaylistsSortByEitherPlaylistNameCountOrDuration) {
  PlaylistContainerPtr container(CreatePlayListContainer(0, "", TRUE));
  ASSERT_TRUE(container->Open());
  const int b = container->CreatePlaylist("b list");
  const int a = container->CreatePlaylist("A list");
  const int c = container->CreatePlaylist("c list");
  SongInfoPtr song = NewSong();
  song->SetId(1);  // 60 seconds, twice into c
  ASSERT_TRUE(PlaylistPtr(container->GetPlaylistById(c))->AddSong(song.get()));
  ASSERT_TRUE(PlaylistPtr(container->GetPlaylistById(c))->AddSong(song.get()));
  song->SetId(2);  // 90 seconds into a
  ASSERT_TRUE(PlaylistPtr(container->GetPlaylistById(a))->AddSong(song.get()));

  auto ids = [](const char* sortName, BOOL ascending) {
    PlaylistContainerPtr playlists(CreatePlayListContainer(1, sortName, ascending));
    EXPECT_TRUE(playlists->Open());
    std::vector<int> result;
    for (int i = 0; i < playlists->GetCount(); ++i) {
      TPlayListInfo info{};
      PlaylistPtr(playlists->GetPlaylist(i))->GetDetails(&info);
      result.push_back(info.id);
    }
    return result;
  };
  EXPECT_EQ(ids("Playlist", TRUE), (std::vector<int>{a, b, c}));
  EXPECT_EQ(ids("Play list", FALSE), (std::vector<int>{c, b, a}));
  EXPECT_EQ(ids("Songs", FALSE), (std::vector<int>{c, a, b}));
  EXPECT_EQ(ids("Duration", TRUE), (std::vector<int>{b, a, c}));
}

}  // namespace
